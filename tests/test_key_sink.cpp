#include "world.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qorva;
using namespace qorva::test;

namespace {

const std::string kShiftDown = down(16, 0x2A), kShiftUp = up(16, 0x2A);
const std::string kPause = down(19);

std::string move(int vk) {
    return tap(vk) + "; " + wait10();
}
std::string times(int n, const std::string& keys) {
    std::string out;
    for (int k = 0; k < n; ++k) out += (out.empty() ? "" : "; ") + keys;
    return out;
}

} // namespace

TEST(KeySink, MovesFollowTheLayout) {
    using Op = std::function<void(KeySink&)>;
    struct Case {
        const char* name;
        int layout;
        Op op;
        std::string keys;
    } cases[] = {
        {"ReUTab(3)", 1, [](KeySink& k) { k.ReUTab(3); }, times(3, move(40))},
        {"ReUTab(0)", 1, [](KeySink& k) { k.ReUTab(0); }, ""},
        {"ReUTab(2)", 0, [](KeySink& k) { k.ReUTab(2); }, times(2, move(39))},
        {"ReUTab(1)", 3, [](KeySink& k) { k.ReUTab(1); }, move(9)},
        {"ReUTabTime(1)", 0, [](KeySink& k) { k.ReUTabTime(1); }, move(40)},
        {"ReUTabTime(1)", 1, [](KeySink& k) { k.ReUTabTime(1); }, move(39)},
        {"LiOSTab(1)", 0, [](KeySink& k) { k.LiOSTab(1); }, move(37)},
        {"LiOSTab(1)", 1, [](KeySink& k) { k.LiOSTab(1); }, move(38)},
        {"LiOSTab(2)", 2, [](KeySink& k) { k.LiOSTab(2); },
         kShiftDown + "; " + times(2, move(9)) + "; " + kShiftUp},
        {"LiOSTab(2)", 3, [](KeySink& k) { k.LiOSTab(2); }, kShiftDown + "; " + kShiftUp},
        {"LiO(1)", 1, [](KeySink& k) { k.LiO(1); }, move(38)},
        {"LiOSTabTime(1)", 0, [](KeySink& k) { k.LiOSTabTime(1); }, move(38)},
        {"LiOSTabTime(1)", 1, [](KeySink& k) { k.LiOSTabTime(1); }, move(37)},
        {"LiOSTabTime(1)", 3, [](KeySink& k) { k.LiOSTabTime(1); }, kShiftDown + "; " + kShiftUp},
        {"LioiTab(2)", 3, [](KeySink& k) { k.LioiTab(2); },
         kShiftDown + "; " + times(2, move(9)) + "; " + kShiftUp},
        {"LioiTab(1)", 1, [](KeySink& k) { k.LioiTab(1); }, move(38)},
        {"UReRet()", 0, [](KeySink& k) { k.UReRet(); }, move(40)},
        {"UReRet()", 1, [](KeySink& k) { k.UReRet(); }, move(39)},
        {"UReRet()", 2, [](KeySink& k) { k.UReRet(); }, tap(13)},
        {"UReRet()", 3, [](KeySink& k) { k.UReRet(); }, move(9)},
        {"URe()", 0, [](KeySink& k) { k.URe(); }, move(40)},
        {"URe()", 1, [](KeySink& k) { k.URe(); }, move(39)},
        {"URe()", 2, [](KeySink& k) { k.URe(); }, move(40)},
        {"URe()", 3, [](KeySink& k) { k.URe(); }, move(40)},
        {"OLiSRet()", 0, [](KeySink& k) { k.OLiSRet(); }, move(38)},
        {"OLiSRet()", 1, [](KeySink& k) { k.OLiSRet(); }, move(37)},
        {"OLiSRet()", 2, [](KeySink& k) { k.OLiSRet(); },
         kShiftDown + "; " + tap(13) + "; " + kShiftUp},
        {"OLiSRet()", 3, [](KeySink& k) { k.OLiSRet(); }, kShiftDown + "; " + kShiftUp},
        {"ReTab(true)", 1, [](KeySink& k) { k.ReTab(true); }, move(39)},
        {"ReTab(true)", 2, [](KeySink& k) { k.ReTab(true); }, move(9)},
        {"ReTab(false)", 2, [](KeySink& k) { k.ReTab(false); }, move(39)},
        {"ReTab(false)", 3, [](KeySink& k) { k.ReTab(false); }, move(9)},
        {"OLi()", 1, [](KeySink& k) { k.OLi(); }, move(37)},
        {"OLi()", 2, [](KeySink& k) { k.OLi(); }, move(38)},
        {"OLi()", 3, [](KeySink& k) { k.OLi(); }, kShiftDown + "; " + kShiftUp},
        {"Ret()", 0, [](KeySink& k) { k.Ret(); }, tap(13)},
        {"stab(0)", 2, [](KeySink& k) { k.stab(0); }, ""},
    };
    for (const auto& c : cases) {
        World w;
        w.frm.Ausgabeart.setItemIndex(c.layout);
        c.op(w.frm.keys);
        EXPECT_EQ(w.takeTrace(), c.keys) << c.name << " under layout " << c.layout;
        EXPECT_EQ(w.frm.Ausgabeart.ItemIndex(), c.layout) << c.name;
    }
}

