#include "app_world.h"
#include "dialogs/Konfig.h"
#include "dialogs/Konfig2.h"
#include "dialogs/Stopt.h"

#include <gtest/gtest.h>

using namespace qorva;
using namespace qorva::test;

TEST(ColourOrders, PickingATakenColourSwapsTheTwoPlaces) {
    TForm3 four;
    four.FormCreate("1234");
    four.ea(2); // Cyan at place 1
    EXPECT_EQ(four.digits(), "2134");
    four.ea(2); // already checked: nothing
    EXPECT_EQ(four.digits(), "2134");
    four.button(16).setChecked(true); // Gelb at place 4 is already there
    EXPECT_EQ(four.digits(), "2134");
    four.button(15).setChecked(true); // Magenta at place 4
    EXPECT_EQ(four.digits(), "2143");

    TForm4 seven;
    seven.FormCreate("1234567");
    seven.crc(1, 7);
    EXPECT_EQ(seven.digits(), "7234561");
    EXPECT_EQ(seven.form.find("c49")->Caption(), "Schwarz");
    EXPECT_EQ(four.form.find("GroupBox3")->Hint(), "Dritte auszugebende Farbe");
}

TEST(ColourOrders, LoadingAlwaysEndsWithACompleteOrder) {
    struct Case {
        std::string stored, four, seven;
    } cases[] =
        {
            {"1123", "4123", "4123567"},    {"1123456", "4123", "7123456"},
            {"", "1234", "1234567"},        {"12", "1234", "1234567"},
            {"0000", "1234", "1234567"}, // no colour: the places are filled in order
            {"9999999", "1234", "1234567"}, {"abcdefg", "1234", "1234567"},
            {"4444", "1234", "1234567"},    {"7654321", "1234", "7654321"},
        };
    for (const auto& c : cases) {
        TForm3 four;
        four.FormCreate(c.stored.substr(0, 4));
        EXPECT_EQ(four.digits(), c.four) << c.stored;
        TForm4 seven;
        seven.FormCreate(c.stored.substr(0, 7));
        EXPECT_EQ(seven.digits(), c.seven) << c.stored;
    }
}

TEST(ColourOrders, LookupsCountThePlacesBeforeWhoseFlagIsOn) {
    AppWorld w(settingsPath(), true);
    int farb = 0, davor = 0;
    w.frm.flags.box(19)->setChecked(false);
    w.frm.flags.box(21)->setChecked(false);
    w.frm.colourPlaces.Wo1(farb, davor, 4);
    EXPECT_EQ(farb, 22);
    EXPECT_EQ(davor, 1);

    w.app.form4.FormCreate("7123456");
    w.frm.colourPlaces.Wo2(farb, davor, 1);
    EXPECT_EQ(farb, 30);
    EXPECT_EQ(davor, 0);
    w.frm.colourPlaces.Wo2(farb, davor, 2);
    EXPECT_EQ(farb, 24);
    EXPECT_EQ(davor, 1);
    w.frm.flags.box(23)->setChecked(false);
    w.frm.colourPlaces.Wo2(farb, davor, 2);
    EXPECT_EQ(davor, 0);
}

TEST(StartOptions, OpeningAndItsFallback) {
    struct Case {
        std::string target;
        bool opens;
        std::vector<std::string> shown;
    } cases[] = {
        {"EXCEL", false, {"EXCEL"}},
        {"/home/shop/Tabelle.ods", true, {}},
        {"C:\\PROGRAMME\\CALC.EXE", false, {"C:\\PROGRAMME\\CALC.EXE"}}, // upper case: a document
        {"C:\\tools\\calc.exe", false, {}},
        {"abc", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        RecordingLauncher launcher;
        if (!c.opens) launcher.failing.push_back(c.target);
        TStartopt start(launcher);
        start.Choosedprgfile.setText(c.target);
        start.StartPrgFile.Click();
        EXPECT_EQ(launcher.opened.size(), c.target.empty() ? 0u : 1u) << c.target;
        EXPECT_EQ(launcher.shown, c.shown) << c.target;
    }
}

TEST(StartOptions, NoAndYesSwitchTheStartFileControls) {
    RecordingLauncher launcher;
    TStartopt start(launcher);
    start.Stj.setChecked(true);
    start.Choosedprgfile.setText("/a.ods");
    EXPECT_TRUE(start.PrgFilewahl.Enabled());
    start.Sn.setChecked(true);
    EXPECT_EQ(start.Choosedprgfile.Text(), "");
    EXPECT_FALSE(start.Choosedprgfile.Enabled() || start.Prgfilelist.Enabled() ||
                 start.StartPrgFile.Enabled());
}
