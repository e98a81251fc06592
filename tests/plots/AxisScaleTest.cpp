#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "AxisScale.h"
#include "TestUtil.h"

using namespace velumo;

namespace {

// Four empty slots, as after "Alle Graphen löschen".
std::unique_ptr<SlotArray> clearedSlots()
{
    auto slots = std::make_unique<SlotArray>();
    for (ResultSlot& s : *slots)
        clearSlot(s);
    return slots;
}

void setPair(Design& design, int row, const char* min, const char* max, bool automatic)
{
    design.minMaxCell(0, row) = min;
    design.minMaxCell(1, row) = max;
    design.setAxisAuto(row, automatic);
}

using Labels = std::vector<std::string>;

} // namespace

TEST(NiceCeiling, roundsUpToTheNextStepOfItsDecade)
{
    const std::pair<double, double> cases[] = { { 0.83, 1.0 }, { 12.0, 15.0 }, { 2.6, 3.0 }, { 7.6, 10.0 },
        { 4.0, 4.0 }, { 1.0, 1.0 }, { 1.01, 1.5 }, { 2.2, 2.5 }, { 3.5, 4.0 }, { 4.1, 5.0 }, { 5.5, 7.5 },
        { 36.0, 40.0 }, { 0.021, 0.025 }, { 1000.0, 1000.0 } };
    for (const auto& [a, expected] : cases)
        test::expectNearRel(NiceCeiling(a), expected, 1e-12);
    // Zero stays zero, negatives scale by 1.5; the sentinel of cleared slots
    // gives a negative limit, not a crash.
    EXPECT_EQ(NiceCeiling(0.0), 0.0);
    EXPECT_EQ(NiceCeiling(-2.0), -3.0);
    EXPECT_EQ(NiceCeiling(-1e10), -1.5e10);
}

TEST(FormatFrequencyLabel, scalesToThousandsGroupsWithSuffix)
{
    const std::pair<double, const char*> cases[] = { { 0.0, "0" }, { 0.5, "0.5" }, { 2500.0, "2.5k" },
        { 999.0, "999" }, { 1234567.0, "1.235M" }, { 0.002, "2m" }, { 3e9, "3G" }, { -2500.0, "-2.5k" },
        // the default axis reads 10 to 20k
        { 10, "10" }, { 20, "20" }, { 50, "50" }, { 100, "100" }, { 200, "200" }, { 500, "500" },
        { 1000, "1k" }, { 2000, "2k" }, { 5000, "5k" }, { 10000, "10k" }, { 20000, "20k" } };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatFrequencyLabel(value), text) << value;
}

