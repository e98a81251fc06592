// One full run of 169 frequency points with every element of the network
// switched on: driver 1 off the throat, driver 2 with its own chamber,
// absorber chamber, extra tunnel, tuned port and a filled crossover.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "BenchDesigns.h"
#include "Simulation.h"

namespace {

void BM_FullRun169Points(benchmark::State& state)
{
    const velumo::RunInput in = velumo::bench::everythingOn();
    const auto dir = std::filesystem::temp_directory_path() / "velumo-simulation-bench";
    std::filesystem::create_directories(dir);
    auto slot = std::make_unique<velumo::ResultSlot>();
    velumo::bench::NullSink sink;
    int points = 0;
    for (auto _ : state) {
        const velumo::RunOutcome outcome = velumo::runSimulation(in, dir.string(), *slot, sink);
        points = outcome.points;
        benchmark::DoNotOptimize(slot->spl.data());
    }
    state.counters["points"] = points;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_FullRun169Points)->Unit(benchmark::kMillisecond);

} // namespace