TEST(KeySink, TypeStringSendsPausePrefixedCharacterKeys) {
    struct Case {
        std::string text;
        int notation;
        std::string keys;
    } cases[] = {
        {"12.5", 1,
         kPause + "; " + tap(97) + "; " + kPause + "; " + tap(98) + "; " + kPause + "; " +
             tap(188) + "; " + kPause + "; " + tap(101)},
        {"Ab", 2,
         kPause + "; " + kShiftDown + "; " + tap(65) + "; " + kShiftUp + "; " + kPause + "; " +
             tap(66, 0x30)},
        {".", 0, kPause + "; " + tap(190)},
        {".", 2, kPause + "; " + tap(110)},
        {"-/\\", 2, times(3, kPause + "; " + tap(109))},
        {"\xE4\x01", 2, times(2, kPause + "; " + tap(32))},
        {"%", 2, kPause + "; " + tap(37, 0x4B)}, // the cursor-left key that the parsers rely on
        {" ", 2, kPause + "; " + tap(32, 0x39)},
        // Characters whose code is a system key are typed as a Space.
        {")*+,[]^_{|}~", 2, times(12, kPause + "; " + tap(32))},
    };
    for (const auto& c : cases) {
        World w;
        w.frm.Notation.setItemIndex(c.notation);
        w.frm.keys.TypeString(c.text);
        EXPECT_EQ(w.takeTrace(), c.keys) << c.text;
    }
}

TEST(KeySink, DecimalKeyIsLeftOutWithoutANotation) {
    World w;
    w.frm.Notation.setItemIndex(-1);
    w.frm.keys.TypeString(".");
    w.frm.keys.messzeig("1.5");
    EXPECT_EQ(w.takeTrace(), kPause + "; " + tap(49) + "; " + tap(53));
}

TEST(KeySink, MesszeigTypesSignDigitsAndOneSeparator) {
    struct Case {
        std::string value;
        int notation;
        std::string keys;
    } cases[] = {
        {"-1.25", 0, tap(109) + "; " + tap(49) + "; " + tap(190) + "; " + tap(50) + "; " + tap(53)},
        {"12,5", 1, tap(49) + "; " + tap(50) + "; " + tap(188) + "; " + tap(53)},
        {"45%", 2, tap(52) + "; " + tap(53)},
        {"0.50 more", 2, tap(48) + "; " + tap(110) + "; " + tap(53) + "; " + tap(48)},
        {" +7-3", 2, tap(55) + "; " + tap(51)},
        {"  -0.05", 2,
         tap(109) + "; " + tap(48) + "; " + tap(110) + "; " + tap(48) + "; " + tap(53)},
        {"", 2, ""},
    };
    for (const auto& c : cases) {
        World w;
        w.frm.Notation.setItemIndex(c.notation);
        w.frm.keys.messzeig(c.value);
        EXPECT_EQ(w.takeTrace(), c.keys) << c.value;
    }
}

TEST(KeySink, MarkingsAreUnshiftedKeysBetweenPauses) {
    World w;
    w.frm.keys.Farbe("Dot N");
    EXPECT_EQ(w.takeTrace(), kPause + "; " + kPause + "; " + tap(68) + "; " + kPause + "; " +
                                 tap(79) + "; " + kPause + "; " + tap(84) + "; " + kPause + "; " +
                                 tap(32) + "; " + kPause + "; " + tap(78) + "; " + kPause);
    w.frm.keys.Farbe("a-[");
    EXPECT_EQ(w.takeTrace(), kPause + "; " + kPause + "; " + tap(65) + "; " + kPause + "; " +
                                 tap(109) + "; " + kPause + "; " + tap(32) + "; " + kPause);
    w.frm.keys.Farbe2('L');
    EXPECT_EQ(w.takeTrace(), kShiftDown + "; " + tap(76) + "; " + kShiftUp);
    w.frm.keys.TypeString("Dot N");
    w.frm.keys.Farbe("Dot N");
    EXPECT_EQ(w.grid(), "dot na- LDot Ndot n\n");
}

