#include "dialogs/Konfig2.h"
#include "world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

using namespace qorva;
using namespace qorva::test;

namespace {

const LocalDateTime kNow{2026, 3, 14, 9, 26, 53};

// A program on the seven-colour page with the order dialog's colour order.
struct SevenWorld : World {
    TForm4 form4;
    explicit SevenWorld(const std::string& order = "1234567") : World(kNow) {
        onPage(*this, "Blatt3");
        form4.FormCreate(order);
        frm.colourPlaces.sevenColourOrder = &form4;
    }
};

struct Case {
    const char* name;
    std::string records;
    std::string grid;
    std::vector<int> boxesOff = {};
    std::string order = "1234567";
    int layout = 0;
    bool date = false;
};

void check(const Case& c) {
    SevenWorld w(c.order);
    for (int n : c.boxesOff) w.frm.flags.box(n)->setChecked(false);
    w.frm.Ausgabeart.setItemIndex(c.layout);
    w.frm.Datumaus.setChecked(c.date);
    EXPECT_EQ(typeRecords(w, c.records), c.grid) << c.name;
    EXPECT_EQ(w.frm.parseState.RecBuf, "") << c.name;
    EXPECT_FALSE(w.frm.Timer4.Enabled()) << c.name;
}

const std::string kSeven = "C1.234M1.111Y2.222O0.333G0.444B0.555K1.666\r\n";

} // namespace

TEST(SevenColourFamily, SingleColourValues) {
    const Case cases[] = {
        {"tone value, dot gain, density", "M 50%\r\nO12%50\r\nG1.234\r\nB 7%\r\n",
         "m, 50\no,50, 12\ng,1.234\nb,  7\n"},
        {"dot gain without its reference", "M12%50\r\n", "m, 12\n", {53}},
        {"dot gain box off", "M12%50\r\nM 50%\r\n", "m, 50\n", {31}},
        {"tone value and density boxes off",
         "M 50%\r\nM1.234\r\nM12%50\r\n",
         "m,50, 12\n",
         {30, 33}},
        {"colour box off", "M 50%\r\nO 50%\r\nG 50%\r\nB 50%\r\n", "o, 50\nb, 50\n", {25, 28}},
        {"without markings", "M 50%\r\nO12%50\r\nG1.234\r\n", " 50\n50, 12\n1.234\n", {50}},
        {"a density of five characters is no value", "M1.23\r\nM1.234\r\n", "m,1.234\n"},
        {"yellow", "Y 55%\r\nY12%50\r\nY1.456\r\n", "y, 55\ny,50, 12\ny,1.456\n"},
        {"yellow off", "Y 55%\r\nY1.456\r\n", "", {26}},
        {"black", "K 60%\r\nK12%50\r\nK1.789\r\n", "k, 60\nk,50, 12\nk,1.789\n"},
        {"black off", "K 60%\r\nK1.789\r\n", "", {23}},
        {"black zeros need flag 47", "K  0%\r\nK0.000\r\nK 60%\r\n", "k, 60\n", {47}},
        {"black zeros with flag 47, black off", "K  0%\r\nK0.000\r\n", "n ,  0\nn ,0.000\n", {23}},
        {"black zero density keeps its marking cell", "K0.000\r\nK1.234\r\n",
         "n ,0.000\nk,1.234\n"},
        {"black zero density without marking", "K0.000\r\nK1.234\r\n", "0.000\n1.234\n", {50}},
        {"grauness and hue error", "g12%\r\nh 7%\r\n", "gr, 12\nh e,  7\n"},
        {"grauness and hue error off", "g12%\r\nh 7%\r\n", "", {35, 36}},
    };
    for (const auto& c : cases) check(c);
}

