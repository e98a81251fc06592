#include <gtest/gtest.h>

#include "RunInputAdapter.h"

using velumo::Design;
using velumo::readRunInput;

TEST(RunInputAdapter, readsTextsAsARunDoes)
{
    Design d;
    d.setText("EditQes", "0,35");
    d.setText("EditStk", "2.9");
    d.setText("EditStk2", "-1.5");
    d.setText("EditAbr", "0");
    d.setText("Editfbr", "0.0");
    d.setIndex("CBKontur", 6);
    d.setChecked("CBET", true);
    velumo::RunInput in = readRunInput(d);
    EXPECT_EQ(in.driver1.qes, 0.35);
    EXPECT_EQ(in.driver1.stk, 2);
    EXPECT_EQ(in.driver2.stk, -1);
    EXPECT_EQ(in.driver1.rdc, 8.0);
    EXPECT_EQ(in.rdcBoxValue, 8.0);
    EXPECT_TRUE(in.abrTextIsZero);
    EXPECT_FALSE(in.fbrTextIsZero); // the text itself is compared
    EXPECT_EQ(in.flareLaw, velumo::FlareLaw::Tractrix);
    EXPECT_EQ(in.position, velumo::RoomPosition::HalfSpace);
    EXPECT_TRUE(in.et);
    EXPECT_EQ(in.freqPoints, 100);
    EXPECT_EQ(in.contourPoints, 51);
}

TEST(RunInputAdapter, hugeCountsDoNotWrapRound)
{
    Design d;
    d.setText("EditStk", "100000");
    EXPECT_EQ(readRunInput(d).driver1.stk, 32767);
}

TEST(RunInputAdapter, nonIncreasingSimulationRangeSwitchesToAutomatic)
{
    Design d;
    d.setAxisAuto(8, false);
    d.minMaxCell(0, 8) = "20";
    d.minMaxCell(1, 8) = "2000";
    velumo::RunInput in = readRunInput(d);
    EXPECT_FALSE(in.freqAuto);
    EXPECT_EQ(in.freqMin, 20.0);
    EXPECT_EQ(in.freqMax, 2000.0);

    d.minMaxCell(1, 8) = "20";
    in = readRunInput(d);
    EXPECT_TRUE(in.freqAuto);
    EXPECT_TRUE(d.axisAuto(8));
}

TEST(RunInputAdapter, refusalNamesTheInputByItsHint)
{
    Design d;
    velumo::Message m = velumo::runRefusalMessage(d, "Editfs");
    EXPECT_EQ(m.caption, "Fehler");
    EXPECT_EQ(m.text, "Eingabe Resonanzfrequenz nicht erlaubt!");
    EXPECT_EQ(velumo::runRefusalMessage(d, "EditRdc2").text, "Eingabe Gleichstromwiderstand nicht erlaubt!");
    EXPECT_EQ(
        velumo::runRefusalMessage(d, "MinMaxGrid").text, "Eingabe Simulationsfrequenz [Hz] nicht erlaubt!");
}
