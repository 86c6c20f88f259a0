#pragma once

#include <string>
#include <string_view>

#include "timesheet.h"

namespace sutograf {

// The month's timesheet as a table for spreadsheets (csv.h). The unit's name (when given) and the
// title on the first lines, then a heading line and four lines per person: the day's codes, then the
// hours of Я, of Н and of РВ a day as numbers, with the person's name, personnel number and totals on
// the first of them. Hours are decimal numbers with a comma ("15,5"), as a Russian Excel reads them.
std::string timesheetCsv(const Timesheet& sheet, std::string_view unit, std::string_view title);

// Minutes as decimal hours with a comma, at most two places: "16", "15,5", "-0,25".
std::string decimalHours(int minutes);

} // namespace sutograf