TEST(SevenColourFamily, SevenColourDensitiesInTheOrderOfTheDialog) {
    const Case cases[] = {
        {"default order", kSeven, "c,1.234,m,1.111,y,2.222,o,0.333,g,0.444,b,0.555,k,1.666\n"},
        {"black first",
         kSeven,
         "k,1.666,c,1.234,m,1.111,y,2.222,o,0.333,g,0.444,b,0.555\n",
         {},
         "7123456"},
        {"black first without markings",
         kSeven,
         "1.666,1.234,1.111,2.222,0.333,0.444,0.555\n",
         {50},
         "7123456"},
        {"densities off", kSeven + "M 50%\r\n", "m, 50\n", {33}},
        {"date after the last colour typed",
         kSeven,
         "k,1.666,c,1.234,m,1.111,y,2.222,o,0.333,g,0.444,14.03.2026\n",
         {29},
         "7123456",
         0,
         true},
        {"date after black",
         kSeven,
         "k,1.666,c,1.234,m,1.111,y,2.222,o,0.333,g,0.444,b,0.555,14.03.2026\n",
         {},
         "7123456",
         0,
         true},
        {"in Tab fields, last colour off",
         kSeven + kSeven,
         "k,1.666,c,1.234,m,1.111,y,2.222,o,0.333,g,0.444,k,1.666,c,1.234,m,1.111,y,2.222,o,0.333,"
         "g,0.444\n",
         {29},
         "7123456",
         3},
        {"in columns",
         kSeven + kSeven,
         "m,m\n1.111,1.111\ny,y\n2.222,2.222\ng,g\n0.444,0.444\nb,b\n0.555,0.555\nk,k\n1.666,1."
         "666\n",
         {24, 27},
         "1234567",
         1},
        {"a terminator inside a field cuts nothing off",
         "C1.234M1.1%1Y2.222O0.333G0.444B0.555K1.666\r\n",
         "1.234,1.11,2.222,0.333,0.444,0.555,1.666\n",
         {50}},
        {"too short for all seven", "C1.234M1.111Y2.222\r\nM 50%\r\n", "m, 50\n"},
    };
    for (const auto& c : cases) check(c);
    // Each colour switched off in turn: the others keep their order and close up.
    const std::vector<std::pair<int, std::string>> values = {
        {23, "1.666"}, {29, "0.555"}, {28, "0.444"}, {27, "0.333"},
        {26, "2.222"}, {25, "1.111"}, {24, "1.234"}};
    for (const auto& [off, value] : values) {
        std::string row;
        for (const auto& [colour, shown] : values)
            if (colour != off) row += (row.empty() ? "" : ",") + shown;
        const std::string name = "colour box " + std::to_string(off) + " off";
        check({name.c_str(), kSeven, row + "\n", {off, 50}, "7654321"});
    }
}

