// Every record kind of every family, in every layout, with and without marking, date and
// time, in every notation: several records in a row, and no cell receives a second value.
#include "world.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace qorva;
using namespace qorva::test;

namespace {

struct Kind {
    const char* name;
    const char* page;
    std::vector<std::string> records;
    int markingBox;
    std::vector<int> boxesOff = {};
};

// A plate reader's picture: its header, 35 bands of 385 characters, its trailer.
std::string platePicture(const std::string& caption) {
    return caption + " Image\r\n" + std::string(35 * 385, '\x55') + "\r\nEnd Image\r\n";
}

// Three records of each kind, or a session of the family's kinds mixed, with values that
// differ, so a lost one shows in the grid.
const Kind kKinds[] = {
    {"Lab",
     "Blatt5",
     {"L  95.12 a  -1.23 b   2.34\r\n", "L  90.00 a   1.00 b   0.50\r\n",
      "L  80.00 a   2.00 b   0.70\r\n"},
     73},
    {"CMYKRGB",
     "Blatt5",
     {"C   1.10 M   1.20 Y   1.30 K   1.90 R   0.40 G   0.50 B   0.60\r\n",
      "C   1.11 M   1.21 Y   1.31 K   1.91 R   0.41 G   0.51 B   0.61\r\n",
      "C   1.12 M   1.22 Y   1.32 K   1.92 R   0.42 G   0.52 B   0.62\r\n"},
     73},
    {"CMYKRGB with one colour",
     "Blatt5",
     {"C   1.10 M   1.20\r\n", "C   1.11 M   1.21\r\n", "C   1.12 M   1.22\r\n"},
     73,
     {82}},
    {"balance",
     "Blatt5",
     {"C  1.10   M  1.20   Y  1.30\r\n", "C  1.11   M  1.21   Y  1.31\r\n",
      "C  1.12   M  1.22   Y  1.32\r\n"},
     73,
     {59}},
    {"density", "Blatt5", {"K   1.45\r\n", "C   1.38\r\n", "M   1.41\r\n"}, 73},
    {"zeroing", "Blatt5", {"0.012\r\n", "0.013\r\n", "0.014\r\n"}, 73},
    {"dot gain with reference", "Blatt5", {"K050%012%\r\n", "C040%013%\r\n", "M030%014%\r\n"}, 73},
    {"dot gain", "Blatt5", {"K050%012%\r\n", "C040%013%\r\n", "M030%014%\r\n"}, 73, {71}},
    {"trapping", "Blatt5", {"TCM 25%\r\n", "TMY 26%\r\n", "TCY 27%\r\n"}, 73},
    {"tone value", "Blatt5", {"K 50%\r\n", "C 40%\r\n", "M 30%\r\n"}, 73},
    {"density difference", "Blatt5", {"KD   0.05U\r\n", "MD  -0.06D\r\n", "YD   0.07U\r\n"}, 73},
    {"dot-gain difference with reference",
     "Blatt5",
     {"KD50% 12%\r\n", "CD40% 10%\r\n", "MD30% 11%\r\n"},
     73},
    {"dot-gain difference",
     "Blatt5",
     {"KD50% 12%\r\n", "CD40% 10%\r\n", "MD30% 11%\r\n"},
     73,
     {71}},
    {"balance difference",
     "Blatt5",
     {"CD 0.05  DMD-0.02  UYD 0.01  D\r\n", "CD 0.06  DMD-0.03  UYD 0.02  D\r\n",
      "CD 0.07  DMD-0.04  UYD 0.03  D\r\n"},
     73,
     {59}},
    {"PFI kinds mixed",
     "Blatt5",
     {"K   1.45\r\n", "L  95.12 a  -1.23 b   2.34\r\n", "K050%012%\r\n", "TCM 25%\r\n",
      "C  1.10   M  1.20   Y  1.30\r\n", "L  90.00 a   1.00 b   0.50\r\n", "KD50% 12%\r\n",
      "0.012\r\n", "CD 0.05  DMD-0.02  UYD 0.01  D\r\n", "K 50%\r\n", "KD   0.05U\r\n",
      "M   1.41\r\n"},
     73,
     {59}},
    {"VARNIK",
     "VARNIKPage",
     {"C   1234M    250Y    100K   2000E     25V    500\r\n",
      "C   1180M    262Y     95K   1985E     31V    510\r\n",
      "C   1210M    244Y    102K   2012E     18V    495\r\n"},
     76},
    {"VARNIK with one value", "VARNIKPage", {"E     25\r\n", "E     31\r\n", "E     18\r\n"}, 76},
    {"LUMA",
     "LUMAPage",
     {"X 41.234Y 21.300Z  1.801\r\n", "X 40.002Y 20.950Z  1.555\r\n",
      "X 39.500Y 20.100Z  1.400\r\n"},
     74},
    {"dot area", "Blatt1", {"%  045.20R\r\n", "% M046.10 \r\n", "%NS047.30R\r\n"}, 48},
    {"density and absolute density",
     "Blatt1",
     {"D  01.452R\r\n", "DA 01.528R\r\n", "D  01.634 \r\n"},
     48},
    {"gloss", "Blatt1", {"G 45.2\r\n", "G 46.0\r\n", "G912.3\r\n"}, 48},
    {"channel",
     "Blatt1",
     {"Ch1 R1.24 d0.507\r\n", "Ch2 R1.08 x0.388\r\n", "Ch3 x1.03 d0.530\r\n"},
     48},
    {"dot-area kinds mixed",
     "Blatt1",
     {"DA 01.141 \r\n", "G 48.3\r\n", "Ch4 R1.37 d0.389\r\n", "%NM029.21R\r\n", "% S028.71R\r\n",
      "D  01.634 \r\n", "Ch1 R1.24 d0.507\r\n", "G 45.4\r\n"},
     48},
    {"four-colour tone value", "Blatt2", {"C 45%00\r\n", "M 15%57\r\n", "K100%37\r\n"}, 49},
    {"four-colour dot gain without reference",
     "Blatt2",
     {"C 18%50\r\n", "M 20%40\r\n", "Y 22%60\r\n"},
     49,
     {54}},
    {"print contrast", "Blatt2", {"M 35K00\r\n", "Y 30K00\r\n", "C 32K00\r\n"}, 49},
    {"hue error and grayness", "Blatt2", {"HC 12%\r\n", "GM 08%\r\n", "HC 07%\r\n"}, 49},
    {"trapping and print characteristic",
     "Blatt2",
     {"T072 CM\r\n", "P045 KC\r\n", "T070 CM\r\n"},
     49},
    {"four-colour densities",
     "Blatt2",
     {"V1.69C1.56M1.19Y1.13\r\n", "V1.71C1.60M1.54Y1.07A\r\n", "V0.00C0.00M0.00Y0.00\r\n"},
     49},
    {"four-colour kinds mixed",
     "Blatt2",
     {"C 24%00\r\n", "M 15%57\r\n", "Y 39K00\r\n", "GM 06%\r\n", "T070 CM\r\n", "P053 KC\r\n",
      "V1.69C1.56M1.19Y1.13\r\n", "V1.71C1.60M1.54Y1.07A\r\n", "V0.00C0.00M0.00Y0.00\r\n",
      "K 17%67\r\n"},
     49},
    {"seven-colour densities",
     "Blatt3",
     {"C1.234M1.111Y2.222O0.333G0.444B0.555K1.666\r\n",
      "C1.235M1.112Y2.223O0.334G0.445B0.556K1.667\r\n",
      "C1.236M1.113Y2.224O0.335G0.446B0.557K1.668\r\n"},
     50},
    {"seven-colour densities without black",
     "Blatt3",
     {"C1.234M1.111Y2.222O0.333G0.444B0.555K1.666\r\n",
      "C1.235M1.112Y2.223O0.334G0.445B0.556K1.667\r\n"},
     50,
     {23}},
    {"seven-colour single values",
     "Blatt3",
     {"M 50%\r\nC 45%\r\nO12%50\r\nG1.234\r\nK0.000\r\nK  0%\r\nY1.456\r\nC1.345\r\n"},
     50},
    {"seven-colour contrast, trapping and balance",
     "Blatt3",
     {"c45%C\r\ng12%\r\nh 7%\r\nTCM 25% 45%\r\nTCM-25% 45%\r\nTMY 30% 100%\r\n",
      "DV C 50% M 48% Y 52% K 49% O 47% G 51% B 53%\r\nc100% K\r\n"},
     50},
    {"seven-colour trapping without Perlfaktor",
     "Blatt3",
     {"TCM 25% 45%\r\nTMY 30% 10%\r\n"},
     50,
     {32}},
    {"seven-colour colour analysis",
     "Blatt3",
     {"L 95.12a -1.23b  2.34\r\n", "dL  0.12da -0.05db  0.03dE  0.14R1\r\n",
      "L 90.01 C 45.12 h123.4\r\n", "dL  0.12dC -0.05dH  0.03dE  0.14R2\r\n",
      "Y 45.12x0.3127y0.3290\r\n", "dY  0.12dx0.0012dy-0.001R3\r\n",
      "L 95.13a -1.24b  2.35dL  0.13da -0.06db  0.04dE  0.15R4\r\n"},
     50},
    {"seven-colour colour analysis without reference numbers",
     "Blatt3",
     {"L 95.12a -1.23b  2.34\r\n", "dL  0.12da -0.05db  0.03dE  0.14R1\r\n",
      "Y 45.12x0.3127y0.3290\r\n", "dY  0.12dx0.0012dy-0.001R3\r\n"},
     50,
     {43}},
    {"plate-reader lines and pictures",
     "Blatt4",
     {"PLAXEN 4711\r\n", "%D  045.20\r\n", "\xC9R  012.5050.00\r\n", platePicture("PLAXEN 1"),
      "%L  60.00 L/cm\r\n", platePicture("NOVIR 2"), platePicture("Zintoka 3"), "NOVIR 12\r\n",
      "%R  013.5051.00\r\n"},
     56},
    {"plate-reader lines without reference values",
     "Blatt4",
     {"%R  012.5050.00\r\n", platePicture("PLAXEN 1"), "%D  045.20\r\n", "%R  013.5051.00\r\n"},
     56,
     {55}},
};

struct Combination {
    const Kind& kind;
    int layout;
    bool marking, date, time;
    int notation;
    CellRef origin;

