#include "SimRunner.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "Design.h"
#include "DesignFile.h"
#include "Directories.h"
#include "IniFile.h"
#include "InputCheck.h"
#include "ProjectFile.h"
#include "RunExport.h"
#include "RunInputAdapter.h"
#include "RunJson.h"
#include "RunPresentation.h"

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
    return "Aufruf: velumo-sim PROJEKT.vlm [--out VERZEICHNIS] [--report DATEI.html]\n"
           "                  [--frd DATEI.frd] [--zma DATEI.zma] [--json DATEI.json|-]\n"
           "\n"
           "Lädt das Projekt wie \"Öffnen\" (Treiber1, dann die übrigen Werte, dann die\n"
           "Eingabeprüfung), simuliert es und schreibt contour.txt und data.txt.\n"
           "\n"
           "  --out VERZEICHNIS    Zielordner der beiden Listen (Vorgabe: der\n"
           "                       Einstellungsordner ~/.config/Velumo)\n"
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
           "Meldungen gehen als \"Titel: Text\" nach stderr, die abgeleiteten Parameter\n"
           "(linke Spalte, Leerzeile, rechte Spalte) nach stdout.\n"
           "Exit-Status:\n"
           "  0  Erfolg: Listen (und Bericht) geschrieben, jede ausgegebene Zahl endlich\n"
           "  1  Aufruffehler, Projektdatei nicht lesbar oder ohne Velumo-Projekt\n"
           "     (leer, zu groß, kein Text, kein bekannter Schlüssel)\n"
           "  2  Eingaben ungültig (Eingabeprüfung)\n"
           "  3  Simulation abgelehnt oder abgebrochen; ein Bericht wird dann nicht\n"
           "     geschrieben, ein vorhandener bleibt unverändert\n"
           "  4  Listen, Bericht, FRD- oder ZMA-Datei konnten nicht geschrieben\n"
           "     werden; die vorigen Listen bleiben unverändert\n"
           "FRD und ZMA werden nur nach einer erfolgreichen Simulation geschrieben.\n";
}

bool parseSimArguments(const std::vector<std::string>& args, SimOptions* options, std::string* error)
{
    SimOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--out" || a == "--report" || a == "--frd" || a == "--zma" || a == "--json") {
            if (i + 1 >= args.size()) {
                *error = "Option " + a + " braucht einen Wert.";
                return false;
            }
            std::string& value = a == "--out" ? o.outDir
                : a == "--report"             ? o.reportPath
                : a == "--frd"                ? o.frdPath
                : a == "--zma"                ? o.zmaPath
                                              : o.jsonPath;
            value = args[++i];
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
    *options = o;
    return true;
}

int runVelumoSim(
    const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const ReportWriter& report)
{
    SimOptions o;
    std::string error;
    if (!parseSimArguments(args, &o, &error)) {
        err << error << '\n' << simUsage();
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

    StreamMessageSink setUpSink(err);
    if (o.outDir.empty())
        o.outDir = resolveDirectories(Environment::fromProcess(nullptr), setUpSink).settings;
    std::error_code ec;
    if (!std::filesystem::is_directory(o.outDir, ec)) {
        err << "Der Ausgabeordner " << o.outDir << " existiert nicht.\n";
        return kSimUsage;
    }
    if (!o.reportPath.empty())
        return report(o, err);

    Design design;
    loadDesignValues(file.ini, design);
    StreamCheckSink checkSink(err);
    if (!CheckVariables(design, checkSink))
        return kSimInvalid;

    RunInput input = readRunInput(design);
    const RunOutcome outcome = runAndWriteLists(input, o.outDir);
    const std::string projectName = std::filesystem::absolute(o.projectPath, ec).string();
    std::vector<Message> shown;
    if (outcome.status == RunStatus::Refused) {
        shown.push_back(runRefusalMessage(design, outcome.refusedControl));
    } else {
        shown = outcome.messages;
        for (Message& m : runEndMessages(design, outcome))
            shown.push_back(std::move(m));
    }
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

    int status = outcome.status != RunStatus::Ok ? kSimRunFailed
        : outcome.lists.error != 0               ? kSimWriteFailed
                                                 : kSimOk;
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
