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
    in.n = 1;
    in.a.fill(0.0441);
    in.l = 2.0;
    in.dx = 0.02;
    in.ah = 0.0441;
    in.am = 0.0441;
    in.sd = 0.02;
    in.xT1 = 0.0;
    in.vvk = 0.001;
    in.lvk = 0.1;
    in.lvkText = 0.1;
    in.vrk = 0.008;
    in.lrk = 0.2;
    in.abr = 0.0025;
    in.lbr = 0.105;
    in.xAK = 1.0;
    in.xET = 1.0;
    in.xT2 = 1.0;
    in.iAK = 50;
    in.iET = 50;
    in.iT2 = 50;
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
    for (int i = 0; i < kHornNodes; ++i) {
        double r = 0.1 + 0.4 * i / 100.0;
        in.a[static_cast<size_t>(i)] = r * r;
    }
    in.xT1 = 0.3;
    in.iT1 = 30;
    in.lvk = 0.05;
    in.lvkText = 0.05;
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
    // the drawing is 2.405 m long and Y0 = 0.105 m high.
    const SketchInput in = straightDuct();
    SketchGeometry narrow = computeSketch(in, 241, 101);
    velumo::test::expectNearRel(narrow.L0, 0.405, 1e-12);
    EXPECT_DOUBLE_EQ(narrow.R0, 0.0);
    velumo::test::expectNearRel(narrow.S, 240.0 / 2.405, 1e-12);

    // The height limit is 50 px / 0.105 m = 476.19 px/m; beyond a width of
    // 2.405 m · 476.19 + 1 the sketch grows no further.
    SketchGeometry wide = computeSketch(in, 1101, 101);
    velumo::test::expectNearRel(wide.S, 1100.0 / 2.405, 1e-12);
    SketchGeometry wider = computeSketch(in, 1501, 101);
    velumo::test::expectNearRel(wider.S, 50.0 / 0.105, 1e-12);
    SketchGeometry widest = computeSketch(in, 3001, 101);
    EXPECT_DOUBLE_EQ(widest.S, wider.S);
}

TEST(SketchGeometry, longHornPutsTheAxisInTheVerticalMiddle)
{
    SketchGeometry g = computeSketch(straightDuct(), 241, 101);
    velumo::test::expectNearRel(g.Y0 * g.S, 50.0, 1e-12);
    // Upper and lower horn wall 0.105 m · 99.79 px/m = 10.48 px from the
    // axis at row 50.
    const SketchStroke& upper = g.strokes[6];
    EXPECT_EQ(upper.points.back().y, 39);
    const SketchStroke& lower = g.strokes.back();
    EXPECT_EQ(lower.points.back().y, 60);
    EXPECT_EQ(lower.points.back().x, upper.points.back().x);
    EXPECT_NEAR(lower.points.back().x, 240, 1);
}

TEST(SketchGeometry, throatDriverChambersLieLeftOfTheThroat)
{
    SketchGeometry g = computeSketch(straightDuct(), 241, 101);
    // Upper outline at 99.79 px/m: port mouth at the left edge, step at
    // 0.105 m and baffle at 0.305 m from it; port half width 0.025 m, rear
    // chamber 0.1 m, axis at row 50.
    const std::vector<SketchPoint> expected { { 0, 47 }, { 10, 47 }, { 10, 40 }, { 30, 40 } };
    EXPECT_EQ(g.strokes[0].points, expected);
    // The membrane of half width sqrt(0.02)/2 = 0.0707 m is shortened by 2 px
    // at both ends: rows trunc(42.93) + 2 and trunc(57.07) - 2.
    const SketchStroke& membrane = g.strokes[strokeOfWidth(g, 5, 0)];
    EXPECT_EQ(membrane.points, (std::vector<SketchPoint> { { 30, 44 }, { 30, 55 } }));
}

TEST(SketchGeometry, closedMouthAddsTheVerticalClosingLine)
{
    SketchInput in = conicalHorn();
    SketchGeometry open = computeSketch(in, 400, 300);
    in.mouthClosed = true;
    SketchGeometry closed = computeSketch(in, 400, 300);

    const SketchStroke& upperOpen = open.strokes[0];
    const SketchStroke& upperClosed = closed.strokes[0];
    ASSERT_EQ(upperOpen.points.size(), 103u); // throat line and 101 stations
    ASSERT_EQ(upperClosed.points.size(), 104u);
    const SketchPoint mouthTop = upperClosed.points[102];
    const SketchPoint closing = upperClosed.points[103];
    EXPECT_EQ(closing.x, mouthTop.x);
    // It reaches the lower wall's mouth point.
    EXPECT_EQ(closing, closed.strokes[1].points.back());
    EXPECT_GT(closing.y - mouthTop.y, 100);
}

TEST(SketchGeometry, frontChamberOpeningErasesTheLowerWall)
{
    SketchGeometry g = computeSketch(conicalHorn(), 400, 300);
    // Front chamber face 0.01 m² (half width 0.05 m) at 0.3 m: stations 25..35.
    const SketchStroke& erase = g.strokes[2];
    ASSERT_TRUE(erase.white);
    ASSERT_EQ(erase.points.size(), 13u);
    const SketchStroke& lowerWall = g.strokes[1];
    for (int i = 25; i <= 35; ++i)
        EXPECT_EQ(erase.points[static_cast<size_t>(i - 24)], lowerWall.points[static_cast<size_t>(i + 1)]);
}

