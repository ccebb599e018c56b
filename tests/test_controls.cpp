#include "platform/controls.h"
#include "shell/control_assignment.h"
#include "world.h"

#include <gtest/gtest.h>

using namespace qorva;

TEST(Controls, EventsRunOnlyOnRealChanges) {
    TForm form("F");
    auto& box = form.add<TCheckBox>("Box", nullptr);
    auto& group = form.add<TRadioGroup>("Group", nullptr);
    group.setItems({"a", "b"});
    auto& pages = form.add<TPageControl>("Pages", nullptr);
    form.add<TTabSheet>("P0", &pages);
    auto& p1 = form.add<TTabSheet>("P1", &pages);
    int clicks = 0, changes = 0, enters = 0;
    box.OnClick = group.OnClick = [&] { ++clicks; };
    pages.OnChange = [&] { ++changes; };
    p1.OnEnter = [&] { ++enters; };

    box.setChecked(false);
    box.setChecked(true);
    box.setChecked(true);
    group.setItemIndex(1);
    group.setItemIndex(1);
    group.setItemIndex(7); // no such item: ignored
    pages.setActivePageIndex(0);
    pages.setActivePageIndex(1);
    pages.setActivePageIndex(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(form.find<TTabSheet>("P1")->PageIndex(), 1);
    EXPECT_EQ(pages.Children().size(), 2u);
}

TEST(Controls, CheckingARadioButtonUnchecksItsSiblings) {
    TForm form("F");
    auto& box = form.add<TGroupBox>("G", nullptr);
    auto& a = form.add<TRadioButton>("A", &box);
    auto& b = form.add<TRadioButton>("B", &box);
    int clicks = 0;
    a.OnClick = b.OnClick = [&] { ++clicks; };
    a.setChecked(true);
    b.setChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST(Controls, AssignmentsReachTheMainWindowByName) {
    test::World world;
    TMainFrm& frm = world.frm;
    struct Case {
        const char* assignment;
        bool ok;
    } cases[] = {{"Manufacturer=ThirdParty", true},
                 {"densito=Blatt5", true},
                 {"TALMOPages=LUMAPage", true},
                 {"Ausgabeart=3", true},
                 {"Notation=0", true},
                 {"Datumaus=1", true},
                 {"Ausgabeart=4", false},
                 {"Datumaus=yes", false},
                 {"densito=Blatt9", false},
                 {"NoSuchControl=1", false},
                 {"Button3=1", false},
                 {"=1", false},
                 {"Zeitaus", false}};
    for (const auto& c : cases)
        EXPECT_EQ(ApplyAssignment(frm.form, c.assignment).empty(), c.ok) << c.assignment;
    EXPECT_EQ(frm.Manufacturer.ActivePage(), &frm.ThirdParty);
    EXPECT_EQ(frm.densito.ActivePageIndex(), 4);
    EXPECT_EQ(frm.TALMOPages.ActivePage(), &frm.LUMAPage);
    EXPECT_EQ(frm.Ausgabeart.ItemIndex(), 3);
    EXPECT_EQ(frm.Notation.ItemIndex(), 0);
    EXPECT_TRUE(frm.Datumaus.Checked());
}

TEST(Controls, MainWindowIsBuiltWithItsTextsAndDefaults) {
    test::World world;
    TMainFrm& frm = world.frm;
    EXPECT_EQ(frm.Ausgabeart.ItemIndex(), 0);
    EXPECT_EQ(frm.Ausgabeart.Items().at(3), "Nächstes Tab-Feld");
    EXPECT_EQ(frm.Notation.ItemIndex(), 2);
    EXPECT_EQ(frm.Notation.Hint(), "Ausgabeformat für gebrochen rationale Zahlen");
    EXPECT_EQ(frm.Blatt3.Caption(), "    MOLDRIX 7000    ");
    EXPECT_EQ(frm.densito.Page(3), &frm.Blatt4);
    EXPECT_EQ(frm.Manufacturer.ActivePage(), &frm.TALMO);
    EXPECT_TRUE(frm.Button3.Enabled());
    EXPECT_FALSE(frm.Button4.Enabled());
    EXPECT_FALSE(frm.running());
    EXPECT_EQ(frm.ParseTimer.Interval(), 100);
    EXPECT_EQ(frm.Watchdog.Interval(), 3000);
    EXPECT_EQ(frm.parseState.RSbuffer, std::string(36, ' '));
}
