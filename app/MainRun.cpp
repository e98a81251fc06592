// The start command, a simulation run in the window and what follows it:
// graphs, sketch, colour squares; clearing and refreshing the graphs.

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>

#include "GraphSet.h"
#include "InputCheck.h"
#include "InputTabs.h"
#include "LiveRunner.h"
#include "Main.h"
#include "ParamWindow.h"
#include "ResultSlot.h"
#include "RunInputAdapter.h"
#include "RunPresentation.h"
#include "RunSetup.h"
#include "ScopeGuards.h"
#include "Sinks.h"
#include "SkizzeWindow.h"
#include "UserDialogs.h"

namespace velumo {

void TMainForm::ButtonStartClick()
{
    if (m_running)
        return;
    // F9 and the menu leave the focus where it is: an entry still being
    // typed counts as left, with its check, as a click on the button does.
    const bool checked = m_inputs->commitFocusedInput();
    if (m_project->inputsValid())
        SimulateExecute();
    else if (!checked)
        CheckVariablesExecute();
}

void TMainForm::SimulateExecute()
{
    const RunInput in = readRunInput(m_design);
    refreshInputs(); // the run may have switched an axis to automatic
    if (const std::optional<RunInputId> refused = firstUnrunnableInput(in)) {
        showMessage(runRefusalMessage(m_design, controlName(*refused)));
        return;
    }
    // A live result still in flight belongs to inputs before this start.
    m_live->supersede();
    // The start controls come back however the run ends, also by a failure.
    const FlagScope running(m_running);
    enableStart(false);
    const OnScopeExit restart([this] { enableStart(true); });
    m_param->clearLines();

    ResultSlot& slot = m_results.beginRun();
    const auto progress = [this](int percent) {
        m_progress->setValue(percent);
        m_progress->repaint();
        // Keeps the window painted during a long run; input stays blocked
        // as the run owns the window.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    RunOutcome outcome;
    try {
        outcome = runAndWriteLists(in, m_listFolder.empty() ? m_dirs.settings : m_listFolder, progress);
        storeRun(slot, outcome.result);
    } catch (...) {
        // Half a run is no result to draw.
        clearSlot(slot);
        throw;
    }
    if (outcome.status == RunStatus::Refused) {
        showMessage(runRefusalMessage(m_design, outcome.refusedControl));
    } else {
        for (const Message& m : outcome.messages)
            showMessage(m);
        // A stop because of the inputs' values, lists that could not be written.
        for (const Message& m : runEndMessages(m_design, outcome))
            showMessage(m);
        m_lastRun = outcome;
        m_lastRunInput = in;
        finishRun(outcome, in);
    }
}

void TMainForm::enableStart(bool on)
{
    m_buttonStart->setEnabled(on);
    if (QAction* start = action("Start1"))
        start->setEnabled(on);
}

void TMainForm::finishRun(const RunOutcome& outcome, const RunInput&)
{
    m_param->setLines(outcome.leftLines, outcome.rightLines);
    if (outcome.editHChanged) {
        m_design.setText("EditH", outcome.newEditH);
        refreshInputs();
    }
    if (outcome.points < 2)
        m_progress->setValue(0);
    else
        DrawGraphs();
    m_btnClear->setEnabled(true);
    m_inputs->refreshButton()->setEnabled(true);
    DrawSketch();
    if (m_project->settings().changeColourAfterRun()) {
        m_results.advanceCurveSlot();
        DrawEvoImages();
    }
}

void TMainForm::DrawGraphs()
{
    const bool curvesDrawn = m_graphs->DrawGraphs(m_design, m_results);
    refreshInputs(); // automatic limits are written back into the axis grid
    if (!curvesDrawn)
        showMessage({ "Fehler", refusalText("Liniendicke [Pixel]") });
}

void TMainForm::DrawSketch(bool withNotes)
{
    if (!m_lastRunInput)
        return;
    WindowCheckSink boxes([this](const Message& m) { showMessage(m); }, [](std::string_view) {});
    SilentSink silent;
    MessageSink& notes = withNotes ? static_cast<MessageSink&>(boxes) : static_cast<MessageSink&>(silent);
    drawRunSketch(*m_sketch, *m_lastRunInput, m_results, m_design, notes);
}

void TMainForm::BtnClearClick()
{
    m_live->supersede();
    m_results.setCurveSlot(0);
    DrawEvoImages();
    m_graphs->NewGrids();
    m_results.ClearValues();
    m_inputs->refreshButton()->setEnabled(false);
}

void TMainForm::BtnRefreshClick()
{
    DrawGraphs();
    DrawSketch();
}

} // namespace velumo