TEST(SketchGeometry, absorberChamberFollowsItsSideAndTakesTheErasedWallAlong)
{
    SketchInput in = straightDuct();
    in.akShown = true;
    in.xAK = 1.01;
    in.iAK = 50;
    in.aat = 0.0016; // tunnel half width 0.02 m
    in.lat = 0.1;
    in.vak = 0.001;  // chamber side 0.1 m

    for (bool top : { false, true }) {
        SCOPED_TRACE(top ? "Skizze oben" : "unten");
        in.akTop = top;
        SketchGeometry g = computeSketch(in, 1001, 401);
        const double axis = g.Y0 * g.S;
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
        const double far = top ? axis - lo->y : hi->y - axis;
        EXPECT_NEAR(far, 0.305 * g.S, 1.0);
        EXPECT_EQ(top ? hi->y : lo->y, wallRow);
    }
}

TEST(SketchGeometry, extraTunnelIsOpenAtItsEnd)
{
    SketchInput in = straightDuct();
    in.etShown = true;
    in.etTop = true;
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
    const double F = 0.2 / std::cos(theta);
    in.sd2 = F * F;
    in.xT2 = 0.5035;
    in.iT2 = 50;
    SketchGeometry g = computeSketch(in, 801, 801);

    const SketchStroke& membrane = g.strokes[strokeOfWidth(g, 5, -1)];
    ASSERT_EQ(membrane.points.size(), 2u);
    // Lower wall, drawn from station 40 to 60.
    const SketchStroke& lowerWall = g.strokes[1];
    const SketchPoint w40 = lowerWall.points[41];
    const SketchPoint w60 = lowerWall.points[61];
    EXPECT_EQ(membrane.points[0], w40);
    const double membraneAngle = drawnAngle(membrane.points[0], membrane.points[1]);
    // Pixel rounding of a span of about 150 px moves the angle by < 0.01 rad.
    EXPECT_NEAR(membraneAngle, theta, 0.01);
    EXPECT_NEAR(membraneAngle, drawnAngle(w40, w60), 0.01);

    // On the upper wall the tilt is mirrored.
    in.t2Top = true;
    SketchGeometry up = computeSketch(in, 801, 801);
    const SketchStroke& upMembrane = up.strokes[strokeOfWidth(up, 5, -1)];
    EXPECT_NEAR(drawnAngle(upMembrane.points[0], upMembrane.points[1]), -theta, 0.01);
}

