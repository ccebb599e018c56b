#include "dialogs/Stopt.h"

#include "platform/profile.h"

namespace qorva {

namespace {

template <class T> T& captioned(T& control, const char* caption) {
    control.Caption = caption;
    return control;
}

TEdit& readOnly(TEdit& edit) {
    edit.ReadOnly = true;
    return edit;
}

// A length code is the character 48 + n; the path under its companion key is read with
// that width.
int lengthOf(const std::string& code) {
    return code.empty() ? 0 : static_cast<unsigned char>(code[0]) - '0';
}

} // namespace

TStartopt::TStartopt(ShellLauncher& launcher)
    : Sn(captioned(form.add<TRadioButton>("Sn", nullptr), " Nein  ")),
      Stj(captioned(form.add<TRadioButton>("Stj", nullptr), " Ja      ")),
      PrgFilewahl(captioned(form.add<TButton>("PrgFilewahl", nullptr), "Prg/File Wahl")),
      Choosedprgfile(readOnly(form.add<TEdit>("Choosedprgfile", nullptr))),
      Prgfilelist(form.add<TListBox>("Prgfilelist", nullptr)),
      StartPrgFile(captioned(form.add<TButton>("StartPrgFile", nullptr), "Jetzt Starten")),
      SWDensPrg(readOnly(form.add<TEdit>("SWDensPrg", nullptr))),
      Dens4Farbprg(readOnly(form.add<TEdit>("Dens4Farbprg", nullptr))),
      Dens7Farbprg(readOnly(form.add<TEdit>("Dens7Farbprg", nullptr))),
      DensVC(readOnly(form.add<TEdit>("DensVC", nullptr))), launcher_(launcher) {
    form.Caption = "Startoption";
    PrgFilewahl.Hint = "Programm oder File auswählen";
    PrgFilewahl.Enabled = false;
    Sn.OnClick = [this] { SnClick(); };
    Stj.OnClick = [this] { StjClick(); };
    StartPrgFile.OnClick = [this] { PrgFileStartClick(); };
}

void TStartopt::SnClick() {
    PrgFilewahl.Enabled = false;
    Choosedprgfile.Text.clear();
    Choosedprgfile.Enabled = false;
    Prgfilelist.Enabled = false;
    StartPrgFile.Enabled = false;
}

void TStartopt::StjClick() {
    PrgFilewahl.Enabled = true;
    Choosedprgfile.Enabled = true;
    Prgfilelist.Enabled = true;
    StartPrgFile.Enabled = true;
    Choosedprgfile.Hint = Choosedprgfile.Text;
}

void TStartopt::FormCreate(const ProfileFile& ini) {
    const auto read = [&ini](const std::string& section, const std::string& key, int width) {
        return ini.GetPrivateProfileString(section, key, width == 1 ? "0" : "", width + 1);
    };
    Sn.setChecked(true);
    if (read("snst", "Sto", 1) == "1") Stj.setChecked(true);
    const std::string fl0 = read("snst", "fl0", 1);
    if (fl0 != "0" && lengthOf(fl0) > 0) {
        Choosedprgfile.Text = read("snst", "file", lengthOf(fl0));
        const int entries = lengthOf(read("snst", "l5", 1));
        for (int i = 0; i < entries && i < 5; ++i) {
            const std::string section = "snst" + std::to_string(i);
            Prgfilelist.Items.push_back(read(section, "file", lengthOf(read(section, "fl", 1))));
        }
        if (read("snst", "fl", 1) > "0") PrgFileStartClick();
    }
    const std::pair<const char*, TEdit*> pages[] = {
        {"swprg", &SWDensPrg}, {"4fprg", &Dens4Farbprg}, {"7fprg", &Dens7Farbprg}, {"VC", &DensVC}};
    for (const auto& [key, edit] : pages) {
        const int width = lengthOf(read("snst", std::string(key) + "l", 1));
        if (width <= 0) continue;
        edit->Text = read("snst", key, width);
        edit->Hint = edit->Text;
    }
}

// Opens the start program or document; when the desktop cannot open it, a document is
// shown in the file explorer. A Windows program (".exe") has nothing to fall back to.
void TStartopt::PrgFileStartClick() {
    const std::string t = Choosedprgfile.Text.substr(0, 255);
    if (t.empty()) return;
    if (launcher_.open(t) || t.size() <= 3) return;
    if (t.substr(t.size() - 4) != ".exe") launcher_.showInFileExplorer(t);
}

} // namespace qorva
