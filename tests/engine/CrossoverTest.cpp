#include <gtest/gtest.h>

#include <complex>
#include <memory>

#include "Crossover.h"
#include "LoopNetwork.h"
#include "TestUtil.h"

using velumo::crossoverBranches;
using velumo::CrossoverContext;
using velumo::CrossoverInput;
using velumo::Cx;
using velumo::test::expectNearRel;

namespace {

constexpr double kOmega = 2.0 * 3.1415927 * 1000.0;

CrossoverContext context(int n = 1, bool driver2 = true)
{
    CrossoverContext ctx;
    ctx.omega = kOmega;
    ctx.rdc1 = 6.0 / n;
    ctx.rdcBoxValue = 6.0;
    ctx.n = n;
    ctx.driver2Present = driver2;
    return ctx;
}

// The grid as the input check leaves it with no values: every empty shunt
// position is a 1e9·Rdc resistor.
CrossoverInput emptyGrid(double rdcBox = 6.0)
{
    CrossoverInput xo;
    for (int p : { 2, 4, 6, 10, 12, 14 })
        xo.R[p] = 1e9 * rdcBox;
    return xo;
}

void expectNearComplex(Cx actual, std::complex<double> expected, double rel)
{
    expectNearRel(actual.re, expected.real(), rel);
    expectNearRel(actual.im, expected.imag(), rel);
}

} // namespace

TEST(Crossover, emptyOrIgnoredGridIsWiresAndOpenShunts)
{
    // Empty: the open shunts are divided by the mirror factor; ignored: the
    // entered values count for nothing and the open value is not divided.
    CrossoverInput ignored = emptyGrid();
    ignored.R[1] = 3.0;
    ignored.L[3] = 1e-3;
    ignored.invC[2] = 1.0 / 10e-6;
    ignored.ignore = true;
    const std::pair<CrossoverInput, double> cases[] = { { emptyGrid(), 6e9 / 2 }, { ignored, 6e9 } };
    for (const auto& [xo, open] : cases) {
        const auto br = crossoverBranches(xo, context(xo.ignore ? 4 : 2));
        for (int s = 1; s <= 6; ++s) {
            EXPECT_EQ(br.S[s], Cx {}) << s;
            EXPECT_EQ(br.P[s], (Cx { open })) << s;
        }
    }
}

TEST(Crossover, withoutDriver2TheSeriesOfSection5IsCutEvenWhenIgnored)
{
    CrossoverInput xo = emptyGrid();
    xo.R[11] = 1.0;
    EXPECT_EQ(crossoverBranches(xo, context(2, false)).S[5], (Cx { 6e9 }));
    xo.ignore = true;
    EXPECT_EQ(crossoverBranches(xo, context(2, false)).S[5], (Cx { 6e9 }));
    xo.ignore = false;
    EXPECT_EQ(crossoverBranches(xo, context(2, true)).S[5], (Cx { 0.5 }));
}

TEST(Crossover, seriesChainIsRPlusJwLPlusCapacitorPosition5IsParallel)
{
    const std::complex<double> jw(0.0, kOmega);
    CrossoverInput xo = emptyGrid();
    xo.R[1] = 2.0;
    xo.L[1] = 1.5e-3;
    xo.invC[1] = 1.0 / 22e-6;
    xo.R[5] = 4.0;
    xo.L[5] = 0.5e-3;
    xo.invC[5] = 1.0 / 10e-6;
    const auto br = crossoverBranches(xo, context());
    expectNearComplex(br.S[1], 2.0 + jw * 1.5e-3 + 1.0 / (jw * 22e-6), 1e-14);
    expectNearComplex(br.S[3], 1.0 / (1.0 / 4.0 + 1.0 / (jw * 0.5e-3) + jw * 10e-6), 1e-12);

    // A capacitor alone is exactly its reactance over n.
    CrossoverInput onlyC = emptyGrid();
    onlyC.invC[5] = 1.0 / 47e-6;
    const auto brC = crossoverBranches(onlyC, context(2));
    EXPECT_EQ(brC.S[3].re, 0.0);
    EXPECT_EQ(brC.S[3].im, -(1.0 / 47e-6) / kOmega / 2.0);
    // An inductor alone is in parallel with the 1e9·Rdc start value only.
    CrossoverInput onlyL = emptyGrid();
    onlyL.L[5] = 0.5e-3;
    const auto brL = crossoverBranches(onlyL, context());
    expectNearComplex(brL.S[3], jw * 0.5e-3, 1e-6);
    EXPECT_NE(brL.S[3].re, 0.0);
}

