#pragma once
// The one description of every input of the main window: control name,
// caption, hint, unit, default, items, whether leaving it runs the input
// check, and how the project file stores it. The widgets, the input check and
// the project file are all driven by this table, in its order, which is the
// order in which a project file is written.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velumo {

// Grid entries stand for FWGrid, the axis keys (CheckListAuto with
// MinMaxGrid) and OptionGrid at their place in the file order; their cells
// and keys are described by the constants below.
enum class ControlKind { Edit, Combo, Check, Radio, Grid };

// How a control's value is written to and read from the project file.
enum class ValueForm {
    Text,           // the control text unchanged
    TextReadInt,    // written as text, read as integer (default 1 when not an integer)
    Voltage,        // text; "n", "" and "0" read as the default
    ComboPlus1,     // item index + 1
    RadioIndex,     // item index
    Boolean,        // "1" / "0"; read: non-zero integer is true
    BooleanReadInt, // written as boolean, read as integer (non-zero = checked)
    GridCells,      // keys of a grid, see crossoverKey() and the axis/option keys
};

struct ControlSpec {
    std::string_view name; // "EditRdc"
    ControlKind kind;
    std::string_view tab;     // "&Treiber", "&Horn", "&Frequenzweiche", "&Achsen"
    std::string_view group;   // "Treiber1", "Vor-/Rückkammer", ...
    int uiOrder;              // position inside its group
    std::string_view caption; // label or check box text
    std::string_view hint;    // tool-tip; also the input's name in messages
    std::string_view unit;
    std::string_view defaultText; // edit boxes
    int defaultIndex;             // combo boxes and radio groups (-1 none)
    bool defaultChecked;
    bool defaultEnabled;
    std::vector<std::string_view> items;
    bool runsCheck;           // leaving / clicking it runs the input check
    std::string_view section; // project file
    std::string_view key;
    ValueForm form;
    std::string_view loadDefault;     // literal default when the key is missing
    std::string_view loadDefaultFrom; // or: the text of this control at that moment
    std::string_view twin;            // driver-2 boxes: their driver-1 twin
};

// Every control, in project-file order.
const std::vector<ControlSpec>& designTable();
// The table entry of a control by name; nullptr when there is none.
const ControlSpec* findControl(std::string_view name);
// Index of a control in designTable(); -1 when unknown.
int controlIndex(std::string_view name);

// Grids and the check list of the crossover and axes tabs.
constexpr int kFwCols = 15;
constexpr int kFwRows = 4;
constexpr int kMinMaxCols = 2;
constexpr int kMinMaxRows = 9;
constexpr int kOptionCols = 2;
constexpr int kOptionRows = 3;
constexpr int kAxisRows = 9;

constexpr std::array<std::string_view, 3> kFwRowTitles = { "R [Ohm]", "C [uF]", "L [mH]" };
constexpr std::array<int, 6> kShuntPositions = { 2, 4, 6, 10, 12, 14 };
constexpr std::array<std::string_view, kAxisRows> kAxisRowTitles = {
    "Schalldruck [dB]",
    "Elektrische Impedanz [Ohm]",
    "Effektive Membranamplitude [mm]",
    "Linearer Maximalschalldruck [dB]",
    "Leistung für lin. Maximalschalldruck [W]",
    "Normierte akustische Strahlungsimpedanz",
    "-",
    "Frequenzachse [Hz]",
    "Simulationsfrequenz [Hz]",
};
constexpr std::array<std::string_view, kOptionRows> kOptionTitles = {
    "Frequenzauflösung [Punkte]",
    "Konturauflösung [Punkte]",
    "Liniendicke [Pixel]",
};
constexpr std::array<std::string_view, kOptionRows> kOptionDefaults = { "100", "51", "1" };
constexpr std::array<std::string_view, kOptionRows> kOptionKeys = { "fAufl", "KAufl", "LDicke" };

constexpr std::string_view kSectionDriver = "Lautsprecher";
constexpr std::string_view kSectionCrossover = "Frequenzweiche";
constexpr std::string_view kSectionAxes = "Achsen";
constexpr std::string_view kSectionWindows = "Plotoptionen";

// Project-file key of crossover cell (position 1..14, row 1 R, 2 C, 3 L),
// with the special names of positions 1 to 4.
std::string crossoverKey(int position, int row);
// Key of the numbered crossover cell ("R5", "C12"), used first on load.
std::string crossoverNumberedKey(int position, int row);

// A crossover cell as messages name it: "Frequenzweiche " + "R", "C" or "L"
// (rows 1 to 3) + the position ("Frequenzweiche C3").
std::string crossoverCellName(int position, int row);

bool isShuntPosition(int position);

} // namespace velumo