TEST(DateTime, LayoutTwoWithBothCells) {
    World w(LocalDateTime{2026, 12, 10, 8, 5, 9});
    w.frm.Ausgabeart.setItemIndex(2);
    w.frm.Datumaus.setChecked(true);
    w.frm.Zeitaus.setChecked(true);
    w.frm.keys.Datumzeitaus();
    const std::string shiftTab = kShiftDown + "; " + move(9) + "; " + kShiftUp;
    const std::string dot = tap(190);
    const std::string colon = down(16) + "; " + tap(186) + "; " + up(16); // ':' needs Shift
    const std::string date = tap(97) + "; " + tap(96) + "; " + dot + "; " + tap(97) + "; " +
                             tap(98) + "; " + dot + "; " + tap(98) + "; " + tap(96) + "; " +
                             tap(98) + "; " + tap(102);
    const std::string time = tap(96) + "; " + tap(104) + "; " + colon + "; " + tap(96) + "; " +
                             tap(101) + "; " + colon + "; " + tap(96) + "; " + tap(105);
    EXPECT_EQ(w.takeTrace(), move(9) + "; " + date + "; " + shiftTab + "; " + move(9) + "; " +
                                 move(9) + "; " + time + "; " + shiftTab + "; " + shiftTab);
}

TEST(DateTime, CellsAndCursorInEveryLayout) {
    // The time stands beside the date, where the record's own cells run, so the next
    // record (one row down, or one column on) finds its date cell free; under a column
    // of values it goes across, below the date in layout 0.
    constexpr TimeCell kAcross = TimeCell::AcrossDate;
    struct Case {
        int layout;
        bool date, time;
        std::string grid;
        CellRef cursor;
        TimeCell placement = TimeCell::BesideDate;
    } cases[] = {
        {0, true, true, "v,10.12.2026,08:05:09\n", {1, 1}},
        {1, true, true, "v\n10.12.2026\n08:05:09\n", {1, 1}},
        {2, true, true, "v,10.12.2026,08:05:09\n", {1, 1}},
        {3, true, true, "v,10.12.2026,,08:05:09\n", {1, 4}},
        {0, true, true, "v,10.12.2026\n,08:05:09\n", {1, 1}, kAcross},
        {1, true, true, "v\n10.12.2026,08:05:09\n", {1, 1}, kAcross},
        {2, true, true, "v,10.12.2026,08:05:09\n", {1, 1}, kAcross},
        {3, true, true, "v,10.12.2026,,08:05:09\n", {1, 4}, kAcross},
        {0, false, true, "v,08:05:09\n", {1, 1}},
        {0, false, true, "v,08:05:09\n", {1, 1}, kAcross},
        {3, false, true, "v,08:05:09\n", {1, 2}},
        {3, true, false, "v,10.12.2026\n", {1, 2}},
        {1, false, false, "v\n", {1, 1}},
    };
    for (const auto& c : cases) {
        World w(LocalDateTime{2026, 12, 10, 8, 5, 9});
        w.frm.Ausgabeart.setItemIndex(c.layout);
        w.frm.Datumaus.setChecked(c.date);
        w.frm.Zeitaus.setChecked(c.time);
        w.frm.keys.TypeString("v");
        w.frm.keys.Datumzeitaus(c.placement);
        const std::string grid = w.grid();
        const bool across = c.placement == kAcross;
        EXPECT_EQ(grid, c.grid) << "layout " << c.layout << (across ? " across" : "");
        EXPECT_EQ(w.sheet.cursor().row, c.cursor.row) << "layout " << c.layout;
        EXPECT_EQ(w.sheet.cursor().col, c.cursor.col) << "layout " << c.layout;
    }
}

TEST(DateTime, FormatsSeparatorsAndTheClockAdvance) {
    World w(LocalDateTime{2026, 12, 31, 23, 59, 58}, "yyyy/M/d", "h:mm:ss tt");
    w.frm.Datumaus.setChecked(true);
    w.frm.Zeitaus.setChecked(true);
    w.loop.runUntil(3000); // the clock follows virtual time across the year's end
    w.frm.keys.Datumzeitaus();
    EXPECT_EQ(w.grid(), ",2027/1/1,12:00:01 am\n");
}

// [keys] MoveWait reaches the key sink through the keyboard port: a port that asks for
// time after a cursor move gets it after every move, and after nothing else.
TEST(KeySink, APortsSettleTimeFollowsEveryMove) {
    struct SettlingPort : KeyboardPort {
        int settleMs = 0;
        void sendKey(const KeyEvent&) override {}
        int moveSettleMs() const override { return settleMs; }
    };
    for (const int settle : {0, 1, 250}) {
        World w;
        SettlingPort port;
        port.settleMs = settle;
        w.keyboard.add(port);
        w.frm.Ausgabeart.setItemIndex(1);
        int64_t start = w.loop.now();
        w.frm.keys.ReUTab(3);
        EXPECT_EQ(w.loop.now() - start, 3 * (10 + settle)) << settle;
        EXPECT_EQ(w.takeTrace(), times(3, move(40))) << "the wait is the port's, not a key event";
        start = w.loop.now();
        w.frm.keys.Ret();
        EXPECT_EQ(w.loop.now() - start, 0) << settle;
    }
}