TEST(SketchGeometry, driver2ArrowDirectionFollowsHornTypeAndUmdrehen)
{
    struct Case {
        bool rearLoaded;
        bool reversed;
        int dyBelow; // arrow's vertical step for driver 2 below the horn
    };
    // Below the horn (s = -1) an arrow up points into the horn.
    const Case cases[] = {
        { false, false, -8 },
        { false, true, 8 },
        { true, false, 8 },
        { true, true, -8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rear " << c.rearLoaded << " umdrehen " << c.reversed);
        SketchInput in = straightDuct();
        in.rearLoaded = c.rearLoaded;
        in.driver2 = true;
        in.reversed = c.reversed;
        in.sd2 = 0.01;
        in.xT2 = 1.01;
        in.iT2 = 50;
        for (bool top : { false, true }) {
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

TEST(SketchGeometry, driver1ArrowPointsIntoTheHornWhenFrontLoaded)
{
    SketchInput wall = conicalHorn();
    SketchGeometry front = computeSketch(wall, 400, 300);
    const SketchStroke& frontShaft = front.strokes[strokeOfWidth(front, 3, 0)];
    EXPECT_EQ(frontShaft.points[1].y - frontShaft.points[0].y, -8);
    EXPECT_EQ(frontShaft.points[1].x, frontShaft.points[0].x);
    wall.rearLoaded = true;
    SketchGeometry rear = computeSketch(wall, 400, 300);
    const SketchStroke& rearShaft = rear.strokes[strokeOfWidth(rear, 3, 0)];
    EXPECT_EQ(rearShaft.points[1].y - rearShaft.points[0].y, 8);

    SketchInput throat = straightDuct();
    SketchGeometry right = computeSketch(throat, 241, 101);
    const SketchStroke& rightShaft = right.strokes[strokeOfWidth(right, 3, 0)];
    EXPECT_EQ(rightShaft.points[1].x - rightShaft.points[0].x, 8);
    throat.rearLoaded = true;
    SketchGeometry left = computeSketch(throat, 241, 101);
    const SketchStroke& leftShaft = left.strokes[strokeOfWidth(left, 3, 0)];
    EXPECT_EQ(leftShaft.points[1].x - leftShaft.points[0].x, -8);
}

TEST(SketchGeometry, arrowHeadStrokesFollowTheHeadRule)
{
    // Upward shaft: φ = 1.571, heads at (c - 3, e + 7) and (c + 3, e + 7).
    SketchGeometry up = computeSketch(conicalHorn(), 400, 300);
    size_t shaft = strokeOfWidth(up, 3, 0);
    ASSERT_LT(shaft + 2, up.strokes.size());
    const SketchPoint tip = up.strokes[shaft].points[1];
    EXPECT_EQ(up.strokes[shaft + 1].points, (std::vector<SketchPoint> { tip, { tip.x - 3, tip.y + 7 } }));
    EXPECT_EQ(up.strokes[shaft + 2].points, (std::vector<SketchPoint> { tip, { tip.x + 3, tip.y + 7 } }));

    // Shaft to the right: φ = 0, heads at (c - 7, e + 3) and (c - 7, e - 3).
    SketchGeometry right = computeSketch(straightDuct(), 241, 101);
    shaft = strokeOfWidth(right, 3, 0);
    const SketchPoint tipR = right.strokes[shaft].points[1];
    EXPECT_EQ(right.strokes[shaft + 1].points, (std::vector<SketchPoint> { tipR, { tipR.x - 7, tipR.y + 3 } }));
    EXPECT_EQ(right.strokes[shaft + 2].points, (std::vector<SketchPoint> { tipR, { tipR.x - 7, tipR.y - 3 } }));
}

TEST(SketchGeometry, secondRearChamberSitsBehindDriver2)
{
    SketchInput in = straightDuct();
    in.driver2 = true;
    in.rk2 = true;
    in.sd2 = 0.01;
    in.vrk2 = 0.008; // face max(0.01, 0.04) m², side 0.2 m
    in.xT2 = 1.0;
    in.iT2 = 50;
    SketchGeometry g = computeSketch(in, 1001, 401);
    const SketchStroke& box = g.strokes.back();
    ASSERT_EQ(box.points.size(), 6u);
    // Stations 45..55 (half width 0.1 m); floor 0.105 + 0.2 m below the axis.
    EXPECT_NEAR(box.points[2].y - g.Y0 * g.S, 0.305 * g.S, 1.0);
    EXPECT_NEAR(box.points[3].x - box.points[2].x, 0.2 * g.S, 1.0);
    EXPECT_EQ(box.points[0].y, box.points[5].y);

    in.driver2 = false; // without driver 2 there is no chamber to draw
    SketchGeometry none = computeSketch(in, 1001, 401);
    EXPECT_LT(none.strokes.size(), g.strokes.size());
}

TEST(SketchGeometry, zeroChamberLengthsRaiseTheirNotes)
{
    const Message front { "Hinweis", "Vorkammerlänge ist 0!" };
    const Message rear { "Hinweis", "Rückkammerlänge ist 0!" };

    SketchInput in = straightDuct();
    EXPECT_TRUE(computeSketch(in, 241, 101).messages.empty());

    in.lvkText = 0.0; // the box now reads 0 while the run used 0.1 m
    EXPECT_EQ(computeSketch(in, 241, 101).messages, (std::vector<Message> { front }));

    in = straightDuct();
    in.lvk = 0.0;
    in.lvkText = 0.0; // no front chamber at all is no note
    EXPECT_TRUE(computeSketch(in, 241, 101).messages.empty());

    in = straightDuct();
    in.lrk = 0.0;
    SketchGeometry g = computeSketch(in, 241, 101);
    EXPECT_EQ(g.messages, (std::vector<Message> { rear }));
    EXPECT_FALSE(g.strokes.empty()); // drawn anyway
    in.rearLoaded = true;
    EXPECT_TRUE(computeSketch(in, 241, 101).messages.empty());

    in = straightDuct();
    in.lvkText = 0.0;
    in.lrk = 0.0;
    EXPECT_EQ(computeSketch(in, 241, 101).messages, (std::vector<Message> { front, rear }));
}

TEST(SketchGeometry, degenerateInputDrawsNothing)
{
    SketchInput in = straightDuct();
    EXPECT_TRUE(computeSketch(in, 0, 0).strokes.empty());
    EXPECT_TRUE(computeSketch(in, 1, 1).strokes.empty());
    in.l = 0.0;
    in.dx = 0.0;
    EXPECT_TRUE(computeSketch(in, 400, 300).strokes.empty());
    in = straightDuct();
    in.a.fill(std::nan(""));
    in.ah = std::nan("");
    in.xT1 = 1e300;
    in.iT1 = -5;
    in.driver2 = true;
    in.sd2 = 1e300;
    in.iT2 = 5000;
    SketchGeometry g = computeSketch(in, 400, 300);
    for (const SketchStroke& s : g.strokes)
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
    EXPECT_TRUE(in.rearLoaded);
    EXPECT_TRUE(in.akShown);
    EXPECT_FALSE(in.akTop);
    EXPECT_TRUE(in.driver2);
    EXPECT_TRUE(in.reversed);
    EXPECT_EQ(in.vak, 0.003);
    EXPECT_EQ(in.sd2, 0.05);
    EXPECT_DOUBLE_EQ(in.lvkText, 0.07);
}
