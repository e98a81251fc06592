#pragma once
// Painting of the graphs: grid, frequency labels and the curves of one slot.
// Each painter function takes a QPainter and the logical size of its target,
// so windows, report pictures and tests share it; the numbers come from
// AxisScale.

#include <QColor>
#include <QPainter>

#include "AxisScale.h"
#include "MeasurementFile.h"

namespace velumo {

class GraphWindow;

// Grey of the frame and of the grid lines.
inline QColor gridColour() { return QColor(160, 160, 160); }

// White plot with grey frame, divisions − 1 horizontal lines and a vertical
// line for every 1..10 times each decade between fmin and fmax.
void paintGrid(QPainter& painter, QSize size, double fmin, double fmax, int divisions);

// Labels at 2, 5 and 10 times each decade and at both ends, 13 pixels high,
// centred on their lines; offset = plot left minus strip left.
void paintFrequencyLabels(QPainter& painter, int plotWidth, int offset, double fmin, double fmax);

// Curves of one filled slot in one graph, with the given pen; the normalised
// impedance draws its real part on every segment and its imaginary part on
// segments with an even end index only.
void paintSlotCurves(QPainter& painter, QSize size, WindowId graph, const ResultSlot& slot,
    const AxisLimits& limits, bool driver2, const QPen& pen);

// Grey of a measured curve: darker than the grid, apart from every slot colour.
inline QColor measurementColour() { return QColor(96, 96, 96); }

// A measured curve, grey and dashed, in the SPL or impedance graph (its
// values) or the phase graph (its phase). The phase graph shows Phi_a, the
// negated argument of the pressure, so an FRD phase is drawn negated; where
// the phase wraps around, the line is not joined across the plot.
void paintMeasuredCurve(
    QPainter& painter, QSize size, WindowId graph, const MeasuredCurve& curve, const AxisLimits& limits);

// DrawGrid: clears the window's plot image and frequency-label strip to
// their current sizes, draws the grid and the frequency labels and puts the
// value labels on their grid lines.
void DrawGrid(GraphWindow& window, double fmin, double fmax, int divisions);

} // namespace velumo
