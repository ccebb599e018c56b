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
    int layout = 0;
};

void check(const Case& c) {
    World w;
    onPage(w, "Blatt1");
    w.frm.Ausgabeart.setItemIndex(c.layout);
    for (int n : c.boxesOff) w.frm.flags.box(n)->setChecked(false);
    EXPECT_EQ(typeRecords(w, c.records), c.grid) << c.name;
    EXPECT_EQ(w.frm.parseState.RecBuf, "") << c.name;
}

} // namespace

TEST(DotAreaFamily, CharactersOneTwoThreeAndTenChooseTheFunction) {
    const struct {
        const char* record;
        const char* marking;
    } rows[] = {
        {"%  045.20R", "dot r"},     {"% M045.20R", "dotsize r"},     {"% S045.20R", "dotsize r"},
        {"%N 045.20R", "neg dot r"}, {"%NM045.20R", "neg dotsize r"}, {"%NS045.20R", "neg dot r"},
        {"D  01.452R", "dens r"},    {"DA 01.452R", "abs dens r"},    {"%  045.20 ", "dot"},
        {"% M045.20 ", "dot"},       {"% S045.20 ", "dotsoft"},       {"%N 045.20 ", "neg dot"},
        {"%NM045.20 ", "neg dot"},   {"%NS045.20 ", "neg dotsoft"},   {"D  01.452 ", "dens"},
        {"DAM01.452x", "dens"},
    };
    for (const auto& row : rows) {
        const std::string record = std::string(row.record) + "\r\n";
        const std::string value = record[0] == 'D' ? "01.452" : "045.20";
        check({row.record, record, std::string(row.marking) + "," + value + "\n"});
    }
}

TEST(DotAreaFamily, EachFunctionIsGatedByItsFlagAndLeavesNoTraceWhenOff) {
    // The second record starts where the first would have, in the first row.
    const char* records = "%NM045.20R\r\n%  012.50 \r\n";
    check({"flag 4 off", records, "dot,012.50\n", {4}});
    check({"flag 7 off", records, "neg dotsize r,045.20\n", {7}});
    check({"both off", records, "", {4, 7}});
    check({"marking off", records, "045.20\n012.50\n", {48}});
    check({"flag 45 changes nothing", records, "neg dotsize r,045.20\ndot,012.50\n", {45}});
}

TEST(DotAreaFamily, ValueFieldsAreTypedThroughTheirTerminator) {
    check({"a minus", "%  -12.5 R\r\n", "dot r,-12.5 \n"});
    check({"a percent stands for the point", "%  45%   R\r\n", "dot r,45.\n"});
    check({"no terminator in the field", "%  123456R\r\n", "dot r,123456r.\n"});
}

TEST(DotAreaFamily, RecordsTheFamilyDropsTypeNothing) {
    const Case cases[] = {
        {"ten characters", "%  045.2R\r\n", ""},
        {"no CR at 11", "%  045.20R\n", ""},
        {"CR one too late", "%  045.20RR\r\n", ""},
        {"another lead character", "C  045.20R\r\n", ""},
        {"a V record", "V  045.20R\r\n", ""},
        {"a short gloss record", "G 4.5\r\n", ""},
        {"15 or 17 characters are no channel", "Ch1 R1.23 d0.45\r\nCh1 R1.23 d0.4567\r\n", ""},
    };
    for (const auto& c : cases) check(c);
}

TEST(DotAreaFamily, GlossRecords) {
    check({"marked", "G 45.2\r\n", "gl, 45.2\n"});
    check({"a 9 is the minus sign", "G912.3\r\n", "gl,-12.3\n"});
    check({"unmarked, in a column", "G 45.2\r\nG 46.0\r\n", " 45.2, 46.0\n", {48}, 1});
}

// A channel record moves back over exactly the cells it moved on, so the next record
// starts below its first cell whichever parts it has.
TEST(DotAreaFamily, ChannelRecordsEndWhereTheNextRecordBegins) {
    const std::string next = "%  012.50R\r\n";
    const Case cases[] = {
        {"both parts", "Ch1 R1.23 d0.456\r\n" + next, "ch1,r,1.23,d,0.456\ndot r,012.50\n"},
        {"R part only", "Ch2 R1.23 x0.456\r\n" + next, "ch2,r,1.23\ndot r,012.50\n"},
        {"d part only", "Ch3 x1.23 d0.456\r\n" + next, "ch3,d,0.456\ndot r,012.50\n"},
        {"neither part", "Ch4 x1.23 x0.456\r\n" + next, "ch4\ndot r,012.50\n"},
        {"unmarked, one part", "Ch5 R1.23 x0.456\r\n" + next, "1.23\n012.50\n", {48}},
        {"unmarked, both parts, tab rows",
         "Ch6 R1.23 d0.456\r\n" + next,
         "1.23,0.456\n012.50\n",
         {48},
         2},
    };
    for (const auto& c : cases) check(c);
}

TEST(DotAreaFamily, DateAndTimeFollowTheValueAndNotationPicksTheDecimalKey) {
    World w(LocalDateTime{2026, 12, 10, 8, 5, 9});
    onPage(w, "Blatt1");
    w.frm.Datumaus.setChecked(true);
    w.frm.Zeitaus.setChecked(true);
    w.frm.Notation.setItemIndex(static_cast<int>(DecimalNotation::German));
    EXPECT_EQ(typeRecords(w, "%  045.20R\r\n"), "dot r,\"045,20\",10.12.2026,08:05:09\n");
}
