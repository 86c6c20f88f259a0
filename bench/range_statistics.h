#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

// This machine is shared and noisy: with --benchmark_repetitions, show the range beside the median.
inline void withRange(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics("min",
                         [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics("max",
                         [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}