TEST(SevenColourFamily, ContrastTrappingAndToneValueBalance) {
    const Case cases[] = {
        {"contrast", "c45%C\r\nc100% K\r\n", "c, 45,kon\nk,100,kon\n"},
        {"contrast without markings", "c45%C\r\nc100% K\r\n", " 45\n100\n", {50}},
        {"contrast with date",
         "c45%C\r\nc100% K\r\n",
         "c, 45,kon,14.03.2026\nk,100,kon,14.03.2026\n",
         {},
         "1234567",
         0,
         true},
        {"contrast of a colour that is off, and contrast off",
         "c45%C\r\nc45%M\r\n",
         "m, 45,kon\n",
         {24},
         "1234567"},
        {"contrast box off", "c45%C\r\n", "", {37}},
        {"trapping and Perlfaktor", "TCM 25% 45%\r\nTMY 30% 100%\r\n",
         "tr cm, 25,pf, 45\ntr my, 30,pf,100\n"},
        {"trapping only, date after it",
         "TCM 25% 45%\r\n",
         "tr cm, 25,14.03.2026\n",
         {32},
         "1234567",
         0,
         true},
        {"Perlfaktor only", "TCM 25% 45%\r\n", "pf, 45\n", {34}},
        {"without markings", "TCM 25% 45%\r\n", " 25, 45\n", {50}},
        {"negative trapping", "TCM-25% 45%\r\nM 50%\r\n", "0\nm, 50\n"},
        {"negative trapping with trapping off", "TCM-25% 45%\r\nM 50%\r\n", "m, 50\n", {34}},
        {"tone value balance", "DV C 50% M 48% Y 52% K 49%\r\n", "Db  c, 50,m, 48,y, 52,k, 49\n"},
        {"tone value balance in the dialog's order",
         "DV C 50% M 48% Y 52% K 49%\r\n",
         "Db  k, 49,c, 50,m, 48,y, 52\n",
         {},
         "7123456"},
        {"tone value balance without markings",
         "DV C 50% M 48% Y 52% K 49%\r\nM 50%\r\n",
         " 50, 48, 52, 49\n 50\n",
         {50}},
        {"tone value balance off", "DV C 50% M 48%\r\nM 50%\r\n", "m, 50\n", {38}},
        {"tone value balance of colours that are off",
         "DV C 50% M 48%\r\nM 40%\r\n",
         "Db  m, 48,14.03.2026\nm, 40,14.03.2026\n",
         {24},
         "1234567",
         0,
         true},
        {"tone value balance without a colour that is on",
         "DV C 50% M 48%\r\nY 40%\r\n",
         "Db  \ny, 40,14.03.2026\n",
         {24, 25},
         "1234567",
         0,
         true},
    };
    for (const auto& c : cases) check(c);
}

