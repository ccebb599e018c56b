#include "dialogs/Konfig.h"
#include "world.h"

#include <gtest/gtest.h>

using namespace qorva;
using namespace qorva::test;

namespace {

struct Case {
    const char* name;
    std::string records;
    std::string grid;
    std::vector<int> boxesOff = {};
    std::string order = "1234";
    bool autoColour = false;
    int layout = 0;
};

void check(const Case& c) {
    World w;
    TForm3 order;
    order.FormCreate(c.order);
    w.frm.colourPlaces.fourColourOrder = &order;
    onPage(w, "Blatt2");
    w.frm.Ausgabeart.setItemIndex(c.layout);
    for (int n : c.boxesOff) w.frm.flags.box(n)->setChecked(false);
    w.frm.flags.AutoChkbx().setChecked(c.autoColour);
    EXPECT_EQ(typeRecords(w, c.records), c.grid) << c.name;
    EXPECT_EQ(w.frm.parseState.RecBuf, "") << c.name;
}

const std::string kDensities = "V1.45C1.32M1.28Y0.98\r\n";

} // namespace

TEST(FourColourFamily, SingleColourRecords) {
    const Case cases[] = {
        {"tone value", "C 45%00\r\n", "c, 45\n"},
        {"solid tone value", "K100%37\r\n", "v,100\n"},
        {"dot gain with reference", "C 18%50\r\n", "c,50,18\n"},
        {"dot gain without reference", "C 18%50\r\nM 20%40\r\n", "c,18\nm,20\n", {54}},
        {"print contrast", "M 35K00\r\nY 30K00\r\n", "m,35,kon\ny,30,kon\n"},
        {"hue error and grayness", "HC 12%\r\nGM 08%\r\nGK 08%\r\n", "hc,12\ngm,08\n"},
        {"trapping and print characteristic", "T072 CM\r\nP045 KC\r\n", "tr  cm,072\npf kc,045\n"},
        {"unmarked in a column", "C 45%00\r\nC 18%50\r\n", " 45,50\n,18\n", {49}, "1234", false, 1},
    };
    for (const auto& c : cases) check(c);
}

TEST(FourColourFamily, FunctionAndColourFlagsGate) {
    const std::string records = "C 45%00\r\nC 18%50\r\nM 35K00\r\nHC 12%\r\nGM 08%\r\n"
                                "T072 CM\r\nP045 KC\r\nK100%00\r\n";
    const Case cases[] = {
        {"tone value off",
         records,
         "c,50,18\nm,35,kon\nhc,12\ngm,08\ntr  cm,072\npf kc,045\n",
         {12}},
        {"dot gain off",
         records,
         "c, 45\nm,35,kon\nhc,12\ngm,08\ntr  cm,072\npf kc,045\nv,100\n",
         {13}},
        {"contrast, hue, grayness off",
         records,
         "c, 45\nc,50,18\ntr  cm,072\npf kc,045\nv,100\n",
         {14, 17, 18}},
        {"trapping and characteristic off",
         records,
         "c, 45\nc,50,18\nm,35,kon\nhc,12\ngm,08\nv,100\n",
         {51, 52}},
        {"cyan off", records, "m,35,kon\ngm,08\ntr  cm,072\npf kc,045\nv,100\n", {20}},
        {"black and magenta off",
         records,
         "c, 45\nc,50,18\nhc,12\ntr  cm,072\npf kc,045\n",
         {19, 21}},
    };
    for (const auto& c : cases) check(c);
}

