#include "platform/clock.h"

#include <gtest/gtest.h>

using namespace qorva;

// The system's date and time formats come as C library formats; the program keeps them
// as pattern letters, and anything it cannot read falls back.
TEST(DateTime, PatternsFromTheCLibraryFormats) {
    const struct {
        const char* format;
        const char* pattern;
    } cases[] = {
        {"%d.%m.%Y", "dd.MM.yyyy"}, {"%m/%d/%y", "MM/dd/yy"},   {"%H:%M:%S", "HH:mm:ss"},
        {"%e %b %Y", "d MMM yyyy"}, {"%B %Y", "MMMM yyyy"},     {"%I:%M:%S %p", "hh:mm:ss tt"},
        {"%D", "MM/dd/yy"},         {"%T", "HH:mm:ss"},         {"%R", "HH:mm"},
        {"%r", "hh:mm:ss tt"},      {"%Y-%m-%d", "yyyy-MM-dd"}, {"%H%%", "HH%"},
        {"", "fallback"},           {"%d.%m.%", "fallback"},    {"%a %d.%m.", "fallback"},
        {"%Ey", "fallback"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PatternFromStrftime(c.format, "fallback"), c.pattern) << c.format;
}
