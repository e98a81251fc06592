#include <benchmark/benchmark.h>

#include "NumberText.h"

// Every row of the result list formats eleven numbers; this keeps an eye on it.
static void BM_FormatPattern(benchmark::State& state)
{
    double v = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(velumo::formatPattern(v, "0.000"));
        benchmark::DoNotOptimize(velumo::formatPattern(v, "0.00E+00"));
        v += 0.001;
    }
}
BENCHMARK(BM_FormatPattern);
