#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "BenchDesigns.h"
#include "NumberText.h"
#include "NumberTextReference.h"
#include "RunLists.h"
#include "Simulation.h"

namespace {

// Every row of the result list formats eleven numbers; this keeps an eye on it.
void BM_FormatPattern(benchmark::State& state)
{
    double v = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(velumo::formatPattern(v, "0.000"));
        benchmark::DoNotOptimize(velumo::formatPattern(v, "0.00E+00"));
        v += 0.001;
    }
}
BENCHMARK(BM_FormatPattern);

void BM_FormatPatternReference(benchmark::State& state)
{
    double v = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(velumo::formatPatternReference(v, "0.000"));
        benchmark::DoNotOptimize(velumo::formatPatternReference(v, "0.00E+00"));
        v += 0.001;
    }
}
BENCHMARK(BM_FormatPatternReference);

struct Field {
    double value;
    std::string_view pattern;
};

// The fields of data.txt of a 169-point run of the all-elements design, each
// with its column's pattern.
const std::vector<Field>& dataFields()
{
    static const std::vector<Field> fields = [] {
        const velumo::RunResult run = velumo::runSimulation(velumo::bench::everythingOn());
        std::vector<Field> f;
        for (const velumo::PointResults& p : run.points) {
            f.insert(f.end(),
                { { p.f, "0.00" }, { p.spl, "0.00" }, { p.zel, "0.000" }, { p.x1, "0.00E+00" },
                    { p.splMax, "0.00" }, { p.pmax1, "0.000" }, { p.zReal, "0.000" }, { p.zImag, "0.000" },
                    { p.x2, "0.00E+00" }, { p.pmax2, "0.000" }, { p.phase, "0.000" } });
        }
        return f;
    }();
    return fields;
}

// Time per field over data.txt's columns: the counter "per_field".
template <std::string (*Format)(double, std::string_view)> void formatDataFields(benchmark::State& state)
{
    const std::vector<Field>& fields = dataFields();
    for (auto _ : state) {
        for (const Field& f : fields)
            benchmark::DoNotOptimize(Format(f.value, f.pattern));
    }
    state.counters["fields"] = static_cast<double>(fields.size());
    state.counters["per_field"] = benchmark::Counter(static_cast<double>(fields.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FormatDataFields(benchmark::State& state) { formatDataFields<velumo::formatPattern>(state); }
BENCHMARK(BM_FormatDataFields)->Unit(benchmark::kMicrosecond);

void BM_FormatDataFieldsReference(benchmark::State& state)
{
    formatDataFields<velumo::formatPatternReference>(state);
}
BENCHMARK(BM_FormatDataFieldsReference)->Unit(benchmark::kMicrosecond);

// data.txt's bytes as a run writes them, per field.
void BM_DataListBytes(benchmark::State& state)
{
    const velumo::RunResult run = velumo::runSimulation(velumo::bench::everythingOn());
    for (auto _ : state)
        benchmark::DoNotOptimize(velumo::dataListBytes(run));
    const double fields = static_cast<double>(run.points.size() * 11);
    state.counters["per_field"] = benchmark::Counter(
        fields, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DataListBytes)->Unit(benchmark::kMicrosecond);

// The general format of the typed values, here over the same numbers.
template <std::string (*Format)(double)> void formatGeneralFields(benchmark::State& state)
{
    const std::vector<Field>& fields = dataFields();
    for (auto _ : state) {
        for (const Field& f : fields)
            benchmark::DoNotOptimize(Format(f.value));
    }
    state.counters["per_field"] = benchmark::Counter(static_cast<double>(fields.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FormatGeneral(benchmark::State& state) { formatGeneralFields<velumo::formatGeneral>(state); }
BENCHMARK(BM_FormatGeneral)->Unit(benchmark::kMicrosecond);

void BM_FormatGeneralReference(benchmark::State& state)
{
    formatGeneralFields<velumo::formatGeneralReference>(state);
}
BENCHMARK(BM_FormatGeneralReference)->Unit(benchmark::kMicrosecond);

} // namespace
