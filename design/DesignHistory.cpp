#include "DesignHistory.h"

namespace velumo {

bool sameInputs(const Design& a, const Design& b)
{
    for (const ControlSpec& entry : designTable()) {
        if (entry.kind == ControlKind::Grid)
            continue;
        const ControlState& x = a.control(entry.name);
        const ControlState& y = b.control(entry.name);
        if (x.text != y.text || x.index != y.index || x.checked != y.checked)
            return false;
    }
    for (int row = 0; row < kFwRows; ++row)
        for (int col = 0; col < kFwCols; ++col)
            if (a.fwCell(col, row) != b.fwCell(col, row))
                return false;
    for (int row = 0; row < kOptionRows; ++row)
        for (int col = 0; col < kOptionCols; ++col)
            if (a.optionCell(col, row) != b.optionCell(col, row))
                return false;
    for (int row = 0; row < kAxisRows; ++row) {
        if (a.axisAuto(row) != b.axisAuto(row))
            return false;
        if (a.axisAuto(row))
            continue;
        for (int col = 0; col < kMinMaxCols; ++col)
            if (a.minMaxCell(col, row) != b.minMaxCell(col, row))
                return false;
    }
    return true;
}

void DesignHistory::reset(const Design& design, bool inputsValid)
{
    m_steps.assign(1, DesignStep { design, inputsValid });
    m_at = 0;
    m_saved = design;
}

bool DesignHistory::record(const Design& design, bool inputsValid)
{
    if (m_steps.empty()) {
        reset(design, inputsValid);
        return false;
    }
    DesignStep& current = m_steps[m_at];
    if (sameInputs(current.design, design)) {
        current = DesignStep { design, inputsValid };
        return false;
    }
    m_steps.resize(m_at + 1);
    m_steps.push_back(DesignStep { design, inputsValid });
    if (m_steps.size() > kMaxSteps)
        m_steps.pop_front();
    m_at = m_steps.size() - 1;
    return true;
}

const DesignStep* DesignHistory::undo()
{
    if (!canUndo())
        return nullptr;
    return &m_steps[--m_at];
}

const DesignStep* DesignHistory::redo()
{
    if (!canRedo())
        return nullptr;
    return &m_steps[++m_at];
}

} // namespace velumo
