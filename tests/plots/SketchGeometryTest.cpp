#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Design.h"
#include "Model.h"
#include "SketchGeometry.h"
#include "TestUtil.h"

using namespace velumo;

namespace {

// A straight duct of 2 m with 0.0441 m² (half width 0.105 m), driver at the
// throat with a front chamber, a rear chamber and a port, every side element
// off and of zero size.
SketchInput straightDuct()
{
    SketchInput in;
    in.a.fill(0.0441);
    in.l = 2.0;
    in.dx = 0.02;
    in.ah = in.am = 0.0441;
    in.sd = 0.02;
    in.vvk = 0.001;
    in.lvk = in.lvkText = 0.1;
    in.vrk = 0.008;
    in.lrk = 0.2;
    in.abr = 0.0025;
    in.lbr = 0.105;
    in.xAK = in.xET = in.xT2 = 1.0;
    in.iAK = in.iET = in.iT2 = 50;
    return in;
}

// Conical horn of 1 m from 0.01 m² to 0.25 m²: the half width grows from
// 0.05 m to 0.25 m, a wall slope of 0.2.
SketchInput conicalHorn()
{
    SketchInput in = straightDuct();
    in.l = 1.0;
    in.dx = 0.01;
    in.ah = 0.01;
    in.am = 0.25;
    for (int i = 0; i < kHornNodes; ++i)
        in.a[static_cast<size_t>(i)] = std::pow(0.1 + 0.4 * i / 100.0, 2);
    in.xT1 = 0.3;
    in.iT1 = 30;
    in.lvk = in.lvkText = 0.05;
    in.vvk = 0.0005;
    return in;
}

double drawnAngle(const SketchPoint& a, const SketchPoint& b)
{
    return std::atan2(static_cast<double>(b.y - a.y), static_cast<double>(b.x - a.x));
}

// Index of the n-th stroke (from the end when n < 0) with the given width.
size_t strokeOfWidth(const SketchGeometry& g, int width, int nth)
{
    std::vector<size_t> found;
    for (size_t i = 0; i < g.strokes.size(); ++i)
        if (g.strokes[i].width == width)
            found.push_back(i);
    if (found.empty())
        return g.strokes.size();
    size_t k = nth >= 0 ? static_cast<size_t>(nth) : found.size() - static_cast<size_t>(-nth);
    return k < found.size() ? found[k] : g.strokes.size();
}

} // namespace

