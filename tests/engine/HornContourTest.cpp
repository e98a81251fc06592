// Flare laws: areas at throat and mouth, volumes against quadrature of the
// law's own area function, the tractrix, contour list rows and attachment
// segments.

#include "HornContour.h"
#include "Constants.h"
#include "MessageRecorder.h"
#include "NumberText.h"
#include "RunLists.h"
#include "RunPresentation.h"
#include "SpecialFunctions.h"
#include "TestUtil.h"

#include <cmath>
#include <functional>

namespace velumo {
namespace {

using test::expectNearRel;

using RecordingSink = test::MessageRecorder;

RunInput hornInput(int law, double ahCm2, double hCm, double bCm, double l1)
{
    RunInput in;
    in.flareLaw = static_cast<FlareLaw>(law);
    in.ah = ahCm2;
    in.h = hCm;
    in.b = bCm;
    in.l1 = l1;
    return in;
}

struct HornRun {
    Model m;
    std::vector<RunMessage> messages;
    RecordingSink sink; // the messages in words
};

void setUp(HornRun& s, const RunInput& in, int n = 1)
{
    s.m.n = n;
    setUpHorn(in, s.m, s.messages);
    for (const RunMessage& m : s.messages)
        s.sink.message(runMessage(m));
}

std::vector<std::string> contourRows(const RunInput& in, const Model& m)
{
    std::vector<std::string> rows;
    for (const ContourPoint& p : contourPoints(in, m))
        rows.push_back(contourRow(p));
    return rows;
}

// Simpson's rule with 2000 intervals.
double integrate(const std::function<double(double)>& f, double l1)
{
    const int n = 2000;
    const double h = l1 / n;
    double s = f(0.0) + f(l1);
    for (int i = 1; i < n; ++i)
        s += (i % 2 ? 4.0 : 2.0) * f(i * h);
    return s * h / 3.0;
}

// 5 cm to 30 cm radius over l1 (reachable at 1.2 m).
RunInput tractrixInput(double l1)
{
    const double am = kPi * 0.3 * 0.3 * 1e4;
    return hornInput(6, kPi * 0.05 * 0.05 * 1e4, am / 100, 100, l1);
}

TEST(HornContour, equalAreasGiveAStraightDuctWhateverTheLaw)
{
    const std::pair<int, double> cases[] = { { 0, 1.5 }, { 2, 0.8 }, { 5, 0.8 } };
    for (const auto& [law, l1] : cases) {
        SCOPED_TRACE(law);
        HornRun s;
        setUp(s, hornInput(law, 200, 20, 10, l1));
        for (int i = 0; i < kHornNodes; ++i)
            EXPECT_DOUBLE_EQ(s.m.horn.a[i], 0.02) << i;
        EXPECT_DOUBLE_EQ(s.m.horn.vHorn, 0.02 * l1);
        EXPECT_DOUBLE_EQ(s.m.horn.x[100], l1);
        EXPECT_DOUBLE_EQ(s.m.horn.dx, l1 / 100);
        expectNearRel(s.m.horn.rMouth, std::sqrt(0.02 / kPi), 1e-15);
    }
    HornRun none; // no selection is parabolic
    setUp(none, hornInput(-1, 100, 20, 10, 1.0));
    EXPECT_EQ(none.m.horn.law, FlareLaw::Parabolic);
    EXPECT_DOUBLE_EQ(none.m.horn.a[50], 0.015);
}

struct LawCase {
    int law;
    std::function<double(double t)> area; // m², t = x / l1, Ah 0.01, Am 0.12
    double volumeTolerance;
};

TEST(HornContour, everyLawRunsFromThroatToMouthWithItsVolume)
{
    const double ah = 0.01, am = 0.12, l1 = 2.0;
    const double sh = std::sqrt(ah), sm = std::sqrt(am);
    const double tHyp = std::acosh(std::sqrt(am / ah));
    const double tOct = std::acosh(std::pow(am / ah, 1.0 / 16.0));
    const LawCase cases[] = {
        { 0, [&](double t) { return ah + (am - ah) * t; }, 1e-12 },
        { 1, [&](double t) { return std::pow(sh + (sm - sh) * t, 2); }, 1e-10 },
        { 2, [&](double t) { return ah * std::pow(am / ah, t); }, 1e-10 },
        // Laws 3 and 4 integrate in single precision.
        { 3, [&](double t) { return ah * std::pow(std::cosh(tHyp * t), 2); }, 1e-6 },
        { 4, [&](double t) { return ah * std::pow(std::cosh(tOct * t), 16); }, 1e-5 },
        { 5, [&](double t) { return ah / (1.0 - (1.0 - ah / am) * t); }, 1e-10 },
    };
    for (const LawCase& c : cases) {
        SCOPED_TRACE(c.law);
        HornRun s;
        setUp(s, hornInput(c.law, 100, 40, 30, l1));
        const HornModel& h = s.m.horn;
        expectNearRel(h.a[0], ah, 1e-12);
        expectNearRel(h.a[100], am, 1e-12);
        expectNearRel(h.a[37], c.area(0.37), 1e-12);
        expectNearRel(h.vHorn, integrate([&](double x) { return c.area(x / l1); }, l1), c.volumeTolerance);
        expectNearRel(h.aOne[100], 1200.0, 1e-12);
    }
}

TEST(HornContour, tractrixReachesMouthAtFullLength)
{
    HornRun s;
    setUp(s, tractrixInput(1.2));
    const HornModel& h = s.m.horn;
    expectNearRel(h.a[0], kPi * 0.05 * 0.05, 1e-9);
    expectNearRel(h.a[100], kPi * 0.3 * 0.3, 1e-9);
    expectNearRel(h.aTr, tractrixConstant(1.2, 0.05, 0.3), 1e-15);
    EXPECT_GE(h.aTr, 0.3);
    EXPECT_TRUE(s.sink.messages.empty());
    EXPECT_EQ(formatPattern(h.aTr, "0.###"), "0.688");
    // Trapezoids on 100 segments of a convex area curve: slightly above the
    // integral, by about l1²·A''/1200 relative.
    const double exact
        = integrate([](double x) { return kPi * std::pow(tractrixRadius(1.2, 0.05, 0.3, x), 2); }, 1.2);
    expectNearRel(h.vHorn, exact, 1e-3);
    EXPECT_GT(h.vHorn, exact);
}

TEST(HornContour, tractrixThatCannotReachTheMouthRewritesTheHeight)
{
    HornRun s;
    // 0.2 m is shorter than the shortest tractrix from 5 cm to 30 cm (0.448 m).
    setUp(s, tractrixInput(0.2), 2);
    const HornModel& h = s.m.horn;
    EXPECT_LT(h.aTr, 0.3);
    EXPECT_EQ(s.sink.messages,
        (std::vector<Message> { { "", "Mundfläche kann durch Traktrixfunktion\nnicht erreicht werden." } }));
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0].value, h.aOne[100] / 100.0); // the new mouth height
    EXPECT_LT(h.aOne[100], kPi * 0.3 * 0.3 * 1e4);
    // The run keeps the entered mouth: Am and the mouth radius are unchanged.
    expectNearRel(h.am, kPi * 0.3 * 0.3 * 2, 1e-12);
    expectNearRel(h.rMouth, std::sqrt(0.3 * 0.3 * 2), 1e-12);
}