TEST(AxisLimits, automaticLimitsFollowThePeakOfEachGraph)
{
    // Driver 2 shown still leaves excursion and Pmax on driver 1's values;
    // the extreme absolute value of Znorm may be negative.
    const struct {
        const char* label;
        std::function<void(ResultSlot&)> fill;
        int axis;
        double min, max;
    } cases[] = {
        { "SPL two steps of ten above", [](ResultSlot& s) { s.spl[40] = 95.3; }, axisRow(WindowId::Spl), 60.0,
            110.0 },
        { "SPL on a step", [](ResultSlot& s) { s.spl[40] = 100.0; }, axisRow(WindowId::Spl), 70.0, 120.0 },
        { "SPLmax one step of ten above", [](ResultSlot& s) { s.splMax[7] = 117.2; },
            axisRow(WindowId::SplMax), 70.0, 120.0 },
        { "Zel", [](ResultSlot& s) { s.zel[10] = 12.0; }, axisRow(WindowId::Zel), 0.0, 15.0 },
        { "excursion",
            [](ResultSlot& s) {
                s.x1[5] = 3.3;
                s.x2.fill(20.0);
            },
            axisRow(WindowId::Ausl), 0.0, 4.0 },
        { "Pmax",
            [](ResultSlot& s) {
                s.pmax1[5] = 180.0;
                s.pmax2.fill(900.0);
            },
            axisRow(WindowId::Pmax), 0.0, 200.0 },
        { "Znorm",
            [](ResultSlot& s) {
                s.zReal[4] = 0.4;
                s.zImag[9] = -0.9;
            },
            axisRow(WindowId::Znorm), -1.0, 1.5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Design design;
        design.setChecked("CBAmplTreiber2", true);
        design.setChecked("CBPmaxTreiber2", true);
        auto slots = clearedSlots();
        (*slots)[0].frequency[0] = 10.0;
        c.fill((*slots)[0]);
        const AxisLimits limits = computeAxisLimits(design, *slots, 0);
        EXPECT_EQ(limits[c.axis].minimum, c.min);
        EXPECT_EQ(limits[c.axis].maximum, c.max);
    }
}

TEST(AxisLimits, onlySlotsUpToCurveSlotCount)
{
    Design design;
    auto slots = clearedSlots();
    (*slots)[0].spl[3] = 95.3;
    (*slots)[2].spl[3] = 131.0;
    EXPECT_EQ(computeAxisLimits(design, *slots, 1)[axisRow(WindowId::Spl)].maximum, 110.0);
    EXPECT_EQ(computeAxisLimits(design, *slots, 2)[axisRow(WindowId::Spl)].maximum, 150.0);
}

TEST(AxisLimits, manualPairIsKeptWhenIncreasingElseItsRowTurnsAutomatic)
{
    Design design;
    setPair(design, axisRow(WindowId::Spl), "40", "100,5", false);
    setPair(design, kAxisFrequency, "20", "5000", false);
    auto slots = clearedSlots();
    (*slots)[0].spl[0] = 95.3;
    (*slots)[0].zel[0] = 12.0;
    AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[axisRow(WindowId::Spl)].minimum, 40.0);
    EXPECT_EQ(limits[axisRow(WindowId::Spl)].maximum, 100.5);
    EXPECT_EQ(limits[kAxisFrequency].minimum, 20.0);
    EXPECT_EQ(limits[kAxisFrequency].maximum, 5000.0);
    EXPECT_FALSE(design.axisAuto(axisRow(WindowId::Spl)));

    setPair(design, axisRow(WindowId::Zel), "100", "50", false);
    setPair(design, kAxisFrequency, "abc", "0", false);
    setPair(design, axisRow(WindowId::Ausl), "1", "8", false);
    limits = computeAxisLimits(design, *slots, 0);
    EXPECT_TRUE(design.axisAuto(axisRow(WindowId::Zel)));
    EXPECT_TRUE(design.axisAuto(kAxisFrequency));
    EXPECT_FALSE(design.axisAuto(axisRow(WindowId::Ausl)));
    EXPECT_EQ(limits[axisRow(WindowId::Zel)].maximum, 15.0);
    EXPECT_EQ(limits[kAxisFrequency].minimum, 10.0);
    EXPECT_EQ(limits[kAxisFrequency].maximum, 20000.0);
}

TEST(AxisLimits, frequencyAxisFallsBackWhenManualMinimumIsNotPositive)
{
    AxisLimits limits {};
    limits[kAxisFrequency] = { -5.0, 1000.0 };
    EXPECT_EQ(frequencyAxis(limits).minimum, 10.0);
    EXPECT_EQ(frequencyAxis(limits).maximum, 20000.0);
    limits[kAxisFrequency] = { 50.0, 1000.0 };
    EXPECT_EQ(frequencyAxis(limits).minimum, 50.0);
}

TEST(ValueLabels, formatsPerGraph)
{
    AxisLimits limits {};
    limits[axisRow(WindowId::Spl)] = { 60.0, 110.0 };
    limits[axisRow(WindowId::Ausl)] = { 0.0, 0.15 };
    limits[axisRow(WindowId::Pmax)] = { 0.0, 7.5 };
    limits[axisRow(WindowId::Zel)] = { 0.0, 15.0 };
    limits[axisRow(WindowId::Znorm)] = { -1.0, 1.5 };
    EXPECT_EQ(valueLabelTexts(WindowId::Spl, limits), (Labels { "60", "70", "80", "90", "100", "110" }));
    EXPECT_EQ(
        valueLabelTexts(WindowId::Ausl, limits), (Labels { "0", "0.03", "0.06", "0.09", "0.12", "0.15" }));
    EXPECT_EQ(valueLabelTexts(WindowId::Pmax, limits), (Labels { "0", "1.5", "3", "4.5", "6", "7.5" }));
    EXPECT_EQ(valueLabelTexts(WindowId::Phia, limits), (Labels { "-180", "-90", "0", "90", "180" }));
    EXPECT_EQ(valueLabelTexts(WindowId::Zel, limits), (Labels { "0", "3", "6", "9", "12", "15" }));
    EXPECT_EQ(valueLabelTexts(WindowId::Znorm, limits), (Labels { "-1", "-0.5", "0", "0.5", "1", "1.5" }));
    limits[axisRow(WindowId::Ausl)] = { 0.0, 0.00123 };
    EXPECT_EQ(valueLabelTexts(WindowId::Ausl, limits)[5], "0.0012");
}

