#include "timesheet.h"

#include <algorithm>

#include "rota.h"

namespace sutograf {
namespace {

bool belongsTo(const PersonRecord& who, int watch, Date first, Date last) {
    if (watchOf(who, first) == watch) {
        return true;
    }
    return std::any_of(who.watches.begin(), who.watches.end(), [&](const WatchSpell& s) {
        return s.watch == watch && first <= s.from && s.from <= last;
    });
}

bool byName(const TimesheetRow& a, const TimesheetRow& b) {
    return a.person.name != b.person.name ? a.person.name < b.person.name : a.person.id < b.person.id;
}

TimesheetRow rowOf(const PersonRecord& who, std::span<const DutySwap> swaps, const Timesheet& sheet,
                   float offset, const ProductionCalendar& calendar, const TimesheetRules& rules) {
    const Date first = sheet.days.first, last = sheet.days.last;
    TimesheetRow row;
    row.person = who.person;
    const std::vector<PersonDay> days = personDays(who, swaps, first, last, offset);
    const std::vector<Hours> hours = personDayHours(who, swaps, first, last, offset, calendar, rules.duty);
    row.days.reserve(days.size());
    PersonHours& t = row.totals;
    for (std::size_t i = 0; i < days.size(); ++i) {
        row.days.push_back({days[i], hours[i]});
        t.worked += hours[i];
        t.givenAway += days[i].status == DayStatus::DutyGivenAway;
        t.taken += days[i].status == DayStatus::DutyTaken;
        if (days[i].absence) {
            ++t.absentDays[static_cast<std::size_t>(*days[i].absence)];
        }
    }
    // The reduction is the one figure that is no sum of days: it is capped by the whole period's norm.
    t.reductionMinutes =
        personHours(who, swaps, first, last, offset, calendar, rules.duty, rules.reduction).reductionMinutes;
    t.ownNormMinutes = t.worked.normMinutes - t.reductionMinutes;
    row.balanceMinutes = t.worked.workedMinutes - t.ownNormMinutes;

    const PersonHours toDate = sheet.period.first == first
                                   ? t
                                   : personHours(who, swaps, sheet.period.first, last, offset, calendar,
                                                 rules.duty, rules.reduction);
    row.periodBalanceMinutes = toDate.worked.workedMinutes - toDate.ownNormMinutes;
    if (sheet.period.last == last) {
        row.overtimeMinutes = std::max(0, row.periodBalanceMinutes -
                                              (rules.holidayPaidDouble ? toDate.worked.holidayMinutes : 0));
    }
    return row;
}

} // namespace

Period accountingPeriodOf(int year, int month, AccountingPeriod kind) {
    int months = 12;
    switch (kind) {
    case AccountingPeriod::Month:
        months = 1;
        break;
    case AccountingPeriod::Quarter:
        months = 3;
        break;
    case AccountingPeriod::HalfYear:
        months = 6;
        break;
    case AccountingPeriod::Year:
        break;
    }
    const int firstMonth = (month - 1) / months * months + 1, lastMonth = firstMonth + months - 1;
    return {*dateOf(year, firstMonth, 1), *dateOf(year, lastMonth, daysInMonth(year, lastMonth))};
}

Timesheet timesheetOf(std::span<const PersonRecord> people, std::span<const DutySwap> swaps, int watch,
                      int year, int month, float offset, const ProductionCalendar& calendar,
                      const TimesheetRules& rules) {
    Timesheet sheet{watch,
                    year,
                    month,
                    {*dateOf(year, month, 1), *dateOf(year, month, daysInMonth(year, month))},
                    accountingPeriodOf(year, month, rules.period),
                    {}};
    std::vector<PersonId> takers;
    for (const DutySwap& s : swaps) {
        if (s.takes && sheet.days.first <= s.day && s.day <= sheet.days.last &&
            watchOn(s.day, offset) == watch) {
            takers.push_back(*s.takes);
        }
    }
    std::vector<TimesheetRow> others;
    for (const PersonRecord& who : people) {
        const bool own = belongsTo(who, watch, sheet.days.first, sheet.days.last);
        if (own || std::find(takers.begin(), takers.end(), who.person.id) != takers.end()) {
            TimesheetRow row = rowOf(who, swaps, sheet, offset, calendar, rules);
            row.ownWatch = own;
            (own ? sheet.rows : others).push_back(std::move(row));
        }
    }
    std::sort(sheet.rows.begin(), sheet.rows.end(), byName);
    std::sort(others.begin(), others.end(), byName);
    std::move(others.begin(), others.end(), std::back_inserter(sheet.rows));
    return sheet;
}

DayEntry dayEntry(const TimesheetDay& d) {
    DayEntry e;
    const auto add = [&e](std::string_view code, std::string hours) {
        if (!e.codes.empty()) {
            e.codes += '/';
        }
        e.codes += code;
        if (!hours.empty()) {
            e.hours += e.hours.empty() ? hours : "/" + hours;
        }
    };
    const Hours& h = d.hours;
    if (h.workedMinutes > 0) {
        add("Я", hoursText(h.workedMinutes));
        if (h.nightMinutes > 0) {
            add("Н", hoursText(h.nightMinutes));
        }
        if (h.holidayMinutes > 0) {
            add("РВ", hoursText(h.holidayMinutes));
        }
    }
    if (d.day.absence) {
        add(absenceCode(*d.day.absence), {});
    }
    if (e.codes.empty() && d.day.watch != 0) {
        e.codes = "В";
    }
    return e;
}

std::string absencesText(const PersonHours& h) {
    std::string text;
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        if (h.absentDays[k] != 0) {
            text += (text.empty() ? "" : ", ") + std::string(absenceCode(static_cast<Absence>(k))) + " " +
                    std::to_string(h.absentDays[k]);
        }
    }
    return text;
}

} // namespace sutograf
