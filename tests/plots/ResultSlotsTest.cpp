#include <gtest/gtest.h>

#include <memory>

#include "PlotsTestSupport.h"
#include "ResultSlots.h"

using namespace velumo;

TEST(ResultSlots, startEmptyWithSentinels)
{
    auto results = std::make_unique<ResultSlots>();
    EXPECT_FALSE(results->anyFilled());
    EXPECT_EQ(results->curveSlot(), 0);
    for (const ResultSlot& s : results->all()) {
        EXPECT_EQ(s.frequency[0], 0.0);
        EXPECT_EQ(s.spl[169], -1e10);
        EXPECT_EQ(s.pmax1[0], -1e10);
        EXPECT_EQ(s.zReal[5], 0.0);
    }
}

TEST(ResultSlots, curveSlotAdvancesCyclically)
{
    auto results = std::make_unique<ResultSlots>();
    std::vector<int> written;
    for (int run = 0; run < 5; ++run) {
        test::fillFlat(results->beginRun(), 90.0 + run, 8.0);
        written.push_back(results->lastWrittenSlot());
        results->advanceCurveSlot();
    }
    EXPECT_EQ(written, (std::vector<int> { 0, 1, 2, 3, 0 }));
    EXPECT_EQ(results->curveSlot(), 1);
    // The fifth run replaced slot 0.
    EXPECT_EQ(results->slot(0).spl[10], 94.0);
}

TEST(ResultSlots, choosingASlotIgnoresIndicesOutOfRange)
{
    auto results = std::make_unique<ResultSlots>();
    results->setCurveSlot(2);
    EXPECT_EQ(results->curveSlot(), 2);
    results->setCurveSlot(4);
    results->setCurveSlot(-1);
    EXPECT_EQ(results->curveSlot(), 2);
    EXPECT_EQ(&results->beginRun(), &results->slot(2));
}

TEST(ResultSlots, clearValuesEmptiesEverySlotButKeepsDriverTwo)
{
    auto results = std::make_unique<ResultSlots>();
    test::fillFlat(results->beginRun(), 93.0, 8.0);
    results->slot(0).contourA[50] = 0.1;
    ASSERT_TRUE(results->anyFilled());
    results->ClearValues();
    EXPECT_FALSE(results->anyFilled());
    EXPECT_EQ(results->slot(0).spl[10], -1e10);
    EXPECT_EQ(results->slot(0).zImag[10], 0.0);
    EXPECT_EQ(results->slot(0).contourA[50], 0.0);
    EXPECT_EQ(results->slot(0).x2[10], 1.0);
}

TEST(SlotColours, blackRedGreenBlue)
{
    EXPECT_EQ(SlotColour(0), QColor(0, 0, 0));
    EXPECT_EQ(SlotColour(1), QColor(255, 0, 0));
    EXPECT_EQ(SlotColour(2), QColor(0, 128, 0));
    EXPECT_EQ(SlotColour(3), QColor(0, 0, 255));
}

TEST(EvoImages, selectedSquareIsFilledEntirely)
{
    test::guiApp();
    const QColor background(240, 240, 240);
    std::array<QImage, kSlotCount> squares;
    DrawEvoImages(squares, 2, background);
    for (int s = 0; s < kSlotCount; ++s) {
        SCOPED_TRACE(s);
        const QImage& sq = squares[static_cast<size_t>(s)];
        ASSERT_EQ(sq.size(), QSize(15, 15));
        EXPECT_EQ(sq.pixelColor(7, 7), SlotColour(s));
        EXPECT_EQ(sq.pixelColor(2, 2), SlotColour(s));
        EXPECT_EQ(sq.pixelColor(12, 12), SlotColour(s));
        const QColor edge = s == 2 ? SlotColour(2) : background;
        EXPECT_EQ(sq.pixelColor(0, 0), edge);
        EXPECT_EQ(sq.pixelColor(1, 7), edge);
        EXPECT_EQ(sq.pixelColor(13, 13), edge);
        EXPECT_EQ(sq.pixelColor(14, 0), edge);
    }
}

TEST(EvoImages, highDensitySquareKeepsLogicalSize)
{
    test::guiApp();
    const QImage sq = evoSquareImage(1, 0, Qt::white, 15, 2.0);
    EXPECT_EQ(sq.size(), QSize(30, 30));
    EXPECT_EQ(sq.deviceIndependentSize().toSize(), QSize(15, 15));
    EXPECT_EQ(sq.pixelColor(4, 4), QColor(255, 0, 0));
    EXPECT_EQ(sq.pixelColor(3, 3), QColor(255, 255, 255));
}