TEST(PixelMapping, logarithmicXAndLinearYTruncatedTowardZero)
{
    // 349 · log10(100) / log10(2000) = 211.45; 349 · log10(0.5) / log10(2000)
    // = −31.8 → −31 (toward zero)
    EXPECT_EQ(mapX(1000.0, 10.0, 20000.0, 349), 211);
    EXPECT_EQ(mapX(10.0, 10.0, 20000.0, 349), 0);
    EXPECT_EQ(mapX(20000.0, 10.0, 20000.0, 349), 349);
    EXPECT_EQ(mapX(5.0, 10.0, 20000.0, 349), -31);
    // 175 · (110 − 95.3) / 50 = 51.45; 175 · (110 − 111) / 50 = −3.5 → −3
    EXPECT_EQ(mapY(95.3, 60.0, 110.0, 175), 51);
    EXPECT_EQ(mapY(110.0, 60.0, 110.0, 175), 0);
    EXPECT_EQ(mapY(60.0, 60.0, 110.0, 175), 175);
    EXPECT_EQ(mapY(111.0, 60.0, 110.0, 175), -3);
    // 175 · (180 − 45) / 360 = 65.625
    EXPECT_EQ(mapPhaseY(45.0, 175), 65);
    EXPECT_EQ(mapPhaseY(-180.0, 175), 175);
    // Degenerate ranges stay finite.
    EXPECT_EQ(mapY(1.0, 0.0, 0.0, 175), -kFarPixel);
    EXPECT_EQ(mapY(0.0, 0.0, 0.0, 175), kFarPixel); // 0/0
    EXPECT_EQ(mapX(0.0, 10.0, 20000.0, 349), -kFarPixel);
}

TEST(CurveStop, stopsAtLastPointNotAboveTheUpperLimit)
{
    ResultSlot slot;
    const double step = std::pow(2000.0, 1.0 / 99.0);
    for (size_t i = 0; i <= 100; ++i)
        slot.frequency[i] = 10.0 * std::pow(step, static_cast<double>(i));
    slot.upperLimit = 20000.0 * 1.0001;
    EXPECT_EQ(lastDrawnPoint(slot), 99); // a full run draws 99 segments

    const double f[] = { 900.0, 950.0, 998.0, 998.7, 998.8, 1200.0 };
    std::copy(std::begin(f), std::end(f), slot.frequency.begin());
    slot.upperLimit = 998.7;
    EXPECT_EQ(lastDrawnPoint(slot), 3);
    slot.upperLimit = 500.0; // point 0 to point 1 is drawn even when point 1 lies above
    EXPECT_EQ(lastDrawnPoint(slot), 1);

    slot.frequency.fill(1.0);
    slot.upperLimit = 5.0;
    EXPECT_EQ(lastDrawnPoint(slot), 168); // never beyond point 168
}

TEST(FrequencyGrid, defaultAxisLinesAndLabels)
{
    const auto lines = frequencyGridLines(10.0, 20000.0, 349);
    ASSERT_EQ(lines.size(), 40u); // decades 1..4, ten lines each
    EXPECT_EQ(lines.front().value, 10.0);
    EXPECT_EQ(lines.front().x, 0);
    Labels labelled;
    for (const auto& l : lines) {
        if (l.labelled)
            labelled.push_back(FormatFrequencyLabel(l.value));
        if (l.value == 1000.0) {
            EXPECT_EQ(l.x, 211);
        }
    }
    EXPECT_EQ(labelled,
        (Labels { "20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k", "50k", "100k" }));
    // Label of 1 kHz on its line at 211.45; offset 8; text width 15 → 212.45.
    EXPECT_EQ(frequencyLabelLeft(1000.0, 10.0, 20000.0, 349, 8, 15), 212);
    // Horizontal lines at integer divisions.
    EXPECT_EQ(gridLineY(175, 1, 10), 17);
    EXPECT_EQ(gridLineY(175, 9, 10), 157);
    EXPECT_EQ(gridLineY(175, 3, 8), 65);
}

TEST(WindowSnap, outerSizeRoundsToMultiplesOfTwenty)
{
    const std::pair<int, int> cases[]
        = { { 411, 420 }, { 250, 260 }, { 409, 400 }, { 249, 240 }, { 420, 420 } };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(snapToTwenty(in), out) << in;
}
