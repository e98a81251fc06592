#pragma once
// Undo and redo of design edits, kept as whole snapshots of the design: an
// undo puts back every text, selection, colour and hint exactly as they were
// after the step before. The history also knows the design as last saved, so
// that the unsaved state follows undo and redo.

#include <cstddef>
#include <deque>
#include <optional>

#include "Design.h"

namespace velumo {

// True when both designs hold the same inputs: texts, selections, checks and
// grid cells. Colours, hints and enabled states follow from these; the axis
// limits of an automatic axis are written by the drawing, not by the user.
bool sameInputs(const Design& a, const Design& b);

struct DesignStep {
    Design design;
    bool inputsValid = false; // the check's verdict on this design
};

class DesignHistory {
public:
    // Enough steps for an afternoon of tuning; the oldest go first.
    static constexpr size_t kMaxSteps = 500;

    // A new history that starts at `design`, which is also the saved design.
    void reset(const Design& design, bool inputsValid);
    // After an edit: a new step when the inputs differ from the current
    // step's (the redo steps are dropped), else the current step takes the
    // design's colours and hints. True when a step was added.
    bool record(const Design& design, bool inputsValid);

    bool canUndo() const { return m_at > 0; }
    bool canRedo() const { return m_at + 1 < m_steps.size(); }
    // The step to put back; null when there is none.
    const DesignStep* undo();
    const DesignStep* redo();

    void markSaved(const Design& design) { m_saved = design; }
    // The design of the reset was never saved.
    void forgetSaved() { m_saved.reset(); }
    // True when the design holds the inputs last saved (or opened).
    bool matchesSaved(const Design& design) const { return m_saved && sameInputs(*m_saved, design); }

private:
    std::deque<DesignStep> m_steps;
    size_t m_at = 0;
    std::optional<Design> m_saved;
};

} // namespace velumo
