#pragma once
// The whole program: the windows in the order they are created at start-up, the
// settings each reads while it is built, and the shutdown that writes them back.
#include "dialogs/Info.h"
#include "dialogs/Konfig.h"
#include "dialogs/Konfig2.h"
#include "dialogs/Stopt.h"
#include "platform/shell_open.h"
#include "shell/line_watch.h"
#include "shell/main_frm.h"

#include <optional>
#include <ostream>
#include <string>

namespace qorva {

struct ApplicationSettings {
    // The settings file; read at start-up, written at close unless readOnly.
    std::string path = "qorva.ini";
    bool readOnly = false;
};

class QorvaApplication {
  public:
    QorvaApplication(const PlatformServices& platform, ShellLauncher& launcher,
                     ApplicationSettings settings, std::ostream& log);

    TMainFrm frm;
    TForm4 form4;
    TForm3 form3;
    TForm2 form2;
    TStartopt startopt;
    // Reports a lost line and opens it again; said on the log as well as the status bar.
    LineWatch lineWatch;
    // The directory that was current at start-up; the settings are written there.
    std::string StartDir;

    // The main window's close: port closed, the records still queued kept in a file beside
    // the settings, settings written, queue freed.
    void Close();
    // Opens a page's program or document (woher 1, 2, 3, 6) or a manual (4 German,
    // 5 English) with the desktop's default action.
    void PrgstClick(int woher);

    static constexpr const char* kGermanManual = "MAUDEX Anleitung.doc";
    static constexpr const char* kEnglishManual = "MAUDEX Instruction Manual.doc";
    static constexpr const char* kEnglishManualFallback = "MAUDEX Anleitung95.doc";

  private:
    void FormCreate(const ProfileFile& ini);
    void wireWindows();
    void applyLanguage(const ProfileFile& ini);
    std::string untypedRecordsPath() const;
    void keepUntypedRecords();
    bool settingsWritable() const;

    ShellLauncher& launcher_;
    bool withWindows_;
    ApplicationSettings settings_;
    bool settingsRefused_ = false;
    std::ostream& log_;
};

} // namespace qorva
