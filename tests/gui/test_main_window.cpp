#include "gui_world.h"
#include "shell/monitor_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace qorva;
using namespace qorva::test;

namespace {

// Every control a user sees has a widget that shows its caption, hint, enabled and
// visible state; timers and the menu have none.
TEST(MainWindow, EveryControlHasAWidgetShowingItsState) {
    GuiWorld w;
    int widgets = 0;
    std::function<void(TControl&)> visit = [&](TControl& control) {
        for (TControl* child : control.Children()) {
            visit(*child);
            if (dynamic_cast<TTimer*>(child) || dynamic_cast<TMainMenu*>(child) ||
                dynamic_cast<TMenuItem*>(child))
                continue;
            QWidget* widget = w.window.view().widgetOf(*child);
            ASSERT_TRUE(widget) << child->Name();
            ++widgets;
            EXPECT_EQ(widget->toolTip().toStdString(), child->Hint()) << child->Name();
            EXPECT_EQ(widget->isEnabled(), child->Enabled()) << child->Name();
            if (!child->Visible()) {
                EXPECT_TRUE(widget->isHidden()) << child->Name();
            }
            if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text().toStdString(), child->Caption()) << child->Name();
            }
            if (auto* group = dynamic_cast<QGroupBox*>(widget)) {
                EXPECT_EQ(group->title().toStdString(), child->Caption()) << child->Name();
            }
        }
    };
    visit(w.frm.form);
    EXPECT_GT(widgets, 100);
    EXPECT_EQ(w.window.windowTitle().toStdString(), "QORVA v01.22");
}

TEST(MainWindow, TickingABoxChangesItsFlagAndAllAndNothingTickTheirGroup) {
    GuiWorld w;
    w.frm.densito.setActivePageIndex(1);
    w.frm.Manufacturer.setActivePageIndex(1);
    w.frm.PageControl1.setActivePageIndex(2);
    QApplication::processEvents();
    auto* box = w.widget<QCheckBox>("CheckBox20");
    ASSERT_TRUE(box);
    ASSERT_TRUE(box->isVisible());
    ASSERT_TRUE(w.frm.flags.ausgabe(20));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_FALSE(w.frm.flags.ausgabe(20));
    EXPECT_FALSE(box->isChecked());

    w.click("Button13"); // NICHTS of the four colours
    for (int n = 19; n <= 22; ++n) {
        EXPECT_FALSE(w.frm.flags.ausgabe(n)) << n;
        EXPECT_FALSE(w.widget<QCheckBox>("CheckBox" + std::to_string(n))->isChecked()) << n;
    }
    w.click("Button8"); // ALLE
    for (int n = 19; n <= 22; ++n)
        EXPECT_TRUE(w.widget<QCheckBox>("CheckBox" + std::to_string(n))->isChecked()) << n;
}

// A reaction of the model (dot gain off disables its reference box) shows at once.
TEST(MainWindow, ReactionsOfTheModelShowInTheWidgets) {
    GuiWorld w;
    w.frm.flags.box(13)->setChecked(false);
    EXPECT_FALSE(w.widget<QCheckBox>("CheckBox54")->isEnabled());
    EXPECT_FALSE(w.widget<QCheckBox>("CheckBox54")->isChecked());
    w.frm.flags.box(13)->setChecked(true);
    EXPECT_TRUE(w.widget<QCheckBox>("CheckBox54")->isEnabled());
}

TEST(MainWindow, StartAndStopEnableAsTheModelDoes) {
    GuiWorld w;
    w.line(w.frm.Commport.ItemIndex());
    auto* start = w.widget<QPushButton>("Button3");
    auto* stop = w.widget<QPushButton>("Button4");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    w.click("Button3");
    EXPECT_TRUE(w.frm.running());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_EQ(w.widget<QLabel>("StatusBar1")->text().toStdString(), TMainFrm::kConnected);
    w.click("Button4");
    EXPECT_FALSE(w.frm.running());
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(w.widget<QLabel>("StatusBar1")->text().toStdString(), TMainFrm::kDisconnected);
}

