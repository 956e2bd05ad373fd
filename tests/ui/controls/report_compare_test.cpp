// The report list's order of two cell texts: hex before numbers before dates before plain text, each
// compared by its own rule; and the date reading on its own.

#include <gtest/gtest.h>

#include "ui/controls/report_compare.h"

namespace {

int Sign(int v) {
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

TEST(ReportCompare, FirstRuleBothTextsMeetDecides) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        // Hexadecimal: digit strings by value, "0A" is 10, "10" is 16.
        {"9", "10", -1},
        {"0A", "10", -1},
        {"9", "0A", -1},
        {"ff", "0x100", -1},
        {"-1", "1", 1},                // wraps to 0xFFFFFFFF as an unsigned reading does
        {"FFFFFFFFF", "FFFFFFFF", 0},  // too large reads the largest value
        // Numbers, with one final percent sign allowed.
        {"1.5%", "1.25%", 1},
        {"1.5", "2%", -1},
        {"1e3", "999.5", 1},  // 1e3 is no hex for the other text, so both read as numbers
        {"10%%", "9%", -1},   // two percent signs: no number, ordinal text
        // Dates and times.
        {"2024-01-05", "2023-12-31", 1},
        {"12/31/2023", "1/5/2024", -1},
        {"10:30", "9:15", 1},
        {"9:15 PM", "10:30", 1},
        {"12:05 AM", "0:10", -1},
        {"5 Jan 2024", "January 4, 2024", 1},
        {"2024-01-05 08:00", "2024-01-05 07:59:59", 1},
        {"1/5/24", "12/31/1999", 1},
        {"2023-02-30", "1/1/2024", 1},  // no such day: ordinal text, '2' after '1'
        // Ordinal text: upper case before lower case, empty first.
        {"Zeta", "alpha", -1},
        {"abx", "aby", -1},
        {"b", "B", 0},  // single letters a-f are hex digits
        {"", "a", -1},
        {"10", "", 1},
        {"same", "same", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareReportTexts(QString::fromUtf8(c.a), QString::fromUtf8(c.b))), c.expected)
            << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareReportTexts(QString::fromUtf8(c.b), QString::fromUtf8(c.a))), -c.expected)
            << c.b << " vs " << c.a;
    }
}

TEST(ReportCompare, DateValuesCountDaysFromTheEpochDay) {
    struct Case {
        const char* text;
        double days;
    };
    const Case good[] = {
        {"1899-12-30", 0.0},   {"1899-12-31 12:00", 1.5}, {"12:00 AM", 0.0},         {"12:00 PM", 0.5},
        {"1/2/2000", 36527.0}, {"2000.01.02", 36527.0},   {"06:00:00", 0.25},        {"29 Feb 2024", 45351.0},
        {"1899-12-29", -1.0},  {" 2000-1-2 ", 36527.0},   {"Feb 29, 2024", 45351.0},
    };
    for (const Case& c : good) {
        double value = -99;
        ASSERT_EQ(ParseReportDate(QString::fromUtf8(c.text), &value), 1) << c.text;
        EXPECT_DOUBLE_EQ(value, c.days) << c.text;
    }
    const char* const bad[] = {"",         "hello",       "13/1/2000", "2/30/2000",    "25:00",      "10:60",
                               "13:00 PM", "29 Feb 2023", "1/2/345",   "2000-01-02 x", "Foo 3, 2000"};
    for (const char* text : bad) {
        double value = -99;
        EXPECT_EQ(ParseReportDate(QString::fromUtf8(text), &value), 0) << text;
    }
}

}  // namespace
