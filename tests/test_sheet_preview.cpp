#include "platform/sheet_preview.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace qorva;

namespace {

// Plays a key script: a word per key. "S+" "S-" Shift, "C+" "C-" Ctrl, "P:WxH" a picture on
// the clipboard, a number a virtual-key code pressed and released.
std::string play(const std::string& script, CellRef origin = {}, char decimal = '.') {
    SheetPreview sheet(origin, decimal);
    std::istringstream words(script);
    for (std::string w; words >> w;) {
        if (w == "S+" || w == "S-")
            sheet.sendKey({16, 0x2A, w == "S+"});
        else if (w == "C+" || w == "C-")
            sheet.sendKey({17, 0, w == "C+"});
        else if (w.rfind("P:", 0) == 0) {
            const auto x = w.find('x');
            sheet.clipboardPicture(std::stoi(w.substr(2, x - 2)), std::stoi(w.substr(x + 1)));
        } else {
            sheet.sendKey({std::stoi(w), 0, true});
            sheet.sendKey({std::stoi(w), 0, false});
        }
    }
    sheet.finish();
    return sheet.csv();
}

} // namespace

TEST(SheetPreview, InterpretsKeysAsASpreadsheetDoes) {
    struct Case {
        const char* name;
        std::string script;
        std::string grid;
    } cases[] = {
        {"letters lower-case unless Shift", "65 S+ 66 S- 67", "aBc\n"},
        {"main and pad digits, pad operators", "49 97 109 111 106 107 110", "11-/*+.\n"},
        {"punctuation with and without Shift", "190 188 S+ 186 49 191 S- 222", "\".,:!?'\"\n"},
        {"moves store the text", "49 39 50 40 51 37 52 38 53", "5,2\n4,3\n"},
        {"never past row 1 or column A", "37 38 49 37 38", "1\n"},
        {"Tab run returns to its column", "39 49 9 50 9 51 13 52", ",1,2,3\n,4\n"},
        {"Shift+Return goes up in the run's column", "40 40 39 49 9 50 S+ 13 S- 51",
         "\n,3\n,1,2\n"},
        {"an arrow ends the run", "49 9 50 40 13 51", "1,2\n\n,3\n"},
        {"Return without a run goes down", "49 13 50 S+ 13 S- 51", "3\n2\n"},
        {"Esc discards the edit text", "49 27 50", "2\n"},
        {"a stored cell is replaced", "49 39 37 50", "2\n"},
        {"Pause, modifiers and other keys do nothing", "19 S+ S- 112 91 49", "1\n"},
        {"Ctrl+V pastes and the picture stays selected", "P:8x4 49 C+ 86 C- 50 39 27 51",
         "[picture 8x4]3\n"},
        {"Shift+Insert pastes", "P:2x3 39 S+ 45 S- 27 39 49", ",[picture 2x3],1\n"},
        {"paste with an empty clipboard", "49 C+ 86 C- 50", "2\n"},
        {"fields with commas and quotes are quoted", "188 39 S+ 222", "\",\",\"\"\"\"\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(play(c.script), c.grid) << c.name;
}

TEST(SheetPreview, OriginAndDecimalSeparator) {
    EXPECT_EQ(play("49 110 53 40 50", *ParseCellRef("c2"), ','), "\n,,\"1,5\"\n,,2\n");
    EXPECT_FALSE(ParseCellRef("A0"));
    EXPECT_FALSE(ParseCellRef("1A"));
    EXPECT_FALSE(ParseCellRef("A"));
    EXPECT_EQ(ParseCellRef("AA10")->col, 27);
}

TEST(SheetPreview, CountsEveryCellThatReceivesASecondValue) {
    SheetPreview sheet;
    const auto key = [&](int vk) {
        sheet.sendKey({vk, 0, true});
        sheet.sendKey({vk, 0, false});
    };
    const auto paste = [&] {
        sheet.sendKey({17, 0, true});
        key('V');
        sheet.sendKey({17, 0, false});
        key(27);
    };
    sheet.beginRecord("first");
    key('1');
    key(vk::Right);
    key('2');
    key(27); // discarded: nothing stored, nothing lost
    sheet.clipboardPicture(4, 2);
    paste();
    sheet.beginRecord("second");
    paste(); // a picture over a picture
    key(vk::Left);
    key('3'); // begun in the second record, stored in the third
    sheet.beginRecord("third");
    key(vk::Right);
    key('4'); // a value over a picture loses nothing
    sheet.finish();

    ASSERT_EQ(sheet.overwrites().size(), 2u);
    const Overwrite& picture = sheet.overwrites()[0];
    EXPECT_EQ(CellName(picture.at), "B1");
    EXPECT_EQ(picture.lost, "[picture 4x2]");
    EXPECT_EQ(picture.lostRecord, "first");
    EXPECT_EQ(picture.record, "second");
    const Overwrite& value = sheet.overwrites()[1];
    EXPECT_EQ(CellName(value.at), "A1");
    EXPECT_EQ(value.lost, "1");
    EXPECT_EQ(value.value, "3");
    EXPECT_EQ(value.lostRecord, "first");
    EXPECT_EQ(value.record, "second");
    EXPECT_EQ(sheet.csv(), "3,[picture 4x2]4\n");
    EXPECT_EQ(CellName({12, 27}), "AA12");
}