TEST(SevenColourFamily, ColourAnalysis) {
    const std::string lab = "L 95.12a -1.23b  2.34\r\n", lch = "L 90.01 C 45.12 h123.4\r\n",
                      yxy = "Y 45.12x0.3127y0.3290\r\n";
    const std::string labDelta = "dL  0.12da -0.05db  0.03dE  0.14R1\r\n",
                      lchDelta = "dL  0.12dC -0.05dH  0.03dE  0.14R2\r\n",
                      yxyDelta = "dY  0.12dx0.0012dy-0.001R3\r\n";
    const std::string all = lab + labDelta + lch + lchDelta + yxy + yxyDelta;
    const Case cases[] = {
        {"values and deltas", all,
         "L , 95.12,a, -1.23,b,  2.34,dL ,  0.12,da, -0.05,db,  0.03,dE ,  0.14,r1\nL , 90.01,C , "
         "45.12,h, 123.4,dL ,  0.12,dC , -0.05,dH ,  0.03,dE ,  0.14,r2\nY , "
         "45.12,x,0.3127,y,0.3290,dY ,  0.12,dx,0.0012,dy,-0.001,r3\n"},
        {"without markings",
         all,
         " 95.12, -1.23,  2.34,  0.12, -0.05,  0.03,  0.14,r1\n 90.01, 45.12, 123.4,  0.12, -0.05, "
         " 0.03,  0.14,r2\n 45.12,0.3127,0.3290,  0.12,0.0012,-0.001,r3\n",
         {50}},
        {"with date",
         all,
         "L , 95.12,a, -1.23,b,  2.34,14.03.2026,dL ,  0.12,da, -0.05,db,  0.03,dE ,  "
         "0.14,14.03.2026,r1,14.03.2026\nL , 90.01,C , 45.12,h, 123.4,14.03.2026,dL ,  0.12,dC , "
         "-0.05,dH ,  0.03,dE ,  0.14,14.03.2026,r2,14.03.2026\nY , "
         "45.12,x,0.3127,y,0.3290,14.03.2026,dY ,  "
         "0.12,dx,0.0012,dy,-0.001,14.03.2026,r3,14.03.2026\n",
         {},
         "1234567",
         0,
         true},
        {"in columns with date",
         all,
         "L ,L ,Y \n 95.12, 90.01, 45.12\na,C ,x\n -1.23, 45.12,0.3127\nb,h,y\n  2.34, "
         "123.4,0.3290\n14.03.2026,14.03.2026,14.03.2026\ndL ,dL ,dY \n  0.12,  0.12,  0.12\nda,dC "
         ",dx\n -0.05, -0.05,0.0012\ndb,dH ,dy\n  0.03,  0.03,-0.001\ndE ,dE ,14.03.2026\n  0.14,  "
         "0.14,r3\n14.03.2026,14.03.2026,14.03.2026\nr1,r2\n14.03.2026,14.03.2026\n",
         {},
         "1234567",
         1,
         true},
        {"in Tab rows with date",
         all,
         "L , 95.12,a, -1.23,b,  2.34,14.03.2026,dL ,  0.12,da, -0.05,db,  0.03,dE ,  "
         "0.14,14.03.2026,r1,14.03.2026\nL , 90.01,C , 45.12,h, 123.4,14.03.2026,dL ,  0.12,dC , "
         "-0.05,dH ,  0.03,dE ,  0.14,14.03.2026,r2,14.03.2026\nY , "
         "45.12,x,0.3127,y,0.3290,14.03.2026,dY ,  "
         "0.12,dx,0.0012,dy,-0.001,14.03.2026,r3,14.03.2026\n",
         {},
         "1234567",
         2,
         true},
        {"in Tab fields with date",
         all,
         "L , 95.12,a, -1.23,b,  2.34,14.03.2026,dL ,  0.12,da, -0.05,db,  0.03,dE ,  "
         "0.14,14.03.2026,r1,14.03.2026,L , 90.01,C , 45.12,h, 123.4,14.03.2026,dL ,  0.12,dC , "
         "-0.05,dH ,  0.03,dE ,  0.14,14.03.2026,r2,14.03.2026,Y , "
         "45.12,x,0.3127,y,0.3290,14.03.2026,dY ,  "
         "0.12,dx,0.0012,dy,-0.001,14.03.2026,r3,14.03.2026\n",
         {},
         "1234567",
         3,
         true},
        {"without reference numbers",
         all,
         "L , 95.12,a, -1.23,b,  2.34,dL ,  0.12,da, -0.05,db,  0.03,dE ,  0.14\nL , 90.01,C , "
         "45.12,h, 123.4,dL ,  0.12,dC , -0.05,dH ,  0.03,dE ,  0.14\nY , "
         "45.12,x,0.3127,y,0.3290,dY ,  0.12,dx,0.0012,dy,-0.001\n",
         {43}},
        {"without deltas",
         all,
         "L , 95.12,a, -1.23,b,  2.34\nL , 90.01,C , 45.12,h, 123.4\nY , 45.12,x,0.3127,y,0.3290\n",
         {44}},
        {"colour analysis off", all, "", {39}},
        {"L*a*b* off: neither values nor deltas",
         all,
         "L , 90.01,C , 45.12,h, 123.4,dL ,  0.12,dC , -0.05,dH ,  0.03,dE ,  0.14,r2\nY , "
         "45.12,x,0.3127,y,0.3290,dY ,  0.12,dx,0.0012,dy,-0.001,r3\n",
         {40}},
        {"L*C*h off",
         all,
         "L , 95.12,a, -1.23,b,  2.34,dL ,  0.12,da, -0.05,db,  0.03,dE ,  0.14,r1\nY , "
         "45.12,x,0.3127,y,0.3290,dY ,  0.12,dx,0.0012,dy,-0.001,r3\n",
         {41}},
        {"Yxy off",
         all,
         "L , 95.12,a, -1.23,b,  2.34,dL ,  0.12,da, -0.05,db,  0.03,dE ,  0.14,r1\nL , 90.01,C , "
         "45.12,h, 123.4,dL ,  0.12,dC , -0.05,dH ,  0.03,dE ,  0.14,r2\n",
         {42}},
        {"values and deltas in one line",
         "L 95.12a -1.23b  2.34dL  0.12da -0.05db  0.03dE  0.14R4\r\n",
         "L , 95.12,a, -1.23,b,  2.34,dL ,  0.12,da, -0.05,db,  0.03,dE ,  0.14,r4\n"},
        {"too short",
         "L 95.12a -1.23b 2.34\r\nY 45.12x0.312y0.329\r\ndY 0.12dx0.0012dy0.0010R3\r\n", ""},
    };
    for (const auto& c : cases) check(c);
}

