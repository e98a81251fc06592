// velumo-sim end to end on a golden design: reading the project, the input
// check, the run with both result lists and the derived-parameter lines.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "SimRunner.h"

namespace {

void BM_VelumoSimGoldenDesign(benchmark::State& state)
{
    const std::string project
        = std::string(VELUMO_SOURCE_DIR) + "/tests/golden/two-drivers-absorber-tunnel/project.vlm";
    const auto dir = std::filesystem::temp_directory_path() / "velumo-sim-bench";
    std::filesystem::create_directories(dir);
    const std::vector<std::string> args = { project, "--out", dir.string() };
    for (auto _ : state) {
        std::ostringstream out, err;
        if (velumo::runVelumoSim(args, out, err) != velumo::kSimOk)
            state.SkipWithError("velumo-sim failed");
        benchmark::DoNotOptimize(out.str().size());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_VelumoSimGoldenDesign)->Unit(benchmark::kMillisecond);

} // namespace
