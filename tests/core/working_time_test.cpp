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

TEST(Hours, FiguresADutyOfficerKnows) {
    const auto hours = [](int watch, Date first, Date last, DutyRules rules = {}) {
        return hoursOf(watch, first, last, 0, shipped(), rules);
    };
    // Watch 1 is on duty on 15.01.2025: 16 hours that day, 2 of them at night, and 8 the next, 6 at night.
    EXPECT_EQ(hours(1, ymd(2025, 1, 15), ymd(2025, 1, 15)), (Hours{1, 960, 120, 0, 480}));
    EXPECT_EQ(hours(1, ymd(2025, 1, 16), ymd(2025, 1, 16)), (Hours{0, 480, 360, 0, 480}));
    // Watch 2's duty from 31.12.2024 gives January 8 hours, all on the holiday of 1 January.
    EXPECT_EQ(hours(2, ymd(2025, 1, 1), ymd(2025, 1, 1)), (Hours{0, 480, 360, 480, 0}));
    // A year of watch 1, worked out by hand: 91 duties, 2184 hours, 728 at night, 88 on holidays, norm 1972.
    EXPECT_EQ(hours(1, ymd(2025, 1, 1), ymd(2025, 12, 31)), (Hours{91, 131040, 43680, 5280, 1972 * 60}));
    // Out-of-range rules are clamped, not read as they are.
    const Date jan1 = ymd(2025, 1, 1), jan31 = ymd(2025, 1, 31);
    EXPECT_EQ(hours(1, jan1, jan31, {-30, 5000}), hours(1, jan1, jan31, {0, 1440}));
    EXPECT_EQ(hours(1, jan1, jan31, {2000, 0}), hours(1, jan1, jan31, {1439, 1}));
    // The ends of the model: nothing is read beyond them.
    EXPECT_EQ(hours(3, kFirstDate, kFirstDate).workedMinutes, 960);
    EXPECT_EQ(hours(2, kLastDate, kLastDate, {8 * 60, 1440, true}).workedMinutes, 1440);
}

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

TEST(HoursText, WholeHoursAloneElseMinutesAfterAColon) {
    EXPECT_EQ(hoursText(184 * 60), "184");
    EXPECT_EQ(hoursText(-5), "-0:05");
    EXPECT_EQ(hoursText(INT_MIN), "-35791394:08");
    EXPECT_EQ(balanceText(16 * 60 + 30), "+16:30");
    EXPECT_EQ(balanceText(0), "0");
}

} // namespace
} // namespace sutograf
