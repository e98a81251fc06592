#include <gtest/gtest.h>

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

} // namespace

TEST(NiceCeiling, roundsUpToTheNextStepOfItsDecade)
{
    struct Case {
        double a;
        double expected;
    };
    const Case cases[] = {
        { 0.83, 1.0 },
        { 12.0, 15.0 },
        { 2.6, 3.0 },
        { 7.6, 10.0 },
        { 4.0, 4.0 },
        { 1.0, 1.0 },
        { 1.01, 1.5 },
        { 2.2, 2.5 },
        { 3.5, 4.0 },
        { 4.1, 5.0 },
        { 5.5, 7.5 },
        { 36.0, 40.0 },
        { 0.021, 0.025 },
        { 1000.0, 1000.0 },
    };
    for (const Case& c : cases)
        test::expectNearRel(NiceCeiling(c.a), c.expected, 1e-12);
}

TEST(NiceCeiling, zeroStaysZeroAndNegativesScaleByOneAndAHalf)
{
    EXPECT_EQ(NiceCeiling(0.0), 0.0);
    EXPECT_EQ(NiceCeiling(-2.0), -3.0);
    // The sentinel of cleared slots gives a negative limit, not a crash.
    EXPECT_EQ(NiceCeiling(-1e10), -1.5e10);
}

TEST(FormatFrequencyLabel, scalesToThousandsGroupsWithSuffix)
{
    EXPECT_EQ(FormatFrequencyLabel(0.0), "0");
    EXPECT_EQ(FormatFrequencyLabel(0.5), "0.5");
    EXPECT_EQ(FormatFrequencyLabel(2500.0), "2.5k");
    EXPECT_EQ(FormatFrequencyLabel(999.0), "999");
    EXPECT_EQ(FormatFrequencyLabel(1234567.0), "1.235M");
    EXPECT_EQ(FormatFrequencyLabel(0.002), "2m");
    EXPECT_EQ(FormatFrequencyLabel(3e9), "3G");
    EXPECT_EQ(FormatFrequencyLabel(-2500.0), "-2.5k");
}

TEST(FormatFrequencyLabel, defaultAxisReadsTenToTwentyK)
{
    const double values[] = { 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000 };
    const char* texts[] = { "10", "20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k" };
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(FormatFrequencyLabel(values[i]), texts[i]);
}

TEST(AxisLimits, splAxisTopIsTwoDecadesOfTenAbovePeak)
{
    Design design;
    auto slots = clearedSlots();
    (*slots)[0].frequency[0] = 10.0;
    (*slots)[0].spl[40] = 95.3;
    AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[kAxisSpl].minimum, 60.0);
    EXPECT_EQ(limits[kAxisSpl].maximum, 110.0);

    (*slots)[0].spl[40] = 100.0;
    limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[kAxisSpl].minimum, 70.0);
    EXPECT_EQ(limits[kAxisSpl].maximum, 120.0);
}

TEST(AxisLimits, onlySlotsUpToCurveSlotCount)
{
    Design design;
    auto slots = clearedSlots();
    (*slots)[0].spl[3] = 95.3;
    (*slots)[2].spl[3] = 131.0;
    EXPECT_EQ(computeAxisLimits(design, *slots, 1)[kAxisSpl].maximum, 110.0);
    EXPECT_EQ(computeAxisLimits(design, *slots, 2)[kAxisSpl].maximum, 150.0);
}

TEST(AxisLimits, splMaxAxisTopIsOneStepOfTenAbovePeak)
{
    Design design;
    auto slots = clearedSlots();
    (*slots)[0].splMax[7] = 117.2;
    const AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[kAxisSplMax].maximum, 120.0);
    EXPECT_EQ(limits[kAxisSplMax].minimum, 70.0);
}

TEST(AxisLimits, impedanceOfTwelveOhmGivesZeroToFifteen)
{
    Design design;
    auto slots = clearedSlots();
    (*slots)[0].zel[10] = 12.0;
    const AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[kAxisZel].minimum, 0.0);
    EXPECT_EQ(limits[kAxisZel].maximum, 15.0);
    const std::vector<std::string> expected = { "0", "3", "6", "9", "12", "15" };
    EXPECT_EQ(valueLabelTexts(GraphKind::Zel, limits), expected);
}

