// One edit in the live mode, from the changed box to the redrawn windows: the
// all-elements design (two drivers, absorber chamber, extra tunnel, port,
// crossover) with 170 grid points from 10 Hz to 1 kHz, its rear-chamber
// volume changed back and forth. BM_LiveEdit takes the whole way through the
// main window, the run on its own thread; the others time its parts.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>

#include "GraphSet.h"
#include "InputCheck.h"
#include "InputTabs.h"
#include "Main.h"
#include "ParamWindow.h"
#include "ProjectFile.h"
#include "ResultSlot.h"
#include "RunInputAdapter.h"
#include "SkizzeWindow.h"
#include "UserDialogs.h"

namespace velumo {
namespace {

const std::string kProject = VELUMO_SOURCE_DIR "/tests/golden/two-drivers-absorber-tunnel/project.vlm";
constexpr int kRangeRow = 8;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "velumo_live_bench";
    static char* argv[] = { name, nullptr };
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

// No box may appear: a valid design gives none, anything else is an error.
class NoDialogs : public UserDialogs {
public:
    void message(QWidget*, const QString&, const QString& text) override { shown = text.toStdString(); }
    Answer question(QWidget*, const QString&, const QString&, bool) override { return Answer::No; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void openWithDesktop(const QString&) override { }
    int execDialog(QDialog&) override { return 0; }
    std::string shown;
};

Design benchDesign()
{
    Design d;
    d.setIndex("CBTyp", 0);
    loadDesignValues(IniFile::load(kProject), d);
    // A tunnel short enough that every grid point lies below its limit.
    d.setText("EditLET", "0.05");
    d.optionCell(1, 0) = "170";
    d.setAxisAuto(kRangeRow, false);
    d.minMaxCell(0, kRangeRow) = "10";
    d.minMaxCell(1, kRangeRow) = "1000";
    return d;
}

class QuietCheck : public CheckSink {
public:
    void message(const Message&) override { }
    void focus(std::string_view) override { }
};

const char* volume(int i) { return i % 2 ? "21" : "20"; }

void BM_LiveEdit(benchmark::State& state)
{
    app();
    const auto home = std::filesystem::temp_directory_path() / "velumo-live-bench";
    std::filesystem::create_directories(home / "config");
    std::filesystem::create_directories(home / "docs");
    Environment env;
    env.home = home.string();
    env.xdgConfigHome = (home / "config").string();
    env.xdgDocumentsDir = (home / "docs").string();
    env.executablePath = (home / "velumo").string();
    NoDialogs dialogs;
    {
        TMainForm form(env, &dialogs);
        form.show();
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        form.design() = benchDesign();
        form.setLiveSimulation(true);
        // Sleeps until the run's result arrives, as the program's event loop
        // does, then paints what the result changed.
        auto waitDrawn = [&form] {
            while (!form.liveIdle())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QApplication::processEvents();
        };
        waitDrawn();
        const int before = form.liveDraws();
        int i = 0;
        for (auto _ : state) {
            form.inputs().enterText("EditVrk", volume(++i));
            waitDrawn();
        }
        state.counters["points"] = form.lastRun() ? static_cast<double>(form.lastRun()->points) : 0;
        if (form.liveDraws() - before != i)
            state.SkipWithError("an edit was not drawn");
        if (!dialogs.shown.empty() || !form.statusText().isEmpty())
            state.SkipWithError(
                dialogs.shown.empty() ? form.statusText().toStdString().c_str() : dialogs.shown.c_str());
        form.setLiveSimulation(false);
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(BM_LiveEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LivePartCheck(benchmark::State& state)
{
    Design d = benchDesign();
    int i = 0;
    for (auto _ : state) {
        d.setText("EditVrk", volume(++i));
        Design checked = d;
        QuietCheck sink;
        benchmark::DoNotOptimize(CheckVariables(checked, sink));
        benchmark::DoNotOptimize(readRunInput(checked));
    }
}
BENCHMARK(BM_LivePartCheck)->Unit(benchmark::kMicrosecond);

void BM_LivePartRun(benchmark::State& state)
{
    Design d = benchDesign();
    QuietCheck sink;
    CheckVariables(d, sink);
    const RunInput in = readRunInput(d);
    int points = 0;
    for (auto _ : state) {
        const RunOutcome outcome = presentRun(runSimulation(in));
        points = outcome.points;
    }
    state.counters["points"] = points;
}
BENCHMARK(BM_LivePartRun)->Unit(benchmark::kMillisecond);

// Seven graph windows, the sketch and the parameter window, as a live result
// redraws them, at their opening sizes.
void BM_LivePartRedraw(benchmark::State& state)
{
    app();
    Design d = benchDesign();
    QuietCheck sink;
    CheckVariables(d, sink);
    const RunInput in = readRunInput(d);
    const RunOutcome outcome = presentRun(runSimulation(in));
    ResultSlots results;
    storeRun(results.beginRun(), outcome.result);
    GraphSet graphs;
    TSkizzeForm sketch;
    TParamForm param;
    for (GraphWindow* w : graphs.windows())
        w->show();
    sketch.show();
    param.show();
    QApplication::processEvents();
    for (auto _ : state) {
        param.setLines(outcome.leftLines, outcome.rightLines);
        graphs.DrawGraphs(d, results);
        class : public MessageSink {
            void message(const Message&) override { }
        } notes;
        drawRunSketch(sketch, in, results, d, notes);
    }
}
BENCHMARK(BM_LivePartRedraw)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velumo
