#pragma once

#include <cstddef>
#include <vector>

#include "people.h"
#include "sutograf_ini.h"
#include "working_time.h"

namespace sutograf {

// The accounting periods of a watch's year (12, 4, 2 or 1 of them, in order), as they are for a member
// of the watch who belongs to it all year, is never absent and swaps no duty: the watch's table then
// reads as such a member's timesheet would. Precondition: 100 <= year <= 9999.
std::vector<PeriodResult> watchPeriods(int watch, int year, float offset, const ProductionCalendar& calendar,
                                       const DutyRules& rules, const AccountingChoices& accounting);

// The row of the year table on which a period's result is shown: the longest row that ends with it and
// lies within it (the year row for the year, a quarter's row for a half-year).
std::size_t rowEnding(const Period& period, int year);

} // namespace sutograf
