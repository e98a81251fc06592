#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>

#include "Constants.h"
#include "LoopNetwork.h"
#include "Model.h"
#include "NumberText.h"
#include "Results.h"
#include "TestUtil.h"

using velumo::Cx;
using velumo::formatPattern;
using velumo::pointResults;
using velumo::test::expectNearRel;

namespace {

constexpr double kF = 100.0;
const double kOmega = 2 * velumo::kPi * kF;

struct Case {
    velumo::Model model;
    std::unique_ptr<velumo::LoopNetwork> net = std::make_unique<velumo::LoopNetwork>();

    Case()
    {
        model.n = 1;
        model.ue = 2.83;
        model.d1.stk = 1;
        model.d1.rdc = 4.0;
        model.d1.sd = 0.05;
        model.d1.xmax = 0.004;
        model.d1.pmax = 1000.0;
        model.d2 = model.d1;
        model.encl.vvk = 0.002;
        net->x[velumo::kLoopMembrane1] = Cx { 0, 1e-3 };
        net->x[velumo::kLoopFrontChamberFirst] = Cx { 2e-4, 5e-4 };
        net->x[0] = Cx { 0.1, 0.05 };
    }

    // Membrane 1 volume velocity for a real excursion xi (m).
    void setExcursion1(double xi)
    {
        net->x[velumo::kLoopMembrane1] = (velumo::j * kOmega) * model.d1.sd * xi;
    }

    velumo::PointResults run(Cx P = Cx { 1.0 }) const { return pointResults(model, *net, P, kF, kOmega); }
};

} // namespace

TEST(Results, levelOfOnePascalIsExactly94dBAndPhaseTheNegatedArgument)
{
    Case c;
    EXPECT_EQ(c.run(Cx { 1.0 }).spl, 94.0);
    EXPECT_EQ(c.run(Cx { 0.0, -1.0 }).spl, 94.0);
    EXPECT_EQ(formatPattern(c.run(Cx { 2.0 }).spl, "0.00"), "100.02");
    const std::pair<Cx, const char*> phases[] = { { Cx { 0.0, 1.0 }, "-90.000" },
        { Cx { -1.0, 0.0 }, "-180.000" }, { Cx { 1.0, -1.0 }, "45.000" } };
    for (const auto& [P, text] : phases)
        EXPECT_EQ(formatPattern(c.run(P).phase, "0.000"), text);
    EXPECT_EQ(c.run(Cx { 0.0, 0.0 }).phase, 0.0);
    // Zero pressure is no finite result.
    EXPECT_FALSE(c.run(Cx { 0.0 }).allFinite());
    EXPECT_TRUE(c.run(Cx { 1.0 }).allFinite());
}

TEST(Results, impedanceIsNTimesVoltageOverTotalCurrentOfBothLadders)
{
    Case c;
    c.model.n = 2;
    c.net->x[0] = Cx { 0.1, 0.0 };
    c.net->x[3] = Cx { 0.0, 0.2 };
    c.net->x[4] = Cx { 0.05, 0.0 };
    c.net->x[157] = Cx { 0.05, 0.0 };
    c.net->x[159] = Cx { 0.0, 0.2 };
    // |0.2 + 0.4j| = sqrt(0.2)
    expectNearRel(c.run().zel, 2 * 2.83 / std::sqrt(0.2), 1e-14);
}

TEST(Results, excursionIsVolumeVelocityOverJwSd)
{
    Case c;
    c.setExcursion1(1.5e-3);
    c.net->x[velumo::kLoopDriver2Membrane] = (velumo::j * kOmega) * c.model.d2.sd * Cx { 0.0, 2e-3 };
    const auto r = c.run();
    expectNearRel(r.x1, 1.5, 1e-14);
    expectNearRel(r.x2, 2.0, 1e-14);
}

TEST(Results, pmaxIsExcursionLimitWhenBelowRatedPower)
{
    Case c;
    c.setExcursion1(2e-3); // Xmax / xi = 2
    const auto r = c.run(Cx { 1.0 });
    const double p = 4.0 * (2.83 * 2.83 / 4.0 / 1 * 0.5);
    expectNearRel(r.pmax1, p, 1e-14);
    expectNearRel(r.splMax, 10 * std::log10(p * 4.0 / (2.83 * 2.83)) + 94.0, 1e-14);
}

TEST(Results, pmaxIsLimitedByRatedPowerOfAllDrivers)
{
    // Two drivers of 100 W; the excursion would allow 350 W.
    Case c;
    c.model.d1.stk = 2;
    c.model.d1.pmax = 100.0;
    const double unlimited = 350.0;
    const double perVolt = 2.83 * 2.83 / 4.0 * 0.5;
    c.setExcursion1(0.004 / std::sqrt(unlimited / perVolt));
    const auto r = c.run(Cx { 2.0 });
    EXPECT_EQ(r.pmax1, 200.0);
    expectNearRel(r.splMax, 10 * std::log10(200.0 * 4.0 / (2.83 * 2.83)) + r.spl, 1e-14);
}

TEST(Results, lowerDriverLimitSetsSplMaxWithTwoDrivers)
{
    Case c;
    c.model.driver2Mode = velumo::Driver2Mode::OwnValues;
    c.setExcursion1(1e-3);
    c.model.d2.xmax = 0.001;
    c.net->x[velumo::kLoopDriver2Membrane] = (velumo::j * kOmega) * c.model.d2.sd * 2e-3;
    const auto r = c.run();
    const double perVolt = 2.83 * 2.83 / 4.0 * 0.5;
    expectNearRel(r.pmax2, 0.25 * perVolt, 1e-14);
    expectNearRel(r.splMax, 10 * std::log10(r.pmax2 * 4.0 / (2.83 * 2.83)) + 94.0, 1e-14);
    EXPECT_LT(r.pmax2, r.pmax1);
}

TEST(Results, normalisedLoadIsFirstSlicePressureOverMembraneFlow)
{
    Case c;
    const auto r = c.run();
    const std::complex<double> x5(0, 1e-3), x6(2e-4, 5e-4);
    const std::complex<double> zvk = 50 * velumo::kKappaP0 / (std::complex<double>(0, kOmega) * 0.002);
    const std::complex<double> z = zvk * (x5 - x6) * 0.05 / (velumo::kRho * velumo::kC * x5);
    expectNearRel(r.zReal, z.real(), 1e-13);
    expectNearRel(r.zImag, z.imag(), 1e-13);
}
