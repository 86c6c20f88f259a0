// The monthly timesheet against a person's hours: what its cells show, added up, and its totals are what
// personHours counts, for everyone of one watch of a full station and everyone who took one of its duties.
#include <gtest/gtest.h>

#include <algorithm>

#include "rota.h"
#include "station.h"
#include "timesheet.h"

namespace sutograf {
namespace {

struct SheetCase {
    const char* name;
    int watch, month;
    TimesheetRules rules;
    bool moveMidMonth = false; // the watch's first person goes to watch 1 on the 15th
};
void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= s.size();) {
        const std::size_t slash = std::min(s.find('/', from), s.size());
        parts.push_back(s.substr(from, slash - from));
        from = slash + 1;
    }
    return parts;
}

// The hours of Я, Н and РВ that the day's cell shows, read back from its text.
Hours shownHours(const TimesheetDay& d) {
    const DayEntry e = dayEntry(d);
    Hours h;
    const std::vector<std::string> codes = split(e.codes), hours = split(e.hours);
    for (std::size_t i = 0; i < codes.size() && !e.hours.empty(); ++i) {
        int* to = codes[i] == "Я"    ? &h.workedMinutes
                  : codes[i] == "Н"  ? &h.nightMinutes
                  : codes[i] == "РВ" ? &h.holidayMinutes
                                     : nullptr;
        if (to != nullptr) {
            *to = i < hours.size() ? minutesFromText(hours[i]).value_or(-1) : -1;
        }
    }
    return h;
}

class TimesheetOfAStation : public ::testing::TestWithParam<SheetCase> {};

TEST_P(TimesheetOfAStation, CellsAndTotalsArePersonHours) {
    const SheetCase& c = GetParam();
    bench::Station st = bench::makeStation(2025);
    const PersonId mover = (c.watch - 1) * bench::kPeoplePerWatch + 1;
    if (c.moveMidMonth) {
        st.people[static_cast<std::size_t>(mover - 1)].watches.push_back({*dateOf(2025, c.month, 15), 1});
    }
    const ProductionCalendar& calendar = ProductionCalendar::builtIn();
    const Timesheet sheet =
        timesheetOf(st.people, st.swaps, c.watch, 2025, c.month, st.offset, calendar, c.rules);
    const Date first = *dateOf(2025, c.month, 1), last = *dateOf(2025, c.month, daysInMonth(2025, c.month));
    ASSERT_EQ(sheet.period.first, accountingPeriodOf(2025, c.month, c.rules.period).first);

    // Everyone of the watch, and everyone else who took one of its duties that month: no one else.
    std::vector<PersonId> expected, shown;
    for (const PersonRecord& p : st.people) {
        bool in = false;
        for (Date d = first; d <= last; ++d.serial) {
            in |= watchOf(p, d) == c.watch;
        }
        for (const DutySwap& s : st.swaps) {
            in |= s.takes == p.person.id && first <= s.day && s.day <= last &&
                  watchOn(s.day, st.offset) == c.watch;
        }
        if (in) {
            expected.push_back(p.person.id);
        }
    }
    for (const TimesheetRow& row : sheet.rows) {
        shown.push_back(row.person.id);
    }
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected);
    EXPECT_GT(expected.size(), static_cast<std::size_t>(bench::kPeoplePerWatch));

    for (const TimesheetRow& row : sheet.rows) {
        SCOPED_TRACE(row.person.name);
        const PersonRecord& who = st.people[static_cast<std::size_t>(row.person.id - 1)];
        const PersonHours month =
            personHours(who, st.swaps, first, last, st.offset, calendar, c.rules.duty, c.rules.reduction);
        EXPECT_EQ(row.totals, month);
        Hours cells;
        for (const TimesheetDay& d : row.days) {
            const Hours h = shownHours(d);
            cells.workedMinutes += h.workedMinutes;
            cells.nightMinutes += h.nightMinutes;
            cells.holidayMinutes += h.holidayMinutes;
            EXPECT_EQ(dayEntry(d).codes.empty(), d.day.watch == 0 && d.hours.workedMinutes == 0);
        }
        EXPECT_EQ(cells.workedMinutes, month.worked.workedMinutes);
        EXPECT_EQ(cells.nightMinutes, month.worked.nightMinutes);
        EXPECT_EQ(cells.holidayMinutes, month.worked.holidayMinutes);
        EXPECT_EQ(row.balanceMinutes, month.worked.workedMinutes - month.ownNormMinutes);
        const PersonHours toDate = personHours(who, st.swaps, sheet.period.first, last, st.offset, calendar,
                                               c.rules.duty, c.rules.reduction);
        EXPECT_EQ(row.periodBalanceMinutes, toDate.worked.workedMinutes - toDate.ownNormMinutes);
        // In the month that closes its period, the period's overtime as the year's accounting gives it.
        const auto periods = accountingPeriods(who, st.swaps, 2025, c.rules.period, st.offset, calendar,
                                               c.rules.duty, c.rules.reduction, c.rules.holidayPaidDouble);
        const auto closed = std::find_if(periods.begin(), periods.end(),
                                         [&](const PeriodResult& p) { return p.period.last == last; });
        ASSERT_EQ(row.overtimeMinutes.has_value(), closed != periods.end());
        if (closed != periods.end()) {
            EXPECT_EQ(*row.overtimeMinutes, closed->overtimeMinutes);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Station2025, TimesheetOfAStation,
    ::testing::Values(SheetCase{"March_YearPeriod_HolidayOn8th", 3, 3, {}},
                      SheetCase{"June_HalfYearCloses_ScheduledDuties_HolidayHoursInOvertime",
                                2,
                                6,
                                {{}, AccountingPeriod::HalfYear, NormReduction::ScheduledDuties, false}},
                      SheetCase{"January_MonthPeriod_WholeDutyOnStartDay_22Hours",
                                1,
                                1,
                                {{8 * 60, 22 * 60, true}, AccountingPeriod::Month}},
                      SheetCase{"May_MoveToWatch1MidMonth", 4, 5, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sutograf
