#include "watch_periods.h"

#include <algorithm>

namespace sutograf {
namespace {

// The periods as runs of months: first month (0-based) and how many.
std::vector<std::pair<std::size_t, std::size_t>> monthRuns(AccountingPeriod kind) {
    const std::size_t length = kind == AccountingPeriod::Month      ? 1
                               : kind == AccountingPeriod::Quarter  ? 3
                               : kind == AccountingPeriod::HalfYear ? 6
                                                                    : 12;
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t first = 0; first < 12; first += length) {
        runs.emplace_back(first, length);
    }
    return runs;
}

} // namespace

std::vector<PeriodResult> watchPeriods(const std::array<Hours, kYearTableRows>& rows, int year,
                                       const AccountingChoices& accounting) {
    std::vector<PeriodResult> results;
    for (const auto& [first, length] : monthRuns(accounting.period)) {
        PeriodResult r;
        r.period = {rowPeriod(year, first).first, rowPeriod(year, first + length - 1).last};
        for (std::size_t m = first; m < first + length; ++m) {
            r.hours.worked += rows[m];
        }
        r.hours.ownNormMinutes = r.hours.worked.normMinutes;
        r.balanceMinutes = r.hours.worked.workedMinutes - r.hours.ownNormMinutes;
        r.overtimeMinutes =
            std::max(0, r.balanceMinutes -
                            (accounting.holidayPaidDoubleNotOvertime ? r.hours.worked.holidayMinutes : 0));
        results.push_back(r);
    }
    return results;
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

int overtimeOfYear(const std::vector<PeriodResult>& periods) {
    int total = 0;
    for (const PeriodResult& p : periods) {
        total += p.overtimeMinutes;
    }
    return total;
}

} // namespace sutograf
