#include <benchmark/benchmark.h>

#include "rota.h"

namespace {

// One rebuild's worth of work: the 56 cells of one month, as the window asks for them.
void BM_SetkaRaschet_OneMonth(benchmark::State& state) {
    const sutograf::Date today = sutograf::dateFromText("09.03.2011").value();
    float month = 1;
    for (auto _ : state) {
        auto grid = sutograf::Setka_Raschet(2011, month, 0, today);
        benchmark::DoNotOptimize(grid);
        month = month == 12 ? 1 : month + 1;
    }
}
BENCHMARK(BM_SetkaRaschet_OneMonth);

} // namespace
