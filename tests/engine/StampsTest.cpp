#include <gtest/gtest.h>

#include <complex>
#include <memory>

#include "Constants.h"
#include "EngineDesigns.h"
#include "LoopNetwork.h"
#include "RunSetup.h"
#include "Stamps.h"
#include "TestUtil.h"

using velumo::Cx;
using velumo::LoopNetwork;
using velumo::Model;
using velumo::PointValues;
using velumo::RunInput;
using velumo::test::expectNearRel;

namespace {

struct Stamped {
    Model model;
    PointValues pv;
    std::unique_ptr<LoopNetwork> net = std::make_unique<LoopNetwork>();
};

Stamped stamp(const RunInput& in, double f = 80.0)
{
    Stamped s;
    s.model = velumo::prepareRun(in);
    s.pv = velumo::pointValues(s.model, in.crossover, f);
    velumo::stampNetwork(*s.net, s.model, s.pv);
    return s;
}

Cx zc(const Stamped& s, int node) { return velumo::hornNodeCompliance(s.model, s.pv, node); }

// Row k holds nothing but M[k][k] = 1.
void expectInactiveRow(const LoopNetwork& net, int k)
{
    for (int c = 0; c < velumo::kLoops; ++c)
        EXPECT_EQ(net.M[k][c], c == k ? Cx { 1.0 } : Cx {}) << "row " << k << " column " << c;
    EXPECT_EQ(net.b[k], Cx {});
}

bool isAcoustic(int loop) { return (loop >= 5 && loop <= 156) || loop >= 160; }

} // namespace

TEST(Stamps, acousticPartIsSymmetricForEveryCoupling)
{
    // A passive acoustic network written in loop form is reciprocal; every
    // shared compliance and side coupling must appear on both sides with the
    // same bits.
    RunInput in = velumo::test::everythingOnDesign();
    in.xAK = in.xET = in.xT2 = 1.0; // three side loops at one node
    const Stamped s = stamp(in);
    const auto& M = s.net->M;
    int couplings = 0;
    for (int r = 0; r < velumo::kLoops; ++r) {
        for (int c = r + 1; c < velumo::kLoops; ++c) {
            if (!isAcoustic(r) || !isAcoustic(c))
                continue;
            EXPECT_EQ(M[r][c], M[c][r]) << r << "," << c;
            couplings += M[r][c] != Cx {};
        }
    }
    EXPECT_GT(couplings, 250);
}

TEST(Stamps, electroAcousticCouplingsAreAntisymmetric)
{
    // Voice coil 4 and membrane 5 of driver 1, 159 and 160 of driver 2.
    const Stamped s = stamp(velumo::test::everythingOnDesign());
    const auto& M = s.net->M;
    for (const auto& [coil, d] : { std::pair { 4, &s.model.d1 }, std::pair { 159, &s.model.d2 } }) {
        EXPECT_EQ(M[coil][coil + 1], Cx { d->bl / d->sd }) << coil;
        EXPECT_EQ(M[coil + 1][coil], Cx { -d->bl / d->sd }) << coil;
    }
}

TEST(Stamps, membraneLoopMatchesIndependentFormula)
{
    const Stamped s = stamp(velumo::test::baseDesign(), 55.0);
    const double w = 2 * velumo::kPi * 55.0;
    const std::complex<double> jw(0, w);
    const auto& d = s.model.d1;
    const auto& e = s.model.encl;
    const std::complex<double> zvk = 50 * velumo::kKappaP0 / (jw * e.vvk);
    const std::complex<double> zrk = 50 * velumo::kKappaP0 / (jw * e.vrk);
    const std::complex<double> zm = d.rms + jw * d.mms + 1.0 / (jw * d.cms);
    const std::complex<double> want = zvk + zrk + zm / (d.sd * d.sd);
    const Cx got = s.net->M[5][5];
    expectNearRel(got.re, want.real(), 1e-12);
    expectNearRel(got.im, want.imag(), 1e-12);
}

TEST(Stamps, switchedOffElementsKeepOnlyTheirDiagonalAndSolveToExactZero)
{
    RunInput in = velumo::test::baseDesign();
    in.mouthClosed = true;
    in.ak = false;
    in.et = false;
    in.driver2Mode = velumo::Driver2Mode::None;
    Stamped s = stamp(in);
    for (int k : { 155, 156, 160, 261 })
        expectInactiveRow(*s.net, k);
    ASSERT_TRUE(velumo::solve(*s.net));
    for (int k : { 155, 156, 160, 261 })
        EXPECT_TRUE(s.net->x[k].re == 0.0 && s.net->x[k].im == 0.0) << k;
    EXPECT_NE(s.net->x[5], Cx {});
}

TEST(Stamps, absorberAndTunnelAreStampedWheneverChecked)
{
    // Frequency and area 0 switch the elements to their substitutes, not off.
    RunInput in = velumo::test::baseDesign();
    in.ak = true;
    in.fak = 0;
    in.et = true;
    in.aet = 0;
    const Stamped s = stamp(in);
    EXPECT_NE(s.net->M[156][156], Cx { 1.0 });
    EXPECT_NE(s.net->M[156][s.model.horn.nAK + 55], Cx {});
    EXPECT_NE(s.net->M[261][261], Cx { 1.0 });
    EXPECT_NE(s.net->M[261][s.model.horn.nET + 56], Cx {});
}