TEST(HornContour, zeroLengthBecomesAVanishingHorn)
{
    HornRun s;
    setUp(s, hornInput(1, 100, 40, 30, 0.0));
    expectNearRel(s.m.horn.l1, std::sqrt(0.12) * 1e-6, 1e-15);
    EXPECT_GT(s.m.horn.vHorn, 0.0);
}

TEST(HornContour, mirrorFactorScalesTheModelButContourRowsShowOneRealHorn)
{
    RunInput in = hornInput(2, 100, 40, 30, 2.0);
    in.contourPoints = 5;
    HornRun s;
    setUp(s, in, 2); // "Boden": the model holds twice the areas
    expectNearRel(s.m.horn.ah, 0.02, 1e-15);
    expectNearRel(s.m.horn.am, 0.24, 1e-15);
    expectNearRel(s.m.horn.aOne[0], 100.0, 1e-12);
    expectNearRel(s.m.horn.aOne[100], 1200.0, 1e-12);
    expectNearRel(s.m.horn.rMouth, std::sqrt(0.24 / kPi), 1e-15);
    // Exponential: 100 · 12^(1/4) = 186.12 cm² at a quarter of the length.
    const std::vector<std::string> rows = contourRows(in, s.m);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], "0.500\t186.12\t6.2\t7.7\r\n");
    EXPECT_EQ(rows[4], "2.000\t1200.00\t40.0\t19.5\r\n");

    in = hornInput(0, 100, 20, 10, 1.0);
    in.contourPoints = 11;
    HornRun parabolic;
    setUp(parabolic, in, 2);
    const std::vector<std::string> eleven = contourRows(in, parabolic.m);
    ASSERT_EQ(eleven.size(), 11u);
    EXPECT_EQ(eleven[0], "0.000\t100.00\t10.0\t5.6\r\n");
    // 150 cm² at mid-length; r = sqrt(0.015/pi) = 6.91 cm.
    EXPECT_EQ(eleven[5], "0.500\t150.00\t15.0\t6.9\r\n");
    EXPECT_EQ(eleven[10], "1.000\t200.00\t20.0\t8.0\r\n");
    expectNearRel(parabolic.m.horn.a[50], 0.03, 1e-12);
}