namespace {

int passes(const std::string& trace) {
    int count = 0;
    for (size_t at = trace.find("wait 50"); at != std::string::npos;
         at = trace.find("wait 50", at + 1))
        ++count;
    return count;
}

} // namespace

TEST(SevenColourFamily, PassLoopEndsAndItsLimitDropsWhatNothingConsumes) {
    const struct {
        const char* record;
        int passes;
    } cases[] = {
        {"N 1234567\r\n", 1},                 // no handler in the first pass
        {"dY 0.12dx0.0012dy0.0010R3\r\n", 1}, // a delta of 28 characters
        {"M 50%\r\n", 1},
        {"c45% N\r\n", 30}, // a contrast without its colour: retried up to the limit
        // then one character every eleven passes until it is shorter than the minimum
        {"c45% NNNNNNNNNN\r\n", 107},
    };
    for (const auto& c : cases) {
        SevenWorld w;
        const std::string grid = typeRecords(w, c.record);
        EXPECT_EQ(passes(w.takeTrace()), c.passes) << c.record;
        EXPECT_EQ(w.frm.parseState.RecBuf, "") << c.record;
        if (c.passes > 1) {
            EXPECT_EQ(grid, "") << c.record;
        }
    }
}

namespace {

// Runs the program until the parse of everything delivered has ended.
void parsed(World& w) {
    while (!w.frm.pipeline.RSBUF.empty() || !w.frm.pipeline.semaphore)
        w.loop.runUntil(w.loop.now() + 10);
}

} // namespace

TEST(SevenColourFamily, AShortCyanRecordIsTypedWhenTimer4Fires) {
    SevenWorld w;
    w.frm.Button3.Click();
    w.deliver("C 45%\r\n");
    parsed(w);
    ASSERT_TRUE(w.frm.Timer4.Enabled());
    EXPECT_EQ(w.frm.parseState.RecBuf, "");
    const int64_t deferred = w.loop.now();
    w.loop.runUntil(deferred + 900);
    EXPECT_EQ(w.grid(), "");
    w.loop.runUntil(deferred + 1100);
    EXPECT_EQ(w.grid(), "c, 45\n");
    EXPECT_FALSE(w.frm.Timer4.Enabled());
    w.loop.runUntil(deferred + 5000);
    EXPECT_EQ(w.grid(), "c, 45\n") << "one-shot";
}

TEST(SevenColourFamily, TheNextRecordTypesTheDeferredOneInFrontOfItself) {
    const struct {
        const char* name;
        int laterMs;
        const char* page;
        std::string next, grid;
    } cases[] = {
        {"within the second", 300, "Blatt3", "M 50%\r\n", "c, 45\nm, 50\n"},
        {"after the second", 1500, "Blatt3", "M 50%\r\n", "c, 45\nm, 50\n"},
        {"on another page", 300, "Blatt5", "M 50%\r\n", "c, 45\nm, 50\n"},
        {"a seven-colour record", 300, "Blatt3", kSeven,
         "c, 45\nc,1.234,m,1.111,y,2.222,o,0.333,g,0.444,b,0.555,k,1.666\n"},
        {"another short cyan record", 300, "Blatt3", "C1.234\r\n", "c, 45\nc,1.234\n"},
    };
    for (const auto& c : cases) {
        SevenWorld w;
        w.frm.Button3.Click();
        w.deliver("C 45%\r\n");
        parsed(w);
        w.loop.runUntil(w.loop.now() + c.laterMs);
        onPage(w, c.page);
        w.deliver(c.next);
        parsed(w);
        w.loop.runUntil(w.loop.now() + 1500);
        EXPECT_EQ(w.grid(), c.grid) << c.name;
        EXPECT_FALSE(w.frm.Timer4.Enabled()) << c.name;
    }
}