TEST(Stamps, reversedDriver2ChangesOnlyTheTwoCouplingSigns)
{
    RunInput in = velumo::test::everythingOnDesign();
    const Stamped normal = stamp(in);
    in.driver2Reversed = true;
    const Stamped reversed = stamp(in);
    int differences = 0;
    for (int r = 0; r < velumo::kLoops; ++r) {
        for (int c = 0; c < velumo::kLoops; ++c) {
            if (normal.net->M[r][c] == reversed.net->M[r][c])
                continue;
            ++differences;
            EXPECT_TRUE((r == 159 && c == 160) || (r == 160 && c == 159)) << r << "," << c;
            EXPECT_EQ(reversed.net->M[r][c], -normal.net->M[r][c]);
        }
    }
    EXPECT_EQ(differences, 2);
}

TEST(Stamps, sideLoopsAtOneNodeCoupleWithOrientationSigns)
{
    RunInput in = velumo::test::everythingOnDesign();
    in.xAK = in.xET = in.xT2 = in.xT1 = 1.0;
    const Stamped s = stamp(in);
    const int node = s.model.horn.nAK;
    ASSERT_EQ(node, s.model.horn.n1);
    ASSERT_EQ(node, s.model.horn.nET);
    ASSERT_EQ(node, s.model.horn.n2);
    const Cx z = zc(s, node);
    // Absorber (156) and tunnel (261) both leave the node (+1), driver 1 (55)
    // and 2 (160) enter it (−1). Horn rows: a leaving flow is +Zc in the
    // segment before the node.
    const struct {
        int row, col, sign;
    } entries[] = { { 156, 261, 1 }, { 261, 156, 1 }, { 55, 160, 1 }, { 55, 156, -1 }, { 55, 261, -1 },
        { 160, 156, -1 }, { 160, 261, -1 }, { 156, 55, -1 }, { node + 55, 156, -1 }, { node + 56, 156, 1 },
        { node + 55, 160, 1 }, { node + 56, 160, -1 } };
    for (const auto& e : entries)
        EXPECT_EQ(s.net->M[e.row][e.col], e.sign > 0 ? z : -z) << e.row << "," << e.col;
}

TEST(Stamps, driver1JoinsTheSegmentsAroundItsNode)
{
    // At the throat the front chamber leads into node 0.
    const Stamped throat = stamp(velumo::test::baseDesign());
    ASSERT_EQ(throat.model.horn.n1, 0);
    const Cx z0 = zc(throat, 0);
    const Cx zseg0 = throat.pv.R[0] + throat.model.horn.dx * throat.pv.jwr / throat.model.horn.a[0];
    EXPECT_EQ(throat.net->M[55][56], -z0);
    EXPECT_EQ(throat.net->M[56][55], -z0);
    EXPECT_EQ(throat.net->M[56][56], zc(throat, 1) + z0 + zseg0);

    RunInput in = velumo::test::baseDesign();
    in.xT1 = in.l1 * 0.015; // node 1
    const Stamped s = stamp(in);
    ASSERT_EQ(s.model.horn.n1, 1);
    const auto& M = s.net->M;
    const Cx z1 = zc(s, 1);
    EXPECT_EQ(M[55][56], z1);
    EXPECT_EQ(M[56][55], z1);
    EXPECT_EQ(M[55][57], -z1);
    EXPECT_EQ(M[57][55], -z1);
    // Segment 0 runs from the closed throat: no entry towards loop 55 but the
    // side coupling, and the throat compliance only in loop 56.
    EXPECT_EQ(M[56][56], z1 + (zc(s, 0) + (s.pv.R[0] + s.model.horn.dx * s.pv.jwr / s.model.horn.a[0])));
    EXPECT_EQ(M[55][54], M[54][55]);
}

TEST(Stamps, closedMouthRowIgnoresSideElementAtNode99)
{
    RunInput in = velumo::test::baseDesign();
    in.mouthClosed = true;
    in.et = true;
    in.xET = in.l1; // clamped to node 99
    const Stamped s = stamp(in);
    ASSERT_EQ(s.model.horn.nET, 99);
    expectInactiveRow(*s.net, 155);
    EXPECT_EQ(s.net->M[154][261], -zc(s, 99));
}

TEST(Stamps, radiationImpedanceTendsToPistonLimits)
{
    const double S = 0.05;
    const double r = std::sqrt(S / velumo::kPi);
    const double rhoC = velumo::kRho * velumo::kC;
    // k·r = 0.01: the 100-factor gamma product makes the first series term
    // 101/100, so the capped PistonR is 1 and the resistance exactly 0; the
    // reactance follows the mass law ρc/S·8kr/(3π) within the 1.5 % error
    // that the same product leaves in J0 and J2.
    const double k = 0.01 / r;
    const Cx low = velumo::radiationImpedance(k, r, S);
    EXPECT_EQ(low.re, 0.0);
    expectNearRel(low.im, rhoC / S * 8 * 0.01 / (3 * velumo::kPi), 0.02);
    // k·r = 50: the large-argument form, resistance close to ρc/S.
    const Cx high = velumo::radiationImpedance(50.0 / r, r, S);
    expectNearRel(high.re, rhoC / S, 2e-3);
}
