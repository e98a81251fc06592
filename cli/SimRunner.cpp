#include "SimRunner.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <ostream>

#include "Design.h"
#include "DesignFile.h"
#include "DesignRun.h"
#include "Directories.h"
#include "IniFile.h"
#include "InputCheck.h"
#include "Optimiser.h"
#include "ProjectFile.h"
#include "RunExport.h"
#include "RunInputAdapter.h"
#include "RunJson.h"
#include "RunPresentation.h"
#include "StrictNumber.h"
#include "SweepRunner.h"

namespace velumo {

namespace {

// One message per line, so that scripts can read stderr line by line; the
// line breaks of a two-line message box become spaces.
void printMessage(std::ostream& err, const Message& m)
{
    std::string text = m.text;
    std::replace(text.begin(), text.end(), '\n', ' ');
    if (!m.caption.empty())
        err << m.caption << ": ";
    err << text << '\n';
}

class StreamCheckSink : public CheckSink {
public:
    explicit StreamCheckSink(std::ostream& err)
        : m_err(err)
    {
    }
    void message(const Message& m) override { printMessage(m_err, m); }
    void focus(std::string_view) override { }

private:
    std::ostream& m_err;
};

// Messages of the directory set-up.
class StreamMessageSink : public MessageSink {
public:
    explicit StreamMessageSink(std::ostream& err)
        : m_err(err)
    {
    }
    void message(const Message& m) override { printMessage(m_err, m); }

private:
    std::ostream& m_err;
};

} // namespace

std::string simUsage()
{
    return "Aufruf: velumo-sim PROJEKT.vlm [--out VERZEICHNIS] [--set \"A/S=Wert\"]...\n"
           "                  [--report DATEI.html] [--frd DATEI.frd] [--zma DATEI.zma]\n"
           "                  [--json DATEI.json|-]\n"
           "       velumo-sim PROJEKT.vlm --sweep \"A/S=von:bis:Anzahl[:log]\"...\n"
           "                  [--keep-lists] [--jobs N] [--shard K/N] [--band F1:F2]\n"
           "       velumo-sim PROJEKT.vlm --optimise KENNZAHL|--maximise KENNZAHL\n"
           "                  --vary \"A/S=von:bis\"... [--require \"f3<=40\"]...\n"
           "                  [--band F1:F2] [--seed S] [--evaluations N]\n"
           "\n"
           "A/S: Abschnitt und Schlüssel der Projektdatei, z. B. \"Horn/Hornlänge\".\n"
           "Lädt das Projekt wie \"Öffnen\" (Treiber1, dann die übrigen Werte, dann die\n"
           "Eingabeprüfung), simuliert es und schreibt contour.txt und data.txt.\n"
           "\n"
           "  --out VERZEICHNIS    Zielordner der beiden Listen, wird bei Bedarf angelegt\n"
           "                       (Vorgabe: der Einstellungsordner ~/.config/Velumo)\n"
           "  --set \"A/S=Wert\"     den Schlüssel S im Abschnitt A so setzen, als stünde der\n"
           "                       Wert in der Projektdatei (vor der Eingabeprüfung);\n"
           "                       mehrfach möglich\n"
           "  --report DATEI.html  zusätzlich den HTML-Bericht schreiben; das übernimmt\n"
           "                       velumo-report (neben velumo-sim, sonst im Suchpfad)\n"
           "  --frd DATEI.frd      zusätzlich den Frequenzgang (Frequenz, SPL, Phase des\n"
           "                       Schalldrucks) als FRD-Datei schreiben\n"
           "  --zma DATEI.zma      zusätzlich die Impedanz (Frequenz, |Zel|, Phase) als\n"
           "                       ZMA-Datei schreiben\n"
           "  --json DATEI.json    zusätzlich alle Ergebnisse als JSON schreiben (Status,\n"
           "                       Meldungen, abgeleitete Parameter, Kontur, Ergebnisreihen,\n"
           "                       simulierte Eingaben); \"-\" schreibt nach stdout statt der\n"
           "                       abgeleiteten Parameter. Auch nach Status 3.\n"
           "  --help               diese Hilfe\n"
           "\n"
           "Variantenrechnung (schreibt summary.csv, eine Zeile je Entwurf):\n"
           "  --sweep \"A/S=von:bis:Anzahl\"  gleiche Schritte; \":log\" am Ende gleiche\n"
           "                       Verhältnisse; oder eine Liste \"A/S=1.5,2,2.5\". Mehrfach:\n"
           "                       alle Kombinationen\n"
           "  --keep-lists         contour.txt und data.txt jedes Entwurfs in einen\n"
           "                       Unterordner mit seiner Nummer\n"
           "  --jobs N             N Threads (Vorgabe: alle Kerne)\n"
           "  --shard K/N          nur das K-te von N gleichen Teilen (globale Nummern)\n"
           "  --band F1:F2         Band der Kennzahlen in Hz (Vorgabe: der ganze Bereich)\n"
           "Optimierung (schreibt trace.csv, best.vlm und die Listen des besten Entwurfs;\n"
           "ein statisch gebautes velumo-sim übergibt sie an velumo-optimise, neben\n"
           "velumo-sim, sonst im Suchpfad):\n"
           "  --optimise KENNZAHL  die Kennzahl so klein wie möglich machen; --maximise so\n"
           "                       groß wie möglich. Kennzahlen: f3, f10, ripple, spl_mean,\n"
           "                       splmax_min, x1_rel, x2_rel, zmin, VHorn, Vgesamt\n"
           "  --vary \"A/S=von:bis\" ein freier Wert mit seinen Grenzen; mehrfach möglich\n"
           "  --require \"f3<=40\"  eine Bedingung (<=, <, >=, >); mehrfach möglich\n"
           "  --seed S             Startwert der Zufallsstarts (Vorgabe 1)\n"
           "  --evaluations N      höchstens N Entwürfe (Vorgabe 2000)\n"
           "\n"
           "Meldungen gehen als \"Titel: Text\" nach stderr, die abgeleiteten Parameter\n"
           "(linke Spalte, Leerzeile, rechte Spalte) nach stdout.\n"
           "Exit-Status:\n"
           "  0  Erfolg: Listen (und Bericht) geschrieben, jede ausgegebene Zahl endlich;\n"
           "     bei --sweep: summary.csv vollständig (der Status jedes Entwurfs steht dort)\n"
           "  1  Aufruffehler, Projektdatei nicht lesbar oder ohne Velumo-Projekt\n"
           "     (leer, zu groß, kein Text, kein bekannter Schlüssel)\n"
           "  2  Eingaben ungültig (Eingabeprüfung)\n"
           "  3  Simulation abgelehnt oder abgebrochen; ein Bericht wird dann nicht\n"
           "     geschrieben, ein vorhandener bleibt unverändert\n"
           "  4  Listen, Bericht, FRD- oder ZMA-Datei, summary.csv, trace.csv oder\n"
           "     best.vlm konnten nicht geschrieben werden; die vorigen Listen bleiben\n"
           "     unverändert\n"
           "  5  Optimierung: kein Entwurf erfüllt alle --require; best.vlm hält den\n"
           "     nächsten\n"
           "FRD und ZMA werden nur nach einer erfolgreichen Simulation geschrieben.\n";
}

namespace {

bool parseEvaluations(const std::string& arg, int* evaluations, std::string* error)
{
    double v = 0;
    if (!parseStrictNumber(arg, &v) || v != std::floor(v) || v < 1 || v > kMaxEvaluations) {
        *error = "--evaluations \"" + arg + "\": erwartet wird eine ganze Zahl von 1 bis "
            + std::to_string(kMaxEvaluations) + ".";
        return false;
    }
    *evaluations = static_cast<int>(v);
    return true;
}

bool parseGoal(const std::string& option, const std::string& arg, SimOptions* o, std::string* error)
{
    const std::optional<Figure> figure = findFigure(arg);
    if (!figure) {
        *error = option + " \"" + arg + "\": unbekannte Kennzahl; bekannt sind " + figureNames() + ".";
        return false;
    }
    if (o->goal) {
        *error = "Nur ein Ziel ist erlaubt: --optimise oder --maximise, einmal.";
        return false;
    }
    o->goal = figure;
    o->maximise = option == "--maximise";
    return true;
}

// One option with its value; false with *error on a bad value.
bool parseValueOption(const std::string& a, const std::string& v, SimOptions& o, std::string* error)
{
    if (a == "--out" || a == "--report" || a == "--frd" || a == "--zma" || a == "--json") {
        std::string& value = a == "--out" ? o.outDir
            : a == "--report"             ? o.reportPath
            : a == "--frd"                ? o.frdPath
            : a == "--zma"                ? o.zmaPath
                                          : o.jsonPath;
        value = v;
        return true;
    }
    if (a == "--set") {
        KeyValue set;
        if (!parseSet(v, projectFileKeys(), &set, error))
            return false;
        o.sets.push_back(std::move(set));
        return true;
    }
    if (a == "--sweep") {
        Sweep sweep;
        if (!parseSweep(v, projectFileKeys(), &sweep, error))
            return false;
        o.sweeps.push_back(std::move(sweep));
        return true;
    }
    if (a == "--vary") {
        VaryBound vary;
        if (!parseVary(v, projectFileKeys(), &vary, error))
            return false;
        o.vary.push_back(std::move(vary));
        return true;
    }
    if (a == "--require") {
        Constraint c;
        if (!parseConstraint(v, &c, error))
            return false;
        o.constraints.push_back(c);
        return true;
    }
    if (a == "--optimise" || a == "--maximise")
        return parseGoal(a, v, &o, error);
    if (a == "--jobs")
        return parseJobs(v, &o.jobs, error);
    if (a == "--seed")
        return parseSeed(v, &o.seed, error);
    if (a == "--evaluations")
        return parseEvaluations(v, &o.evaluations, error);
    if (a == "--shard") {
        Shard shard;
        if (!parseShard(v, &shard, error))
            return false;
        o.shard = shard;
        return true;
    }
    Band band;
    if (!parseBand(v, &band, error))
        return false;
    o.band = band;
    return true;
}

bool isValueOption(const std::string& a)
{
    static const char* const options[]
        = { "--out", "--report", "--frd", "--zma", "--json", "--set", "--sweep", "--vary", "--require",
              "--optimise", "--maximise", "--jobs", "--seed", "--evaluations", "--shard", "--band" };
    return std::find(std::begin(options), std::end(options), a) != std::end(options);
}

// The options that only belong to a sweep or an optimisation, and those that
// do not go with either; `given` holds the options on the command line.
bool checkCombination(const SimOptions& o, const std::vector<std::string>& given, std::string* error)
{
    const bool sweep = !o.sweeps.empty();
    const bool optimise = o.goal.has_value();
    const auto first = [&given](std::initializer_list<const char*> options) -> std::string {
        for (const std::string& g : given)
            for (const char* option : options)
                if (g == option)
                    return g;
        return {};
    };
    const std::string sweepOnly = first({ "--keep-lists", "--jobs", "--shard" });
    const std::string optimiseOnly = first({ "--vary", "--require", "--seed", "--evaluations" });
    const std::string extraOutput = first({ "--report", "--frd", "--zma", "--json" });
    if (!o.sets.empty() && !o.reportPath.empty())
        *error = "--set geht nicht zusammen mit --report.";
    else if (sweep && optimise)
        *error = "--sweep und --optimise gehen nicht zusammen.";
    else if ((sweep || optimise) && !extraOutput.empty())
        *error = extraOutput + " geht nicht zusammen mit --sweep oder --optimise.";
    else if (!sweep && !sweepOnly.empty())
        *error = sweepOnly + " gilt nur mit --sweep.";
    else if (!optimise && !optimiseOnly.empty())
        *error = optimiseOnly + " gilt nur mit --optimise oder --maximise.";
    else if (optimise && o.vary.empty())
        *error = "--optimise braucht mindestens ein --vary.";
    else if (!sweep && !optimise && o.band)
        *error = "--band gilt nur mit --sweep oder --optimise.";
    else {
        std::vector<ProjectKey> varied;
        for (const VaryBound& v : o.vary)
            varied.push_back({ v.section, v.key });
        return checkNamedOnce("--vary", varied, o.sets, error);
    }
    return false;
}

} // namespace

bool parseSimArguments(const std::vector<std::string>& args, SimOptions* options, std::string* error)
{
    SimOptions o;
    std::vector<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.starts_with("--"))
            given.push_back(a);
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--keep-lists") {
            o.keepLists = true;
        } else if (isValueOption(a)) {
            if (i + 1 >= args.size()) {
                *error = "Option " + a + " braucht einen Wert.";
                return false;
            }
            if (!parseValueOption(a, args[++i], o, error))
                return false;
        } else if (!a.empty() && a[0] == '-') {
            *error = "Unbekannte Option " + a + ".";
            return false;
        } else if (o.projectPath.empty()) {
            o.projectPath = a;
        } else {
            *error = "Nur eine Projektdatei ist erlaubt.";
            return false;
        }
    }
    if (!o.help && o.projectPath.empty()) {
        *error = "Keine Projektdatei angegeben.";
        return false;
    }
    std::vector<Sweep> sweeps = o.sweeps;
    SweepPlan plan;
    if (!o.help
        && (!checkCombination(o, given, error) || !makeSweepPlan(std::move(sweeps), o.sets, &plan, error)))
        return false;
    *options = o;
    return true;
}

