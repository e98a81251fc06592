// One full run of 169 frequency points with every element of the network
// switched on: driver 1 off the throat, driver 2 with its own chamber,
// absorber chamber, extra tunnel, tuned port and a filled crossover; both
// lists written. The argument is the number of threads.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchDesigns.h"
#include "RunPresentation.h"

namespace {

void BM_FullRun169Points(benchmark::State& state)
{
    const velumo::RunInput in = velumo::bench::everythingOn();
    const auto dir = std::filesystem::temp_directory_path() / "velumo-simulation-bench";
    std::filesystem::create_directories(dir);
    const int threads = static_cast<int>(state.range(0));
    int points = 0;
    for (auto _ : state) {
        const velumo::RunOutcome outcome = velumo::runAndWriteLists(in, dir.string(), {}, threads);
        points = outcome.points;
        if (outcome.lists.error != 0)
            state.SkipWithError("the lists could not be written");
    }
    state.counters["points"] = points;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_FullRun169Points)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