TEST(Crossover, positions7to9AreThreeChainsInParallel)
{
    CrossoverInput xo = emptyGrid();
    xo.R[7] = 3.0;
    xo.L[8] = 1e-3;
    xo.R[9] = 5.0;
    xo.invC[9] = 1.0 / 33e-6;
    const auto br = crossoverBranches(xo, context());
    const std::complex<double> jw(0.0, kOmega);
    const std::complex<double> b7 = 3.0, b8 = jw * 1e-3, b9 = 5.0 + 1.0 / (jw * 33e-6);
    expectNearComplex(br.S[4], 1.0 / (1.0 / b7 + 1.0 / b8 + 1.0 / b9), 1e-12);

    CrossoverInput onlyC7 = emptyGrid();
    onlyC7.invC[7] = 1.0 / 100e-6;
    const auto brC = crossoverBranches(onlyC7, context());
    // Two open branches of 6e9 Ohm change 1/(jωC) by about 1e-10 relative.
    expectNearComplex(brC.S[4], 1.0 / (jw * 100e-6), 1e-9);

    EXPECT_EQ(crossoverBranches(emptyGrid(), context()).S[4], Cx {});
}

TEST(Crossover, ladderOfDriver1DividesTheSourceVoltage)
{
    // Section 1: 2 Ohm series, 4 Ohm shunt; a 4 Ohm voice coil as the load.
    CrossoverInput xo = emptyGrid();
    xo.R[1] = 2.0;
    xo.R[2] = 4.0;
    const auto br = crossoverBranches(xo, context());
    auto net = std::make_unique<velumo::LoopNetwork>();
    net->clear();
    for (int i = 5; i < velumo::kLoops; ++i)
        net->M[i][i] = Cx { 1.0 };
    velumo::stampCrossover1(*net, br, 10.0);
    net->M[4][4] = Cx { 4.0 };
    EXPECT_EQ(net->b[0], Cx { 10.0 });
    EXPECT_EQ(net->M[4][3], -br.P[4]);
    ASSERT_TRUE(velumo::solve(*net));
    Cx total {};
    for (int k = 0; k <= 4; ++k)
        total = total + net->x[k];
    // 10 V into 2 + (4 || 4) Ohm; half of it through the voice coil. The open
    // shunts of 6e9 Ohm disturb this by about 1e-9 relative.
    expectNearRel(total.re, 2.5, 1e-8);
    expectNearRel(net->x[4].re, 1.25, 1e-8);
    expectNearRel(net->x[0].re, 1.25, 1e-8);
}

TEST(Crossover, ladderOfDriver2IsTwoSectionsFedFromTheSource)
{
    CrossoverInput xo = emptyGrid();
    for (int p = 11; p <= 14; ++p)
        xo.R[p] = p - 10.0; // ZS2, ZA2, ZT2, ZB2: 1..4 Ohm
    const auto br = crossoverBranches(xo, context());
    auto net = std::make_unique<velumo::LoopNetwork>();
    net->clear();
    for (int i = 0; i < velumo::kLoops; ++i)
        net->M[i][i] = Cx { 1.0 };
    velumo::stampCrossover2(*net, br, 2.0);
    net->M[159][159] = Cx { 5.0 }; // voice coil
    ASSERT_TRUE(velumo::solve(*net));
    // 2 V into 1 + 2 || (3 + 4 || 5) Ohm.
    const double inner = 3.0 + 4.0 * 5.0 / 9.0;
    const double total = 1.0 + 2.0 * inner / (2.0 + inner);
    const double current = 2.0 / total;
    const double afterA = current * 2.0 / (2.0 + inner);
    expectNearRel((net->x[157] + net->x[158] + net->x[159]).re, current, 1e-14);
    expectNearRel(net->x[159].re, afterA * 4.0 / 9.0, 1e-14);
    expectNearRel(net->x[157].re, current - afterA, 1e-14);
}
