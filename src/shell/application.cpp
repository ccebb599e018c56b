#include "shell/application.h"

#include "platform/file_store.h"
#include "platform/profile.h"
#include "shell/settings_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace qorva {

namespace {

std::string currentDirectory() {
    std::error_code error;
    const auto path = std::filesystem::current_path(error);
    return error ? "." : path.string();
}

// The settings file is written at close to where it was read at start, whatever the
// current directory is by then.
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

QorvaApplication::QorvaApplication(const PlatformServices& platform, ShellLauncher& launcher,
                                   ApplicationSettings settings, std::ostream& log)
    : frm(platform), startopt(launcher),
      lineWatch(frm, platform.serialPorts,
                [this](const std::string& message) { log_ << "qorva: " << message << '\n'; }),
      launcher_(launcher), withWindows_(platform.windows != nullptr),
      settings_(std::move(settings)), log_(log) {
    settings_.path = absolutePath(settings_.path);
    std::string problem;
    const ProfileFile ini = ProfileFile::load(settings_.path, &problem);
    if (!problem.empty()) {
        settingsRefused_ = true;
        log_ << "qorva: " << settings_.path << " " << problem
             << ": it is not used, and the defaults are\n";
    }
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
    wireWindows();
    applyLanguage(ini);
}

// The handlers that reach from the main window into the dialogs, and the dialogs' OK
// buttons.
void QorvaApplication::wireWindows() {
    WindowSystem& windows = frm.windows;
    const auto showing = [&windows](TForm& form) {
        return [&windows, &form] { windows.showModal(form); };
    };
    frm.Help1.OnClick = showing(form2.form);
    frm.Infobtn.OnClick = showing(form2.form);
    frm.BitBtn3.OnClick = showing(form3.form);
    frm.BitBtn2.OnClick = showing(form3.form);
    frm.BitBtn4.OnClick = showing(form4.form);
    frm.Startoptioneinst.OnClick = showing(startopt.form);
    for (TForm* dialog : {&form2.form, &form3.form, &form4.form})
        dialog->find<TButton>("BitBtn1")->OnClick = [&windows, dialog] { windows.close(*dialog); };
    const std::pair<TButton*, int> launches[] = {
        {&frm.SWPrgst, 1}, {&frm.F4Prgst, 2},   {&frm.F7Prgst, 3},  {&frm.VCPrgst, 6},
        {&frm.BitBtn5, 2}, {&form2.BitBtn2, 4}, {&form2.BitBtn3, 5}};
    for (const auto& [button, woher] : launches)
        button->OnClick = [this, woher = woher] { PrgstClick(woher); };
}

void QorvaApplication::PrgstClick(int woher) {
    const auto inStartDir = [this](const char* file) { return StartDir + "/" + file; };
    std::string target, fallback;
    switch (woher) {
    case 1:
        target = fallback = startopt.SWDensPrg.Text();
        break;
    case 2:
        target = fallback = startopt.Dens4Farbprg.Text();
        break;
    case 3:
        target = fallback = startopt.Dens7Farbprg.Text();
        break;
    case 6:
        target = fallback = startopt.DensVC.Text();
        break;
    case 4:
        target = fallback = inStartDir(kGermanManual);
        break;
    case 5:
        target = inStartDir(kEnglishManual);
        fallback = inStartDir(kEnglishManualFallback);
        break;
    default:
        return;
    }
    if (target.empty() || launcher_.open(target.substr(0, 255))) return;
    if (fallback.size() > 3 && fallback.substr(fallback.size() - 4) != ".exe")
        launcher_.showInFileExplorer(fallback);
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
    SettingsNotes notes;
    ReadMainWindowSettings(frm, ini, &notes);
    for (const auto& line : notes) log_ << "qorva: " << settings_.path << ": " << line << '\n';
    frm.parseState.RSbuffer.assign(36, ' ');
}

// The interface texts follow the stored language; without a settings file the first
// start asks for one in the Info dialog, which a run without a window cannot do.
void QorvaApplication::applyLanguage(const ProfileFile& ini) {
    if (!ini.exists()) {
        if (withWindows_)
            frm.windows.showModal(form2.form);
        else
            log_ << "qorva: first start without " << settings_.path
                 << ": the language is not asked without a window; the built-in texts stay\n";
        return;
    }
    if (ReadLanguageIsEnglish(ini)) form2.englisch.setChecked(true);
}

// "qorva-untyped-YYYYMMDD-HHMMSS.txt" beside the settings file.
std::string QorvaApplication::untypedRecordsPath() const {
    const LocalDateTime t = frm.clock.now();
    char name[64];
    std::snprintf(name, sizeof name, "qorva-untyped-%04d%02d%02d-%02d%02d%02d.txt", t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    return (std::filesystem::path(settings_.path).parent_path() / name).string();
}

// Records queued but not typed are kept as they were received, one line each, so that
// qorva-sim --from can send them again.
void QorvaApplication::keepUntypedRecords() {
    const auto& queue = frm.pipeline.RSBUF;
    if (queue.empty()) return;
    std::string records;
    for (const auto& record : queue) records += record;
    const std::string path = untypedRecordsPath();
    const std::string count = std::to_string(queue.size()) + " queued record" +
                              (queue.size() == 1 ? " was" : "s were") + " not typed";
    if (ReplaceFileAtomically(path, records))
        log_ << "qorva: " << count << "; they are kept in " << path << '\n';
    else
        log_ << "qorva: " << count << " and cannot be kept in " << path << '\n';
}

// A settings file the start could not use, or one its owner made read-only, is left as
// it is: the settings of this run are not saved, and the close says so.
bool QorvaApplication::settingsWritable() const {
    if (settingsRefused_) {
        log_ << "qorva: " << settings_.path << " was not used; the settings are not saved\n";
        return false;
    }
    std::error_code error;
    const auto status = std::filesystem::status(settings_.path, error);
    const bool readOnly = !error && std::filesystem::exists(status) &&
                          (status.permissions() & std::filesystem::perms::owner_write) ==
                              std::filesystem::perms::none;
    if (readOnly)
        log_ << "qorva: " << settings_.path << " is read-only; the settings are not saved\n";
    return !readOnly;
}

void QorvaApplication::Close() {
    frm.CommPortDriver1.Disconnect();
    keepUntypedRecords();
    if (!settings_.readOnly && settingsWritable()) {
        ProfileFile ini = ProfileFile::load(settings_.path);
        WriteSettings(SettingsWindows{frm, form4, form3, form2, startopt}, ini);
        if (!ini.save(settings_.path)) log_ << "qorva: cannot write " << settings_.path << '\n';
        MarkFileHidden(settings_.path);
    }
    frm.pipeline.RSBUF.clear();
    frm.CommPortDriver1.Disconnect();
}

} // namespace qorva