TEST(HornContour, tractrixRowsUseTheRadiusAtEachPosition)
{
    RunInput in = tractrixInput(1.2);
    in.contourPoints = 4;
    HornRun s;
    setUp(s, in, 4);
    const std::vector<std::string> rows = contourRows(in, s.m);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "0.000\t78.54\t0.8\t5.0\r\n");
    const double y = tractrixRadius(1.2, 0.05, 0.3, 0.4);
    EXPECT_EQ(rows[1],
        "0.400\t" + formatPattern(kPi * y * y * 1e4, "0.00") + "\t" + formatPattern(kPi * y * y * 1e2, "0.0")
            + "\t" + formatPattern(y * 100, "0.0") + "\r\n");
    EXPECT_EQ(rows[3], "1.200\t2827.43\t28.3\t30.0\r\n");
}

TEST(HornContour, attachmentSegmentsAndTheirBounds)
{
    const struct {
        double x, l1;
        bool throatAllowed;
        int node;
    } cases[]
        = { { 0.0, 2.0, true, 0 }, { 0.0, 2.0, false, 1 }, { 0.999, 2.0, true, 49 }, { 2.0, 2.0, true, 99 },
              { 2.0, 2.0, false, 99 }, { 1e300, 1e-300, false, 99 }, { -0.5, 2.0, false, 1 } };
    for (const auto& c : cases)
        EXPECT_EQ(attachmentNode(c.x, c.l1, c.throatAllowed), c.node)
            << c.x << " " << c.l1 << " " << c.throatAllowed;

    RunInput in = hornInput(0, 100, 20, 10, 2.0);
    in.xT1 = in.xT2 = 0.0;
    in.xAK = 1.5;
    in.xET = 3.0;
    HornRun s;
    setUp(s, in);
    EXPECT_EQ(s.m.horn.n1, 0);
    EXPECT_EQ(s.m.horn.n2, 1);
    EXPECT_EQ(s.m.horn.nAK, 75);
    EXPECT_EQ(s.m.horn.nET, 99);
}

} // namespace
} // namespace velumo