TEST(MainWindow, ARecordAppearsInTheMonitorAndTypesIntoTheSheet) {
    GuiWorld w;
    w.frm.Manufacturer.setActivePageIndex(1);
    w.frm.densito.setActivePageIndex(0);
    MemorySerialPorts::Device& device = w.line(w.frm.Commport.ItemIndex());
    w.click("Button3");
    ASSERT_TRUE(w.frm.running());
    device.input += "%  045.20R\r\n";
    w.run(500);
    const QString monitor = w.widget<QPlainTextEdit>("RSMemo")->toPlainText();
    EXPECT_TRUE(monitor.contains("%  045.20R")) << monitor.toStdString();
    EXPECT_NE(w.grid().find("045"), std::string::npos) << w.grid();
    // The monitor shows exactly the model's lines.
    QStringList lines;
    for (const auto& line : w.frm.RSMemo.Lines())
        lines << QString::fromStdString(std::string(MonitorLine(line)));
    EXPECT_EQ(monitor, lines.join('\n'));
    w.click("Clear");
    EXPECT_TRUE(w.widget<QPlainTextEdit>("RSMemo")->toPlainText().isEmpty());
}

TEST(MainWindow, PortLayoutAndBitRateChosenInTheWindowReachTheModel) {
    GuiWorld w;
    w.frm.PageControl1.setActivePageIndex(0);
    QApplication::processEvents();
    auto* com3 = w.window.findChild<QRadioButton*>("Commport.2");
    ASSERT_TRUE(com3);
    QTest::mouseClick(com3, Qt::LeftButton, {}, QPoint(8, com3->height() / 2));
    EXPECT_EQ(w.frm.Commport.ItemIndex(), 2);
    EXPECT_FALSE(w.window.findChild<QRadioButton*>("Commport.1")->isChecked());
    // Clicking the chosen item again leaves it chosen.
    QTest::mouseClick(com3, Qt::LeftButton, {}, QPoint(8, com3->height() / 2));
    EXPECT_TRUE(com3->isChecked());

    auto* rates = w.widget<QComboBox>("BaudRate");
    rates->activated(5);
    EXPECT_EQ(w.frm.BaudRate.ItemIndex(), 5);
    QTest::keyClicks(rates->lineEdit(), "7");
    EXPECT_EQ(w.frm.BaudRate.ItemIndex(), -1);
    EXPECT_EQ(w.frm.BaudRate.Text(), rates->currentText().toStdString());

    w.frm.PageControl1.setActivePageIndex(1);
    QApplication::processEvents();
    auto* columns = w.window.findChild<QRadioButton*>("Ausgabeart.1");
    QTest::mouseClick(columns, Qt::LeftButton, {}, QPoint(8, columns->height() / 2));
    EXPECT_EQ(w.frm.Ausgabeart.ItemIndex(), 1);
}

TEST(MainWindow, PagesAndMenuFollowTheModelBothWays) {
    GuiWorld w;
    auto* pages = w.widget<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->currentIndex(), 2);
    pages->setCurrentIndex(0);
    EXPECT_EQ(w.frm.PageControl1.ActivePageIndex(), 0);
    QAction* copyPaste = w.window.view().actionOf(w.frm.CopyPasteSettings1);
    ASSERT_TRUE(copyPaste);
    copyPaste->trigger();
    EXPECT_EQ(w.frm.PageControl1.ActivePageIndex(), 1);
    EXPECT_EQ(pages->currentIndex(), 1);
    w.frm.TabSheet1.setCaption("Schnittstelle");
    EXPECT_EQ(pages->tabText(0).toStdString(), "Schnittstelle");
    w.frm.Interface1.setCaption("Schnittstelle");
    EXPECT_EQ(w.window.view().actionOf(w.frm.Interface1)->text().toStdString(), "Schnittstelle");
}

