#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "production_calendar.h"
#include "range_statistics.h"
#include "working_time.h"

namespace {

using namespace sutograf;

// What the year window computes when it opens or its year changes: 17 rows for each of the four
// watches. 2025 is a year of the shipped table, 2030 one worked out by the general rule.
void BM_YearTable_FourWatches(benchmark::State& state) {
    const int year = static_cast<int>(state.range(0));
    const ProductionCalendar& calendar = ProductionCalendar::builtIn();
    for (auto _ : state) {
        for (int watch = 1; watch <= 4; ++watch) {
            auto rows = yearTable(watch, year, 0, calendar, DutyRules{});
            benchmark::DoNotOptimize(rows);
        }
    }
}
BENCHMARK(BM_YearTable_FourWatches)->Apply(withRange)->Arg(2025)->Arg(2030)->Unit(benchmark::kMicrosecond);

// One watch, one month, the months in turn.
void BM_HoursOf_OneMonth(benchmark::State& state) {
    const int year = static_cast<int>(state.range(0));
    const ProductionCalendar& calendar = ProductionCalendar::builtIn();
    std::size_t month = 0;
    for (auto _ : state) {
        const Period p = rowPeriod(year, month);
        auto hours = hoursOf(1, p.first, p.last, 0, calendar, DutyRules{});
        benchmark::DoNotOptimize(hours);
        month = month == 11 ? 0 : month + 1;
    }
}
BENCHMARK(BM_HoursOf_OneMonth)->Apply(withRange)->Arg(2025)->Arg(2030)->Unit(benchmark::kMicrosecond);

// A user's calendar.csv of 10 MB of junk must not freeze the program while it is read.
void BM_FromCsv_TenMegabytesOfJunk(benchmark::State& state) {
    std::mt19937 random(2030);
    std::string junk = "date,kind,note\n";
    while (junk.size() < (10u << 20)) {
        const char c = static_cast<char>(random());
        junk += random() % 100 == 0 ? '\n' : c;
    }
    for (auto _ : state) {
        std::vector<CalendarError> errors;
        auto calendar = ProductionCalendar::fromCsv(junk, &errors);
        benchmark::DoNotOptimize(calendar);
    }
}
BENCHMARK(BM_FromCsv_TenMegabytesOfJunk)->Apply(withRange)->Unit(benchmark::kMillisecond);

// The worst a file can do to the years with bad lines: a bad line for every year of the model, over and
// over, to the largest calendar.csv the year window reads (1 MB).
void BM_UserCalendar_BadLinesInEveryYear(benchmark::State& state) {
    std::string text = "date,kind,note\n";
    for (int year = 100; text.size() < (1u << 20); year = year == 9999 ? 100 : year + 1) {
        text += std::to_string(year) + "-02-30,holiday,x\n";
    }
    for (auto _ : state) {
        std::vector<CalendarError> errors;
        std::vector<int> damaged;
        auto calendar = ProductionCalendar::fromCsv(text, &errors, &damaged);
        calendar.dropYears(damaged);
        benchmark::DoNotOptimize(calendar);
    }
}
BENCHMARK(BM_UserCalendar_BadLinesInEveryYear)->Apply(withRange)->Unit(benchmark::kMillisecond);

} // namespace
