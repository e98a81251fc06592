#pragma once
// The design: the state of every input of the main window, held as the
// controls hold it (texts, item indices, check and enabled states, hints,
// colours, grid cells). Nothing is parsed when it is typed; a run, the input
// check and the project file convert the texts when they need numbers.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "DesignTable.h"
#include "RunInput.h"

namespace velumo {

// Window colour for a box in use, button-face colour for one the current
// options make irrelevant (it stays editable).
enum class BoxColour { Window, ButtonFace };

struct ControlState {
    std::string text;     // edit boxes
    int index = -1;       // combo boxes and radio groups; -1 = no selection
    bool checked = false; // check boxes
    bool enabled = true;
    BoxColour colour = BoxColour::Window;
    std::string hint; // may be changed by the input check
};

class Design {
public:
    // A new design holds exactly the defaults of the table.
    Design();

    // Access by control name; an unknown name is a programming error and
    // throws std::out_of_range.
    ControlState& control(std::string_view name);
    const ControlState& control(std::string_view name) const;

    const std::string& text(std::string_view name) const { return control(name).text; }
    void setText(std::string_view name, std::string text) { control(name).text = std::move(text); }
    int index(std::string_view name) const { return control(name).index; }
    void setIndex(std::string_view name, int index) { control(name).index = index; }
    bool checked(std::string_view name) const { return control(name).checked; }
    void setChecked(std::string_view name, bool checked) { control(name).checked = checked; }

    // Grid cells are addressed (column, row) as the grids show them.
    std::string& fwCell(int col, int row)
    {
        return m_fwGrid.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    }
    const std::string& fwCell(int col, int row) const
    {
        return m_fwGrid.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    }
    std::string& minMaxCell(int col, int row)
    {
        return m_minMax.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    }
    const std::string& minMaxCell(int col, int row) const
    {
        return m_minMax.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    }
    std::string& optionCell(int col, int row)
    {
        return m_options.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    }
    const std::string& optionCell(int col, int row) const
    {
        return m_options.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    }
    bool axisAuto(int row) const { return m_axisAuto.at(static_cast<size_t>(row)); }
    void setAxisAuto(int row, bool on) { m_axisAuto.at(static_cast<size_t>(row)) = on; }

    // Filled by the input check.
    CrossoverValues& crossover() { return m_crossover; }
    const CrossoverValues& crossover() const { return m_crossover; }

    // Writes the fixed titles into the grids (row 0 / column 0 of FWGrid,
    // column 0 of OptionGrid).
    void writeGridTitles();

    bool operator==(const Design& other) const;

private:
    std::vector<ControlState> m_controls;
    std::array<std::array<std::string, kFwCols>, kFwRows> m_fwGrid;
    std::array<std::array<std::string, kMinMaxCols>, kMinMaxRows> m_minMax;
    std::array<std::array<std::string, kOptionCols>, kOptionRows> m_options;
    std::array<bool, kAxisRows> m_axisAuto {};
    CrossoverValues m_crossover;
};

} // namespace velumo
