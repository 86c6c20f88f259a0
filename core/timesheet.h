#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "people.h"

namespace sutograf {

// The monthly timesheet of one watch in the shape of the T-13 form: a row per person, a cell per day
// holding its codes over its hours, and each person's totals against their own norm.

// How the hours are counted and judged.
struct TimesheetRules {
    DutyRules duty;
    AccountingPeriod period = AccountingPeriod::Year;
    NormReduction reduction = NormReduction::WorkingDays;
    bool holidayPaidDouble = true; // holiday hours paid double are left out of overtime
};

struct TimesheetDay {
    PersonDay day; // as personDays gives it
    Hours hours;   // as personDayHours gives it
};

struct TimesheetRow {
    Person person;
    bool ownWatch = true;           // false: of another watch, in the sheet for a duty of this one they took
    std::vector<TimesheetDay> days; // one a day of the month
    PersonHours totals;             // the month's, summed from the days (the reduction as personHours's)
    int balanceMinutes = 0;         // totals.worked.workedMinutes - totals.ownNormMinutes
    int periodBalanceMinutes = 0;   // the same from the accounting period's first day to the month's last
    std::optional<int> overtimeMinutes; // when the month closes its period: the period's overtime
};

struct Timesheet {
    int watch = 0, year = 0, month = 0;
    Period days;   // the month's
    Period period; // the accounting period the month lies in
    std::vector<TimesheetRow> rows;
};

// The period of `kind` that holds the month. Preconditions: 100 <= year <= 9999, 1 <= month <= 12.
Period accountingPeriodOf(int year, int month, AccountingPeriod kind);

// The rows: everyone who belongs to the watch on a day of the month, by name; then everyone else who
// took a duty of the watch that month, by name. `swaps` are everyone's. Preconditions: 100 <= year <=
// 9999, 1 <= month <= 12.
Timesheet timesheetOf(std::span<const PersonRecord> people, std::span<const DutySwap> swaps, int watch,
                      int year, int month, float offset, const ProductionCalendar& calendar,
                      const TimesheetRules& rules);

// A day's cell as the form writes it, UTF-8: the codes over the hours, each hour under its code. Я: the
// hours that count on the day; Н: the night hours among them; РВ: the hours on a holiday among them; an
// absence's letters (no hours); В: a day in the unit with none of these. Empty for a day outside it.
struct DayEntry {
    std::string codes; // "Я/Н", "Я/Н/РВ", "ОТ", "В"
    std::string hours; // "16/2", "16/2/16", ""
};
DayEntry dayEntry(const TimesheetDay& d);

// "ОТ 14, Б 3": the days absent by code, in the form's order; empty when none.
std::string absencesText(const PersonHours& h);

} // namespace sutograf
