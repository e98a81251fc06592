#include "ProjectReport.h"

#include <QCoreApplication>

#include <optional>
#include <ostream>

#include "DesignFile.h"
#include "DesignTable.h"
#include "Directories.h"
#include "GraphSet.h"
#include "HeadlessReport.h"
#include "InputCheck.h"
#include "InputTabs.h"
#include "ParamWindow.h"
#include "ProjectFile.h"
#include "ResultSlot.h"
#include "RunInputAdapter.h"
#include "RunPresentation.h"
#include "RunSetup.h"
#include "Settings.h"
#include "SkizzeWindow.h"
#include "StartDesign.h"

namespace velumo {

namespace {

class ReportCheckSink : public CheckSink {
public:
    explicit ReportCheckSink(ReportUi& ui)
        : m_ui(ui)
    {
    }
    void message(const Message& m) override
    {
        m_ui.message(QString::fromStdString(m.caption), QString::fromStdString(m.text));
    }
    void focus(std::string_view) override { }

private:
    ReportUi& m_ui;
};

class QuietSink : public MessageSink {
public:
    void message(const Message&) override { }
};

// The main window's steps from its start through "Öffnen" and "Start", with
// its windows drawn but never on the screen.
class ProjectProgram : public ReportProgram {
public:
    explicit ProjectProgram(std::ostream& err)
        : m_ui(err)
        , m_sink(m_ui)
    {
        if (m_design.index("CBTyp") < 0)
            m_design.setIndex("CBTyp", 0);
        m_design.writeGridTitles();
        m_results.ClearValues();
        for (ResultWindow* w :
            { static_cast<ResultWindow*>(&m_sketch), static_cast<ResultWindow*>(&m_param) }) {
            w->setResultsExist([this] { return m_resultsExist; });
            w->setAttribute(Qt::WA_DontShowOnScreen);
            w->show();
        }
        m_sketch.setRedrawSketch([this] {
            QuietSink quiet;
            drawSketch(quiet);
        });
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    HeadlessReportStatus openAndSimulate(
        const std::string& projectPath, const std::string& listFolder) override
    {
        // The program's start: its folders and settings, the empty design
        // checked and its input pages filled in.
        const Settings settings(resolveDirectories(Environment::fromProcess(nullptr), m_sink));
        writeOptionTitles(m_design);
        CheckVariables(m_design, m_sink);
        setStartValues(m_design);

        m_projectPath = projectPath;
        const DesignFile file = readDesignFile(projectPath, DesignFileScope::Project);
        if (!file.holdsDesign())
            m_sink.message(noDesignMessage(projectPath, DesignFileScope::Project, file.problem));
        loadDesignValues(file.ini, m_design);
        if (!CheckVariables(m_design, m_sink))
            return kReportInvalid;

        const RunInput in = readRunInput(m_design);
        if (const std::optional<RunInputId> refused = firstUnrunnableInput(in)) {
            m_sink.message(runRefusalMessage(m_design, controlName(*refused)));
            return kReportRunFailed;
        }
        ResultSlot& slot = m_results.beginRun();
        const RunOutcome outcome = runAndWriteLists(in, listFolder);
        storeRun(slot, outcome.result);
        if (outcome.status == RunStatus::Refused) {
            m_sink.message(runRefusalMessage(m_design, outcome.refusedControl));
            return kReportRunFailed;
        }
        for (const Message& m : outcome.messages)
            m_sink.message(m);
        for (const Message& m : runEndMessages(m_design, outcome))
            m_sink.message(m);
        m_lastRunInput = in;
        finishRun(outcome, settings);
        if (outcome.status != RunStatus::Ok)
            return kReportRunFailed;
        return outcome.lists.error != 0 ? kReportWriteFailed : kReportOk;
    }

    ReportSources sources() override
    {
        return reportSourcesOf(
            m_design, m_results, m_resultsExist, m_sketch, m_graphs, m_param, m_projectPath);
    }

private:
    void finishRun(const RunOutcome& outcome, const Settings& settings)
    {
        m_param.setLines(outcome.leftLines, outcome.rightLines);
        if (outcome.editHChanged)
            m_design.setText("EditH", outcome.newEditH);
        if (outcome.points >= 2 && !m_graphs.DrawGraphs(m_design, m_results))
            m_sink.message({ "Fehler", refusalText("Liniendicke [Pixel]") });
        m_resultsExist = true;
        drawSketch(m_sink);
        if (settings.changeColourAfterRun())
            m_results.advanceCurveSlot();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    void drawSketch(MessageSink& notes)
    {
        if (m_lastRunInput)
            drawRunSketch(m_sketch, *m_lastRunInput, m_results, m_design, notes);
    }

    StreamReportUi m_ui;
    ReportCheckSink m_sink;
    Design m_design;
    ResultSlots m_results;
    GraphSet m_graphs;
    TSkizzeForm m_sketch;
    TParamForm m_param;
    std::string m_projectPath;
    std::optional<RunInput> m_lastRunInput;
    bool m_resultsExist = false;
};

} // namespace

ReportSources reportSourcesOf(const Design& design, const ResultSlots& results, bool resultsExist,
    TSkizzeForm& sketch, GraphSet& graphs, TParamForm& param, const std::string& projectPath)
{
    ReportSources sources;
    sources.windows = { &sketch, &graphs.spl(), &graphs.zel(), &graphs.ausl(), &graphs.pmax(),
        &graphs.splMax(), &graphs.phia(), &graphs.znorm() };
    sources.paramWindow = &param;
    sources.paramColumns = { param.Memo1(), param.Memo2() };
    sources.design = &design;
    sources.results = &results;
    sources.resultsExist = resultsExist;
    sources.tabPages = { kPageTreiber, kPageHorn, kPageWeiche, kPageAchsen };
    // The pictures of the input pages show the combo boxes themselves.
    sources.writeDropDownTexts = false;
    auto itemText = [&design](const char* name) {
        const ControlSpec* entry = findControl(name);
        const int i = design.index(name);
        return entry && i >= 0 && i < static_cast<int>(entry->items.size())
            ? QString::fromUtf8(entry->items[static_cast<size_t>(i)].data(),
                static_cast<qsizetype>(entry->items[static_cast<size_t>(i)].size()))
            : QString();
    };
    sources.typText = itemText("CBTyp");
    sources.konturText = itemText("CBKontur");
    sources.posiText = itemText("CBPosi");
    sources.info = QString::fromStdString(design.text("EditInfo"));
    sources.projectPath = QString::fromStdString(projectPath);
    return sources;
}

int writeProjectReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err)
{
    return writeHeadlessReport(projectPath, reportPath, listFolder, err,
        [](std::ostream& e) { return std::make_unique<ProjectProgram>(e); });
}

} // namespace velumo
