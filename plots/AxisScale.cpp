#include "AxisScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "NumberText.h"

namespace velumo {

namespace {

// Integer pixel from a computed coordinate, truncated toward zero. Values that
// are not finite or absurdly far away are pinned so that the painter still
// clips them instead of overflowing its fixed-point coordinates.
int toPixel(double v)
{
    if (std::isnan(v))
        return kFarPixel;
    v = std::clamp(v, -static_cast<double>(kFarPixel), static_cast<double>(kFarPixel));
    return static_cast<int>(std::trunc(v));
}

template <typename Array> double largestOver(const SlotArray& slots, int lastSlot, Array ResultSlot::*field)
{
    double m = -std::numeric_limits<double>::infinity();
    for (int s = 0; s <= lastSlot; ++s)
        for (double v : slots[static_cast<size_t>(s)].*field)
            m = std::max(m, v);
    return m;
}

template <typename Array> double smallestOver(const SlotArray& slots, int lastSlot, Array ResultSlot::*field)
{
    double m = std::numeric_limits<double>::infinity();
    for (int s = 0; s <= lastSlot; ++s)
        for (double v : slots[static_cast<size_t>(s)].*field)
            m = std::min(m, v);
    return m;
}

} // namespace

double NiceCeiling(double a)
{
    if (a <= 0.0)
        return 1.5 * a;
    if (!std::isfinite(a))
        return a;
    const double c = std::pow(10.0, std::floor(std::log10(a)));
    const double r = a / c;
    for (double s : { 1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 7.5, 10.0 }) {
        if (r <= s)
            return c * s;
    }
    return c * 10.0; // r rounded just above 10
}

std::string FormatFrequencyLabel(double v)
{
    if (v == 0.0)
        return "0";
    if (!std::isfinite(v))
        return formatGeneral(v);
    const int q = static_cast<int>(std::trunc(std::floor(std::log10(std::fabs(v))) / 3.0));
    const char* suffix = "";
    if (q < -2)
        suffix = "n";
    else if (q == -2)
        suffix = "u";
    else if (q == -1)
        suffix = "m";
    else if (q == 1)
        suffix = "k";
    else if (q == 2)
        suffix = "M";
    else if (q > 2)
        suffix = "G";
    return formatPattern(v / std::pow(10.0, 3.0 * q), "0.###") + suffix;
}

AxisLimits readAxisSettings(Design& design)
{
    AxisLimits limits;
    for (int r = 0; r < kAxisRows; ++r) {
        auto& pair = limits[static_cast<size_t>(r)];
        pair.minimum = parseLenient(design.minMaxCell(0, r));
        pair.maximum = parseLenient(design.minMaxCell(1, r));
        if (pair.minimum >= pair.maximum)
            design.setAxisAuto(r, true);
    }
    return limits;
}

void applyAutomaticLimits(AxisLimits& limits, const Design& design, const SlotArray& slots, int curveSlot)
{
    const int k = std::clamp(curveSlot, 0, kSlotCount - 1);
    auto automatic = [&](int row) { return design.axisAuto(row); };
    auto range = [&](WindowId w) -> AxisPair& { return limits[static_cast<size_t>(axisRow(w))]; };

    if (automatic(axisRow(WindowId::Spl))) {
        const double m = largestOver(slots, k, &ResultSlot::spl);
        range(WindowId::Spl).maximum = 10.0 * std::trunc(m / 10.0 + 2.0);
        range(WindowId::Spl).minimum = range(WindowId::Spl).maximum - 50.0;
    }
    if (automatic(axisRow(WindowId::Zel))) {
        range(WindowId::Zel).maximum = NiceCeiling(largestOver(slots, k, &ResultSlot::zel));
        range(WindowId::Zel).minimum = 0.0;
    }
    // Driver 1 sets the excursion and Pmax ranges even when driver 2 is shown.
    if (automatic(axisRow(WindowId::Ausl))) {
        range(WindowId::Ausl).maximum = NiceCeiling(largestOver(slots, k, &ResultSlot::x1));
        range(WindowId::Ausl).minimum = 0.0;
    }
    if (automatic(axisRow(WindowId::SplMax))) {
        const double m = largestOver(slots, k, &ResultSlot::splMax);
        range(WindowId::SplMax).maximum = 10.0 * std::trunc(m / 10.0 + 1.0);
        range(WindowId::SplMax).minimum = range(WindowId::SplMax).maximum - 50.0;
    }
    if (automatic(axisRow(WindowId::Pmax))) {
        range(WindowId::Pmax).minimum = 0.0;
        range(WindowId::Pmax).maximum = NiceCeiling(largestOver(slots, k, &ResultSlot::pmax1));
    }
    if (automatic(axisRow(WindowId::Znorm))) {
        double maximum = 0.0;
        for (double q :
            { largestOver(slots, k, &ResultSlot::zReal), largestOver(slots, k, &ResultSlot::zImag),
                smallestOver(slots, k, &ResultSlot::zReal), smallestOver(slots, k, &ResultSlot::zImag) })
            maximum = std::max(maximum, 1.5 * NiceCeiling(std::fabs(q)));
        range(WindowId::Znorm).maximum = maximum;
        range(WindowId::Znorm).minimum = -(2.0 / 3.0) * maximum;
    }
    if (automatic(kAxisFrequency)) {
        limits[kAxisFrequency].minimum = kAutoFrequencyMin;
        limits[kAxisFrequency].maximum = kAutoFrequencyMax;
    }
}

AxisLimits computeAxisLimits(Design& design, const SlotArray& slots, int curveSlot)
{
    AxisLimits limits = readAxisSettings(design);
    applyAutomaticLimits(limits, design, slots, curveSlot);
    return limits;
}

int valueLabelCount(WindowId graph) { return graph == WindowId::Phia ? 5 : 6; }

int gridDivisions(WindowId graph) { return graph == WindowId::Phia ? 8 : 10; }

std::vector<std::string> valueLabelTexts(WindowId graph, const AxisLimits& limits)
{
    if (graph == WindowId::Phia)
        return { "-180", "-90", "0", "90", "180" };
    const AxisPair& pair = limits[static_cast<size_t>(axisRow(graph))];
    const double mn = pair.minimum;
    const double mx = pair.maximum;
    std::vector<std::string> texts;
    for (int j = 0; j < 6; ++j) {
        if (graph == WindowId::Znorm)
            texts.push_back(formatPattern(mn * (1.0 - 0.2 * j) + mx * 0.2 * j, "0.###"));
        else if (graph == WindowId::Ausl)
            texts.push_back(formatPattern(mn + (mx - mn) * j * 0.2, "0.####"));
        else
            texts.push_back(formatGeneral(mn + (mx - mn) * j * 0.2));
    }
    return texts;
}

AxisPair frequencyAxis(const AxisLimits& limits)
{
    AxisPair f = limits[kAxisFrequency];
    if (!(f.minimum > 0.0) || !(f.maximum > f.minimum))
        return { kAutoFrequencyMin, kAutoFrequencyMax };
    return f;
}

int mapX(double f, double fmin, double fmax, int width)
{
    return toPixel(width * std::log10(f / fmin) / std::log10(fmax / fmin));
}

int mapY(double v, double minimum, double maximum, int height)
{
    return toPixel(height * (maximum - v) / (maximum - minimum));
}

int mapPhaseY(double phi, int height) { return toPixel(height * (180.0 - phi) / 360.0); }

int lastDrawnPoint(const ResultSlot& slot)
{
    int i = 1;
    while (i + 1 < kMaxRunPoints && slot.frequency[static_cast<size_t>(i + 1)] <= slot.upperLimit)
        ++i;
    return i;
}

int gridLineY(int height, int i, int divisions) { return divisions > 0 ? (height * i) / divisions : 0; }

std::vector<FrequencyGridLine> frequencyGridLines(double fmin, double fmax, int width)
{
    std::vector<FrequencyGridLine> lines;
    if (!(fmin > 0.0) || !(fmax > fmin) || !std::isfinite(fmax))
        return lines;
    const double p = width / std::log10(fmax / fmin);
    const int first = static_cast<int>(std::floor(std::log10(fmin)));
    const int last = static_cast<int>(std::floor(std::log10(fmax)));
    for (int d = first; d <= last; ++d) {
        const double decade = std::pow(10.0, d);
        for (int j = 1; j <= 10; ++j) {
            const double v = j * decade;
            lines.push_back({ v, toPixel(std::log10(v / fmin) * p), j == 2 || j == 5 || j == 10 });
        }
    }
    return lines;
}

int frequencyLabelLeft(double v, double fmin, double fmax, int width, int offset, int textWidth)
{
    const double p = width / std::log10(fmax / fmin);
    return toPixel(std::log10(v / fmin) * p + offset - textWidth / 2);
}

int snapToTwenty(int length) { return ((length + 10) / 20) * 20; }

} // namespace velumo
