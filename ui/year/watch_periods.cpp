#include "watch_periods.h"

namespace sutograf {

// A member since the first day of the calendar: the duty that begins on the last day of the year
// before is theirs too, as it is the watch's.
std::vector<PeriodResult> watchPeriods(int watch, int year, float offset, const ProductionCalendar& calendar,
                                       const DutyRules& rules, const AccountingChoices& accounting) {
    PersonRecord member;
    member.watches = {{kFirstDate, watch}};
    return accountingPeriods(member, {}, year, accounting.period, offset, calendar, rules,
                             accounting.reduction, accounting.holidayPaidDoubleNotOvertime);
}

std::size_t rowEnding(const Period& period, int year) {
    for (const std::size_t row :
         {kYearRow, kFirstQuarterRow, kFirstQuarterRow + 1, kFirstQuarterRow + 2, kFirstQuarterRow + 3}) {
        const Period p = rowPeriod(year, row);
        if (p.last == period.last && p.first >= period.first) {
            return row;
        }
    }
    return static_cast<std::size_t>(monthOf(period.last) - 1);
}

} // namespace sutograf