TEST(AxisLimits, excursionAndPmaxFollowDriverOneEvenWhenDriverTwoIsShown)
{
    Design design;
    design.setChecked("CBAmplTreiber2", true);
    design.setChecked("CBPmaxTreiber2", true);
    auto slots = clearedSlots();
    (*slots)[0].x1[5] = 3.3;
    (*slots)[0].x2.fill(20.0);
    (*slots)[0].pmax1[5] = 180.0;
    (*slots)[0].pmax2.fill(900.0);
    const AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[kAxisAusl].maximum, 4.0);
    EXPECT_EQ(limits[kAxisAusl].minimum, 0.0);
    EXPECT_EQ(limits[kAxisPmax].maximum, 200.0);
    EXPECT_EQ(limits[kAxisPmax].minimum, 0.0);
}

TEST(AxisLimits, normalisedImpedanceOfPointNineGivesMinusOneToOneAndAHalf)
{
    Design design;
    auto slots = clearedSlots();
    (*slots)[0].zReal[4] = 0.4;
    (*slots)[0].zImag[9] = -0.9; // the extreme absolute value may be negative
    const AxisLimits limits = computeAxisLimits(design, *slots, 0);
    test::expectNearRel(limits[kAxisZnorm].maximum, 1.5, 1e-12);
    test::expectNearRel(limits[kAxisZnorm].minimum, -1.0, 1e-12);
    const std::vector<std::string> expected = { "-1", "-0.5", "0", "0.5", "1", "1.5" };
    EXPECT_EQ(valueLabelTexts(GraphKind::Znorm, limits), expected);
}

TEST(AxisLimits, manualPairIsKeptWhenIncreasing)
{
    Design design;
    setPair(design, kAxisSpl, "40", "100,5", false);
    setPair(design, kAxisFrequency, "20", "5000", false);
    auto slots = clearedSlots();
    (*slots)[0].spl[0] = 95.3;
    const AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_EQ(limits[kAxisSpl].minimum, 40.0);
    EXPECT_EQ(limits[kAxisSpl].maximum, 100.5);
    EXPECT_EQ(limits[kAxisFrequency].minimum, 20.0);
    EXPECT_EQ(limits[kAxisFrequency].maximum, 5000.0);
    EXPECT_FALSE(design.axisAuto(kAxisSpl));
}

TEST(AxisLimits, nonIncreasingPairSwitchesItsRowToAutomatic)
{
    Design design;
    setPair(design, kAxisZel, "100", "50", false);
    setPair(design, kAxisFrequency, "abc", "0", false);
    setPair(design, kAxisAusl, "1", "8", false);
    auto slots = clearedSlots();
    (*slots)[0].zel[0] = 12.0;
    const AxisLimits limits = computeAxisLimits(design, *slots, 0);
    EXPECT_TRUE(design.axisAuto(kAxisZel));
    EXPECT_TRUE(design.axisAuto(kAxisFrequency));
    EXPECT_FALSE(design.axisAuto(kAxisAusl));
    EXPECT_EQ(limits[kAxisZel].maximum, 15.0);
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
    limits[kAxisSpl] = { 60.0, 110.0 };
    limits[kAxisAusl] = { 0.0, 0.15 };
    limits[kAxisPmax] = { 0.0, 7.5 };
    const std::vector<std::string> spl = { "60", "70", "80", "90", "100", "110" };
    const std::vector<std::string> ausl = { "0", "0.03", "0.06", "0.09", "0.12", "0.15" };
    const std::vector<std::string> pmax = { "0", "1.5", "3", "4.5", "6", "7.5" };
    const std::vector<std::string> phase = { "-180", "-90", "0", "90", "180" };
    EXPECT_EQ(valueLabelTexts(GraphKind::Spl, limits), spl);
    EXPECT_EQ(valueLabelTexts(GraphKind::Ausl, limits), ausl);
    EXPECT_EQ(valueLabelTexts(GraphKind::Pmax, limits), pmax);
    EXPECT_EQ(valueLabelTexts(GraphKind::Phia, limits), phase);

    limits[kAxisAusl] = { 0.0, 0.00123 };
    EXPECT_EQ(valueLabelTexts(GraphKind::Ausl, limits)[5], "0.0012");
}

