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
    const char* page = "Blatt5";
};

void check(const Case& c) {
    World w;
    onPage(w, c.page);
    for (int n : c.boxesOff) w.frm.flags.box(n)->setChecked(false);
    EXPECT_EQ(typeRecords(w, c.records), c.grid) << c.name;
    EXPECT_EQ(w.frm.parseState.RecBuf, "") << c.name;
}

} // namespace

TEST(PfiFamily, EachRuleTypesItsRecord) {
    const Case cases[] = {
        {"rule 1 Lab side by side", "L  95.12 a  -1.23 b   2.34\r\nL  90.00 a   1.00 b   0.50\r\n",
         "l,95.12,,l,90.00\na,-1.23,,a,1.00\nb,2.34,,b,0.50\n"},
        {"rule 1 without an a", "L  95.12 x  -1.23 b   2.34\r\nL  90.00 x   1.00 b   0.50\r\n",
         "l,95.12,,l,90.00\nb,2.34,,b,0.50\n"},
        {"rule 2 takes a balance record", "C   1.10   M   1.20   Y   1.30\r\n",
         "c,1.10\nm,1.20\ny,1.30\n"},
        {"rule 2 follows the colour boxes",
         "C   1.10 M   1.20 K   1.90 B   0.40\r\n",
         "c,1.10\nb,0.40\n",
         {82, 80}},
        {"rule 3 balance", "C  1.10   M  1.20   Y  1.30\r\n", "c,1.10,m,1.20,y,1.30\n", {59}},
        {"rule 3 without markings",
         "C  -1.1   M  1.20   Y  1.30\r\nC  1.00   M  1.00   Y  1.00\r\n",
         "-1.1,1.20,1.30\n1.00,1.00,1.00\n",
         {59, 73}},
        {"rule 4 needs 8 characters",
         "K   1.45\r\nK  1.45\r\nC   0.90\r\n",
         "k,1.45\nc,0.90\n",
         {59}},
        {"rule 5 zeroing", "0.012\r\n-0.01\r\n", "n,0.012\n"},
        {"rule 6 dot gain with reference", "K050%012%\r\n", "k,050,012\n", {}},
        {"rule 6 without reference", "K050%012%\r\n", "k,012\n", {71}},
        {"rule 7 trapping", "TCM 25%\r\n", "tr-cm, 25\n"},
        {"rule 8 tone value", "K 50%\r\nR 75%\r\n", "k, 50\nr, 75\n"},
        {"rule 8 outside the colour set", "K 50%\r\nC 40%\r\n", "c, 40\n", {80}},
        {"rule 9 density difference",
         "KD   0.05U\r\nCD  -0.05D\r\n",
         "dk-u,0.05\ndc-d,-0.05\n",
         {59}},
        {"rule 10 dot gain difference", "KD50% 12%\r\nCD40% 10%\r\n", "d k,50,12\nd c,40,10\n"},
        {"rule 10 without reference", "KD50% 12%\r\n", "d k,12\n", {71}},
        {"rule 11 balance difference",
         "CD 0.05  DMD-0.02  UYD 0.01  D\r\n",
         "dc-d,0.05,dm-u,-0.02,dy-d,0.01\n",
         {59}},
        {"rule 11 with 29 characters",
         "CD 0.05  xMD 0.02  xYD 0.01 x\r\n",
         "d c,0.05,d m,0.02,d y,0.01\n",
         {59}},
        {"nothing for a record no rule takes", "Q 1234567\r\nK 12345%\r\n", ""},
        {"rule 5 on another page", "0.012\r\n", "n,0.012\n", {}, "Blatt2"},
        {"rules 6 to 10 need Blatt5", "K 50%\r\nKD50% 12%\r\n", "", {}, "Blatt1"},
        {"rule 7 on another page", "TCM 25%\r\n", "tr-cm, 25\n", {}, "Blatt3"},
    };
    for (const auto& c : cases) check(c);
}

TEST(PfiFamily, PercentIsCursorLeftAndTheMovesMakeItGood) {
    World w;
    onPage(w, "Blatt5");
    typeRecords(w, "K 50%\r\n");
    const std::string p = down(19) + "; ";
    const std::string move = "; " + wait10() + "; ";
    EXPECT_EQ(w.takeTrace(), p + p + tap(75) + "; " + p + tap(39) + move +         // marking, right
                                 p + p + tap(32) + "; " + p + tap(53) + "; " + p + // " 50"
                                 tap(48) + "; " + p + tap(37) + "; " + p +         // "%" is Left
                                 tap(39) + move + tap(37) + move + tap(40) + "; " + wait10());
    EXPECT_EQ(w.sheet.cursor().row, 2);
    EXPECT_EQ(w.sheet.cursor().col, 1);
}
