#include "gui/gui_program.h"

#include "gui/pictures.h"
#include "shell/application.h"

#include <QDir>

namespace qorva::gui {

namespace {

// QApplication keeps references to its arguments for its whole life.
int gArgc = 1;
char gProgram[] = "qorva";
char* gArgv[] = {gProgram, nullptr};

bool save(QWidget& window, const std::string& dir, const std::string& name, std::string& error) {
    QApplication::processEvents();
    const QString path =
        QDir(QString::fromStdString(dir)).filePath(QString::fromStdString(name) + ".png");
    if (window.grab().save(path)) return true;
    error = "cannot write " + path.toStdString();
    return false;
}

} // namespace

void QtBeeper::MessageBeep(int) {
    QApplication::beep();
}

GuiSession::GuiSession(const std::string& platform) {
    if (!platform.empty()) qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
    application_ = std::make_unique<QApplication>(gArgc, gArgv);
    QApplication::setApplicationName("QORVA");
    QApplication::setWindowIcon(ProgramIcon());
    loop_ = std::make_unique<QtEventLoop>();
    windows_ = std::make_unique<QtWindows>(*loop_);
}

GuiSession::~GuiSession() = default;

void GuiSession::run(QorvaApplication& app) {
    bool closed = false;
    const auto close = [&] {
        if (closed) return;
        closed = true;
        app.Close();
        loop_->requestQuit();
    };
    MainWindow window(app.frm, close);
    windows_->setMainWindow(app.frm.form, window);
    window.show();
    while (!loop_->quitRequested()) loop_->runUntil(loop_->now() + 1000);
    close();
    windows_->releaseWindows();
}

bool GuiSession::screenshots(QorvaApplication& app, const std::string& dir, std::string& error) {
    struct ReleasedAtEnd {
        QtWindows& windows;
        ~ReleasedAtEnd() { windows.releaseWindows(); }
    } released{*windows_};
    TMainFrm& frm = app.frm;
    MainWindow window(frm, {});
    windows_->setMainWindow(frm.form, window);
    window.show();
    const auto shot = [&](const std::string& page) {
        return save(window, dir, "MainFrm-" + page, error);
    };
    for (TTabSheet* page : {&frm.TabSheet1, &frm.TabSheet2}) {
        frm.PageControl1.setActivePageIndex(page->PageIndex());
        if (!shot(page->Name())) return false;
    }
    frm.PageControl1.setActivePageIndex(frm.TabSheet3.PageIndex());
    frm.Manufacturer.setActivePageIndex(frm.TALMO.PageIndex());
    for (TTabSheet* page : {&frm.VARNIKPage, &frm.LUMAPage}) {
        frm.TALMOPages.setActivePageIndex(page->PageIndex());
        if (!shot(page->Name())) return false;
    }
    frm.Manufacturer.setActivePageIndex(frm.ThirdParty.PageIndex());
    for (TTabSheet* page : {&frm.Blatt1, &frm.Blatt2, &frm.Blatt3, &frm.Blatt4, &frm.Blatt5}) {
        frm.densito.setActivePageIndex(page->PageIndex());
        if (!shot(page->Name())) return false;
    }
    for (TForm* dialog : {&app.form3.form, &app.form4.form, &app.form2.form, &app.startopt.form}) {
        QWidget& shown = windows_->windowOf(*dialog);
        shown.show();
        const bool saved = save(shown, dir, dialog->Name() + "-" + dialog->Name(), error);
        shown.hide();
        if (!saved) return false;
    }
    return true;
}

} // namespace qorva::gui