    std::string name() const {
        return std::string(kind.name) + ", layout " + std::to_string(layout) +
               (marking ? ", marking" : "") + (date ? ", date" : "") + (time ? ", time" : "") +
               ", notation " + std::to_string(notation) + ", from " + CellName(origin);
    }
};

// Types the combination's records into a sheet of its own that starts at its origin; each
// record is named by its number for the overwrites it causes.
void typeSession(const Combination& c, SheetPreview& sheet) {
    World w(LocalDateTime{2026, 3, 14, 9, 26, 53});
    w.keyboard.add(sheet);
    onPage(w, c.kind.page);
    for (int n : c.kind.boxesOff) w.frm.flags.box(n)->setChecked(false);
    w.frm.flags.box(c.kind.markingBox)->setChecked(c.marking);
    w.frm.Ausgabeart.setItemIndex(c.layout);
    w.frm.Notation.setItemIndex(c.notation);
    w.frm.Datumaus.setChecked(c.date);
    w.frm.Zeitaus.setChecked(c.time);
    int number = 0;
    w.frm.pipeline.setRecordListener(
        [&](const std::string&) { sheet.beginRecord("record " + std::to_string(++number)); });
    std::string lines;
    for (const auto& record : c.kind.records) lines += record;
    typeRecords(w, lines);
    sheet.finish();
}

// The cells of the combination that received a second value: how many, and the first.
std::string overwrites(const Combination& c) {
    SheetPreview sheet(c.origin);
    typeSession(c, sheet);
    const auto& found = sheet.overwrites();
    if (found.empty()) return "";
    const Overwrite& first = found.front();
    return c.name() + ": " + std::to_string(found.size()) + " cells, first " + CellName(first.at) +
           " \"" + first.lost + "\" (" + first.lostRecord + ") by \"" + first.value + "\" (" +
           first.record + ")\n";
}

const Kind& kindNamed(const std::string& name) {
    for (const Kind& kind : kKinds)
        if (kind.name == name) return kind;
    throw std::invalid_argument("no record kind " + name);
}

} // namespace

