#pragma once
// QORVA with its window: one Qt application on the GUI thread, the core's loop over
// Qt's, the windows, and the desktop's beep. `run` shows the main window until it
// closes; `screenshots` renders every window and page to PNG files.
#include "gui/qt_event_loop.h"
#include "gui/windows.h"
#include "platform/beep.h"

#include <QApplication>

#include <memory>
#include <string>

namespace qorva {
class QorvaApplication;
}

namespace qorva::gui {

class QtBeeper : public Beeper {
  public:
    void MessageBeep(int code) override;
};

class GuiSession {
  public:
    // platform: the Qt platform plugin ("offscreen" for screenshots), or Qt's choice.
    explicit GuiSession(const std::string& platform = "");
    ~GuiSession();

    QtEventLoop& loop() { return *loop_; }
    QtWindows& windows() { return *windows_; }
    QtBeeper beeper;

    // Shows the main window and runs until it closes or a quit is requested; the
    // application's close (settings written) runs once either way.
    void run(QorvaApplication& app);
    // Writes DIR/<form>-<page>.png for the main window on each of its pages and device
    // pages, and for every dialog. False with the reason when a file cannot be written.
    bool screenshots(QorvaApplication& app, const std::string& dir, std::string& error);

  private:
    std::unique_ptr<QApplication> application_;
    std::unique_ptr<QtEventLoop> loop_;
    std::unique_ptr<QtWindows> windows_;
};

} // namespace qorva::gui
