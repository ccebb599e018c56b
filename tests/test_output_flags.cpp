#include "world.h"

#include <gtest/gtest.h>

using namespace qorva;
using qorva::test::World;

namespace {

bool box(World& w, int n) {
    return w.frm.flags.box(n)->Checked();
}
bool enabled(World& w, int n) {
    return w.frm.flags.box(n)->Enabled();
}
void click(World& w, const char* button) {
    w.frm.form.find<TButton>(button)->Click();
}

} // namespace

TEST(OutputFlags, NumberingFollowsTheFlagTable) {
    World w;
    struct Case {
        int n;
        bool expected;
    } cases[] = {{1, true},   {56, true},  {57, false},  {73, false}, {76, false},  {80, true},
                 {94, true},  {95, true},  {102, true},  {0, false},  {61, false},  {64, false},
                 {96, false}, {99, false}, {103, false}, {-1, false}, {1000, false}};
    for (const auto& c : cases) EXPECT_EQ(w.frm.flags.ausgabe(c.n), c.expected) << c.n;
    EXPECT_TRUE(box(w, 57)) << "read directly by its parser, not through ausgabe";

    w.frm.flags.box(93)->setChecked(false);
    EXPECT_FALSE(w.frm.flags.ausgabe(95));
    EXPECT_FALSE(w.frm.flags.ausgabe2(7, 200));
    w.frm.flags.box(7)->setChecked(false);
    EXPECT_FALSE(w.frm.flags.ausgabe2(7, 200));
    EXPECT_TRUE(w.frm.flags.ausgabe3(1, 2, 3));
    EXPECT_FALSE(w.frm.flags.AutoChkbx().Checked());
}

TEST(OutputFlags, AlleSetsOnlyTheNumberedBoxesUpTo56) {
    World w;
    for (int n : {50, 51, 55, 56, 57, 58, 59, 60}) w.frm.flags.box(n)->setChecked(false);
    w.frm.flags.alle(50, 60, true);
    for (int n = 50; n <= 56; ++n) EXPECT_TRUE(box(w, n)) << n;
    for (int n = 57; n <= 60; ++n) EXPECT_FALSE(box(w, n)) << n;
    w.frm.flags.alle(5, 3, false);
    EXPECT_TRUE(box(w, 4));
}

TEST(OutputFlags, ReactionsRunInsideAlleAndTheButtons) {
    World w;
    click(w, "Button15"); // NICHTS on Blatt3 also clears and disables 53 and 40..44
    for (int n : {30, 39, 53, 40, 44}) EXPECT_FALSE(box(w, n)) << n;
    for (int n : {53, 40, 44}) EXPECT_FALSE(enabled(w, n)) << n;
    click(w, "Button11");
    for (int n : {30, 39, 53, 40, 44}) EXPECT_TRUE(box(w, n)) << n;
    for (int n : {53, 40, 44}) EXPECT_TRUE(enabled(w, n)) << n;

    click(w, "Button14"); // NICHTS and ALLE of the seven-colour page's colours
    for (int n = 23; n <= 29; ++n) EXPECT_FALSE(box(w, n)) << n;
    EXPECT_TRUE(box(w, 30));
    click(w, "Button10");
    for (int n = 23; n <= 29; ++n) EXPECT_TRUE(box(w, n)) << n;
    w.frm.flags.box(31)->setChecked(false); // the dot gain's reference goes with it
    EXPECT_FALSE(box(w, 53) || enabled(w, 53));
    w.frm.flags.box(31)->setChecked(true);
    EXPECT_TRUE(box(w, 53) && enabled(w, 53));

    w.frm.flags.box(54)->setChecked(false); // box 13 already on: no reaction of 13 runs,
    click(w, "Button9");                    // but the range 54..54 still checks box 54
    EXPECT_TRUE(box(w, 54));

    click(w, "Button43"); // box 63 looks at flag 13, which is on
    EXPECT_FALSE(box(w, 63));
    EXPECT_TRUE(box(w, 54));
    click(w, "Button6");
    EXPECT_FALSE(box(w, 54));
    EXPECT_FALSE(enabled(w, 54));
    click(w, "Button42");
    EXPECT_FALSE(box(w, 54)) << "box 63 sets 54 to the state of box 13";

    w.frm.flags.box(41)->setChecked(false);
    w.frm.flags.box(39)->setChecked(false);
    w.frm.flags.box(39)->setChecked(true);
    for (int n = 40; n <= 44; ++n) EXPECT_TRUE(box(w, n) && enabled(w, n)) << n;

    w.frm.flags.box(49)->setChecked(false);
    w.frm.flags.AutoChkbx().setChecked(true);
    EXPECT_TRUE(box(w, 49));
    w.frm.flags.AutoChkbx().setChecked(false);
    EXPECT_TRUE(box(w, 49));
}

TEST(OutputFlags, DevicePagesHoldGroupsBoxesAndButtonsInTableOrder) {
    World w;
    const auto names = [](const TControl& parent) {
        std::vector<std::string> out;
        for (const TControl* child : parent.Children()) out.push_back(child->Name());
        return out;
    };
    EXPECT_EQ(names(w.frm.Blatt1),
              (std::vector<std::string>{"SWPrgst", "BitBtn7", "GroupBox1", "GroupBox2",
                                        "CheckBox45", "CheckBox48", "Button12"}));
    EXPECT_EQ(names(*w.frm.form.find("GroupBox1")),
              (std::vector<std::string>{"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4",
                                        "CheckBox5", "CheckBox6", "Button5"}));
    const TControl* autoBox = w.frm.form.find("AutoChkbx");
    EXPECT_EQ(autoBox->Parent()->Caption(), "FARBAUSGABE");
    EXPECT_EQ(autoBox->Parent()->Parent(), &w.frm.Blatt2);
    EXPECT_EQ(w.frm.form.find("CheckBox94")->Caption(), "delta E2000");
    EXPECT_EQ(w.frm.form.find("CheckBox100")->Parent()->Parent(), &w.frm.LUMAPage);
    EXPECT_EQ(w.frm.form.find("Button42")->Hint(), "Alle auswählen");
    EXPECT_EQ(w.frm.form.find("Button43")->Caption(), "Nichts");
    EXPECT_EQ(w.frm.form.find("CheckBox76")->Hint(),
              "Ausgabe der Meßwertkennzeichnung in einer Extraspalte");
}
