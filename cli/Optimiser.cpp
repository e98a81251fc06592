#include "Optimiser.h"

#include <dlfcn.h>
#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <type_traits>

#include "DesignRun.h"
#include "NumberText.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"
#include "SweepRunner.h"

namespace velumo {

namespace {

// Ranks behind every design that meets the constraints, and behind every
// design that could be run.
constexpr double kNotMetRank = 1e12;
constexpr double kNotRunRank = 1e13;
// Nelder-Mead's first simplex spans a quarter of each range; a start ends
// when its simplex has shrunk to 1e-4 of each range.
constexpr double kInitialStep = 0.25;
constexpr double kRangeTolerance = 1e-4;

// NLopt is loaded when an optimisation starts: a plain run or a sweep, a
// few milliseconds each, would otherwise pay for loading it every time.
struct Nlopt {
    decltype(&nlopt_create) create = nullptr;
    decltype(&nlopt_destroy) destroy = nullptr;
    decltype(&nlopt_set_lower_bounds) setLowerBounds = nullptr;
    decltype(&nlopt_set_upper_bounds) setUpperBounds = nullptr;
    decltype(&nlopt_set_min_objective) setMinObjective = nullptr;
    decltype(&nlopt_set_maxeval) setMaxeval = nullptr;
    decltype(&nlopt_set_xtol_abs1) setXtolAbs1 = nullptr;
    decltype(&nlopt_set_initial_step1) setInitialStep1 = nullptr;
    decltype(&nlopt_optimize) optimize = nullptr;
    decltype(&nlopt_force_stop) forceStop = nullptr;
};

// The library's functions, or nullptr with the loader's reason in `error`.
const Nlopt* loadNlopt(std::string* error)
{
    static const Nlopt* loaded = nullptr;
    static std::string failure;
    static const bool tried = [] {
        void* lib = dlopen("libnlopt.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            failure = dlerror();
            return true;
        }
        static Nlopt f;
        bool complete = true;
        auto bind = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            if (!fn && complete) {
                complete = false;
                failure = std::string(name) + " fehlt";
            }
        };
        bind(f.create, "nlopt_create");
        bind(f.destroy, "nlopt_destroy");
        bind(f.setLowerBounds, "nlopt_set_lower_bounds");
        bind(f.setUpperBounds, "nlopt_set_upper_bounds");
        bind(f.setMinObjective, "nlopt_set_min_objective");
        bind(f.setMaxeval, "nlopt_set_maxeval");
        bind(f.setXtolAbs1, "nlopt_set_xtol_abs1");
        bind(f.setInitialStep1, "nlopt_set_initial_step1");
        bind(f.optimize, "nlopt_optimize");
        bind(f.forceStop, "nlopt_force_stop");
        if (complete)
            loaded = &f;
        return true;
    }();
    (void)tried;
    if (!loaded)
        *error = failure;
    return loaded;
}

struct Search {
    Search(const IniFile& p, const SimOptions& options)
        : project(p)
        , o(options)
    {
        loadDesignValues(project, loaded);
    }
    const IniFile& project;
    const SimOptions& o;
    Design loaded; // the project as loaded, for the evaluations to start from
    std::FILE* trace = nullptr;
    ProgressBar* bar = nullptr;
    const Nlopt* nlopt = nullptr;
    nlopt_opt opt = nullptr;
    int start = 0;
    int evaluations = 0;
    int writeError = 0;
    double bestRank = HUGE_VAL;
    std::vector<KeyValue> best;
    DesignRun first; // the design at the first evaluation: the project's own values when in bounds

    std::vector<KeyValue> values(const double* x) const
    {
        std::vector<KeyValue> kv;
        for (size_t i = 0; i < o.vary.size(); ++i) {
            const VaryBound& v = o.vary[i];
            const double value = std::clamp(v.low + x[i] * (v.high - v.low), v.low, v.high);
            kv.push_back({ v.section, v.key, formatGeneral(value) });
        }
        return kv;
    }

