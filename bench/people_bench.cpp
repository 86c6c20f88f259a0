#include <benchmark/benchmark.h>

#include "people.h"
#include "range_statistics.h"
#include "station.h"

namespace {

using namespace sutograf;

// What the timesheet and the roster's year view compute when they open: for each of the station's 60
// people, the monthly and the yearly accounting periods and the hours of every month.
void BM_Station_YearTablesOfEveryone(benchmark::State& state) {
    const bench::Station station = bench::makeStation(static_cast<int>(state.range(0)));
    const ProductionCalendar& calendar = ProductionCalendar::builtIn();
    const DutyRules rules;
    for (auto _ : state) {
        for (const PersonRecord& who : station.people) {
            for (const AccountingPeriod kind : {AccountingPeriod::Month, AccountingPeriod::Year}) {
                auto periods = accountingPeriods(who, station.swaps, station.year, kind, station.offset,
                                                 calendar, rules, NormReduction::WorkingDays, true);
                benchmark::DoNotOptimize(periods);
            }
            for (std::size_t m = 0; m < kFirstQuarterRow; ++m) {
                const Period p = rowPeriod(station.year, m);
                auto hours = personHours(who, station.swaps, p.first, p.last, station.offset, calendar, rules,
                                         NormReduction::WorkingDays);
                benchmark::DoNotOptimize(hours);
            }
        }
    }
}
// 2025 is a year of the shipped table, 2030 one worked out by the general rule.
BENCHMARK(BM_Station_YearTablesOfEveryone)
    ->Apply(withRange)
    ->Arg(2025)
    ->Arg(2030)
    ->Unit(benchmark::kMicrosecond);

} // namespace
