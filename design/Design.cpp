#include "Design.h"

#include <stdexcept>

namespace velumo {

Design::Design()
{
    const auto& table = designTable();
    m_controls.reserve(table.size());
    for (const ControlSpec& entry : table) {
        ControlState s;
        s.text = std::string(entry.defaultText);
        s.index = entry.defaultIndex;
        s.checked = entry.defaultChecked;
        s.enabled = entry.defaultEnabled;
        s.hint = std::string(entry.hint);
        m_controls.push_back(std::move(s));
    }
    for (auto& row : m_minMax)
        row.fill("0");
    m_axisAuto.fill(true);
    for (int r = 0; r < kOptionRows; ++r)
        optionCell(1, r) = std::string(kOptionDefaults[static_cast<size_t>(r)]);
    writeGridTitles();
}

ControlState& Design::control(std::string_view name)
{
    int i = controlIndex(name);
    if (i < 0)
        throw std::out_of_range("unknown control " + std::string(name));
    return m_controls[static_cast<size_t>(i)];
}

const ControlState& Design::control(std::string_view name) const
{
    int i = controlIndex(name);
    if (i < 0)
        throw std::out_of_range("unknown control " + std::string(name));
    return m_controls[static_cast<size_t>(i)];
}

void Design::writeGridTitles()
{
    for (int p = 1; p < kFwCols; ++p)
        fwCell(p, 0) = std::to_string(p);
    for (int r = 1; r < kFwRows; ++r)
        fwCell(0, r) = std::string(kFwRowTitles[static_cast<size_t>(r - 1)]);
    for (int r = 0; r < kOptionRows; ++r)
        optionCell(0, r) = std::string(kOptionTitles[static_cast<size_t>(r)]);
}

bool Design::operator==(const Design& other) const
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        const ControlState& a = m_controls[i];
        const ControlState& b = other.m_controls[i];
        if (a.text != b.text || a.index != b.index || a.checked != b.checked || a.enabled != b.enabled
            || a.colour != b.colour || a.hint != b.hint)
            return false;
    }
    return m_fwGrid == other.m_fwGrid && m_minMax == other.m_minMax && m_options == other.m_options
        && m_axisAuto == other.m_axisAuto && m_crossover.R == other.m_crossover.R
        && m_crossover.L == other.m_crossover.L && m_crossover.C == other.m_crossover.C
        && m_crossover.invC == other.m_crossover.invC;
}

} // namespace velumo
