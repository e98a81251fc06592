#include <gtest/gtest.h>

#include <memory>

#include "PlotsTestSupport.h"
#include "ResultSlots.h"
#include "Results.h"

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

TEST(ResultSlots, curveSlotAdvancesCyclicallyAndIgnoresChoicesOutOfRange)
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
    EXPECT_EQ(results->slot(0).spl[10], 94.0); // the fifth run replaced slot 0
    // Choosing a slot ignores indices out of range.
    results->setCurveSlot(2);
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
    const QColor expected[] = { QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255) };
    for (int s = 0; s < kSlotCount; ++s)
        EXPECT_EQ(SlotColour(s), expected[s]) << s;
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
        for (QPoint inner : { QPoint(7, 7), QPoint(2, 2), QPoint(12, 12) })
            EXPECT_EQ(sq.pixelColor(inner), SlotColour(s));
        const QColor edge = s == 2 ? SlotColour(2) : background;
        for (QPoint outer : { QPoint(0, 0), QPoint(1, 7), QPoint(13, 13), QPoint(14, 0) })
            EXPECT_EQ(sq.pixelColor(outer), edge);
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

TEST(ResultSlots, withoutDriver2Pmax2KeepsTheSlotValue)
{
    auto slot = std::make_unique<ResultSlot>();
    slot->pmax2[3] = 42.0;
    PointResults r;
    r.spl = 94.0;
    r.pmax2 = 7.0;
    storeResults(*slot, 3, r);
    EXPECT_EQ(slot->pmax2[3], 42.0);
    EXPECT_EQ(slot->spl[3], 94.0);
    r.hasDriver2 = true;
    storeResults(*slot, 3, r);
    EXPECT_EQ(slot->pmax2[3], 7.0);
}
