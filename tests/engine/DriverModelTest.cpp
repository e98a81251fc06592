// Driver groups: scaling by driver count and mirror factor, the derived
// Thiele-Small relations, the lossy voice-coil model and the window lines.

#include "DriverModel.h"
#include "Constants.h"
#include "RunPresentation.h"
#include "RunSetup.h"
#include "TestUtil.h"

#include <cmath>

namespace velumo {
namespace {

// Left column of the parameter window of a model.
std::vector<std::string> driverLines(const Model& m)
{
    return derivedLeftLines(derivedValues(RunInput(), m));
}

using test::expectNearRel;

DriverInput driver(double rdc, double z1k, double z10k)
{
    DriverInput d;
    d.rdc = rdc;
    d.z1k = z1k;
    d.z10k = z10k;
    return d;
}

Model modelFor(const RunInput& in, int n)
{
    Model m;
    m.n = n;
    m.ue = in.ue;
    setUpDrivers(in, m);
    return m;
}

// |Rdc + j·omega·L(f)| at f, the impedance magnitude the model is fitted to.
double impedanceMagnitude(const DriverGroup& g, double f)
{
    const ComplexParts L = voiceCoilInductance(g, f);
    const double omega = 2.0 * kPi * f;
    return std::hypot(g.rdc - omega * L.im, omega * L.re);
}

TEST(DriverModel, voiceCoilModelOfTheExampleDriver)
{
    DriverGroup g = storeDriverGroup(driver(6, 8, 20), 1);
    deriveDriverGroup(g);
    // a1k = sqrt(16 - 6.75) - 1.5, a10k = sqrt(100 - 6.75) - 1.5.
    EXPECT_NEAR(g.nL, 0.7236, 5e-5); // log10(a10k / a1k)
    expectNearRel(g.k * std::pow(1000.0, g.nL), std::sqrt(9.25) - 1.5, 1e-12);
    // The model passes through both measured impedance magnitudes.
    expectNearRel(impedanceMagnitude(g, 1000.0), 8.0, 1e-12);
    expectNearRel(impedanceMagnitude(g, 10000.0), 20.0, 1e-12);
    // The lossy inductance keeps a phase of 60 degrees at every frequency.
    const ComplexParts L = voiceCoilInductance(g, 345.0);
    expectNearRel(-L.re / L.im, std::sqrt(3.0), 1e-12);
}

TEST(DriverModel, impedanceNotAboveRdcGivesNoInductance)
{
    DriverGroup g = storeDriverGroup(driver(8, 8, 20), 1);
    deriveDriverGroup(g);
    EXPECT_EQ(g.k, 0.0);
    EXPECT_EQ(g.nL, 1.0);
    const ComplexParts L = voiceCoilInductance(g, 5000.0);
    EXPECT_TRUE(L.re == 0.0 && L.im == 0.0);
}

TEST(DriverModel, thieleSmallRelationsHold)
{
    DriverGroup g = storeDriverGroup(DriverInput { 1, 5.5, 35, 0.35, 5, 150, 100, 850, 8, 8, 2 }, 1);
    deriveDriverGroup(g);
    const double ws = 2.0 * kPi * 35.0;
    expectNearRel(g.cms, 0.150 / (141820.0 * 0.085 * 0.085), 1e-12);
    expectNearRel(ws * ws * g.mms * g.cms, 1.0, 1e-12);
    expectNearRel(ws * g.mms / g.rms, 5.0, 1e-12);
    expectNearRel(ws * g.mms * 5.5 / (g.bl * g.bl), 0.35, 1e-12);
    // At resonance the mechanical impedance is its resistance alone.
    const ComplexParts zm = mechanicalImpedance(g, ws);
    EXPECT_EQ(zm.re, g.rms);
    EXPECT_NEAR(zm.im, 0.0, 1e-9 * g.rms);
    const ComplexParts zm2 = mechanicalImpedance(g, 2.0 * ws);
    expectNearRel(zm2.im, 2.0 * ws * g.mms - 1.0 / (2.0 * ws * g.cms), 1e-12);
}

TEST(DriverModel, twoDriversOnTheFloorScaleTheGroupByFour)
{
    RunInput in;
    in.driver1.stk = 2;
    Model m = modelFor(in, 2);
    expectNearRel(m.d1.sd, 200e-4 * 4, 1e-15);
    expectNearRel(m.d1.vas, 0.060 * 4, 1e-15);
    expectNearRel(m.d1.rdc, 8.0 / 4, 1e-15);
    expectNearRel(m.d1.z1k, 8.0 / 4, 1e-15);
    expectNearRel(m.d1.xmax, 0.002, 1e-15);
    EXPECT_EQ(m.d1.pmax, 100.0);

    // The window shows one driver's values, and Pe of the two real drivers.
    RunInput single;
    Model one = modelFor(single, 1);
    std::vector<std::string> lines = driverLines(m);
    std::vector<std::string> oneLines = driverLines(one);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Cms = 1.058 mm/N");
    EXPECT_EQ(lines[1], "Mms = 9.58 g");
    EXPECT_EQ(lines[5], "Qts = 0.355");
    EXPECT_EQ(lines[4], "Pe = 2 W");
    EXPECT_EQ(oneLines[4], "Pe = 1 W"); // 2.83² / 8 = 1.001
    for (size_t i : { 0, 1, 2 })
        EXPECT_EQ(lines[i], oneLines[i]) << i;
}

TEST(DriverModel, driverTwoOhneIsADeadCopyOfDriverOne)
{
    RunInput in;
    in.driver1 = driver(6, 8, 20);
    in.driver2 = driver(4, 5, 9);
    in.driver2.sd = 500;
    in.driver2Mode = Driver2Mode::None;
    Model m = modelFor(in, 1);
    const std::pair<double, double> scaled[]
        = { { m.d2.rdc, 6e6 }, { m.d2.fs, 50e-6 }, { m.d2.z1k, 8e6 }, { m.d2.z10k, 20e6 } };
    for (const auto& [value, expected] : scaled)
        expectNearRel(value, expected, 1e-15);
    EXPECT_EQ(m.d2.sd, m.d1.sd);
    // fs a million times lower: a moving mass 1e12 times larger.
    expectNearRel(m.d2.mms, m.d1.mms * 1e12, 1e-9);
    expectNearRel(m.r2, std::sqrt(m.d1.sd / kPi), 1e-15);
    EXPECT_EQ(driverLines(m).size(), 6u);

    in.driver2Mode = static_cast<Driver2Mode>(-1); // no selection counts as None
    Model none = modelFor(in, 1);
    EXPECT_EQ(none.driver2Mode, Driver2Mode::None);
    EXPECT_EQ(none.d2.rdc, m.d2.rdc);
}

TEST(DriverModel, driverTwoLikeDriverOneIgnoresItsOwnBoxes)
{
    RunInput in;
    in.driver1 = driver(6, 8, 20);
    in.driver2 = driver(4, 5, 9);
    in.driver2.stk = 3;
    in.driver2Mode = Driver2Mode::LikeDriver1;
    Model m = modelFor(in, 2);
    EXPECT_TRUE(m.d2.stk == m.d1.stk && m.d2.rdc == m.d1.rdc && m.d2.fs == m.d1.fs && m.d2.bl == m.d1.bl
        && m.d2.k == m.d1.k);
    EXPECT_EQ(driverLines(m).size(), 6u);
}

TEST(DriverModel, driverTwoOwnValuesWithItsOwnCountAndLines)
{
    RunInput in;
    in.driver2 = DriverInput { 2, 6, 45, 0.45, 4, 50, 100, 220, 8, 8, 2 };
    in.driver2Mode = Driver2Mode::OwnValues;
    Model m = modelFor(in, 1);
    expectNearRel(m.d2.sd, 220e-4 * 2, 1e-15);
    expectNearRel(m.d2.rdc, 3.0, 1e-15);
    expectNearRel(m.r2, std::sqrt(0.044 / kPi), 1e-15);
    const std::vector<std::string> lines = driverLines(m);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "Cms2 = 0.728 mm/N");
    EXPECT_EQ(lines[8], "Mms2 = 17.172 g");
    EXPECT_EQ(lines[9].rfind("Rms2 = ", 0), 0u);
    EXPECT_EQ(lines[10].rfind("BxL2 = ", 0), 0u);
    EXPECT_EQ(lines[11], "Pe2 = 2.67 W"); // two drivers of 6 Ohm at 2.83 V
    EXPECT_EQ(lines[12], "Qts2 = 0.404");
}

} // namespace
} // namespace velumo
