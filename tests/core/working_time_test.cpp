#include <gtest/gtest.h>

#include <climits>

#include "rota.h"
#include "working_time.h"

namespace sutograf {

// duties/worked/night/holiday/norm
void PrintTo(const Hours& h, std::ostream* os) {
    *os << h.duties << '/' << h.workedMinutes << '/' << h.nightMinutes << '/' << h.holidayMinutes << '/'
        << h.normMinutes;
}

namespace {

// A row of a table prints as its name.
template <class Row>
requires requires(Row r) { r.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

Date ymd(int y, int m, int d) { return dateOf(y, m, d).value(); }
const ProductionCalendar& shipped() { return ProductionCalendar::builtIn(); }

// The simple way: every minute of every duty that can reach the period, one at a time.
Hours minuteByMinute(int watch, Date first, Date last, float offset, const DutyRules& r) {
    Hours h{0, 0, 0, 0, shipped().normMinutes(first, last)};
    for (Date d{first.serial - 1}; d <= last; ++d.serial) {
        const int length = watchOn(d, offset) == watch ? r.countedMinutes : 0;
        h.duties += d >= first && length > 0;
        for (int t = r.startMinute; t < r.startMinute + length; ++t) {
            const Date day{d.serial + t / 1440};
            const Date countedOn = r.wholeDutyOnStartDay ? d : day;
            if (first <= countedOn && countedOn <= last) {
                ++h.workedMinutes;
                h.nightMinutes += t % 1440 < 6 * 60 || t % 1440 >= 22 * 60;
                h.holidayMinutes += shipped().kindOf(day) == DayKind::Holiday;
            }
        }
    }
    return h;
}

struct RulesCase {
    const char* name;
    DutyRules rules;
    float offset;
};
class AgainstMinuteByMinute : public ::testing::TestWithParam<RulesCase> {};

TEST_P(AgainstMinuteByMinute, EveryWatchInMonthsAndCutPeriods) {
    // First day and length: the turn of the year, May holidays, a rule year, one day, a period across months.
    const int periods[][4] = {{2024, 12, 1, 31}, {2025, 1, 1, 31}, {2025, 5, 1, 31},
                              {2030, 2, 1, 28},  {2025, 3, 14, 1}, {2025, 6, 11, 22}};
    for (int watch = 1; watch <= 4; ++watch) {
        for (const auto& [y, m, d, length] : periods) {
            const Date first = ymd(y, m, d), last{first.serial + length - 1};
            EXPECT_EQ(hoursOf(watch, first, last, GetParam().offset, shipped(), GetParam().rules),
                      minuteByMinute(watch, first, last, GetParam().offset, GetParam().rules))
                << "watch " << watch << " from " << shortDateText(first);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AgainstMinuteByMinute,
    ::testing::Values(RulesCase{"From0800", {8 * 60, 1440, false}, 0},
                      RulesCase{"FromMidnight", {0, 1440, false}, 1},
                      RulesCase{"FromOneMinuteToMidnight", {1439, 1440, false}, 2},
                      RulesCase{"OneMinuteDuty", {1439, 1, false}, 3},
                      RulesCase{"TwentyTwoHourDuty", {8 * 60, 22 * 60, false}, 0},
                      RulesCase{"WholeDutyOnStartDay", {8 * 60, 1440, true}, 0},
                      RulesCase{"OffsetFiveLeavesADayWithoutAWatch", {8 * 60, 1440, false}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

// Figures worked out by hand, and the worked hours and the balance against the norm as the year window
// writes them. The rules are from 08:00 for 24 hours unless the row gives others. Watch 1 is on duty on
// 15.01.2025, watch 2 on 31.12.2024, watch 3 on 01.01.0100 and watch 2 on 31.12.9999.
struct PinnedCase {
    const char* name;
    int watch;
    const char* first;
    int days;
    DutyRules rules;
    Hours expected; // duties/worked/night/holiday/norm
    const char *worked, *balance;
};
class PinnedHours : public ::testing::TestWithParam<PinnedCase> {};

TEST_P(PinnedHours, AsADutyOfficerCountsThem) {
    const auto& c = GetParam();
    const Date first = dateFromText(c.first).value();
    const Hours h = hoursOf(c.watch, first, Date{first.serial + c.days - 1}, 0, shipped(), c.rules);
    EXPECT_EQ(h, c.expected);
    EXPECT_EQ(hoursText(h.workedMinutes), c.worked);
    EXPECT_EQ(balanceText(h.workedMinutes - h.normMinutes), c.balance);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PinnedHours,
    ::testing::Values(
        PinnedCase{"DutyDayGets16h", 1, "15.01.2025", 1, {}, {1, 960, 120, 0, 480}, "16", "+8"},
        PinnedCase{"NextDayGets8h", 1, "16.01.2025", 1, {}, {0, 480, 360, 0, 480}, "8", "0"},
        PinnedCase{"NewYearsEveGivesJanuary8h", 2, "01.01.2025", 1, {}, {0, 480, 360, 480, 0}, "8", "+8"},
        PinnedCase{"AYear", 1, "01.01.2025", 365, {}, {91, 131040, 43680, 5280, 1972 * 60}, "2184", "+212"},
        PinnedCase{"HalfAnHourShort", 1, "15.01.2025", 1, {480, 450}, {1, 450, 0, 0, 480}, "7:30", "-0:30"},
        PinnedCase{"ClampedTo24h", 1, "15.01.2025", 2, {-30, 5000}, {1, 1440, 480, 0, 960}, "24", "+8"},
        PinnedCase{"ClampedToAMinute", 1, "15.01.2025", 2, {2000, 0}, {1, 1, 1, 0, 960}, "0:01", "-15:59"},
        PinnedCase{"FirstDayOfTheModel", 3, "01.01.0100", 1, {}, {1, 960, 120, 960, 0}, "16", "+16"},
        PinnedCase{
            "LastDayOfTheModel", 2, "31.12.9999", 1, {480, 1440, true}, {1, 1440, 480, 0, 420}, "24", "+17"}),
    [](const auto& info) { return std::string(info.param.name); });

// The year window's quarters and year are sums of its months; they must equal their periods counted whole.
TEST(YearTable, EveryRowEqualsHoursOfItsOwnDays) {
    for (int watch = 1; watch <= 4; ++watch) {
        const DutyRules rules{23 * 60, 20 * 60, watch == 4};
        const auto rows = yearTable(watch, 2030, 0, shipped(), rules);
        for (std::size_t r = 0; r < kYearTableRows; ++r) {
            const Period p = rowPeriod(2030, r);
            EXPECT_EQ(rows[r], hoursOf(watch, p.first, p.last, 0, shipped(), rules)) << watch << ' ' << r;
        }
    }
}

// -INT_MIN does not fit an int.
TEST(HoursText, TheLowestIntIsWrittenWhole) { EXPECT_EQ(hoursText(INT_MIN), "-35791394:08"); }

} // namespace
} // namespace sutograf
