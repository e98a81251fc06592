// "Bearbeiten": undo and redo of design edits, and the "Regler" window whose
// sliders write into the input boxes as typing does.

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "InputTabs.h"
#include "Main.h"
#include "ParamWindow.h"
#include "ReglerWindow.h"
#include "WindowPlacement.h"

namespace velumo {

namespace {

bool isEditKey(const QKeyEvent& key)
{
    const QKeyCombination combination = key.keyCombination();
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo)
        || combination == QKeyCombination(Qt::CTRL, Qt::Key_Y)
        || combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

// An input box would take Ctrl+Z for its own text; in the main window the
// keys belong to the design's undo, which also takes back what is being
// typed.
class EditKeyFilter : public QObject {
public:
    EditKeyFilter(QWidget* window, QObject* parent)
        : QObject(parent)
        , m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto* box = qobject_cast<QLineEdit*>(watched);
        // Left unaccepted, the key goes on to the menu's short-cuts.
        return box && box->window() == m_window && isEditKey(*static_cast<QKeyEvent*>(event));
    }

private:
    QWidget* m_window;
};

} // namespace

void TMainForm::catchEditKeys() { qApp->installEventFilter(new EditKeyFilter(this, this)); }

void TMainForm::recordStepLater()
{
    // After the check and the refresh that follow the same edit, so that the
    // step holds the design as they leave it.
    if (m_stepPending)
        return;
    m_stepPending = true;
    QTimer::singleShot(0, this, [this] { recordStep(); });
}

void TMainForm::recordStep()
{
    m_stepPending = false;
    if (!m_formShown)
        return;
    m_history.record(m_design, m_project->inputsValid());
    updateUndoActions();
}

void TMainForm::resetHistory()
{
    m_stepPending = false;
    m_history.reset(m_design, m_project->inputsValid());
    if (!m_project->noUnsavedChanges())
        m_history.forgetSaved();
    updateUndoActions();
}

void TMainForm::markSaved()
{
    if (m_project->noUnsavedChanges())
        m_history.markSaved(m_design);
}

void TMainForm::updateUndoActions()
{
    if (QAction* undo = action("Rueckgaengig"))
        undo->setEnabled(m_history.canUndo());
    if (QAction* redo = action("Wiederherstellen"))
        redo->setEnabled(m_history.canRedo());
}

void TMainForm::RueckgaengigClick() { moveInHistory(&DesignHistory::undo); }

void TMainForm::WiederherstellenClick() { moveInHistory(&DesignHistory::redo); }

void TMainForm::moveInHistory(const DesignStep* (DesignHistory::*step)())
{
    if (m_running)
        return;
    // What is being typed is an edit of its own, taken back first.
    recordStep();
    if (const DesignStep* to = (m_history.*step)())
        restoreStep(*to);
}

void TMainForm::restoreStep(const DesignStep& step)
{
    m_design = step.design;
    m_project->setInputsValid(step.inputsValid);
    m_project->setNoUnsavedChanges(m_history.matchesSaved(m_design));
    refreshInputs();
    updateUndoActions();
    if (m_liveOn)
        runLive();
}

void TMainForm::ReglerClick()
{
    m_regler->refreshFromDesign();
    // First shown below the inputs, where it covers no graph, and below
    // "Sonstiges" when that stands there.
    if (!m_regler->isVisible() && !m_reglerPlaced) {
        const QRect main = outerFrame(this);
        int top = main.bottom() + 1 + kWindowGap;
        const QRect param = m_param->normalFrame();
        if (m_param->isVisible() && !m_param->isMinimized() && param.top() >= main.bottom()
            && param.left() < main.right())
            top = std::max(top, param.bottom() + 1 + kWindowGap);
        placeFrame(m_regler.get(), QPoint(main.left(), top), QSize(width(), m_regler->height()));
        m_reglerPlaced = true;
    }
    m_regler->show();
    m_regler->raise();
    m_regler->activateWindow();
}

void TMainForm::sliderMoved(const std::string& control, const QString& text)
{
    m_inputs->enterText(control, text);
}

void TMainForm::sliderReleased()
{
    // As leaving the box after typing: the check, then one step.
    emit m_inputs->checkRequested();
}

} // namespace velumo
