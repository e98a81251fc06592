#pragma once
// The result windows in one table: what each is called, where it opens, the
// key prefix of its geometry in the project file, the report picture taken
// of it and the axis row its limits come from. Every place that lists the
// windows takes them from here, so they cannot drift apart.

#include <array>
#include <string_view>

namespace velumo {

// In the order the report captures them.
enum class WindowId { Sketch, Spl, Zel, Ausl, Pmax, SplMax, Phia, Znorm, Param };
constexpr int kWindowCount = 9;

// Window states as stored: 0 normal, 1 minimised, 2 maximised.
enum WindowStateValue { kStateNormal = 0, kStateMinimised = 1, kStateMaximised = 2 };

// Rows of the axis settings ("Achsen" tab) that belong to no window.
constexpr int kAxisFrequency = 7;
constexpr int kAxisSimulation = 8;

struct WindowSpec {
    WindowId id;
    std::string_view caption; // UTF-8
    std::string_view fileKey; // prefix of its keys in "Plotoptionen"
    // Default position and initial outer size.
    int left;
    int top;
    int width;
    int height;
    bool minimised;           // opens minimised
    std::string_view picture; // its picture in the report
    int axisRow;              // -1: none, or the fixed phase axis
};

constexpr std::array<WindowSpec, kWindowCount> kWindows = { {
    { WindowId::Sketch, "Prinzipskizze", "Area", 520, 140, 420, 300, false, "Skizze.jpg", -1 },
    { WindowId::Spl, "SPL [dB]", "SPL", 440, 60, 420, 300, false, "SPL.jpg", 0 },
    { WindowId::Zel, "El. Impedanz [Ohm]", "Zel", 480, 100, 420, 300, false, "Zel.jpg", 1 },
    { WindowId::Ausl, "Membranamplitude [mm]", "Ausl", 400, 20, 420, 300, true, "Ausl.jpg", 2 },
    { WindowId::Pmax, "Pmax [W]", "Pmax", 420, 40, 420, 300, true, "Pmax.jpg", 4 },
    { WindowId::SplMax, "SPLmax [dB]", "SPLmax", 460, 80, 420, 300, true, "SPLmax.jpg", 3 },
    { WindowId::Phia, "Akustische Phase [\xC2\xB0]", "Phia", 380, 0, 420, 300, true, "Phia.jpg", -1 },
    { WindowId::Znorm, "Akustische Impedanz der Membran", "Znorm", 500, 120, 420, 300, true, "Znorm.jpg", 5 },
    { WindowId::Param, "Sonstiges", "Param", 0, 360, 329, 206, false, "Param.jpg", -1 },
} };

constexpr const WindowSpec& windowSpec(WindowId w) { return kWindows[static_cast<size_t>(w)]; }

// The axis row of a graph window.
constexpr int axisRow(WindowId w) { return windowSpec(w).axisRow; }

// The seven graph windows.
constexpr std::array<WindowId, 7> kGraphWindows = {
    WindowId::Spl,
    WindowId::Zel,
    WindowId::Ausl,
    WindowId::Pmax,
    WindowId::SplMax,
    WindowId::Phia,
    WindowId::Znorm,
};

} // namespace velumo
