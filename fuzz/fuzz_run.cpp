// Whole runs of designs whose inputs are fuzzed within what the input check
// admits. A run ends with finite results, or stops with a "Fehler" message
// before it would write a value that is not finite: a run that ends without
// a fault has printed only finite numbers (derived-parameter lines,
// data.txt, contour.txt).
//
// The first byte chooses one of the example and golden projects, the second
// the frequency resolution (kept small so that one run takes milliseconds);
// the rest is project-file text laid over the chosen project key by key
// ("[Horn]", "Hornlänge=-5"; a section may come again). fuzz/project.dict
// holds every key of the project with its section, for -dict=.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "DesignTable.h"
#include "Encoding.h"
#include "FuzzSupport.h"
#include "IniFile.h"
#include "NumberText.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"

using namespace velumo;
using velumo::fuzz::require;

namespace {

constexpr int kMaxFrequencyPoints = 16;

struct Base {
    std::string name;
    IniFile ini;
};

std::vector<Base>& bases()
{
    static std::vector<Base> list;
    return list;
}

// One private folder per process (mkdtemp), removed at exit. Held by a
// pointer that is never freed, so the exit handler cannot run after it is
// destroyed.
const std::string& outputDir()
{
    static const std::string* dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velumo-fuzz-run-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "no temporary folder");
        auto* path = new std::string(pattern);
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

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Lays the key lines of `text` over the project, each in the section named
// last before it.
void overlay(std::string_view bytes, IniFile& ini)
{
    const std::string text = IniFile::readsAsUtf8(bytes) ? std::string(bytes) : cp1252ToUtf8(bytes);
    std::string section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = trimmed(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        const size_t close = line.find(']');
        if (line.size() >= 2 && line.front() == '[' && close != std::string_view::npos) {
            section = std::string(trimmed(line.substr(1, close - 1)));
            continue;
        }
        const size_t eq = line.find('=');
        const std::string_view key
            = eq == std::string_view::npos ? std::string_view() : trimmed(line.substr(0, eq));
        if (section.empty() || key.empty() || key.front() == '[' || key.front() == ';' || key.front() == '#')
            continue;
        ini.writeString(section, key, line.substr(eq + 1));
    }
}

bool holdsNonFinite(const std::vector<std::string>& lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("INF") != std::string::npos || l.find("NAN") != std::string::npos;
    });
}

// What the graphs and the sketch draw of a run.
bool resultFinite(const RunResult& r)
{
    for (const PointResults& p : r.points) {
        for (double v : { p.f, p.spl, p.x1, p.x2, p.splMax, p.pmax1, p.zel, p.zReal, p.zImag, p.phase })
            if (!std::isfinite(v))
                return false;
        if (p.hasDriver2 && !std::isfinite(p.pmax2))
            return false;
    }
    if (r.stop != RunStop::None)
        return true; // nothing of the run is drawn
    const HornModel& h = r.model.horn;
    for (size_t i = 0; i < h.x.size(); ++i)
        if (!std::isfinite(h.x[i]) || !std::isfinite(h.a[i]) || !std::isfinite(h.aOne[i]))
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
    for (const std::string& p : paths)
        bases().push_back({ p, IniFile::load(p) });
    require(!bases().empty(), "no seed projects found under " VELUMO_SOURCE_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ByteReader r(data, size);
    const Base& base = bases()[r.pick(bases().size())];
    const int frequencyPoints = 2 + static_cast<int>(r.pick(kMaxFrequencyPoints - 1));
    IniFile ini = base.ini;
    if (size > 2)
        overlay(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2), ini);
    Design design;
    loadDesignValues(ini, design);
    design.optionCell(1, 0) = std::to_string(frequencyPoints);

    fuzz::KeepingCheckSink checkSink;
    if (!CheckVariables(design, checkSink))
        return 0;
    // The check clamps the resolution; keep the run short all the same.
    if (parseLenient(design.optionCell(1, 0)) > kMaxFrequencyPoints)
        return 0;

    const RunInput in = readRunInput(design);
    const RunOutcome out = runAndWriteLists(in, outputDir());
    const std::string what = describe(base.name, design);
    if (out.status == RunStatus::Refused) {
        require(!out.refusedControl.empty(), "a refused run names no input", what);
        return 0;
    }
    require(out.lists.error == 0, "the lists could not be written", what);
    const std::string dataTxt = readFile(outputDir() + "/data.txt");
    const std::string contourTxt = readFile(outputDir() + "/contour.txt");
    const std::string badData = fuzz::firstNonFiniteField(dataTxt, 2);
    require(badData.empty(), "data.txt holds a value that is not finite: " + badData, what);
    const std::string badContour = fuzz::firstNonFiniteField(contourTxt, 1);
    require(badContour.empty(), "contour.txt holds a value that is not finite: " + badContour, what);
    require(resultFinite(out.result), "the run's result holds a value that is not finite", what);
    if (out.status == RunStatus::Failed) {
        const std::vector<Message> end = runEndMessages(design, out);
        auto isFehler = [](const Message& m) { return m.caption == "Fehler"; };
        const bool fehler = std::any_of(out.messages.begin(), out.messages.end(), isFehler)
            || std::any_of(end.begin(), end.end(), isFehler);
        require(fehler, "a failed run gave no \"Fehler\" message", what);
        require(out.stop == RunStop::None || !out.stopInputs.empty(), "a stopped run names no input", what);
    } else {
        require(out.points >= 2, "a run reported as done has fewer than two points", what);
        // What velumo-sim prints of a run that ends without a fault is finite.
        require(!holdsNonFinite(out.leftLines) && !holdsNonFinite(out.rightLines),
            "a derived-parameter line of a finished run is not finite", what);
    }
    return 0;
}