TEST(SevenColourFamily, StopLeavesTheDeferredRecordToTimer4) {
    SevenWorld w;
    w.frm.Button3.Click();
    w.deliver("C14%50\r\n");
    parsed(w);
    w.frm.Button4.Click();
    w.loop.runUntil(w.loop.now() + 1100);
    EXPECT_EQ(w.grid(), "c,50, 14\n");
}

TEST(SevenColourFamily, Timer4WaitsWhileAParseRuns) {
    SevenWorld w;
    w.frm.Button3.Click();
    w.deliver("C1.234\r\n");
    parsed(w);
    w.frm.pipeline.semaphore = false; // as while another record is typed
    w.loop.runUntil(w.loop.now() + 1100);
    EXPECT_EQ(w.grid(), "");
    EXPECT_TRUE(w.frm.Timer4.Enabled());
    w.frm.pipeline.semaphore = true;
    w.loop.runUntil(w.loop.now() + 1000);
    EXPECT_EQ(w.grid(), "c,1.234\n");
    EXPECT_FALSE(w.frm.Timer4.Enabled());
}

namespace {

struct SafeKeyCheck : KeyboardPort {
    int unsafe = 0, lastUnsafe = 0;
    void sendKey(const KeyEvent& event) override {
        if (!IsSafeKey(event.vk)) ++unsafe, lastUnsafe = event.vk;
    }
};

// One of every record kind, as the instrument sends them.
const char* const kSession[] = {
    "C1.234M1.111Y2.222O0.333G0.444B0.555K1.666",
    "M 50%",
    "M12%50",
    "O1.234",
    "K  0%",
    "K0.000",
    "C 45%",
    "C14%50",
    "c45%C",
    "g12%",
    "h 7%",
    "TCM 25% 45%",
    "TCM-25% 45%",
    "DV C 50% M 48% Y 52% K 49% O 47% G 51% B 53%",
    "L 95.12a -1.23b  2.34",
    "dL  0.12da -0.05db  0.03dE  0.14R1",
    "L 90.01 C 45.12 h123.4",
    "dL  0.12dC -0.05dH  0.03dE  0.14R2",
    "Y 45.12x0.3127y0.3290",
    "dY  0.12dx0.0012dy-0.001R3",
    "L 95.12a -1.23b  2.34dL  0.12da -0.05db  0.03dE  0.14R4",
};

std::string fuzzedRecord(std::mt19937& random) {
    std::uniform_int_distribution<int> coin(0, 3), byte(0, 255);
    std::string record;
    if (coin(random) == 0) {
        const int n = std::uniform_int_distribution<int>(0, 80)(random);
        for (int k = 0; k < n; ++k) record += static_cast<char>(byte(random));
    } else {
        record =
            kSession[std::uniform_int_distribution<size_t>(0, std::size(kSession) - 1)(random)];
        for (int m = std::uniform_int_distribution<int>(0, 3)(random); m > 0 && !record.empty();
             --m) {
            const size_t at = std::uniform_int_distribution<size_t>(0, record.size() - 1)(random);
            if (coin(random) < 2)
                record[at] = static_cast<char>(byte(random));
            else
                record.insert(at, 1, "0123456789.% -CMYOGBKcdaLhxyRT"[byte(random) % 30]);
        }
    }
    return (record + "\r\n").substr(0, 255);
}

std::string randomOrder(std::mt19937& random) {
    std::string order = "1234567";
    std::shuffle(order.begin(), order.end(), random);
    return order;
}

} // namespace

