#pragma once
// QORVA's windows on the desktop: the main window with its top panel, pages, menu and
// status bar, and the dialogs, each a FormView of its form. Modal dialogs and the file
// dialogs wait in the core's event loop, so timers, the serial poll and parses go on
// while they are open.
#include "gui/form_view.h"
#include "platform/event_loop.h"
#include "platform/window_system.h"

#include <QDialog>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <unordered_map>

namespace qorva {
class TMainFrm;
}

namespace qorva::gui {

class MainWindow : public QMainWindow {
  public:
    // onClose runs when the window closes (close box, "Schließen", "Exit").
    MainWindow(TMainFrm& frm, std::function<void()> onClose);
    FormView& view() { return view_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildTopPanel(TMainFrm& frm);

    FormView view_;
    std::function<void()> onClose_;
};

class DialogWindow : public QDialog {
  public:
    explicit DialogWindow(TForm& form, QWidget* parent);
    FormView& view() { return view_; }

  private:
    FormView view_;
};

class QtWindows : public WindowSystem {
  public:
    explicit QtWindows(EventLoop& loop);
    ~QtWindows() override;

    // The main window; dialogs are centred on it. Dialogs are windows of their own, so
    // they live as long as this and not only as long as the main window.
    void setMainWindow(TForm& form, MainWindow& window);
    // Lets the dialogs' windows go; called before the forms they show go, as each view
    // unsubscribes from its form.
    void releaseWindows() { dialogs_.clear(); }
    // The window of a form, built when it is first asked for.
    QWidget& windowOf(TForm& form);

    void showModal(TForm& form) override;
    void close(TForm& form) override;
    std::optional<std::string> askSaveFileName(const FileFilter& filter,
                                               const std::string& defaultExtension) override;
    std::optional<std::string> askOpenFileName(const FileFilter& filter,
                                               const std::string& initialDirectory) override;
    void showMessage(const std::string& text) override;

    // Runs the core's loop, and Qt's events with it, while widget is shown.
    void waitWhileShown(QWidget& widget);

  private:
    EventLoop& loop_;
    TForm* mainForm_ = nullptr;
    MainWindow* mainWindow_ = nullptr;
    std::unordered_map<TForm*, std::unique_ptr<DialogWindow>> dialogs_;
};

// The filter "Text file *.txt|*.txt|All files *.*|*.*" as Qt's name filters.
QStringList NameFilters(const std::string& filter);

} // namespace qorva::gui
