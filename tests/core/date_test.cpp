#include <gtest/gtest.h>

#include "date.h"

namespace sutograf {
namespace {

// Every day of the model: text and back, the fields of the next day, and the weekday turning over.
TEST(DateSweep, EveryDayOfTheModelRoundTripsAndFollowsItsPredecessor) {
    CivilDate prev = civilOf(kFirstDate);
    ASSERT_EQ(prev.year, 100);
    ASSERT_EQ(prev.month, 1);
    ASSERT_EQ(prev.day, 1);
    int prevWeekday = weekdayOf(kFirstDate);
    for (std::int32_t s = kFirstDate.serial + 1; s <= kLastDate.serial; ++s) {
        const Date d{s};
        const CivilDate c = civilOf(d);
        const bool sameMonth = c.year == prev.year && c.month == prev.month && c.day == prev.day + 1;
        const bool nextMonth = c.year == prev.year && c.month == prev.month + 1 && c.day == 1;
        const bool nextYear = c.year == prev.year + 1 && c.month == 1 && c.day == 1 && prev.month == 12;
        ASSERT_TRUE(sameMonth || nextMonth || nextYear) << "serial " << s;
        ASSERT_EQ(dateFromText(shortDateText(d)), d) << shortDateText(d);
        const int wd = weekdayOf(d);
        ASSERT_EQ(wd, prevWeekday % 7 + 1) << "serial " << s;
        prev = c;
        prevWeekday = wd;
    }
    EXPECT_EQ(prev.year, 9999);
    EXPECT_EQ(prev.month, 12);
    EXPECT_EQ(prev.day, 31);
}

struct PinnedDate {
    const char* text;
    std::int32_t serial;
    int weekday;
};

void PrintTo(const PinnedDate& c, std::ostream* os) { *os << c.text; }

class PinnedDates : public ::testing::TestWithParam<PinnedDate> {};

TEST_P(PinnedDates, SerialWeekdayAndShortText) {
    const auto& p = GetParam();
    const auto d = dateFromText(p.text);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->serial, p.serial);
    EXPECT_EQ(weekdayOf(*d), p.weekday);
    EXPECT_EQ(shortDateText(*d), p.text);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, PinnedDates,
    ::testing::Values(PinnedDate{"30.12.1899", 0, 6}, PinnedDate{"29.12.1899", -1, 5},
                      PinnedDate{"01.01.2011", 40544, 6}, PinnedDate{"01.03.2011", 40603, 2},
                      PinnedDate{"01.01.0100", -657434, 5}, PinnedDate{"31.12.9999", 2958465, 5},
                      PinnedDate{"29.02.2000", 36585, 2}, PinnedDate{"01.03.2100", 73110, 1}));

struct TextCase {
    const char* name;
    const char* text;
    const char* expected; // short text of the date, or nullptr for no date
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class DateFromText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DateFromText, ReadsDayMonthYear) {
    const auto& c = GetParam();
    const auto d = dateFromText(c.text);
    if (c.expected == nullptr) {
        EXPECT_FALSE(d.has_value()) << shortDateText(*d);
    } else {
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(shortDateText(*d), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateFromText,
    ::testing::Values(TextCase{"ShortFields", "1.3.2011", "01.03.2011"},
                      TextCase{"TwoDigitYearBelow30IsThisCentury", "1.3.29", "01.03.2029"},
                      TextCase{"TwoDigitYear30IsLastCentury", "1.3.30", "01.03.1930"},
                      TextCase{"YearZero", "1.3.0", "01.03.2000"},
                      TextCase{"ThreeDigitYearAsWritten", "1.3.201", "01.03.0201"},
                      TextCase{"NoLeapDay2100", "29.2.2100", nullptr},
                      TextCase{"April31", "31.4.2011", nullptr}, TextCase{"Month13", "1.13.2011", nullptr},
                      TextCase{"FiveDigitYear", "1.3.10000", nullptr},
                      TextCase{"NegativeYear", "1.3.-5", nullptr},
                      TextCase{"FractionalYear", "1.3.2011.5", nullptr},
                      TextCase{"Letters", "1.3.abc", nullptr}, TextCase{"Blank", "1. 3.2011", nullptr},
                      TextCase{"Empty", "", nullptr}, TextCase{"NoDots", "132011", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DateOf, RejectsYearsOutsideTheModel) {
    EXPECT_FALSE(dateOf(99, 12, 31).has_value());
    EXPECT_FALSE(dateOf(10000, 1, 1).has_value());
    EXPECT_EQ(dateOf(100, 1, 1), kFirstDate);
    EXPECT_EQ(dateOf(9999, 12, 31), kLastDate);
}

} // namespace
} // namespace sutograf
