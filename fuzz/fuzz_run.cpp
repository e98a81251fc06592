// Whole runs of designs whose inputs are fuzzed within what the input check
// admits. A run ends with finite results, or stops with a "Fehler" message
// before it would write a value that is not finite; data.txt and contour.txt
// never hold NaN or infinity.
//
// The bytes choose one of the example and golden projects, then a list of
// edits (which input, which new text, index or check state). The frequency
// resolution is kept small so that one run takes milliseconds.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "DesignTable.h"
#include "FuzzSupport.h"
#include "IniFile.h"
#include "NumberText.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"

using namespace velumo;
using velumo::fuzz::require;

namespace {

constexpr int kMaxEdits = 12;
constexpr int kMaxFrequencyPoints = 16;

// Texts at the edges of what the number reading and the model take.
const char* const kSpecialTexts[] = {
    "0",
    "-0",
    "1",
    "-1",
    "2",
    "0.5",
    "0,5",
    "1e-310",
    "4.9e-324",
    "1e-300",
    "1e-30",
    "1e-9",
    "0.001",
    "1000",
    "1e9",
    "1e15",
    "1e30",
    "1e300",
    "-1e300",
    "1.7e308",
    "1e999",
    "nan",
    "inf",
    "-inf",
    "abc",
    "",
    " ",
    "169",
    "170",
    "32767",
    "32768",
    "-32769",
    "2147483648",
    "0x10",
    "1e",
};

struct Base {
    std::string name;
    Design design;
};

std::vector<Base>& bases()
{
    static std::vector<Base> list;
    return list;
}

// One folder per process, removed at exit. Held by a pointer that is never
// freed, so the exit handler cannot run after it is destroyed.
const std::string& outputDir()
{
    static const std::string* dir = [] {
        auto p = std::filesystem::temp_directory_path() / ("velumo-fuzz-run-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        auto* path = new std::string(p.string());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(outputDir(), ec);
        });
        return path;
    }();
    return *dir;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fuzzedText(fuzz::ByteReader& r, const std::string& current)
{
    switch (r.pick(4)) {
    case 0:
        return kSpecialTexts[r.pick(std::size(kSpecialTexts))];
    case 1: {
        // The current value scaled by a power of ten between 1e-8 and 1e8,
        // sometimes negated.
        const int b = r.byte();
        const double scale = std::pow(10.0, (b % 129 - 64) / 8.0);
        const double v = parseLenient(current) * scale * (b & 0x80 ? -1.0 : 1.0);
        return formatGeneral(v == 0.0 ? scale : v);
    }
    case 2:
        return std::to_string(static_cast<int>(r.byte()) - 10);
    default:
        return r.bytes(12);
    }
}

void applyEdit(fuzz::ByteReader& r, Design& d)
{
    const auto& table = designTable();
    const ControlSpec& s = table[r.pick(table.size())];
    ControlState& c = d.control(s.name);
    switch (s.kind) {
    case ControlKind::Edit:
        c.text = fuzzedText(r, c.text);
        break;
    case ControlKind::Combo:
    case ControlKind::Radio:
        c.index = static_cast<int>(r.pick(s.items.size() + 2)) - 1;
        break;
    case ControlKind::Check:
        c.checked = !c.checked;
        break;
    case ControlKind::Grid:
        if (s.name == "FWGrid") {
            const int col = 1 + static_cast<int>(r.pick(kFwCols - 1));
            const int row = 1 + static_cast<int>(r.pick(kFwRows - 1));
            d.fwCell(col, row) = fuzzedText(r, d.fwCell(col, row));
        } else if (s.name == "MinMaxGrid") {
            constexpr int kRangeRow = 8;
            const int col = static_cast<int>(r.pick(kMinMaxCols));
            d.minMaxCell(col, kRangeRow) = fuzzedText(r, d.minMaxCell(col, kRangeRow));
            d.setAxisAuto(kRangeRow, r.byte() & 1);
        } else {
            d.optionCell(1, 1) = fuzzedText(r, d.optionCell(1, 1));
        }
        break;
    }
}

bool slotFinite(const ResultSlot& s, int points)
{
    for (int i = 0; i < points; ++i) {
        const auto p = static_cast<size_t>(i);
        for (double v : { s.frequency[p], s.spl[p], s.x1[p], s.x2[p], s.splMax[p], s.pmax1[p], s.pmax2[p],
                 s.zel[p], s.zReal[p], s.zImag[p], s.phase[p] })
            if (!std::isfinite(v))
                return false;
    }
    for (size_t i = 0; i < s.contourX.size(); ++i)
        if (!std::isfinite(s.contourX[i]) || !std::isfinite(s.contourA[i])
            || !std::isfinite(s.contourAone[i]))
            return false;
    return true;
}

std::string describe(const std::string& base, const Design& d)
{
    IniFile ini;
    saveValues(d, WindowGeometry(), ini);
    return "base " + base + "\n" + ini.toBytes();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::vector<std::string> paths;
    for (const char* folder : { VELUMO_SOURCE_DIR "/examples", VELUMO_SOURCE_DIR "/tests/golden" }) {
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec))
            if (e.path().extension() == ".vlm")
                paths.push_back(e.path().string());
    }
    std::sort(paths.begin(), paths.end());
    for (const std::string& p : paths) {
        IniFile ini = IniFile::load(p);
        Base b { p, Design() };
        loadDriver1Values(ini, b.design);
        loadOtherValues(ini, b.design);
        bases().push_back(std::move(b));
    }
    require(!bases().empty(), "no seed projects found under " VELUMO_SOURCE_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ByteReader r(data, size);
    const Base& base = bases()[r.pick(bases().size())];
    Design design = base.design;
    const int frequencyPoints = 2 + static_cast<int>(r.pick(kMaxFrequencyPoints - 1));
    for (int i = 0; i < kMaxEdits && !r.empty(); ++i)
        applyEdit(r, design);
    design.optionCell(1, 0) = std::to_string(frequencyPoints);

    fuzz::KeepingCheckSink checkSink;
    if (!CheckVariables(design, checkSink))
        return 0;
    // The check clamps the resolution; keep the run short all the same.
    if (parseLenient(design.optionCell(1, 0)) > kMaxFrequencyPoints)
        return 0;

    const RunInput in = readRunInput(design);
    ResultSlot slot;
    clearSlot(slot);
    fuzz::KeepingRunSink sink;
    const RunOutcome out = runSimulation(in, outputDir(), slot, sink);
    const std::string what = describe(base.name, design);
    if (out.status == RunStatus::Refused) {
        require(!out.refusedControl.empty(), "a refused run names no input", what);
        return 0;
    }
    const std::string dataTxt = readFile(outputDir() + "/data.txt");
    const std::string contourTxt = readFile(outputDir() + "/contour.txt");
    const std::string badData = fuzz::firstNonFiniteField(dataTxt, 2);
    require(badData.empty(), "data.txt holds a value that is not finite: " + badData, what);
    const std::string badContour = fuzz::firstNonFiniteField(contourTxt, 1);
    require(badContour.empty(), "contour.txt holds a value that is not finite: " + badContour, what);
    require(slotFinite(slot, out.points), "the result slot holds a value that is not finite", what);
    if (out.status == RunStatus::Failed)
        require(sink.hasCaption("Fehler"), "a failed run gave no \"Fehler\" message", what);
    else
        require(out.points >= 2, "a run reported as done has fewer than two points", what);
    return 0;
}
