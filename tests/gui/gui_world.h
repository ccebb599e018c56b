#pragma once
// The whole program in virtual time with its real windows, offscreen: the model is
// driven through the widgets with Qt Test's input simulation and read back from both.
#include "app_world.h"
#include "gui/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace qorva::test {

// A settings file that exists, so the start asks for no language.
inline std::string storedSettings(const std::string& text = "[allg]\r\nSprache=2\r\n") {
    const std::string path = settingsPath();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Types path into a file dialog and confirms it, as a user does.
inline void answerFileDialog(QWidget& modal, const std::string& path) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(name);
    name->setText(QString::fromStdString(path));
    static_cast<QDialog&>(dialog).accept();
}

struct GuiWorld : Platform {
    gui::QtWindows windows{loop};
    RecordingLauncher launcher;
    std::ostringstream log;
    QorvaApplication app;
    TMainFrm& frm;
    bool closed = false;
    gui::MainWindow window;

    explicit GuiWorld(const std::string& ini = storedSettings(), bool readOnly = true)
        : app(withWindows(), launcher, ApplicationSettings{ini, readOnly}, log), frm(app.frm),
          window(frm, [this] {
              closed = true;
              app.Close();
          }) {
        windows.setMainWindow(frm.form, window);
        window.show();
        QApplication::processEvents();
    }

    ~GuiWorld() { windows.releaseWindows(); }

    PlatformServices withWindows() {
        PlatformServices platform = services();
        platform.windows = &windows;
        return platform;
    }

    // The widget of a main window control, as its type.
    template <class W> W* widget(const std::string& name) {
        return dynamic_cast<W*>(window.view().widgetOf(*frm.form.find(name)));
    }
    void click(const std::string& name) {
        auto* button = widget<QAbstractButton>(name);
        ASSERT_TRUE(button) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Runs the loop (and Qt's events) for ms of virtual time.
    void run(int ms) {
        loop.runUntil(loop.now() + ms);
        QApplication::processEvents();
    }
    // Runs fn on the loop once a modal window is up (dialogs wait in the loop).
    void whenModal(std::function<void(QWidget&)> fn) {
        loop.post(30, [this, fn] {
            QApplication::processEvents();
            if (QWidget* modal = QApplication::activeModalWidget())
                fn(*modal);
            else
                whenModal(fn);
        });
    }
};

} // namespace qorva::test
