#include <gtest/gtest.h>

#include "date.h"

namespace sutograf {
namespace {

// A row of a table prints as its name.
template <class Row>
requires requires(Row r) { r.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

// Every day of the model from the day before it: the fields and the weekday turning over, and the day
// read back from its fields and from its text. Day 0 is 30.12.1899, and 31.12.0099 was a Thursday.
TEST(DateSweep, EveryDayOfTheModelRoundTripsAndFollowsItsPredecessor) {
    ASSERT_EQ(dateOf(1899, 12, 30), Date{0});
    CivilDate prev{99, 12, 31};
    int prevWeekday = 4;
    for (std::int32_t s = kFirstDate.serial; s <= kLastDate.serial; ++s) {
        const Date d{s};
        const CivilDate c = civilOf(d);
        const bool sameMonth = c.year == prev.year && c.month == prev.month && c.day == prev.day + 1;
        const bool nextMonth = c.year == prev.year && c.month == prev.month + 1 && c.day == 1;
        const bool nextYear = c.year == prev.year + 1 && c.month == 1 && c.day == 1 && prev.month == 12;
        ASSERT_TRUE(sameMonth || nextMonth || nextYear) << "serial " << s;
        ASSERT_EQ(dateOf(c.year, c.month, c.day), d) << "serial " << s;
        ASSERT_EQ(dateFromText(shortDateText(d)), d) << shortDateText(d);
        ASSERT_EQ(weekdayOf(d), prevWeekday % 7 + 1) << "serial " << s;
        prev = c;
        prevWeekday = weekdayOf(d);
    }
    EXPECT_EQ(shortDateText(kLastDate), "31.12.9999");
    EXPECT_EQ(dateOf(99, 12, 31), std::nullopt);
    EXPECT_EQ(dateOf(10000, 1, 1), std::nullopt);
}

struct TextCase {
    const char* name;
    const char* text;
    const char* expected; // short text of the date, or nullptr for no date
};
class DateFromText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DateFromText, ReadsDayMonthYear) {
    const auto d = dateFromText(GetParam().text);
    EXPECT_EQ(d ? shortDateText(*d) : "no date", GetParam().expected ? GetParam().expected : "no date");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateFromText,
    ::testing::Values(TextCase{"ShortFields", "1.3.2011", "01.03.2011"},
                      TextCase{"TwoDigitYearBelow30IsThisCentury", "1.3.29", "01.03.2029"},
                      TextCase{"TwoDigitYear30IsLastCentury", "1.3.30", "01.03.1930"},
                      TextCase{"YearZero", "1.3.0", "01.03.2000"},
                      TextCase{"ThreeDigitYearAsWritten", "1.3.201", "01.03.0201"},
                      TextCase{"LeapDay2000", "29.2.2000", "29.02.2000"},
                      TextCase{"NoLeapDay2100", "29.2.2100", nullptr},
                      TextCase{"April31", "31.4.2011", nullptr}, TextCase{"Month13", "1.13.2011", nullptr},
                      TextCase{"FiveDigitYear", "1.3.10000", nullptr},
                      TextCase{"NegativeYear", "1.3.-5", nullptr},
                      TextCase{"FractionalYear", "1.3.2011.5", nullptr},
                      TextCase{"Letters", "1.3.abc", nullptr}, TextCase{"Blank", "1. 3.2011", nullptr},
                      TextCase{"Empty", "", nullptr}, TextCase{"NoDots", "132011", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sutograf
