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
        velumo::bench::NullSink sink;
        model = velumo::prepareRun(in, sink);
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

// As a run does it: the sparse network laid out once, the points in batches.
void BM_FrequencyLoopProduction(benchmark::State& state)
{
    const Prepared p;
    velumo::PointResults r[velumo::kSolveBatch];
    bool ok[velumo::kSolveBatch];
    const int n = static_cast<int>(p.grid.size());
    int entries = 0, pivots = 0, updates = 0;
    for (auto _ : state) {
        auto net = std::make_unique<velumo::SparseNetwork>();
        velumo::prepareNetwork(*net, p.model, p.in.crossover);
        for (int i = 0; i < n; i += velumo::kSolveBatch) {
            const int count = std::min(velumo::kSolveBatch, n - i);
            velumo::computePoints(p.model, p.in.crossover, &p.grid[i], count, *net, r, ok);
            for (int m = 0; m < count; ++m) {
                if (!ok[m])
                    state.SkipWithError("point failed");
            }
            benchmark::DoNotOptimize(r);
        }
        entries = net->storedEntries();
        pivots = net->plannedPivots();
        updates = net->plannedUpdates();
    }
    state.counters["points"] = static_cast<double>(p.grid.size());
    state.counters["entries"] = entries;
    state.counters["pivots"] = pivots;
    state.counters["updates"] = updates;
}
BENCHMARK(BM_FrequencyLoopProduction)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The same points one by one on a single network.
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