TEST(SketchGeometry, scaleIsTheSmallerOfWidthAndHeightLimits)
{
    // Port, rear and front chamber lie left of the throat: L0 = 0.405 m, so
    // the drawing is 2.405 m long and Y0 = 0.105 m high. The height limit is
    // 50 px / 0.105 m = 476.19 px/m; beyond a width of 2.405 m · 476.19 + 1
    // the sketch grows no further.
    const struct {
        int width;
        double S;
    } cases[] = { { 241, 240.0 / 2.405 }, { 1101, 1100.0 / 2.405 }, { 1501, 50.0 / 0.105 },
        { 3001, 50.0 / 0.105 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const SketchGeometry g = computeSketch(straightDuct(), c.width, 101);
        velumo::test::expectNearRel(g.L0, 0.405, 1e-12);
        EXPECT_DOUBLE_EQ(g.R0, 0.0);
        velumo::test::expectNearRel(g.S, c.S, 1e-12);
    }
}

TEST(SketchGeometry, throatDriverChambersLieLeftOfTheThroatAndTheAxisInTheMiddle)
{
    SketchGeometry g = computeSketch(straightDuct(), 241, 101);
    velumo::test::expectNearRel(g.Y0 * g.S, 50.0, 1e-12);
    // Upper outline at 99.79 px/m: port mouth at the left edge, step at
    // 0.105 m and baffle at 0.305 m from it; port half width 0.025 m, rear
    // chamber 0.1 m, axis at row 50.
    EXPECT_EQ(
        g.strokes[0].points, (std::vector<SketchPoint> { { 0, 47 }, { 10, 47 }, { 10, 40 }, { 30, 40 } }));
    // The membrane of half width sqrt(0.02)/2 = 0.0707 m is shortened by 2 px
    // at both ends: rows trunc(42.93) + 2 and trunc(57.07) - 2.
    EXPECT_EQ(
        g.strokes[strokeOfWidth(g, 5, 0)].points, (std::vector<SketchPoint> { { 30, 44 }, { 30, 55 } }));
    // Upper and lower horn wall 0.105 m · 99.79 px/m = 10.48 px from row 50.
    const SketchPoint upper = g.strokes[6].points.back(), lower = g.strokes.back().points.back();
    EXPECT_EQ(upper.y, 39);
    EXPECT_EQ(lower.y, 60);
    EXPECT_EQ(lower.x, upper.x);
    EXPECT_NEAR(lower.x, 240, 1);
}

TEST(SketchGeometry, closedMouthAddsTheVerticalClosingLine)
{
    SketchInput in = conicalHorn();
    SketchGeometry open = computeSketch(in, 400, 300);
    in.mouthClosed = true;
    SketchGeometry closed = computeSketch(in, 400, 300);
    ASSERT_EQ(open.strokes[0].points.size(), 103u); // throat line and 101 stations
    ASSERT_EQ(closed.strokes[0].points.size(), 104u);
    const SketchPoint mouthTop = closed.strokes[0].points[102], closing = closed.strokes[0].points[103];
    EXPECT_EQ(closing.x, mouthTop.x);
    EXPECT_EQ(closing, closed.strokes[1].points.back()); // the lower wall's mouth point
    EXPECT_GT(closing.y - mouthTop.y, 100);
}

TEST(SketchGeometry, frontChamberOpeningErasesTheLowerWall)
{
    SketchGeometry g = computeSketch(conicalHorn(), 400, 300);
    // Front chamber face 0.01 m² (half width 0.05 m) at 0.3 m: stations 25..35.
    const SketchStroke& erase = g.strokes[2];
    ASSERT_TRUE(erase.white);
    ASSERT_EQ(erase.points.size(), 13u);
    for (size_t i = 25; i <= 35; ++i)
        EXPECT_EQ(erase.points[i - 24], g.strokes[1].points[i + 1]);
}

TEST(SketchGeometry, absorberChamberFollowsItsSideAndTakesTheErasedWallAlong)
{
    SketchInput in = straightDuct();
    in.akShown = true;
    in.xAK = 1.01;
    in.aat = 0.0016; // tunnel half width 0.02 m
    in.lat = 0.1;
    in.vak = 0.001; // chamber side 0.1 m
    for (bool top : { false, true }) {
        SCOPED_TRACE(top ? "Skizze oben" : "unten");
        in.akTop = top;
        SketchGeometry g = computeSketch(in, 1001, 401);
        ASSERT_GE(g.strokes.size(), 2u);
        const SketchStroke& erase = g.strokes[g.strokes.size() - 2];
        const SketchStroke& outline = g.strokes.back();
        ASSERT_TRUE(erase.white);
        // Stations floor(0.99 / 0.02) = 49 to ceil(1.03 / 0.02) = 52.
        ASSERT_EQ(erase.points.size(), 4u);
        const int wallRow = static_cast<int>((g.Y0 + (top ? -0.105 : 0.105)) * g.S);
        for (const SketchPoint& p : erase.points)
            EXPECT_EQ(p.y, wallRow);
        // The chamber floor lies 0.105 + 0.1 + 0.1 m from the axis.
        auto [lo, hi] = std::minmax_element(outline.points.begin(), outline.points.end(),
            [](const SketchPoint& a, const SketchPoint& b) { return a.y < b.y; });
        EXPECT_NEAR(top ? g.Y0 * g.S - lo->y : hi->y - g.Y0 * g.S, 0.305 * g.S, 1.0);
        EXPECT_EQ(top ? hi->y : lo->y, wallRow);
    }
}

TEST(SketchGeometry, extraTunnelIsOpenAtItsEnd)
{
    SketchInput in = straightDuct();
    in.etShown = in.etTop = true;
    in.xET = 1.01;
    in.aet = 0.0016;
    in.let = 0.2;
    SketchGeometry g = computeSketch(in, 1001, 401);
    const SketchStroke& nearWall = g.strokes[g.strokes.size() - 2];
    const SketchStroke& farWall = g.strokes.back();
    ASSERT_EQ(nearWall.points.size(), 3u);
    ASSERT_EQ(farWall.points.size(), 3u);
    // Both walls end at the same depth, 0.305 m above the axis, with no line
    // across the end.
    EXPECT_EQ(nearWall.points.back().y, farWall.points.front().y);
    EXPECT_NEAR(g.Y0 * g.S - nearWall.points.back().y, 0.305 * g.S, 1.0);
    EXPECT_LT(nearWall.points.back().x, farWall.points.front().x);
}

TEST(SketchGeometry, driver2OnAConicalWallIsTiltedByTheHalfAngle)
{
    SketchInput in = conicalHorn();
    in.driver2 = true;
    // Membrane side F = 0.2 m / cos θ, so its span is exactly 20 stations.
    const double theta = std::atan(0.2);
    in.sd2 = std::pow(0.2 / std::cos(theta), 2);
    in.xT2 = 0.5035;
    SketchGeometry g = computeSketch(in, 801, 801);
    const SketchStroke& membrane = g.strokes[strokeOfWidth(g, 5, -1)];
    ASSERT_EQ(membrane.points.size(), 2u);
    // Lower wall, drawn from station 40 to 60.
    const SketchPoint w40 = g.strokes[1].points[41], w60 = g.strokes[1].points[61];
    EXPECT_EQ(membrane.points[0], w40);
    // Pixel rounding of a span of about 150 px moves the angle by < 0.01 rad.
    EXPECT_NEAR(drawnAngle(membrane.points[0], membrane.points[1]), theta, 0.01);
    EXPECT_NEAR(drawnAngle(membrane.points[0], membrane.points[1]), drawnAngle(w40, w60), 0.01);
    in.t2Top = true; // on the upper wall the tilt is mirrored
    SketchGeometry up = computeSketch(in, 801, 801);
    const SketchStroke& upMembrane = up.strokes[strokeOfWidth(up, 5, -1)];
    EXPECT_NEAR(drawnAngle(upMembrane.points[0], upMembrane.points[1]), -theta, 0.01);
}

TEST(SketchGeometry, driver2ArrowDirectionFollowsHornTypeAndUmdrehen)
{
    // dyBelow: the arrow's vertical step for driver 2 below the horn (s = -1),
    // where an arrow up points into the horn.
    const struct {
        bool rearLoaded, reversed;
        int dyBelow;
    } cases[] = { { false, false, -8 }, { false, true, 8 }, { true, false, 8 }, { true, true, -8 } };
    for (const auto& c : cases) {
        SketchInput in = straightDuct();
        in.rearLoaded = c.rearLoaded;
        in.driver2 = true;
        in.reversed = c.reversed;
        in.sd2 = 0.01;
        in.xT2 = 1.01;
        for (bool top : { false, true }) {
            SCOPED_TRACE(testing::Message()
                << "rear " << c.rearLoaded << " umdrehen " << c.reversed << " top " << top);
            in.t2Top = top;
            SketchGeometry g = computeSketch(in, 1001, 401);
            const size_t m = strokeOfWidth(g, 5, -1);
            ASSERT_LT(m + 1, g.strokes.size());
            const SketchStroke& shaft = g.strokes[m + 1];
            ASSERT_EQ(shaft.width, 3);
            EXPECT_EQ(shaft.points[1].x, shaft.points[0].x);
            EXPECT_EQ(shaft.points[1].y - shaft.points[0].y, top ? -c.dyBelow : c.dyBelow);
        }
    }
}

TEST(SketchGeometry, driver1ArrowPointsIntoTheHornWhenFrontLoadedWithItsHeads)
{
    // Heads follow the rule: up (φ = 1.571) at (c ∓ 3, e + 7), right (φ = 0)
    // at (c − 7, e ± 3); the other directions are only checked by their step.
    const struct {
        bool throat, rearLoaded;
        SketchPoint step;
        std::vector<SketchPoint> heads;
    } cases[] = {
        { false, false, { 0, -8 }, { { -3, 7 }, { 3, 7 } } },
        { false, true, { 0, 8 }, {} },
        { true, false, { 8, 0 }, { { -7, 3 }, { -7, -3 } } },
        { true, true, { -8, 0 }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "throat " << c.throat << " rear " << c.rearLoaded);
        SketchInput in = c.throat ? straightDuct() : conicalHorn();
        in.rearLoaded = c.rearLoaded;
        const SketchGeometry g = c.throat ? computeSketch(in, 241, 101) : computeSketch(in, 400, 300);
        const size_t shaft = strokeOfWidth(g, 3, 0);
        ASSERT_LT(shaft + 2, g.strokes.size());
        const SketchPoint tail = g.strokes[shaft].points[0], tip = g.strokes[shaft].points[1];
        EXPECT_EQ((SketchPoint { tip.x - tail.x, tip.y - tail.y }), c.step);
        for (size_t h = 0; h < c.heads.size(); ++h)
            EXPECT_EQ(g.strokes[shaft + 1 + h].points,
                (std::vector<SketchPoint> { tip, { tip.x + c.heads[h].x, tip.y + c.heads[h].y } }));
    }
}

TEST(SketchGeometry, secondRearChamberSitsBehindDriver2)
{
    SketchInput in = straightDuct();
    in.driver2 = in.rk2 = true;
    in.sd2 = 0.01;
    in.vrk2 = 0.008; // face max(0.01, 0.04) m², side 0.2 m
    SketchGeometry g = computeSketch(in, 1001, 401);
    const SketchStroke& box = g.strokes.back();
    ASSERT_EQ(box.points.size(), 6u);
    // Stations 45..55 (half width 0.1 m); floor 0.105 + 0.2 m below the axis.
    EXPECT_NEAR(box.points[2].y - g.Y0 * g.S, 0.305 * g.S, 1.0);
    EXPECT_NEAR(box.points[3].x - box.points[2].x, 0.2 * g.S, 1.0);
    EXPECT_EQ(box.points[0].y, box.points[5].y);
    in.driver2 = false; // without driver 2 there is no chamber to draw
    EXPECT_LT(computeSketch(in, 1001, 401).strokes.size(), g.strokes.size());
}

TEST(SketchGeometry, zeroChamberLengthsRaiseTheirNotes)
{
    const Message front { "Hinweis", "Vorkammerlänge ist 0!" };
    const Message rear { "Hinweis", "Rückkammerlänge ist 0!" };
    const struct {
        double lvk, lvkText, lrk;
        bool rearLoaded;
        std::vector<Message> expected;
    } cases[] = {
        { 0.1, 0.1, 0.2, false, {} },
        { 0.1, 0.0, 0.2, false, { front } }, // the box now reads 0 while the run used 0.1 m
        { 0.0, 0.0, 0.2, false, {} },        // no front chamber at all is no note
        { 0.1, 0.1, 0.0, false, { rear } },
        { 0.1, 0.1, 0.0, true, {} },
        { 0.1, 0.0, 0.0, false, { front, rear } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lvk << " " << c.lvkText << " " << c.lrk << " " << c.rearLoaded);
        SketchInput in = straightDuct();
        in.lvk = c.lvk;
        in.lvkText = c.lvkText;
        in.lrk = c.lrk;
        in.rearLoaded = c.rearLoaded;
        const SketchGeometry g = computeSketch(in, 241, 101);
        EXPECT_EQ(g.messages, c.expected);
        EXPECT_FALSE(g.strokes.empty()); // drawn anyway
    }
}

TEST(SketchGeometry, degenerateInputDrawsNothing)
{
    SketchInput in = straightDuct();
    EXPECT_TRUE(computeSketch(in, 0, 0).strokes.empty());
    EXPECT_TRUE(computeSketch(in, 1, 1).strokes.empty());
    in.l = in.dx = 0.0;
    EXPECT_TRUE(computeSketch(in, 400, 300).strokes.empty());
    in = straightDuct();
    in.a.fill(std::nan(""));
    in.ah = std::nan("");
    in.xT1 = in.sd2 = 1e300;
    in.iT1 = -5;
    in.driver2 = true;
    in.iT2 = 5000;
    for (const SketchStroke& s : computeSketch(in, 400, 300).strokes)
        EXPECT_LE(s.points.size(), 2100u);
}

TEST(SketchGeometry, inputComesFromTheModelAndTheBoxesOfTheDesign)
{
    Model m;
    m.n = 2;
    m.horn.l1 = 1.5;
    m.horn.dx = 0.015;
    m.horn.xT1 = 0.2;
    m.horn.n1 = 13;
    m.horn.n2 = 40;
    m.encl.lvk = 0.07;
    m.encl.vak = 0.003;
    m.d2.sd = 0.05;
    std::array<double, kHornNodes> contour {};
    contour[100] = 0.3;
    Design d;
    d.setIndex("CBTyp", 1);
    d.setChecked("CBAK", true);
    d.setChecked("CBAKSkizzeOben", false);
    d.setIndex("RGTreiber2", 2);
    d.setChecked("CBumdrehen", true);
    d.setText("EditLvk", "0,07");

    SketchInput in = sketchInputFrom(m, contour, d);
    EXPECT_EQ(in.n, 2);
    EXPECT_EQ(in.l, 1.5);
    EXPECT_EQ(in.a[100], 0.3);
    EXPECT_EQ(in.iT1, 13);
    EXPECT_EQ(in.iT2, 40);
    EXPECT_TRUE(in.rearLoaded && in.akShown && in.driver2 && in.reversed);
    EXPECT_FALSE(in.akTop);
    EXPECT_EQ(in.vak, 0.003);
    EXPECT_EQ(in.sd2, 0.05);
    EXPECT_DOUBLE_EQ(in.lvkText, 0.07);
}
