#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Constants.h"
#include "LoopNetwork.h"
#include "Model.h"
#include "Radiation.h"
#include "TestUtil.h"

using velumo::Cx;
using velumo::kC;
using velumo::kPi;
using velumo::kRho;
using velumo::pistonPressure;
using velumo::spaceFactor;
using velumo::test::expectNearRel;

TEST(Radiation, spaceFactorRisesFromHalfToPointEightOnlyForFreeAndFloor)
{
    for (int posi : { -1, 2, 3, 4 })
        EXPECT_EQ(spaceFactor(static_cast<velumo::RoomPosition>(posi), 6283.0, 0.3), 1.0) << posi;
    const double a = 0.2;
    const double omegaAtOne = kC / a; // omega·a/c = 1
    expectNearRel(spaceFactor(velumo::RoomPosition::Free, omegaAtOne, a), 0.65, 1e-12);
    expectNearRel(spaceFactor(velumo::RoomPosition::Floor, omegaAtOne, a), 0.65, 1e-12);
    expectNearRel(spaceFactor(velumo::RoomPosition::Free, omegaAtOne * 1e-3, a), 0.5, 1e-12);
    expectNearRel(spaceFactor(velumo::RoomPosition::Free, omegaAtOne * 1e3, a), 0.8, 1e-12);
}

TEST(Radiation, farFieldFallsWithDistanceLikeAPointSource)
{
    const double f = 100.0, omega = 2 * kPi * f, k = omega / kC;
    const Cx U { 1e-3, 0.0 };
    const double D = 1.0;
    for (double r : { 50.0, 100.0 }) {
        const Cx P = pistonPressure(D, U, 0.01, r, k);
        expectNearRel(velumo::abs(P), kRho * omega * D * 1e-3 / (2 * kPi * r), 1e-4);
    }
}

TEST(Radiation, pressureLagsRealVolumeVelocityByQuarterPeriod)
{
    // −j·2ρcD·s·U/S: a real U gives a negative imaginary pressure.
    const Cx P = pistonPressure(0.8, Cx { 2e-3, 0.0 }, 0.02, 1.0, 1.0);
    EXPECT_EQ(P.re, 0.0);
    EXPECT_LT(P.im, 0.0);
    const double a2 = 0.02 / kPi;
    const double s = std::sin((std::sqrt(a2 + 1.0) - 1.0) * 0.5);
    expectNearRel(P.im, -2 * kRho * kC * 0.8 * s * 2e-3 / 0.02, 1e-14);
}

TEST(Radiation, interferenceNullOnTheAxis)
{
    // k/2·(sqrt(a² + r²) − r) = pi at r = (a² − 4pi²/k²)·k/(4pi).
    const double S = 0.5, a2 = S / kPi, k = 40.0;
    const double r = (a2 - 4 * kPi * kPi / (k * k)) * k / (4 * kPi);
    ASSERT_GT(r, 0.0);
    const Cx U { 1e-3, 0.0 };
    const double peak = 2 * kRho * kC * 1e-3 / S;
    // The null sits where the argument is the rounded pi 3.1415927, whose
    // sine is about 4.6e-8.
    EXPECT_LT(velumo::abs(pistonPressure(1.0, U, S, r, k)), peak * 1e-7);
    // Past the null the contribution flips its sign, not its phase.
    const Cx before = pistonPressure(1.0, U, S, r * 1.1, k);
    const Cx after = pistonPressure(1.0, U, S, r * 0.9, k);
    EXPECT_LT(before.im * after.im, 0.0);
    EXPECT_EQ(before.re, 0.0);
    EXPECT_EQ(after.re, 0.0);
}

namespace {

struct SummationCase {
    velumo::Model model;
    std::unique_ptr<velumo::LoopNetwork> net = std::make_unique<velumo::LoopNetwork>();
};

SummationCase summationCase(bool rearLoaded, bool rk2, bool et)
{
    SummationCase c;
    velumo::Model& m = c.model;
    m.position = velumo::RoomPosition::HalfSpace;
    m.horn.rMouth = 0.3;
    m.horn.a[99] = 0.25;
    m.horn.a[100] = 0.28; // the sum must use node 99
    m.encl.rearLoaded = rearLoaded;
    m.encl.abr = 0.01;
    m.encl.rBR = 0.056;
    m.encl.aet = 0.004;
    m.encl.rET = 0.036;
    m.encl.etChecked = et;
    m.encl.rk2Checked = rk2;
    m.d2.sd = 0.02;
    m.r2 = 0.08;
    m.encl.abst = 1.5;
    m.encl.dL = 0.4;
    m.encl.dL2 = 0.25;
    m.encl.dLET = 0.7;
    c.net->x[velumo::kLoopMouth] = Cx { 1e-3, 2e-4 };
    c.net->x[velumo::kLoopPortEnd] = Cx { -3e-4, 1e-4 };
    c.net->x[velumo::kLoopDriver2Membrane] = Cx { 5e-5, -2e-5 };
    c.net->x[velumo::kLoopExtraTunnel] = Cx { 2e-4, 7e-5 };
    return c;
}

} // namespace

TEST(Radiation, sumUsesMouthOrDriverFrontAsReference)
{
    // Frontloaded: the mouth at the listening distance, port, driver 2 and
    // tunnel at theirs; rearloaded: the port (the driver's front) is the
    // reference. Unchecked driver-2 chamber and tunnel contribute nothing.
    const auto P = [](Cx U, double S, double r, double k) { return pistonPressure(1, U, S, r, k); };
    double k = 2.0;
    auto c = summationCase(false, false, true);
    const auto& x = c.net->x;
    EXPECT_EQ(velumo::microphonePressure(c.model, *c.net, k * kC, k),
        P(x[155], 0.25, 1.5, k) - P(x[260], 0.01, 1.9, k) - P(x[160], 0.02, 1.75, k)
            + P(x[261], 0.004, 2.2, k));
    auto closed = summationCase(false, true, false);
    EXPECT_EQ(velumo::microphonePressure(closed.model, *closed.net, k * kC, k),
        P(x[155], 0.25, 1.5, k) - P(x[260], 0.01, 1.9, k));
    k = 3.0;
    auto rear = summationCase(true, false, true);
    EXPECT_EQ(velumo::microphonePressure(rear.model, *rear.net, k * kC, k),
        P(x[260], 0.01, 1.5, k) - P(x[155], 0.25, 1.9, k) + P(x[160], 0.02, 1.75, k)
            - P(x[261], 0.004, 2.2, k));
}
