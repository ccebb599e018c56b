#include "gui/windows.h"

#include "gui/pictures.h"
#include "shell/main_frm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace qorva::gui {

namespace {

class GradientPanel : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        PaintGradientPanel(painter, rect());
    }
};

void makeLarge(QWidget* button) {
    QFont font = button->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 4);
    button->setFont(font);
    button->setMinimumSize(120, 44);
}

} // namespace

MainWindow::MainWindow(TMainFrm& frm, std::function<void()> onClose)
    : view_(frm.form), onClose_(std::move(onClose)) {
    view_.setWindow(this);
    setWindowIcon(ProgramIcon());
    view_.buildMenu(frm.MainMenu1, menuBar());
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(buildTopPanel(frm));
    column->addWidget(view_.build(frm.PageControl1, central), 1);
    setCentralWidget(central);
    statusBar()->addWidget(view_.build(frm.StatusBar1, statusBar()), 1);
    resize(860, 640);
}

// START, STOP and "Schließen" (and the hidden buttons of the window's top row) on our
// own gradient with the logo at the right edge.
QWidget* MainWindow::buildTopPanel(TMainFrm& frm) {
    auto* panel = new GradientPanel(this);
    panel->setObjectName("GradientPanel");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 8, 10, 8);
    for (TControl* child : frm.form.Children())
        if (auto* button = dynamic_cast<TButton*>(child);
            button && !dynamic_cast<TMenuItem*>(child)) {
            QWidget* widget = view_.build(*button, panel);
            if (button == &frm.Button3 || button == &frm.Button4 || button == &frm.BitBtn1)
                makeLarge(widget);
            row->addWidget(widget);
        }
    row->addStretch(1);
    row->addSpacing(140);
    return panel;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (onClose_) onClose_();
    event->accept();
}

DialogWindow::DialogWindow(TForm& form, QWidget* parent) : QDialog(parent), view_(form) {
    view_.setWindow(this);
    setWindowIcon(ProgramIcon());
    view_.buildChildren(form, this);
    if (auto* ok = dynamic_cast<QPushButton*>(view_.widgetOf(*form.find("BitBtn1"))))
        ok->setDefault(true);
}

QtWindows::QtWindows(EventLoop& loop) : loop_(loop) {}

QtWindows::~QtWindows() = default;

void QtWindows::setMainWindow(TForm& form, MainWindow& window) {
    mainForm_ = &form;
    mainWindow_ = &window;
    QObject::connect(&window, &QObject::destroyed, [this] { mainWindow_ = nullptr; });
}

QWidget& QtWindows::windowOf(TForm& form) {
    if (&form == mainForm_) return *mainWindow_;
    auto& dialog = dialogs_[&form];
    if (!dialog) dialog = std::make_unique<DialogWindow>(form, nullptr);
    return *dialog;
}

void QtWindows::waitWhileShown(QWidget& widget) {
    while (widget.isVisible() && !loop_.quitRequested()) {
        loop_.runUntil(loop_.now() + 20);
        QCoreApplication::processEvents();
    }
}

void QtWindows::showModal(TForm& form) {
    QWidget& window = windowOf(form);
    window.setWindowModality(Qt::ApplicationModal);
    window.adjustSize();
    if (mainWindow_ && mainWindow_->isVisible())
        window.move(mainWindow_->geometry().center() - window.rect().center());
    window.show();
    window.raise();
    window.activateWindow();
    waitWhileShown(window);
}

void QtWindows::close(TForm& form) {
    windowOf(form).close();
}

QStringList NameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters;
}

namespace {

std::optional<std::string> chosenFile(QtWindows& windows, QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    windows.waitWhileShown(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void chooseFilter(QFileDialog& dialog, const FileFilter& filter) {
    const QStringList filters = NameFilters(filter.filter);
    dialog.setNameFilters(filters);
    if (filter.index >= 1 && filter.index <= filters.size())
        dialog.selectNameFilter(filters[filter.index - 1]);
}

} // namespace

std::optional<std::string> QtWindows::askSaveFileName(const FileFilter& filter,
                                                      const std::string& defaultExtension) {
    QFileDialog dialog(mainWindow_);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    chooseFilter(dialog, filter);
    return chosenFile(*this, dialog);
}

std::optional<std::string> QtWindows::askOpenFileName(const FileFilter& filter,
                                                      const std::string& initialDirectory) {
    QFileDialog dialog(mainWindow_);
    dialog.setObjectName("OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!initialDirectory.empty()) dialog.setDirectory(QString::fromStdString(initialDirectory));
    chooseFilter(dialog, filter);
    return chosenFile(*this, dialog);
}

void QtWindows::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("QORVA"), QString::fromStdString(text),
                    QMessageBox::Ok, mainWindow_);
    box.setObjectName("MessageBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    waitWhileShown(box);
}

} // namespace qorva::gui
