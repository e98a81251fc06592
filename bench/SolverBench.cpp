// The frequency loop of one full run of 169 points with every element of the
// network switched on: the literal reference (full series, dense matrix) and
// the program's path (cached series, sparse network) side by side.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "BenchDesigns.h"
#include "RunSetup.h"
#include "Simulation.h"

namespace {

struct Prepared {
    velumo::RunInput in = velumo::bench::everythingOn();
    velumo::Model model;
    std::vector<double> grid;
    Prepared()
    {
        model = velumo::prepareRun(in);
        grid = velumo::frequencyGrid(model);
        grid.resize(169);
    }
};

void BM_FrequencyLoopReference(benchmark::State& state)
{
    const Prepared p;
    auto net = std::make_unique<velumo::LoopNetwork>();
    velumo::PointResults r;
    for (auto _ : state) {
        for (double f : p.grid) {
            if (!velumo::computePoint(p.model, p.in.crossover, f, *net, r))
                state.SkipWithError("point failed");
            benchmark::DoNotOptimize(r);
        }
    }
    state.counters["points"] = static_cast<double>(p.grid.size());
}
BENCHMARK(BM_FrequencyLoopReference)->Unit(benchmark::kMillisecond);

// As a run does it: the batches shared out over the run's threads, each
// thread laying out its network once. Wall time, as the user waits it.
void BM_FrequencyLoopProduction(benchmark::State& state)
{
    const Prepared p;
    const int threads = static_cast<int>(state.range(0));
    velumo::GridPoints points;
    for (auto _ : state) {
        velumo::computeGrid(p.model, p.in.crossover, p.grid, points, threads);
        for (char ok : points.ok) {
            if (!ok)
                state.SkipWithError("point failed");
        }
        benchmark::DoNotOptimize(points.results.data());
    }
    auto net = std::make_unique<velumo::SparseNetwork>();
    velumo::prepareNetwork(*net, p.model, p.in.crossover);
    state.counters["points"] = static_cast<double>(p.grid.size());
    state.counters["entries"] = net->storedEntries();
    state.counters["pivots"] = net->plannedPivots();
    state.counters["updates"] = net->plannedUpdates();
}
BENCHMARK(BM_FrequencyLoopProduction)
    ->ArgName("threads")
    ->Arg(2)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The same points one at a time: no batch, one thread.
void BM_FrequencyLoopProductionSingle(benchmark::State& state)
{
    const Prepared p;
    velumo::PointResults r;
    for (auto _ : state) {
        auto net = std::make_unique<velumo::SparseNetwork>();
        velumo::prepareNetwork(*net, p.model, p.in.crossover);
        for (double f : p.grid) {
            if (!velumo::computePoint(p.model, p.in.crossover, f, *net, r))
                state.SkipWithError("point failed");
            benchmark::DoNotOptimize(r);
        }
    }
}
BENCHMARK(BM_FrequencyLoopProductionSingle)->Unit(benchmark::kMillisecond);

} // namespace
