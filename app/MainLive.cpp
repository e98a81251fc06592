// The live mode: every edit checked quietly on a copy of the design and, when
// valid, run off the window's thread; the latest result replaces the current
// colour slot's curves and every window is redrawn. Live runs write no files
// and leave the colour slot where it is.

#include <QAction>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "GraphSet.h"
#include "InputCheck.h"
#include "InputTabs.h"
#include "LiveRunner.h"
#include "Main.h"
#include "ParamWindow.h"
#include "ReglerWindow.h"
#include "ResultSlot.h"
#include "RunInputAdapter.h"
#include "RunSetup.h"
#include "ScopeGuards.h"
#include "Sinks.h"
#include "SkizzeWindow.h"
#include "WindowPlacement.h"

namespace velumo {

namespace {

QString statusOf(const std::vector<Message>& messages)
{
    QStringList lines;
    for (const Message& m : messages)
        lines << QString::fromStdString(m.text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return lines.join(QStringLiteral(" · "));
}

// Colours, hints and enabled states follow the options at once; the texts
// stay as typed until the box is left and the real check runs.
void takeAppearance(Design& design, const Design& checked)
{
    for (const ControlSpec& entry : designTable()) {
        if (entry.kind == ControlKind::Grid)
            continue;
        ControlState& to = design.control(entry.name);
        const ControlState& from = checked.control(entry.name);
        to.colour = from.colour;
        to.hint = from.hint;
        to.enabled = from.enabled;
    }
}

} // namespace

void TMainForm::setLiveSimulation(bool on)
{
    if (QAction* live = action("LiveSimulation1"); live && live->isChecked() != on) {
        const QSignalBlocker block(live);
        live->setChecked(on);
    }
    if (on == m_liveOn)
        return;
    m_liveOn = on;
    std::string error;
    if (!m_project->settings().setLiveSimulation(on, &error) && !error.empty())
        showMessage({ "Fehler", error });
    setStatusLineVisible(on);
    showStatus(QString());
    if (on) {
        runLive();
    } else {
        m_liveDelay->stop();
        m_live->supersede();
        m_inputs->setFlagged(std::string());
    }
}

bool TMainForm::liveIdle() const { return !m_liveDelay->isActive() && !m_live->busy(); }

int TMainForm::liveDraws() const { return m_live->delivered(); }

QString TMainForm::statusText() const { return m_status->text(); }

void TMainForm::showStatus(const QString& text) { m_status->setText(text); }

void TMainForm::setStatusLineVisible(bool on)
{
    const int oldBottom = outerFrame(this).bottom();
    statusBar()->setVisible(on);
    // The fixed-size window takes its new height now, not at the next event:
    // the windows placed below it must see it.
    layout()->activate();
    const int grow = outerFrame(this).bottom() - oldBottom;
    if (grow == 0)
        return;
    const int linedUp = oldBottom + 1 + kWindowGap;
    if (m_param->normalFrame().top() == linedUp)
        m_param->setNormalFrame(m_param->normalFrame().translated(0, grow));
    if (m_reglerPlaced && outerFrame(m_regler.get()).top() == linedUp)
        placeFrame(m_regler.get(), outerFrame(m_regler.get()).topLeft() + QPoint(0, grow), m_regler->size());
}

void TMainForm::runLive()
{
    m_liveDelay->stop();
    // The start command owns the slot and the windows while it runs.
    if (!m_liveOn || m_running)
        return;
    Design checked = m_design;
    CollectingCheckSink sink;
    const bool valid = CheckVariables(checked, sink);
    takeAppearance(m_design, checked);
    m_inputs->setFlagged(valid ? std::string() : sink.firstFocus);
    refreshInputs();
    showStatus(statusOf(sink.messages));
    if (!valid) {
        // The curves of the last valid inputs stay.
        m_live->supersede();
        return;
    }
    const RunInput in = readRunInput(checked);
    if (const std::optional<RunInputId> refused = firstUnrunnableInput(in)) {
        showStatus(QString::fromStdString(runRefusalMessage(m_design, controlName(*refused)).text));
        m_live->supersede();
        return;
    }
    m_live->submit(in);
}

void TMainForm::liveArrived(RunOutcome& outcome, const RunInput& in)
{
    if (!m_liveOn || m_running)
        return;
    if (outcome.status == RunStatus::Refused) {
        showStatus(QString::fromStdString(runRefusalMessage(m_design, outcome.refusedControl).text));
        return;
    }
    ResultSlot& slot = m_results.beginRun();
    // Nothing of an earlier live run (points beyond this one's end) stays
    // beside a design it is no part of: the slot starts as a fresh one.
    slot = ResultSlot {};
    clearSlot(slot);
    storeRun(slot, outcome.result);
    std::vector<Message> notes = outcome.messages;
    for (Message& m : runEndMessages(m_design, outcome))
        notes.push_back(std::move(m));
    if (!notes.empty())
        showStatus(statusOf(notes));
    m_lastRun = std::move(outcome);
    m_lastRunInput = in;
    m_param->setLines(m_lastRun->leftLines, m_lastRun->rightLines);
    const Design beforeLimits = m_design;
    if (m_lastRun->points >= 2) {
        // A live run has no progress to show; the bar's repaints would only
        // hold up the drawing.
        const FlagScope drawing(m_liveDrawing);
        if (!m_graphs->DrawGraphs(m_design, m_results))
            showStatus(QString::fromStdString(refusalText("Liniendicke [Pixel]")));
    }
    m_btnClear->setEnabled(true);
    m_inputs->refreshButton()->setEnabled(true);
    // Automatic limits are written back into the axis grid.
    if (!(beforeLimits == m_design))
        refreshInputs();
    DrawSketch(false);
}

} // namespace velumo
