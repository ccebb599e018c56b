#include "shell/application.h"

#include "platform/profile.h"
#include "shell/settings_file.h"

#include <climits>
#include <unistd.h>

namespace qorva {

namespace {

std::string currentDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : ".";
}

} // namespace

QorvaApplication::QorvaApplication(const PlatformServices& platform, ShellLauncher& launcher,
                                   ApplicationSettings settings, std::ostream& log)
    : frm(platform), startopt(launcher), settings_(std::move(settings)), log_(log) {
    const ProfileFile ini = ProfileFile::load(settings_.path);
    FormCreate(ini);
    frm.colourPlaces.sevenColourOrder = &form4;
    form4.FormCreate(ReadSevenColourOrder(ini));
    frm.colourPlaces.fourColourOrder = &form3;
    form3.FormCreate(ReadFourColourOrder(ini));
    startopt.FormCreate(ini);
    for (const auto& [edit, button] : {std::pair{&startopt.SWDensPrg, &frm.SWPrgst},
                                       {&startopt.Dens4Farbprg, &frm.F4Prgst},
                                       {&startopt.Dens7Farbprg, &frm.F7Prgst},
                                       {&startopt.DensVC, &frm.VCPrgst}})
        if (!edit->Text().empty()) button->setHint(edit->Text());
    applyLanguage(ini);
}

// The main window's creation: idle, the start beep, the paste settings and COM2 as
// built, then the stored settings, then an empty plate-reader buffer.
void QorvaApplication::FormCreate(const ProfileFile& ini) {
    StartDir = currentDirectory();
    frm.Button4.setEnabled(false);
    frm.beeper.MessageBeep(0);
    frm.Notation.setItemIndex(static_cast<int>(DecimalNotation::Automatic));
    frm.Ausgabeart.setItemIndex(static_cast<int>(OutputLayout::NewRow));
    frm.Commport.setItemIndex(1);
    ReadMainWindowSettings(frm, ini);
    frm.parseState.RSbuffer.assign(36, ' ');
}

// The interface texts follow the stored language; without a settings file the first
// start would ask for one, which a run without a window cannot do.
void QorvaApplication::applyLanguage(const ProfileFile& ini) {
    if (!ini.exists()) {
        log_ << "qorva: first start without " << settings_.path
             << ": the language is not asked without a window; the built-in texts stay\n";
        return;
    }
    if (ReadLanguageIsEnglish(ini)) form2.englisch.setChecked(true);
}

void QorvaApplication::Close() {
    frm.CommPortDriver1.Disconnect();
    if (!settings_.readOnly) {
        if (chdir(StartDir.c_str()) != 0) log_ << "qorva: cannot return to " << StartDir << '\n';
        ProfileFile ini = ProfileFile::load(settings_.path);
        WriteSettings(SettingsWindows{frm, form4, form3, form2, startopt}, ini);
        if (!ini.save(settings_.path)) log_ << "qorva: cannot write " << settings_.path << '\n';
        MarkFileHidden(settings_.path);
    }
    frm.pipeline.RSBUF.clear();
    frm.CommPortDriver1.Disconnect();
}

} // namespace qorva
