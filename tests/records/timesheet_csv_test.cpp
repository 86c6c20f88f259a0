#include <gtest/gtest.h>

#include "timesheet_csv.h"

namespace {

// Hours as a Russian Excel reads them and a clerk checks them: rounded to the nearest hundredth, with a
// comma and no trailing zero.
TEST(TimesheetCsv, HoursAsDecimalsWithAComma) {
    const std::pair<int, const char*> cases[] = {{0, "0"},    {960, "16"},    {930, "15,5"},  {10, "0,17"},
                                                 {1, "0,02"}, {-15, "-0,25"}, {1439, "23,98"}};
    for (const auto& [minutes, text] : cases) {
        EXPECT_EQ(sutograf::decimalHours(minutes), text) << minutes << " minutes";
    }
}

} // namespace