TEST(FourColourFamily, DensitiesInTheUsersOrder) {
    const Case cases[] = {
        {"1234", kDensities, "v,1.45,c,1.32,m,1.28,y,0.98\n"},
        {"4321", kDensities, "y,0.98,m,1.28,c,1.32,v,1.45\n", {}, "4321"},
        {"4321 unmarked",
         kDensities + kDensities,
         "0.98,1.28,1.32,1.45\n0.98,1.28,1.32,1.45\n",
         {49},
         "4321"},
        {"cyan off", kDensities, "v,1.45,m,1.28,y,0.98\n", {20}},
        {"yellow off",
         kDensities + kDensities,
         "v,1.45,c,1.32,m,1.28\nv,1.45,c,1.32,m,1.28\n",
         {22}},
        {"all colours off still moves on",
         kDensities + "0.012\r\n",
         "\nn,0.012\n",
         {19, 20, 21, 22}},
        {"density off", kDensities, "", {15}},
        {"absolute densities", "V1.45C1.32M1.28Y0.98A\r\n", "v,1.45,c,1.32,m,1.28,y,0.98\n", {15}},
        {"absolute off", "V1.45C1.32M1.28Y0.98A\r\n", "", {16}},
        {"next tab field, no move back after place 4",
         kDensities + kDensities,
         "v,1.45,c,1.32,m,1.28,y,0.98,v,1.45,c,1.32,m,1.28,y,0.98\n",
         {},
         "1234",
         false,
         3},
    };
    for (const auto& c : cases) check(c);
}

TEST(FourColourFamily, ZeroingRecordsNeedFlag46) {
    const std::string zero = "V0.00C0.00M0.00Y0.00\r\n";
    check({"on", zero, "v,0.00,c,0.00,m,0.00,y,0.00\n"});
    check({"off: nothing, no move", zero + "C 45%00\r\n", "c, 45\n", {46}});
}

TEST(FourColourFamily, AutoTypesOnlyTheMeasuredColourForOneRecord) {
    const Case cases[] = {
        {"within 30 % of magenta: black", "V1.60C0.90M1.00Y1.10\r\n", "v,1.60\n", {}, "1234", true},
        {"magenta highest", "V0.20C0.50M1.40Y0.60\r\n", "m,1.40\n", {}, "1234", true},
        {"yellow highest", "V0.20C0.50M0.40Y1.10\r\n", "y,1.10\n", {}, "1234", true},
        {"cyan highest", "V0.20C1.50M0.40Y0.60\r\n", "c,1.50\n", {}, "1234", true},
        {"all below 0.08: black", "V0.05C0.07M0.01Y0.02\r\n", "v,0.05\n", {}, "1234", true},
        {"a tie leaves the ticks",
         "V0.20C1.20M1.20Y0.30\r\n",
         "v,0.20,c,1.20,m,1.20,y,0.30\n",
         {},
         "1234",
         true},
        {"not a number leaves the ticks",
         "V0.20C1.x0M1.20Y0.30\r\n",
         "v,0.20,c,1.,m,1.20,y,0.30\n",
         {},
         "1234",
         true},
        {"the ticks come back after the record",
         "V0.20C0.50M1.40Y0.60\r\nC 45%00\r\n",
         "m,1.40\nc, 45\n",
         {},
         "1234",
         true},
    };
    for (const auto& c : cases) check(c);
}

TEST(FourColourFamily, AutoTurnsTheMarkingOn) {
    World w;
    w.frm.flags.box(49)->setChecked(false);
    w.frm.flags.AutoChkbx().setChecked(true);
    EXPECT_TRUE(w.frm.flags.checked(49));
    w.frm.flags.AutoChkbx().setChecked(false);
    EXPECT_TRUE(w.frm.flags.checked(49)) << "unchecking AUTO leaves the marking as it is";
}

TEST(FourColourFamily, RecordsNoRuleTakes) {
    const Case cases[] = {
        {"five characters", "C 45%\r\n", ""},
        {"six characters with a percent", "C 45%0\r\nK 12K0\r\n", ""},
        {"short trapping", "T072 C\r\nP045 K\r\n", ""},
        {"C without percent or K", "C 45 00\r\n", ""},
        {"short density record", "V1.45C1.32M1.28Y0.9\r\n", ""},
        {"hue error of black", "HK 12%\r\n", ""},
        {"junk up to the next black letter", "XX1.45C1.32M1.28Y0.98\r\n", ""},
    };
    for (const auto& c : cases) check(c);
}
