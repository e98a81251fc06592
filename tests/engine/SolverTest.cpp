#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>

#include "Complex.h"
#include "LoopNetwork.h"
#include "TestUtil.h"

using velumo::Cx;
using velumo::kLoops;
using velumo::LoopNetwork;
using velumo::solve;

namespace {

std::unique_ptr<LoopNetwork> identityNetwork()
{
    auto net = std::make_unique<LoopNetwork>();
    net->clear();
    for (int i = 0; i < kLoops; ++i)
        net->M[i][i] = Cx { 1.0 };
    return net;
}

} // namespace

TEST(Complex, productAndQuotientFollowTextbookFormulas)
{
    // (1 + 2j)(3 + 4j) = −5 + 10j; (1 + 2j) / (3 + 4j) = (11 + 2j) / 25; 5 / j = −5j.
    EXPECT_EQ((Cx { 1, 2 } * Cx { 3, 4 }), (Cx { -5.0, 10.0 }));
    EXPECT_EQ((Cx { 1, 2 } / Cx { 3, 4 }), (Cx { 11.0 / 25.0, 2.0 / 25.0 }));
    EXPECT_EQ((Cx { 5, 0 } / velumo::j), (Cx { 0.0, -5.0 }));
    EXPECT_EQ((Cx { 3, -4 } / 2.0), (Cx { 1.5, -2.0 }));
    EXPECT_EQ(velumo::abs(Cx { 3, 4 }), 5.0);
}

TEST(Complex, quotientIsNotScaled)
{
    // c² + d² overflows; a scaling division would return 1.
    const Cx q = Cx { 1e200, 1e200 } / Cx { 1e200, 1e200 };
    EXPECT_FALSE(velumo::isFinite(q));
}

TEST(Solver, solvesBandedSystemWithCoupling)
{
    auto net = identityNetwork();
    auto& M = net->M;
    // A complex ladder over every loop with one far coupling, like the
    // membrane loop reaching into the rear chamber.
    for (int i = 0; i < kLoops; ++i) {
        M[i][i] = Cx { 4.0 + 0.01 * i, 1.0 };
        if (i > 0)
            M[i][i - 1] = Cx { -1.0, 0.2 };
        if (i + 1 < kLoops)
            M[i][i + 1] = Cx { -1.0, -0.3 };
    }
    M[5][161] = Cx { -0.5, 0.1 };
    M[161][5] = Cx { -0.5, 0.1 };
    std::array<std::complex<double>, kLoops> truth {};
    for (int i = 0; i < kLoops; ++i)
        truth[i] = { std::sin(0.1 * i), std::cos(0.07 * i) };
    for (int r = 0; r < kLoops; ++r) {
        std::complex<double> s = 0;
        for (int c = 0; c < kLoops; ++c)
            s += std::complex<double>(M[r][c].re, M[r][c].im) * truth[c];
        net->b[r] = Cx { s.real(), s.imag() };
    }
    ASSERT_TRUE(solve(*net));
    for (int i = 0; i < kLoops; ++i) {
        EXPECT_NEAR(net->x[i].re, truth[i].real(), 1e-12) << i;
        EXPECT_NEAR(net->x[i].im, truth[i].imag(), 1e-12) << i;
    }
}

TEST(Solver, upperTriangularSystemIsOnlyBackSubstituted)
{
    auto net = identityNetwork();
    auto& M = net->M;
    M[259][259] = Cx { 2.0 };
    M[259][260] = Cx { 1.0 };
    M[260][260] = Cx { 0.0, 1.0 };
    M[260][261] = Cx { 3.0 };
    net->b[261] = Cx { 2.0 };
    net->b[260] = Cx { 6.0, 1.0 };
    net->b[259] = Cx { 4.0 };
    ASSERT_TRUE(solve(*net));
    // x261 = 2; j·x260 = 6 + j − 6 → x260 = 1; 2·x259 = 4 − 1.
    EXPECT_EQ(net->x[261], (Cx { 2.0 }));
    EXPECT_EQ(net->x[260], (Cx { 1.0, 0.0 }));
    EXPECT_EQ(net->x[259], (Cx { 1.5 }));
    // The elimination left M untouched.
    EXPECT_EQ(M[260][260], (Cx { 0.0, 1.0 }));
}

TEST(Solver, zeroPivotOrBackSubstitutionDiagonalIsReportedInsteadOfInfinity)
{
    auto net = identityNetwork();
    net->M[0][0] = Cx {};
    net->M[1][0] = Cx { 1.0 };
    net->b[1] = Cx { 1.0 };
    EXPECT_FALSE(solve(*net));
    net = identityNetwork();
    net->M[261][261] = Cx {};
    EXPECT_FALSE(solve(*net));
}

TEST(Solver, entryWhoseSquareUnderflowsIsSkipped)
{
    // re² + im² of 1e-170 is 0, so the row is not eliminated against it.
    auto net = identityNetwork();
    net->M[1][0] = Cx { 1e-170 };
    net->M[0][0] = Cx { 2.0 };
    net->b[0] = Cx { 2.0 };
    net->b[1] = Cx { 5.0 };
    ASSERT_TRUE(solve(*net));
    EXPECT_EQ(net->x[1], (Cx { 5.0 }));
    EXPECT_EQ(net->M[1][0], (Cx { 1e-170 }));
}
