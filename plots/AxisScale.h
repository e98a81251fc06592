#pragma once
// Axis limits, value labels, frequency grid lines and the value -> pixel
// mapping of the graph windows. Pure functions without any widget or painter,
// so the same numbers serve the windows, the report pictures and the tests.

#include <array>
#include <string>
#include <vector>

#include "Design.h"
#include "ResultSlot.h"
#include "Windows.h"

namespace velumo {

struct AxisPair {
    double minimum = 0.0;
    double maximum = 0.0;
};

// One (minimum, maximum) pair per axis row.
using AxisLimits = std::array<AxisPair, kAxisRows>;

using SlotArray = std::array<ResultSlot, kSlotCount>;

// Automatic frequency axis of every graph.
constexpr double kAutoFrequencyMin = 10.0;
constexpr double kAutoFrequencyMax = 20000.0;

// Rounds a up to 1, 1.5, 2, 2.5, 3, 4, 5, 7.5 or 10 times its decade;
// a <= 0 gives 1.5 · a (so 0 stays 0).
double NiceCeiling(double a);

// "10", "2.5k", "0.5", "1M": value scaled to its thousands group with at
// most three decimals and the group's suffix.
std::string FormatFrequencyLabel(double v);

// Step 1 of AchsenBeschriften: reads every MinMaxGrid pair leniently; a pair
// that is not increasing switches its row to automatic in the design.
AxisLimits readAxisSettings(Design& design);

// Step 2: replaces the limits of the automatic rows 0..7 from slots
// 0..curveSlot (each slot's whole 170 entries count, sentinels included).
void applyAutomaticLimits(AxisLimits& limits, const Design& design, const SlotArray& slots, int curveSlot);

// Steps 1 and 2 together.
AxisLimits computeAxisLimits(Design& design, const SlotArray& slots, int curveSlot);

// Number of value labels (6, the phase graph 5) and of grid divisions
// (10, the phase graph 8).
int valueLabelCount(WindowId graph);
int gridDivisions(WindowId graph);

// Texts of the value labels, bottom (index 0) to top.
std::vector<std::string> valueLabelTexts(WindowId graph, const AxisLimits& limits);

// The frequency range actually drawn: row 7, or the automatic range when a
// manual minimum of 0 or less would make the logarithmic axis undefined.
AxisPair frequencyAxis(const AxisLimits& limits);

// x = trunc(W · log10(f / fmin) / log10(fmax / fmin)),
// y = trunc(H · (max − v) / (max − min)). Results that are not finite or
// lie far outside the image are pinned to ±kFarPixel, which still clips.
constexpr int kFarPixel = 1 << 20;
int mapX(double f, double fmin, double fmax, int width);
int mapY(double v, double minimum, double maximum, int height);
// Phase graph: y = trunc(H · (180 − φ) / 360).
int mapPhaseY(double phi, int height);

// Index of the last point a slot's curves reach: segments 1..n are drawn,
// segment i + 1 only while point i + 1 is not above the slot's upper limit
// and i + 1 < 169. Point 0 to point 1 is always drawn.
int lastDrawnPoint(const ResultSlot& slot);

// y of horizontal grid line i: (H · i) div divisions.
int gridLineY(int height, int i, int divisions);

struct FrequencyGridLine {
    double value = 0.0;    // Hz
    int x = 0;             // pixel in the plot image
    bool labelled = false; // 2, 5 and 10 times a decade carry a label
};

// Vertical grid lines j · 10^d for every decade d from floor(log10 fmin) to
// floor(log10 fmax), j = 1..10; lines outside the image are kept (clipped
// when drawn).
std::vector<FrequencyGridLine> frequencyGridLines(double fmin, double fmax, int width);

// Left edge of a frequency label of text width w centred on the line of v:
// trunc(log10(v / fmin) · p + offset − w div 2), p = pixels per decade.
int frequencyLabelLeft(double v, double fmin, double fmax, int width, int offset, int textWidth);

// Resize snapping of the windows' outer size: ((old + 10) div 20) · 20.
int snapToTwenty(int length);

} // namespace velumo