TEST(SevenColourFamily, FuzzedRecordsWithRandomFlagsAndOrders) {
    std::mt19937 random(20261215);
    std::bernoulli_distribution often(0.8);
    for (int world = 0; world < 25; ++world) {
        SevenWorld w(randomOrder(random));
        SafeKeyCheck check;
        w.keyboard.add(check);
        for (int n = 23; n <= 53; ++n)
            if (n <= 44 || n == 47 || n == 50 || n == 53)
                w.frm.flags.box(n)->setChecked(often(random));
        w.frm.Ausgabeart.setItemIndex(world % 4);
        w.frm.Notation.setItemIndex(world % 3);
        w.frm.Datumaus.setChecked(world % 2);
        w.frm.Zeitaus.setChecked(world % 3 == 0);
        for (int k = 0; k < 120; ++k) {
            const std::string record = fuzzedRecord(random);
            const int64_t start = w.loop.now();
            w.frm.parsers.Testrcv(nullptr, record.data(), static_cast<int>(record.size()));
            ASSERT_LT(w.loop.now() - start, 200000) << record;
            const std::string& recBuf = w.frm.parseState.RecBuf;
            ASSERT_TRUE(recBuf.empty() || recBuf == " ") << record << " left " << recBuf;
            if (k % 5 == 0) w.frm.parsers.Timer4Timer();
            ASSERT_EQ(check.unsafe, 0) << "key " << check.lastUnsafe << " for " << record;
        }
    }
}

namespace {

// What qorva-sim sends in a seven-colour session of the given number of records.
std::string simulatorSession(int records) {
    const std::string file = testing::TempDir() + "seven-session.txt";
    std::ofstream{file};
    const std::string command = std::string(QORVA_SIM) + " --family seven --device " + file +
                                " --interval 0 --hold 0 --count " + std::to_string(records);
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(SevenColourFamily, SimulatorSessionsTypeWithoutADrop) {
    const std::string session = simulatorSession(224);
    ASSERT_FALSE(session.empty());
    for (int layout = 0; layout < 4; ++layout) {
        for (bool marking : {false, true}) {
            SevenWorld w(layout % 2 ? "7123456" : "1234567");
            SafeKeyCheck check;
            w.keyboard.add(check);
            w.frm.Ausgabeart.setItemIndex(layout);
            w.frm.flags.box(50)->setChecked(marking);
            w.frm.Datumaus.setChecked(layout % 2);
            EXPECT_NE(typeRecords(w, session), "");
            EXPECT_EQ(w.frm.pipeline.droppedRecords(), 0) << layout;
            EXPECT_EQ(check.unsafe, 0) << layout;
            EXPECT_EQ(w.frm.parseState.RecBuf, "") << layout;
        }
    }
}

TEST(SevenColourFamily, NoOrderOrColourChoiceTypesOverAValue) {
    std::string session;
    for (const char* record : kSession) session += std::string(record) + "\r\n";
    std::string failures;
    for (const char* order : {"1234567", "7123456", "4721635"})
        for (int off : {0, 23, 26, 29})
            for (int layout = 0; layout < 4; ++layout)
                for (int dateTime = 0; dateTime < 4; ++dateTime)
                    for (bool marking : {false, true}) {
                        SevenWorld w(order);
                        SheetPreview sheet(CellRef{9, 8});
                        w.keyboard.add(sheet);
                        if (off) w.frm.flags.box(off)->setChecked(false);
                        w.frm.flags.box(50)->setChecked(marking);
                        w.frm.Ausgabeart.setItemIndex(layout);
                        w.frm.Datumaus.setChecked(dateTime & 1);
                        w.frm.Zeitaus.setChecked(dateTime & 2);
                        typeRecords(w, session);
                        sheet.finish();
                        if (const auto& found = sheet.overwrites(); !found.empty())
                            failures += std::string(order) + " box " + std::to_string(off) +
                                        " off, layout " + std::to_string(layout) + ", date/time " +
                                        std::to_string(dateTime) + (marking ? ", marking" : "") +
                                        ": " + CellName(found.front().at) + " \"" +
                                        found.front().lost + "\" by \"" + found.front().value +
                                        "\"\n";
                    }
    EXPECT_EQ(failures, "");
}
