#include "DesignRun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "InputCheck.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"
#include "SimRunner.h"

namespace velumo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

void applyKeyValues(IniFile& ini, const std::vector<KeyValue>& values)
{
    for (const KeyValue& v : values)
        ini.writeString(v.section, v.key, v.value);
}

FiguresOfMerit runFigures(const RunInput& input, const RunResult& result, const std::optional<Band>& band)
{
    const size_t n = result.points.size();
    std::vector<double> f(n), spl(n), splMax(n), x1(n), x2, zel(n);
    const bool driver2 = n > 0 && result.points.front().hasDriver2;
    if (driver2)
        x2.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const PointResults& p = result.points[i];
        f[i] = p.f;
        spl[i] = p.spl;
        splMax[i] = p.splMax;
        x1[i] = p.x1;
        zel[i] = p.zel;
        if (driver2)
            x2[i] = p.x2;
    }
    MeritInput m;
    m.curves = { f, spl, splMax, x1, x2, zel };
    m.xmax1 = input.driver1.xmax;
    // Driver 2 "like driver 1" is driver 1's twin, Xmax included.
    m.xmax2 = input.driver2Mode == Driver2Mode::OwnValues ? input.driver2.xmax : input.driver1.xmax;
    m.vHorn = result.derived.hornVolume;
    m.vGesamt = result.derived.totalVolume;
    if (band) {
        m.bandLow = band->low;
        m.bandHigh = band->high;
    }
    FiguresOfMerit figures = computeFiguresOfMerit(m);
    if (result.status != RunStatus::Ok) {
        // A run that failed on a point has no whole curve to judge.
        for (size_t i = 0; i < figures.values.size(); ++i)
            if (i != static_cast<size_t>(Figure::VHorn) && i != static_cast<size_t>(Figure::VGesamt))
                figures.values[i] = kNaN;
    }
    return figures;
}

DesignRun runDesign(const IniFile& project, const std::vector<KeyValue>& values,
    const std::optional<Band>& band, const std::string& listFolder, int threads, const Design* loaded)
{
    // A new Design is built from the table: not for a design read from `loaded`.
    DesignRun run = loaded ? DesignRun { .status = 0,
        .messages = {},
        .design = *loaded,
        .input = {},
        .outcome = {},
        .figures = {} }
                           : DesignRun {};
    run.figures.values.fill(kNaN);
    IniFile ini = project;
    applyKeyValues(ini, values);
    std::vector<std::pair<std::string, std::string>> changed;
    if (loaded) {
        for (const KeyValue& v : values)
            changed.emplace_back(v.section, v.key);
    }
    if (!loaded || !reloadDesignValues(ini, run.design, changed)) {
        run.design = Design();
        loadDesignValues(ini, run.design);
    }
    CollectingCheckSink sink;
    const bool valid = CheckVariables(run.design, sink);
    run.messages = std::move(sink.messages);
    if (!valid) {
        run.status = kSimInvalid;
        return run;
    }
    run.input = readRunInput(run.design);
    if (listFolder.empty()) {
        run.outcome = presentRun(runSimulation(run.input, {}, threads));
    } else {
        std::error_code ec;
        std::filesystem::create_directories(listFolder, ec);
        run.outcome = runAndWriteLists(run.input, listFolder, {}, threads);
    }
    for (Message& m : runMessages(run.design, run.outcome))
        run.messages.push_back(std::move(m));
    run.status = runExitStatus(run.outcome);
    if (run.outcome.status != RunStatus::Refused)
        run.figures = runFigures(run.input, run.outcome.result, band);
    return run;
}

std::vector<Message> runMessages(const Design& design, const RunOutcome& outcome)
{
    if (outcome.status == RunStatus::Refused)
        return { runRefusalMessage(design, outcome.refusedControl) };
    std::vector<Message> shown = outcome.messages;
    for (Message& m : runEndMessages(design, outcome))
        shown.push_back(std::move(m));
    return shown;
}

int runExitStatus(const RunOutcome& outcome)
{
    return outcome.status != RunStatus::Ok ? kSimRunFailed
        : outcome.lists.error != 0         ? kSimWriteFailed
                                           : kSimOk;
}

std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvNumber(double value)
{
    if (std::isnan(value))
        return {};
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string designColumnsHeader()
{
    std::string header = "status,messages";
    for (const FigureInfo& f : figureTable())
        header += "," + csvField(f.name);
    return header;
}

std::string designColumns(const DesignRun& run)
{
    std::string messages;
    for (const Message& m : run.messages) {
        if (!messages.empty())
            messages += " | ";
        if (!m.caption.empty())
            messages += m.caption + ": ";
        std::string text = m.text;
        std::replace(text.begin(), text.end(), '\n', ' ');
        messages += text;
    }
    std::string row = std::to_string(run.status) + "," + csvField(messages);
    for (double v : run.figures.values)
        row += "," + csvNumber(v);
    return row;
}

std::string keyColumn(const std::string& section, const std::string& key) { return section + "/" + key; }

} // namespace velumo
