#pragma once

#include <array>
#include <vector>

#include "people.h"
#include "sutograf_ini.h"
#include "working_time.h"

namespace sutograf {

// The accounting periods of a watch's year (12, 4, 2 or 1 of them, in order), as they are for a member
// of the watch who belongs to it all year, is never absent and swaps no duty: their hours are the
// watch's and their norm the calendar's, so that the watch's table reads as a member's timesheet would.
// rows: yearTable's for that watch and year. Precondition: 100 <= year <= 9999.
std::vector<PeriodResult> watchPeriods(const std::array<Hours, kYearTableRows>& rows, int year,
                                       const AccountingChoices& accounting);

// The row of the year table on which a period's result is shown: the longest row that ends with it and
// lies within it (the year row for the year, a quarter's row for a half-year).
std::size_t rowEnding(const Period& period, int year);

// The overtime of the year's periods together (art. 99 allows 120 hours a year).
int overtimeOfYear(const std::vector<PeriodResult>& periods);
inline constexpr int kOvertimeYearLimitMinutes = 120 * 60;

} // namespace sutograf