TEST(MainWindow, SaveWritesTheMonitor) {
    GuiWorld w;
    w.frm.RSMemo.appendLine("first");
    w.frm.RSMemo.appendLine("second");
    const std::string path = testing::TempDir() + "monitor_saved";
    std::filesystem::remove(path + ".txt");
    w.whenModal([path](QWidget& modal) {
        auto& dialog = dynamic_cast<QFileDialog&>(modal);
        EXPECT_EQ(dialog.nameFilters(),
                  (QStringList{"Text file *.txt (*.txt)", "All files *.* (*)"}));
        answerFileDialog(dialog, path);
    });
    w.click("BitBtn11");
    EXPECT_EQ(readText(path + ".txt"), "first\nsecond\n");
}

// A file that cannot be created: the message names it and the system's reason, and the
// monitor is kept.
std::string failedSave(const std::string& path) {
    GuiWorld w;
    w.frm.RSMemo.appendLine("kept");
    std::string message;
    w.whenModal([&](QWidget& modal) {
        answerFileDialog(modal, path);
        w.whenModal([&message](QWidget& box) {
            message = dynamic_cast<QMessageBox&>(box).text().toStdString();
            dynamic_cast<QMessageBox&>(box).accept();
        });
    });
    w.click("BitBtn11");
    EXPECT_EQ(w.frm.RSMemo.Lines(), std::vector<std::string>{"kept"});
    EXPECT_FALSE(std::filesystem::exists(path));
    return message;
}

TEST(MainWindow, SaveIntoAFolderWithoutRightsShowsWhyAndKeepsTheMonitor) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write everywhere";
    const std::string folder = testing::TempDir() + "no_rights";
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0500);
    const std::string path = folder + "/monitor.txt";
    const std::string message = failedSave(path);
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(message, "Cannot create file \"" + path + "\". Permission denied");
}

TEST(MainWindow, SaveIntoAMissingFolderShowsWhyAndKeepsTheMonitor) {
    const std::string path = testing::TempDir() + "no_such_folder/monitor.txt";
    EXPECT_EQ(failedSave(path), "Cannot create file \"" + path + "\". No such file or directory");
}

TEST(MainWindow, CancellingTheSaveDialogWritesNothing) {
    GuiWorld w;
    w.whenModal([](QWidget& modal) { dynamic_cast<QFileDialog&>(modal).reject(); });
    w.click("BitBtn11");
    EXPECT_FALSE(QApplication::activeModalWidget());
}

TEST(MainWindow, ClosingTheWindowWritesTheSettings) {
    const std::string path = storedSettings();
    {
        GuiWorld w(path, false);
        w.frm.Datumaus.setChecked(true);
        w.click("BitBtn1");
        EXPECT_TRUE(w.closed);
    }
    EXPECT_NE(readText(path).find("Aus=10"), std::string::npos) << readText(path);
}

TEST(MainWindow, TheStatusBarShowsTheStartUpsConnectionMessage) {
    GuiWorld w;
    EXPECT_FALSE(w.frm.StatusBar1.SimpleText().empty());
    EXPECT_EQ(w.widget<QLabel>("StatusBar1")->text().toStdString(), w.frm.StatusBar1.SimpleText());
}

// Without a settings file the Info dialog asks for the language before the main window
// is shown; the dialog closes with OK.
TEST(StartUp, AFirstStartAsksForTheLanguage) {
    Platform platform;
    gui::QtWindows windows{platform.loop};
    PlatformServices services = platform.services();
    services.windows = &windows;
    RecordingLauncher launcher;
    std::ostringstream log;
    bool asked = false;
    std::function<void()> answer = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            platform.loop.post(30, answer);
            return;
        }
        asked = modal->windowTitle() == "Info";
        auto* ok = modal->findChild<QPushButton*>("BitBtn1");
        ASSERT_TRUE(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
    };
    platform.loop.post(30, answer);
    std::filesystem::remove(settingsPath());
    QorvaApplication app(services, launcher, ApplicationSettings{settingsPath(), true}, log);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(QApplication::activeModalWidget());
    windows.releaseWindows();
}

} // namespace
