#include "world.h"

#include <gtest/gtest.h>

using namespace qorva;
using namespace qorva::test;

namespace {

const std::string kFullLine = "C   1234M    250Y    100K   2000E     25V    500\r\n";

} // namespace

TEST(MakerInstruments, ColourDifferenceRecords) {
    struct Case {
        const char* name;
        std::string records;
        std::string grid;
        std::vector<int> boxesOff = {};
    } cases[] = {
        {"six values, next record two columns on", kFullLine + kFullLine,
         "c,1.234,,c,1.234\nm,0.250,,m,0.250\ny,0.100,,y,0.100\nk,2.000,,k,2.000\n"
         "e,2.5,,e,2.5\nv,0.500,,v,0.500\n"},
        {"GELB switches K and V", kFullLine, "c,1.234\nm,0.250\ny,0.100\ne,2.5\n", {93}},
        {"SCHWARZ switches C", kFullLine, "m,0.250\ny,0.100\nk,2.000\ne,2.5\nv,0.500\n", {90}},
        {"without markings",
         kFullLine + kFullLine,
         // the step left is lost at column A, as in a real sheet
         "1.234,,1.234\n0.250,,0.250\n0.100,,0.100\n2.000,,2.000\n2.5,,2.5\n0.500,,0.500\n",
         {76}},
        {"first occurrence and a field with text after the number", "Cal   1234M 12\r\n",
         "c,0.000\nm,0.012\n"},
        {"a negative field", "C  -1234\r\n", "c,-1.234\n"},
        {"no letters", "nothing here\r\n", ""},
    };
    for (const auto& c : cases) {
        World w;
        onPage(w, "VARNIKPage");
        for (int n : c.boxesOff) w.frm.flags.box(n)->setChecked(false);
        w.frm.parseState.RecBuf = "left over";
        EXPECT_EQ(typeRecords(w, c.records), c.grid) << c.name;
        EXPECT_EQ(w.frm.parseState.RecBuf, "") << c.name;
    }
}

TEST(MakerInstruments, XyzRecordsAreTypedAsReceived) {
    World w;
    onPage(w, "LUMAPage");
    w.frm.flags.box(101)->setChecked(false);
    w.frm.Notation.setItemIndex(1);
    EXPECT_EQ(typeRecords(w, "X 45.678Y 50.000Z-12.5\r\n"), "x,\"45,678\"\nz,\"-12,5\"\n");
}

TEST(MakerInstruments, DateAndTimeFollowTheLastValue) {
    World w(LocalDateTime{2026, 12, 10, 8, 5, 9});
    onPage(w, "VARNIKPage");
    w.frm.Datumaus.setChecked(true);
    for (int n : {91, 92, 93, 94}) w.frm.flags.box(n)->setChecked(false);
    EXPECT_EQ(typeRecords(w, "C   1000\r\nC   2000\r\n"),
              "c,1.000,,c,2.000\n,10.12.2026,,10.12.2026\n");
}