    double evaluate(const double* x)
    {
        if (evaluations >= o.evaluations) {
            nlopt->forceStop(opt);
            return HUGE_VAL;
        }
        const std::vector<KeyValue> kv = values(x);
        DesignRun run = runDesign(project, kv, o.band, {}, kRunThreads, &loaded);
        const double rank = designRank(run.figures, run.status, *o.goal, o.maximise, o.constraints);
        ++evaluations;
        std::string row = std::to_string(evaluations) + "," + std::to_string(start);
        for (const KeyValue& v : kv)
            row += "," + v.value;
        row += "," + csvNumber(rank) + "," + (rank < kNotMetRank ? "1" : "0") + "," + designColumns(run)
            + "\n";
        if (std::fwrite(row.data(), 1, row.size(), trace) != row.size() && writeError == 0)
            writeError = errno;
        if (rank < bestRank) {
            bestRank = rank;
            best = kv;
        }
        if (evaluations == 1)
            first = std::move(run);
        bar->update(static_cast<std::uint64_t>(evaluations));
        return rank;
    }
};

double objective(unsigned, const double* x, double*, void* data)
{
    return static_cast<Search*>(data)->evaluate(x);
}

// The project's own value of each free key, in the bounds' 0..1 scale; the
// middle where the file has no number there.
std::vector<double> projectStart(const IniFile& project, const std::vector<VaryBound>& vary)
{
    std::vector<double> x;
    for (const VaryBound& v : vary) {
        const std::optional<std::string> text = project.value(v.section, v.key);
        double value = text ? parseLenient(*text) : std::nan("");
        if (!std::isfinite(value))
            value = 0.5 * (v.low + v.high);
        x.push_back(std::clamp((value - v.low) / (v.high - v.low), 0.0, 1.0));
    }
    return x;
}

void printFigures(std::ostream& out, const char* label, const FiguresOfMerit& figures)
{
    out << label;
    for (const FigureInfo& f : figureTable()) {
        const double v = figures.value(f.id);
        if (std::isfinite(v))
            out << "  " << f.name << '=' << formatPattern(v, "0.###");
    }
    out << '\n';
}

bool writeBest(const IniFile& project, const DesignRun& run, const std::vector<KeyValue>& best,
    const std::string& path, std::string* error)
{
    IniFile ini = project;
    applyKeyValues(ini, best);
    WindowGeometry geometry;
    loadWindowGeometry(ini, geometry);
    saveValues(run.design, geometry, ini);
    return ini.save(path, error);
}

} // namespace

double designRank(const FiguresOfMerit& figures, int status, Figure goal, bool maximise,
    const std::vector<Constraint>& constraints)
{
    if (status != kSimOk)
        return kNotRunRank;
    double shortfall = 0;
    for (const Constraint& c : constraints) {
        if (constraintMet(c, figures))
            continue;
        const double v = figures.value(c.figure);
        const double scale = std::max(1.0, std::fabs(c.bound));
        // A figure that is not defined counts as missing its bound by its own size.
        shortfall += std::isfinite(v) ? std::max(std::fabs(v - c.bound) / scale, 1e-9) : 1.0;
    }
    if (shortfall > 0)
        return kNotMetRank + shortfall;
    const double v = figures.value(goal);
    if (!std::isfinite(v))
        return kNotMetRank;
    return maximise ? -v : v;
}