TEST(PixelMapping, logarithmicXAndLinearYTruncatedTowardZero)
{
    // 349 · log10(100) / log10(2000) = 211.45
    EXPECT_EQ(mapX(1000.0, 10.0, 20000.0, 349), 211);
    EXPECT_EQ(mapX(10.0, 10.0, 20000.0, 349), 0);
    EXPECT_EQ(mapX(20000.0, 10.0, 20000.0, 349), 349);
    // 349 · log10(0.5) / log10(2000) = −31.8 → −31 (toward zero)
    EXPECT_EQ(mapX(5.0, 10.0, 20000.0, 349), -31);
    // 175 · (110 − 95.3) / 50 = 51.45
    EXPECT_EQ(mapY(95.3, 60.0, 110.0, 175), 51);
    EXPECT_EQ(mapY(110.0, 60.0, 110.0, 175), 0);
    EXPECT_EQ(mapY(60.0, 60.0, 110.0, 175), 175);
    // 175 · (110 − 111) / 50 = −3.5 → −3
    EXPECT_EQ(mapY(111.0, 60.0, 110.0, 175), -3);
    // 175 · (180 − 45) / 360 = 65.625
    EXPECT_EQ(mapPhaseY(45.0, 175), 65);
    EXPECT_EQ(mapPhaseY(-180.0, 175), 175);
}

TEST(PixelMapping, degenerateRangesStayFinite)
{
    EXPECT_EQ(mapY(1.0, 0.0, 0.0, 175), -kFarPixel);
    EXPECT_EQ(mapY(0.0, 0.0, 0.0, 175), kFarPixel); // 0/0
    EXPECT_EQ(mapX(0.0, 10.0, 20000.0, 349), -kFarPixel);
}

TEST(CurveStop, fullRunDrawsNinetyNineSegments)
{
    ResultSlot slot;
    const double step = std::pow(2000.0, 1.0 / 99.0);
    for (int i = 0; i <= 100; ++i)
        slot.frequency[static_cast<size_t>(i)] = 10.0 * std::pow(step, i);
    slot.upperLimit = 20000.0 * 1.0001;
    EXPECT_EQ(lastDrawnPoint(slot), 99);
}

TEST(CurveStop, stopsAtLastPointNotAboveTheUpperLimit)
{
    ResultSlot slot;
    const double f[] = { 900.0, 950.0, 998.0, 998.7, 998.8, 1200.0 };
    for (size_t i = 0; i < std::size(f); ++i)
        slot.frequency[i] = f[i];
    slot.upperLimit = 998.7;
    EXPECT_EQ(lastDrawnPoint(slot), 3);
    // Point 0 to point 1 is drawn even when point 1 lies above the limit.
    slot.upperLimit = 500.0;
    EXPECT_EQ(lastDrawnPoint(slot), 1);
}

TEST(CurveStop, neverReadsBeyondPoint168)
{
    ResultSlot slot;
    slot.frequency.fill(1.0);
    slot.upperLimit = 5.0;
    EXPECT_EQ(lastDrawnPoint(slot), 168);
}

TEST(FrequencyGrid, defaultAxisLinesAndLabels)
{
    const auto lines = frequencyGridLines(10.0, 20000.0, 349);
    // Decades 1..4, ten lines each.
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines.front().value, 10.0);
    EXPECT_EQ(lines.front().x, 0);
    std::vector<std::string> labelled;
    for (const auto& l : lines) {
        if (l.labelled)
            labelled.push_back(FormatFrequencyLabel(l.value));
        if (l.value == 1000.0) {
            EXPECT_EQ(l.x, 211);
        }
    }
    const std::vector<std::string> expected
        = { "20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k", "50k", "100k" };
    EXPECT_EQ(labelled, expected);
}

TEST(FrequencyGrid, gridLinesAtIntegerDivisions)
{
    EXPECT_EQ(gridLineY(175, 1, 10), 17);
    EXPECT_EQ(gridLineY(175, 9, 10), 157);
    EXPECT_EQ(gridLineY(175, 3, 8), 65);
}

TEST(FrequencyGrid, labelCentredOnItsLineWithStripOffset)
{
    // line of 1 kHz at 211.45; offset 8; text width 15 → 211.45 + 8 − 7 = 212.45
    EXPECT_EQ(frequencyLabelLeft(1000.0, 10.0, 20000.0, 349, 8, 15), 212);
}

TEST(WindowSnap, outerSizeRoundsToMultiplesOfTwenty)
{
    EXPECT_EQ(snapToTwenty(411), 420);
    EXPECT_EQ(snapToTwenty(250), 260);
    EXPECT_EQ(snapToTwenty(409), 400);
    EXPECT_EQ(snapToTwenty(249), 240);
    EXPECT_EQ(snapToTwenty(420), 420);
}