int runVelumoSim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
    const ReportWriter& report, bool progress, const OptimiserRunner& optimiser)
{
    SimOptions o;
    std::string error;
    if (!parseSimArguments(args, &o, &error)) {
        // One line, so that a script's log shows the reason, not the help.
        err << error << " (Hilfe: velumo-sim --help)\n";
        return kSimUsage;
    }
    if (o.help) {
        out << simUsage();
        return kSimOk;
    }
    const DesignFile file = readDesignFile(o.projectPath, DesignFileScope::Project);
    if (file.problem == DesignFileProblem::Unreadable) {
        err << "Die Projektdatei " << o.projectPath << " kann nicht gelesen werden.\n";
        return kSimUsage;
    }
    if (!file.holdsDesign()) {
        err << noDesignText(o.projectPath, DesignFileScope::Project, file.problem) << '\n';
        return kSimUsage;
    }
    if (!o.reportPath.empty() && (!o.frdPath.empty() || !o.zmaPath.empty() || !o.jsonPath.empty())) {
        err << "--frd, --zma und --json gehen nicht zusammen mit --report.\n";
        return kSimUsage;
    }
    if (!o.reportPath.empty() && !report) {
        err << "Dieses Programm wurde ohne HTML-Bericht gebaut.\n";
        return kSimUsage;
    }
    if (o.goal && !optimiser) {
        err << "Dieses Programm wurde ohne Optimierung gebaut.\n";
        return kSimUsage;
    }

    StreamMessageSink setUpSink(err);
    if (o.outDir.empty())
        o.outDir = resolveDirectories(Environment::fromProcess(nullptr), setUpSink).settings;
    // A missing folder is made, as the README's examples assume.
    std::error_code ec;
    if (!std::filesystem::exists(o.outDir, ec)) {
        std::filesystem::create_directories(o.outDir, ec);
        if (ec) {
            err << "Der Ausgabeordner " << o.outDir
                << " lässt sich nicht anlegen: " << systemErrorText(ec.value()) << '\n';
            return kSimWriteFailed;
        }
    }
    if (!std::filesystem::is_directory(o.outDir, ec)) {
        err << "Der Ausgabeordner " << o.outDir << " ist kein Ordner.\n";
        return kSimUsage;
    }
    if (!o.reportPath.empty())
        return report(o, err);

    IniFile project = file.ini;
    applyKeyValues(project, o.sets);
    if (!o.sweeps.empty())
        return runSweep(project, o, err, progress);
    if (o.goal)
        return optimiser({ project, o, args, out, err, progress });

    Design design;
    loadDesignValues(project, design);
    StreamCheckSink checkSink(err);
    if (!CheckVariables(design, checkSink))
        return kSimInvalid;

    RunInput input = readRunInput(design);
    // One thread: in a process that ends after one run, starting a second
    // thread (its stack, its heap, its own network) costs more than the half
    // of the points it would take.
    const RunOutcome outcome = runAndWriteLists(input, o.outDir, {}, 1);
    const std::string projectName = std::filesystem::absolute(o.projectPath, ec).string();
    const std::vector<Message> shown = runMessages(design, outcome);
    // The run's own messages before the parameter lines, as the window shows them.
    const size_t own = outcome.status == RunStatus::Refused ? shown.size() : outcome.messages.size();
    for (size_t i = 0; i < own; ++i)
        printMessage(err, shown[i]);
    if (outcome.status != RunStatus::Refused && o.jsonPath != "-") {
        for (const std::string& l : outcome.leftLines)
            out << l << '\n';
        out << '\n';
        for (const std::string& l : outcome.rightLines)
            out << l << '\n';
    }
    for (size_t i = own; i < shown.size(); ++i)
        printMessage(err, shown[i]);

    int status = runExitStatus(outcome);
    // Scripts learn from the JSON why a run failed; the curves of a failed run are not written.
    if (!o.jsonPath.empty()) {
        const std::string json = runJson(outcome, input, projectName, shown);
        if (o.jsonPath == "-") {
            out << json << std::flush;
        } else if (!replaceFile(o.jsonPath, json, &error)) {
            err << "Fehler: " << error << '\n';
            if (status == kSimOk)
                status = kSimWriteFailed;
        }
    }
    if (outcome.status != RunStatus::Ok)
        return status;
    const std::pair<const std::string*, MeasurementKind> exports[] = {
        { &o.frdPath, MeasurementKind::Frd },
        { &o.zmaPath, MeasurementKind::Zma },
    };
    for (const auto& [path, kind] : exports) {
        if (path->empty())
            continue;
        if (!writeRunExport(*path, outcome.result, kind, projectName, &error)) {
            err << "Fehler: " << error << '\n';
            status = kSimWriteFailed;
        }
    }
    return status;
}

} // namespace velumo
