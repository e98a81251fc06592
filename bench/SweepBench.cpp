// velumo-sim --sweep: 1,000 designs with every element (driver 2, absorber
// chamber, extra tunnel, tuned port, crossover), 100 frequency points each,
// summary only, on 1 and 2 threads. Reported as designs per second.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "SimRunner.h"

namespace {

constexpr int kDesigns = 1000;

void BM_SweepAllElements(benchmark::State& state)
{
    const std::string project
        = std::string(VELUMO_SOURCE_DIR) + "/tests/golden/two-drivers-absorber-tunnel/project.vlm";
    const auto dir = std::filesystem::temp_directory_path() / "velumo-sweep-bench";
    std::filesystem::create_directories(dir);
    // 100 points from 10 Hz to 1 kHz, the extra tunnel short enough that all
    // of them lie below its lumped limit, every design run to its end.
    const std::vector<std::string> args
        = { project, "--out", dir.string(), "--set", "Achsen/fAufl=100", "--set", "Achsen/auto 9=0", "--set",
              "Achsen/min 9=10", "--set", "Achsen/max 9=1000", "--set", "ET/LET=0.05", "--sweep",
              "Horn/Hornlänge=1.6:3:" + std::to_string(kDesigns), "--jobs", std::to_string(state.range(0)) };
    for (auto _ : state) {
        std::ostringstream out, err;
        if (velumo::runVelumoSim(args, out, err) != velumo::kSimOk || !err.str().empty())
            state.SkipWithError("the sweep failed");
    }
    state.counters["designs/s"]
        = benchmark::Counter(static_cast<double>(kDesigns) * state.iterations(), benchmark::Counter::kIsRate);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SweepAllElements)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
