#include "dialogs/Stopt.h"

#include "platform/profile.h"

namespace qorva {

namespace {

template <class T> T& captioned(T& control, const char* caption) {
    control.setCaption(caption);
    return control;
}

TEdit& readOnly(TEdit& edit) {
    edit.setReadOnly(true);
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
    form.setCaption("Startoption");
    PrgFilewahl.setHint("Programm oder File auswählen");
    PrgFilewahl.setEnabled(false);
    Sn.OnClick = [this] { SnClick(); };
    Stj.OnClick = [this] { StjClick(); };
    StartPrgFile.OnClick = [this] { PrgFileStartClick(); };
}

void TStartopt::SnClick() {
    PrgFilewahl.setEnabled(false);
    Choosedprgfile.setText("");
    Choosedprgfile.setEnabled(false);
    Prgfilelist.setEnabled(false);
    StartPrgFile.setEnabled(false);
}

void TStartopt::StjClick() {
    PrgFilewahl.setEnabled(true);
    Choosedprgfile.setEnabled(true);
    Prgfilelist.setEnabled(true);
    StartPrgFile.setEnabled(true);
    Choosedprgfile.setHint(Choosedprgfile.Text());
}

void TStartopt::FormCreate(const ProfileFile& ini) {
    const auto read = [&ini](const std::string& section, const std::string& key, int width) {
        return ini.GetPrivateProfileString(section, key, width == 1 ? "0" : "", width + 1);
    };
    Sn.setChecked(true);
    if (read("snst", "Sto", 1) == "1") Stj.setChecked(true);
    const std::string fl0 = read("snst", "fl0", 1);
    if (fl0 != "0" && lengthOf(fl0) > 0) {
        Choosedprgfile.setText(read("snst", "file", lengthOf(fl0)));
        const int entries = lengthOf(read("snst", "l5", 1));
        std::vector<std::string> recent;
        for (int i = 0; i < entries && i < 5; ++i) {
            const std::string section = "snst" + std::to_string(i);
            recent.push_back(read(section, "file", lengthOf(read(section, "fl", 1))));
        }
        Prgfilelist.setItems(std::move(recent));
        if (read("snst", "fl", 1) > "0") PrgFileStartClick();
    }
    const std::pair<const char*, TEdit*> pages[] = {
        {"swprg", &SWDensPrg}, {"4fprg", &Dens4Farbprg}, {"7fprg", &Dens7Farbprg}, {"VC", &DensVC}};
    for (const auto& [key, edit] : pages) {
        const int width = lengthOf(read("snst", std::string(key) + "l", 1));
        if (width <= 0) continue;
        edit->setText(read("snst", key, width));
        edit->setHint(edit->Text());
    }
}

// Opens the start program or document; when the desktop cannot open it, a document is
// shown in the file explorer. A Windows program (".exe") has nothing to fall back to.
void TStartopt::PrgFileStartClick() {
    const std::string t = Choosedprgfile.Text().substr(0, 255);
    if (t.empty()) return;
    if (launcher_.open(t) || t.size() <= 3) return;
    if (t.substr(t.size() - 4) != ".exe") launcher_.showInFileExplorer(t);
}

} // namespace qorva
