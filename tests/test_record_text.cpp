#include "platform/record_text.h"

#include <gtest/gtest.h>

using namespace qorva;

TEST(RecordText, CopyNeverReadsPastTheEnd) {
    struct Case {
        int index, count;
        const char* expected;
    } cases[] = {{1, 3, "abc"}, {4, 10, "de"}, {5, 1, "e"}, {6, 1, ""},
                 {0, 2, "ab"},  {-5, 1, "a"},  {2, 0, ""},  {2, -1, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(Copy("abcde", c.index, c.count), c.expected) << c.index << "," << c.count;
}

TEST(RecordText, PosDeleteInsertAndTrim) {
    EXPECT_EQ(Pos("cd", "abcde"), 3);
    EXPECT_EQ(Pos("x", "abcde"), 0);
    EXPECT_EQ(Pos("", "abcde"), 0);

    RecordText s = "abcde";
    Delete(s, 4, 100);
    EXPECT_EQ(s, "abc");
    Delete(s, 9, 1);
    Delete(s, 0, 1);
    EXPECT_EQ(s, "abc");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYbc");
    Insert("!", s, 99);
    EXPECT_EQ(s, "aXYbc!");

    EXPECT_EQ(Trim(std::string("\r\n 1.25 \r\n", 10)), "1.25");
    EXPECT_EQ(CharAt("ab", 3), 0);
    EXPECT_EQ(UpperCase("ab\xE4z"), "AB\xE4Z");
}
