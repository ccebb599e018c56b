#include "world.h"

#include <gtest/gtest.h>

using namespace qorva;
using namespace qorva::test;

namespace {

std::string afterIntake(World& w, const std::string& record) {
    FamilyRecord views;
    w.frm.parsers.intake(record, views);
    return w.frm.parseState.RecBuf;
}

} // namespace

TEST(RecordIntake, FrontCutAndNormalisations) {
    struct Case {
        std::string record;
        std::string recBuf;
    } cases[] = {
        {"xyz\r\n", " "},
        {"12 C 1.50\r\n", "C 1.50"},
        {"CP 0.95\r\n", "IP 0.95"},
        {"CP 1\r\n", "CP 1"},
        {"M1.20C0.85\r\n", "M1.20 C0.85"},
        {"D 12\r\n", "D 12\r\n"},               // a short "D" record keeps its line end
        {"..cdgh\r\n", "c dh"},                 // lower-case lead characters are their own
        {"\xC9\x31\x32\r\n", "\xC9\x31\x32"},   // codes above 126 can lead a record
        {"junk PLAXEN 1234\r\n", "PL EN 1234"}, // an identifier moves to the front
    };
    for (const auto& c : cases) {
        World w;
        EXPECT_EQ(afterIntake(w, c.record), c.recBuf) << c.record;
    }
}

TEST(RecordIntake, IncompleteTextWaitsForTheNextRecord) {
    World w;
    FamilyRecord views;
    EXPECT_FALSE(w.frm.parsers.intake("ab C 1", views));
    EXPECT_EQ(w.frm.parseState.RecBuf, "C 1");
    EXPECT_TRUE(w.frm.parsers.intake(".50\r\n", views));
    EXPECT_EQ(views.raw, "C 1.50\r\n");
    EXPECT_EQ(views.trimmed, "C 1.50");
    EXPECT_TRUE(w.frm.parsers.intake("12%.5", views)) << "longer than 5 with % and . is complete";
}

TEST(RecordIntake, EveryCompleteRecordLeavesRecBufEmptyOnEveryPage) {
    for (int page = 0; page < 5; ++page) {
        World w;
        w.frm.Manufacturer.setActivePageIndex(1);
        w.frm.densito.setActivePageIndex(page);
        w.frm.parseState.RecBuf = "old ";
        const std::string record = "C 1.50\r\n";
        w.frm.parsers.Testrcv(nullptr, record.data(), static_cast<int>(record.size()));
        EXPECT_EQ(w.frm.parseState.RecBuf, "") << page;
    }
}

TEST(FieldHelpers, StringtestClassesCharacters) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"M1.20C0.85", "M1.20 C0.85"},
        {"GABC", "G B C"},
        {"dCx", "dC x"},        // no space after "d"
        {"TCM 25%", "TCM 25%"}, // no space after "T" or with "T" second to last
        {"BK", "B K"},
        {"B K", "B K"}, // never a second space
        {"L 95.12a", "L 95.12 a"},
        {"Lab", "Lb"},                // an "a" in a short text is dropped
        {"TC 12% 34%", "TC 12% 34%"}, // 10 characters: the trapping fix-up needs more
        {"TYM12%45678", "TYM 12%45678"},
        {"TCM-12345678", "TMP 0"},
        {"TCM-123456789", "TMP 09"},
        {"", ""},
    };
    for (const auto& c : cases) {
        RecordText text = c.in;
        FieldHelpers::stringtest(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(FieldHelpers, SuchPadsPercentagesAfterColourLetters) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"DV M5%", "DV M5%"},                 // already rewritten
        {"D 1234 M5% C12%", "DVM  5% C 12%"}, // everything in front of the letter becomes DV
        {"D 1234 M100%", "DVM100%"},
        {"D 12345 nothing", "D 12345 nothing"}, // no colour letter: unchanged
        {"D12", "D12"},
    };
    for (const auto& c : cases) {
        RecordText text = c.in;
        FieldHelpers::such(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
    RecordText shortD = "D 1 K\r\n";
    FieldHelpers::dotsuch(shortD);
    EXPECT_EQ(shortD, "D 1 K\r\n");
}

TEST(FieldHelpers, ZeroTestsAndDel) {
    EXPECT_TRUE(FieldHelpers::gnull("0.00"));
    EXPECT_TRUE(FieldHelpers::gnull("0x00"));
    EXPECT_FALSE(FieldHelpers::gnull("0.05"));
    EXPECT_FALSE(FieldHelpers::gnull("0.0"));
    EXPECT_TRUE(FieldHelpers::null("K0.00 0.00 0.00 0.00"));
    EXPECT_FALSE(FieldHelpers::null("K0.00 0.00 0.01 0.00"));
    EXPECT_FALSE(FieldHelpers::null("K0.00"));
    EXPECT_EQ(FieldHelpers::del("abcdef", 2), "cdef");
    EXPECT_EQ(FieldHelpers::del("ab", 9), "");
}

TEST(FieldHelpers, Ausdel2TypesANumberFieldAndStopsAtTheEnd) {
    struct Case {
        std::string wert;
        int ab, zeig, entf;
        std::string keys, rest;
    } cases[] = {
        {"C0.123", 2, 5, 6,
         tap(48) + "; " + tap(188) + "; " + tap(49) + "; " + tap(50) + "; " + tap(51), ""},
        {"C12%", 2, 5, 9, tap(49) + "; " + tap(50) + "; " + tap(188), "%"},
        {"C-1.5\r\n", 2, 9, 1, down(109) + "; " + tap(49) + "; " + tap(188) + "; " + tap(53), "\n"},
        {"a -1.23 b", 2, 6, 8, // a sign behind the field's blank is still Subtract, not Insert
         tap(32) + "; " + down(109) + "; " + tap(49) + "; " + tap(188) + "; " + tap(50) + "; " +
             tap(51),
         "b"},
        {"C12", 2, 5, 2, tap(49) + "; " + tap(50) + "; " + tap(188), "2"},  // no terminator
        {"C[1", 2, 5, 1, tap(32) + "; " + tap(49) + "; " + tap(188), "[1"}, // "[" is no key here
        {"C", 5, 5, 1, tap(188), ""},
    };
    for (const auto& c : cases) {
        World w;
        w.frm.Notation.setItemIndex(1);
        EXPECT_EQ(w.frm.parsers.fields.ausdel2(c.wert, c.ab, c.zeig, c.entf), c.rest) << c.wert;
        EXPECT_EQ(w.takeTrace(), c.keys) << c.wert;
    }
}

TEST(FieldHelpers, AusdelTypesAMarkingAndCutsRecBuf) {
    World w;
    w.frm.parseState.RecBuf = "KEEPrest";
    EXPECT_EQ(w.frm.parsers.fields.ausdel("other text", 1, 2, 4), "rest");
    EXPECT_EQ(w.frm.parseState.RecBuf, "rest");
    EXPECT_EQ(w.grid(), "ot\n");
}
