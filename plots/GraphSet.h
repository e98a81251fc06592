#pragma once
// The seven graph windows together with the actions that draw them all:
// AchsenBeschriften (limits and value labels), NewGrids (empty grids) and
// DrawGraphs (grids plus the curves of every filled slot).

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "AxisScale.h"
#include "GraphWindow.h"
#include "MeasurementFile.h"
#include "ResultSlots.h"

namespace velumo {

class GraphSet {
public:
    // Creates the windows (hidden) in the order excursion, Pmax, impedance,
    // normalised impedance, SPL, SPLmax, phase.
    GraphSet();
    ~GraphSet();
    GraphSet(const GraphSet&) = delete;
    GraphSet& operator=(const GraphSet&) = delete;

    TSPLForm& spl() { return *m_spl; }
    TZelForm& zel() { return *m_zel; }
    TAuslForm& ausl() { return *m_ausl; }
    TPmaxForm& pmax() { return *m_pmax; }
    TSPLmaxForm& splMax() { return *m_splMax; }
    TPhiaForm& phia() { return *m_phia; }
    TZnormForm& znorm() { return *m_znorm; }
    GraphWindow& window(WindowId graph);
    // All seven, in creation order.
    const std::vector<GraphWindow*>& windows() const { return m_windows; }

    // What a resize of any graph window needs: whether results exist, and the
    // full redraw it then runs (normally DrawGraphs on the owner's data).
    void setRedrawHooks(std::function<bool()> resultsExist, std::function<void()> redrawAll);
    // Progress bar of the main window: DrawGraphs sets 100, then 0.
    void setProgress(std::function<void(int)> progress) { m_progress = std::move(progress); }

    // Limits of the last AchsenBeschriften (automatic defaults before that).
    const AxisLimits& limits() const { return m_limits; }

    // The measured curves drawn under the slots by every NewGrids: an FRD in
    // the SPL and phase graphs, a ZMA in the impedance graph. Not a slot:
    // a run neither fills nor moves them.
    void setMeasurement(MeasurementKind kind, std::optional<MeasuredCurve> curve);
    const std::optional<MeasuredCurve>& measurement(MeasurementKind kind) const;
    bool hasMeasurement() const { return m_frd.has_value() || m_zma.has_value(); }

    // Fills the limits from the design's axis settings and the slots 0..
    // CurveSlot and writes every window's value labels.
    void AchsenBeschriften(Design& design, const ResultSlots& results);
    // Clears every plot to its grid, using the frequency axis of the limits,
    // and draws the measured curves on it.
    void NewGrids();
    // AchsenBeschriften, NewGrids, then the curves of the slots 3, 2, 1, 0.
    // False (curves left out) when the line width in OptionGrid is not an
    // integer; the owner reports that.
    bool DrawGraphs(Design& design, const ResultSlots& results);

private:
    template <typename T> T* add(T* window);

    std::vector<GraphWindow*> m_windows;
    TAuslForm* m_ausl = nullptr;
    TPmaxForm* m_pmax = nullptr;
    TZelForm* m_zel = nullptr;
    TZnormForm* m_znorm = nullptr;
    TSPLForm* m_spl = nullptr;
    TSPLmaxForm* m_splMax = nullptr;
    TPhiaForm* m_phia = nullptr;
    AxisLimits m_limits;
    std::function<void(int)> m_progress;
    std::optional<MeasuredCurve> m_frd;
    std::optional<MeasuredCurve> m_zma;
};

// Pen width of the curves, OptionGrid row 2 ("Liniendicke [Pixel]"); false
// when the cell is not an integer.
bool curvePenWidth(const Design& design, int* width);

} // namespace velumo