int runOptimisation(
    const IniFile& project, const SimOptions& o, std::ostream& out, std::ostream& err, bool progress)
{
    std::string loadError;
    const Nlopt* nlopt = loadNlopt(&loadError);
    if (!nlopt) {
        err << "Die Optimierung braucht die Bibliothek NLopt (Debian-Paket libnlopt0), die sich nicht laden "
               "lässt: "
            << loadError << '\n';
        return kSimUsage;
    }
    const std::filesystem::path folder(o.outDir);
    const std::string tracePath = (folder / kTraceFileName).string();
    Search search(project, o);
    search.nlopt = nlopt;
    search.trace = std::fopen(tracePath.c_str(), "wb");
    if (!search.trace) {
        err << "Fehler: " << tracePath << " kann nicht geschrieben werden: " << systemErrorText(errno)
            << '\n';
        return kSimWriteFailed;
    }
    std::string header = "evaluation,start";
    for (const VaryBound& v : o.vary)
        header += "," + csvField(keyColumn(v.section, v.key));
    header += ",rank,meets," + designColumnsHeader() + "\n";
    std::fputs(header.c_str(), search.trace);

    const unsigned n = static_cast<unsigned>(o.vary.size());
    ProgressBar bar(err, static_cast<std::uint64_t>(o.evaluations), progress);
    search.bar = &bar;
    std::mt19937_64 random(o.seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const std::vector<double> lower(n, 0.0), upper(n, 1.0);
    std::optional<nlopt_result> stalled;
    for (int start = 1; search.evaluations < o.evaluations; ++start) {
        std::vector<double> x = start == 1 ? projectStart(project, o.vary) : std::vector<double>(n);
        if (start > 1)
            for (double& xi : x)
                xi = uniform(random);
        search.start = start;
        search.opt = nlopt->create(NLOPT_LN_NELDERMEAD, n);
        nlopt->setLowerBounds(search.opt, lower.data());
        nlopt->setUpperBounds(search.opt, upper.data());
        nlopt->setMinObjective(search.opt, objective, &search);
        // This start's share of what is left; after the first few starts each
        // may use all of it.
        const int left = o.evaluations - search.evaluations;
        nlopt->setMaxeval(search.opt, std::max(1, left / std::max(1, kOptimiserStarts - start + 1)));
        nlopt->setXtolAbs1(search.opt, kRangeTolerance);
        nlopt->setInitialStep1(search.opt, kInitialStep);
        double value = 0;
        const int before = search.evaluations;
        const nlopt_result result = nlopt->optimize(search.opt, x.data(), &value);
        nlopt->destroy(search.opt);
        search.opt = nullptr;
        // A start that could not even begin would leave the budget as it is forever.
        if (search.evaluations == before) {
            stalled = result;
            break;
        }
    }
    bar.finish(static_cast<std::uint64_t>(search.evaluations));

    const bool traced
        = search.writeError == 0 && std::fflush(search.trace) == 0 && !std::ferror(search.trace);
    const int traceError = search.writeError ? search.writeError : errno;
    if (std::fclose(search.trace) != 0 || !traced) {
        err << "Fehler: " << tracePath << " kann nicht geschrieben werden: " << systemErrorText(traceError)
            << '\n';
        return kSimWriteFailed;
    }
    if (stalled) {
        err << "Die Optimierung lässt sich nicht starten (NLopt-Status " << *stalled << ").\n";
        return kSimUsage;
    }
    if (search.bestRank >= kNotRunRank) {
        err << "Keiner der " << search.evaluations
            << " Entwürfe ließ sich simulieren; ihre Meldungen stehen in " << tracePath << ".\n";
        return kSimInvalid;
    }

    const DesignRun best = runDesign(project, search.best, o.band, o.outDir, kRunThreads);
    std::string error;
    if (best.status != kSimOk) {
        for (const Message& m : best.messages) {
            std::string text = m.text;
            std::replace(text.begin(), text.end(), '\n', ' ');
            err << (m.caption.empty() ? "" : m.caption + ": ") << text << '\n';
        }
        return kSimWriteFailed;
    }
    if (!writeBest(project, best, search.best, (folder / kBestFileName).string(), &error)) {
        err << "Fehler: " << error << '\n';
        return kSimWriteFailed;
    }

    const FigureInfo& goal = figureTable()[static_cast<size_t>(*o.goal)];
    out << (o.maximise ? "Maximiert: " : "Minimiert: ") << goal.name << ", " << search.evaluations
        << " Auswertungen\n";
    printFigures(out, "vorher: ", search.first.figures);
    printFigures(out, "nachher:", best.figures);
    for (const KeyValue& v : search.best)
        out << v.section << '/' << v.key << '=' << v.value << '\n';
    if (search.bestRank >= kNotMetRank) {
        err << "Kein Entwurf erfüllt alle Bedingungen (--require); " << kBestFileName
            << " hält den, der ihnen am nächsten kommt.\n";
        return kSimNotMet;
    }
    return kSimOk;
}

} // namespace velumo
