#pragma once
// The project file (".vlm"): the texts, selections and check states of every
// input, the grids and the window geometry, key by key in an INI profile.
// The same file serves as driver file for the driver commands, which take
// only its section "Lautsprecher".

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Design.h"
#include "IniFile.h"
#include "Windows.h"

namespace velumo {

// The order the project file stores the window rectangles in.
constexpr std::array<WindowId, kWindowCount> kGeometryFileOrder = {
    WindowId::Sketch,
    WindowId::Ausl,
    WindowId::Param,
    WindowId::Phia,
    WindowId::Pmax,
    WindowId::Spl,
    WindowId::SplMax,
    WindowId::Znorm,
    WindowId::Zel,
};

// The order the windows are placed in when a project is loaded.
constexpr std::array<WindowId, kWindowCount> kGeometryLoadOrder = {
    WindowId::Phia,
    WindowId::Sketch,
    WindowId::Ausl,
    WindowId::Param,
    WindowId::Pmax,
    WindowId::Spl,
    WindowId::SplMax,
    WindowId::Znorm,
    WindowId::Zel,
};

// The windows with a stored state, in file order (the derived-parameter
// window has none).
constexpr std::array<WindowId, 8> kGeometryStateOrder = {
    WindowId::Zel,
    WindowId::Spl,
    WindowId::Sketch,
    WindowId::Ausl,
    WindowId::Pmax,
    WindowId::SplMax,
    WindowId::Znorm,
    WindowId::Phia,
};

struct WindowRect {
    int left = 0;
    int top = 0;
    int height = 0;
    int width = 0;
    bool operator==(const WindowRect&) const = default;
};

// Screen-pixel geometry of the graph, sketch and parameter windows and the
// position of the main window, as the window code reads it from and applies
// it to the real windows.
struct WindowGeometry {
    std::array<WindowRect, kWindowCount> windows;
    std::array<int, kWindowCount> states {}; // unused for Param
    int mainLeft = 0;
    int mainTop = 0;

    // The load defaults: positions, initial sizes and states of the window
    // table.
    WindowGeometry();

    WindowRect& rect(WindowId w) { return windows[static_cast<size_t>(w)]; }
    const WindowRect& rect(WindowId w) const { return windows[static_cast<size_t>(w)]; }
    int& state(WindowId w) { return states[static_cast<size_t>(w)]; }
    int state(WindowId w) const { return states[static_cast<size_t>(w)]; }
    bool operator==(const WindowGeometry&) const = default;
};

// Writes every key of the design in file order, then the geometry, into
// `ini` (keys already present are updated in place, others appended).
void saveValues(const Design& design, const WindowGeometry& geometry, IniFile& ini);

// Loads the file at `path` (if any, so its foreign keys survive), writes the
// design and then, through `moreSections`, the project's other sections into
// it and replaces it atomically. On failure returns false with a German
// reason in *error and leaves the old file untouched.
bool saveProjectFile(const std::string& path, const Design& design, const WindowGeometry& geometry,
    std::string* error = nullptr, const std::function<void(IniFile&)>& moreSections = {});

// Every value of a design from a project file, as "Öffnen" loads it: driver 1
// first (see loadDriver1Values), then the others.
void loadDesignValues(const IniFile& ini, Design& design);

// loadDesignValues(ini, design) for a design that already holds the values
// of a profile that differs from `ini` only in the keys `changed` (section,
// key): reads only the controls of those keys and the ones whose default is
// the text of a control read again. False, with the design as it was, when a
// changed key is not one control's own (a grid cell): load it all then.
bool reloadDesignValues(
    const IniFile& ini, Design& design, const std::vector<std::pair<std::string, std::string>>& changed);

// Section "Lautsprecher" into the driver-1 boxes, key by key in file order,
// so the impedance keys default to the Rdc text just loaded.
void loadDriver1Values(const IniFile& ini, Design& design);

// Every other key of the design (not the geometry). Defaults that name
// another box take that box's current text, so load driver 1 first.
void loadOtherValues(const IniFile& ini, Design& design);

// Section "Lautsprecher" of a driver file into the driver-2 boxes with the
// defaults of the driver-1 keys; the impedance keys default to EditRdc.
// RGTreiber2 is left as it is.
void loadDriver2FromDriverFile(const IniFile& ini, Design& design);

// Section "Plotoptionen": missing positions and states take the defaults
// table, missing sizes keep the sizes in `geometry` (the current ones); a
// negative top becomes 0.
void loadWindowGeometry(const IniFile& ini, WindowGeometry& geometry);

} // namespace velumo