TEST(Overwrites, NoCombinationTypesOverAValue) {
    std::string failures;
    for (const Kind& kind : kKinds)
        for (int layout = 0; layout < 4; ++layout)
            for (bool marking : {false, true})
                for (bool date : {false, true})
                    for (bool time : {false, true})
                        for (int notation = 0; notation < 3; ++notation)
                            for (CellRef origin : {CellRef{1, 1}, CellRef{9, 8}})
                                failures += overwrites(
                                    {kind, layout, marking, date, time, notation, origin});
    EXPECT_EQ(failures, "");
}

// Where the mended moves put the records that used to collide: the time beside the date,
// a column of values in layout 2 beside the one before, the '%' of a tone value made good
// across the row in layout 1 and without moving the Tab run in layout 2.
TEST(Overwrites, EachRecordBeginsWhereTheOneBeforeEnded) {
    struct Case {
        const char* kind;
        int layout;
        bool marking, date, time;
        std::string grid;
    } cases[] = {
        {"density", 0, true, true, true,
         "\n,k,1.45,14.03.2026,09:26:53\n,c,1.38,14.03.2026,09:26:53\n,m,1.41,14.03.2026,09:26:"
         "53\n"},
        {"density", 1, true, true, true,
         "\n,k,c,m\n,1.45,1.38,1.41\n,14.03.2026,14.03.2026,14.03.2026\n,09:26:53,09:26:53,09:26:"
         "53\n"},
        {"balance", 1, false, true, true,
         "\n,1.10,1.11,1.12\n,1.20,1.21,1.22\n,1.30,1.31,1.32\n,14.03.2026,14.03.2026,14.03.2026\n"
         ",09:26:53,09:26:53,09:26:53\n"},
        {"LUMA", 2, true, false, false,
         "\n,x,41.234,x,40.002,x,39.500\n,y,21.300,y,20.950,y,20.100\n,z,1.801,z,1.555,z,1.400\n"},
        {"LUMA", 2, false, true, true,
         "\n,41.234,,40.002,,39.500\n,21.300,,20.950,,20.100\n,1.801,,1.555,,1.400\n"
         ",14.03.2026,09:26:53,14.03.2026,09:26:53,14.03.2026,09:26:53\n"},
        {"Lab", 2, true, true, false,
         "\n,l,95.12,l,90.00,l,80.00\n,a,-1.23,a,1.00,a,2.00\n,b,2.34,b,0.50,b,0.70\n"
         ",14.03.2026,,14.03.2026,,14.03.2026\n"},
        {"tone value", 1, true, false, true,
         "\n,k,c,m\n, 50, 40, 30\n,09:26:53,09:26:53,09:26:53\n"},
        {"trapping", 2, false, true, false,
         "\n, 25,14.03.2026\n, 26,14.03.2026\n, 27,14.03.2026\n"},
        {"dot-gain difference with reference", 1, false, false, false, "\n,50,40,30\n,12,10,11\n"},
    };
    for (const auto& c : cases) {
        const Combination combination{kindNamed(c.kind), c.layout, c.marking, c.date, c.time, 0,
                                      CellRef{2, 2}};
        SheetPreview sheet(combination.origin);
        typeSession(combination, sheet);
        EXPECT_EQ(sheet.csv(), c.grid) << combination.name();
        EXPECT_EQ(sheet.overwrites().size(), 0u) << combination.name();
    }
}
