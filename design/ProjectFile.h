#pragma once
// The project file (".vlm"): the texts, selections and check states of every
// input, the grids and the window geometry, key by key in an INI profile.
// The same file serves as driver file for the driver commands, which take
// only its section "Lautsprecher".

#include <array>
#include <string>
#include <string_view>

#include "Design.h"
#include "IniFile.h"

namespace velumo {

// The windows whose geometry a project stores, in the order it is saved.
enum class GeometryWindow { Area, Ausl, Param, Phia, Pmax, SPL, SPLmax, Znorm, Zel };
constexpr int kGeometryWindows = 9;

// Key prefix of a window ("Area" -> "AreaLeft", "AreaWS").
std::string_view geometryPrefix(GeometryWindow w);

// The order in which loading applies the windows, then the main window,
// then the window states.
constexpr std::array<GeometryWindow, kGeometryWindows> kGeometryLoadOrder = {
    GeometryWindow::Phia,
    GeometryWindow::Area,
    GeometryWindow::Ausl,
    GeometryWindow::Param,
    GeometryWindow::Pmax,
    GeometryWindow::SPL,
    GeometryWindow::SPLmax,
    GeometryWindow::Znorm,
    GeometryWindow::Zel,
};
// The windows with a stored state, in the order of their keys; the
// derived-parameter window has none.
constexpr std::array<GeometryWindow, 8> kGeometryStateOrder = {
    GeometryWindow::Zel,
    GeometryWindow::SPL,
    GeometryWindow::Area,
    GeometryWindow::Ausl,
    GeometryWindow::Pmax,
    GeometryWindow::SPLmax,
    GeometryWindow::Znorm,
    GeometryWindow::Phia,
};

// Window states as stored: 0 normal, 1 minimised, 2 maximised.
enum WindowStateValue { kStateNormal = 0, kStateMinimised = 1, kStateMaximised = 2 };

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
    std::array<WindowRect, kGeometryWindows> windows;
    std::array<int, kGeometryWindows> states {}; // unused for Param
    int mainLeft = 0;
    int mainTop = 0;

    // The load defaults: positions and states of the defaults table with
    // the windows' initial sizes.
    WindowGeometry();

    WindowRect& rect(GeometryWindow w) { return windows[static_cast<size_t>(w)]; }
    const WindowRect& rect(GeometryWindow w) const { return windows[static_cast<size_t>(w)]; }
    int& state(GeometryWindow w) { return states[static_cast<size_t>(w)]; }
    int state(GeometryWindow w) const { return states[static_cast<size_t>(w)]; }
    bool operator==(const WindowGeometry&) const = default;
};

// Writes every key of the design in file order, then the geometry, into
// `ini` (keys already present are updated in place, others appended).
void saveValues(const Design& design, const WindowGeometry& geometry, IniFile& ini);

// Loads the file at `path` (if any, so its foreign keys survive), writes the
// design into it and replaces it atomically. On failure returns false with a
// German reason in *error and leaves the old file untouched.
bool saveProjectFile(const std::string& path, const Design& design, const WindowGeometry& geometry,
    std::string* error = nullptr);

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
