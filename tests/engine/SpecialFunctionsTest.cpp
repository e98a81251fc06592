// The special functions follow fixed approximations; the expected values here
// carry the approximation errors on purpose (Gamma(2) = 100/101, not 1).

#include "SpecialFunctions.h"
#include "Constants.h"
#include "TestUtil.h"

#include <cmath>

namespace velumo {
namespace {

using test::expectNearRel;

TEST(SpecialFunctions, gammaCarriesTheErrorOfTheHundredFactorProduct)
{
    EXPECT_EQ(factorial(0), 1.0);
    EXPECT_EQ(factorial(10), 3628800.0);
    // Gauss product: Gamma(2) = 100/101, Gamma(3) = 2·100²/(101·102).
    expectNearRel(gammaFunction(1.0), 1.0, 1e-13);
    expectNearRel(gammaFunction(2.0), 100.0 / 101.0, 1e-13);
    expectNearRel(gammaFunction(3.0), 2.0 * 100.0 * 100.0 / (101.0 * 102.0), 1e-13);
    EXPECT_NEAR(gammaFunction(2.0), 0.990099, 5e-7);
    EXPECT_NEAR(gammaFunction(3.0), 1.941371, 5e-7);
    // Above 3 the recursion reduces the argument first.
    EXPECT_NEAR(gammaFunction(4.0), 5.824112, 5e-6);
    EXPECT_NEAR(gammaFunction(2.5), 1.304809, 5e-7);
    expectNearRel(gammaFunction(5.5), 4.5 * 3.5 * 2.5 * gammaFunction(2.5), 1e-14);
}

TEST(SpecialFunctions, besselSeriesCarriesTheGammaError)
{
    // Exact values are 0.765198, 0.440051 and 0.114903.
    const double atOne[] = { 0.763157, 0.443240, 0.118374 };
    for (int n = 0; n <= 2; ++n)
        EXPECT_NEAR(besselJ(n, 1.0), atOne[n], 5e-7) << n;
    EXPECT_EQ(besselJ(0, 0.0), 1.0);
    EXPECT_EQ(besselJ(2, 0.0), 0.0);
}

TEST(SpecialFunctions, besselSwitchesToLargeArgumentFormAboveFiveTimesOrderPlusOne)
{
    const double x = 5.1;
    EXPECT_DOUBLE_EQ(besselJ(0, x), std::sqrt(2.0 / kPi / x) * std::cos(x - kPi / 4.0));
    // x = 5 itself is still the series (-0.0869; the cosine form gives -0.1704),
    // whose alternating terms magnify the Gamma error (exact J0(5) = -0.1776).
    EXPECT_NEAR(besselJ(0, 5.0), -0.0869101938, 1e-9);
    // J2 switches only above 15 (series at 5.1: 0.0125, exact 0.0121).
    EXPECT_NEAR(besselJ(2, x), 0.0125063868, 1e-9);
    const double y = 15.5;
    EXPECT_DOUBLE_EQ(besselJ(2, y), std::sqrt(2.0 / kPi / y) * std::cos(y - kPi / 4.0 - kPi));
}

TEST(SpecialFunctions, pistonResistanceIsCappedOnlyUpToTen)
{
    EXPECT_EQ(pistonR(0.0), 1.0);
    for (double x = 0.0; x <= 10.0; x += 0.01)
        ASSERT_LE(pistonR(x), 1.0) << x;
    // Exact 2·J1(2)/2 = 0.576725; the product error of Gamma is about 1 %.
    EXPECT_NEAR(pistonR(2.0), 0.576725, 0.01);
    const double x = 10.5;
    EXPECT_DOUBLE_EQ(pistonR(x), std::sqrt(2.0 / kPi / x) * std::cos(x - 0.75 * kPi) * 2.0 / x);
}

TEST(SpecialFunctions, pistonReactanceFromTheBesselValues)
{
    EXPECT_EQ(pistonX(0.0), 0.0);
    // (J2(1)·2/3 + 1 - J0(1))·2/pi with the series values of J0(1), J2(1).
    EXPECT_NEAR(pistonX(1.0), (0.118374 * 2.0 / 3.0 + 1.0 - 0.763157) * 2.0 / 3.1415927, 1e-6);
    // Tends to the Struve limit 2/pi for large arguments.
    EXPECT_NEAR(pistonX(1000.0), 2.0 / 3.1415927, 0.03);
}

TEST(SpecialFunctions, coshIntegralsOfLowPowersMatchClosedForms)
{
    // Every step in single precision: a few units of float epsilon.
    for (float k : { 0.3f, 1.0f, 2.2f }) {
        const double closed = std::sinh(2.0 * k * 1.7) / (4.0 * k) + 1.7 / 2.0;
        expectNearRel(coshPowerIntegral(0.0f, 1.7f, 2, k), closed, 1e-6);
    }
    const float k = 1.5f;
    expectNearRel(coshPowerIntegral(0.4f, 1.3f, 1, k), (std::sinh(k * 1.3) - std::sinh(k * 0.4)) / k, 1e-6);
    expectNearRel(coshPowerIntegral(0.4f, 1.3f, 2, k),
        (std::sinh(2.0 * k * 1.3) - std::sinh(2.0 * k * 0.4)) / (4.0 * k) + 0.45, 1e-6);
}

TEST(SpecialFunctions, coshHighPowerIntegralsMatchQuadrature)
{
    // Simpson's rule in double with 20000 intervals, far below float
    // resolution; the reduction formula adds positive terms, so its float
    // rounding stays near 16 steps of float epsilon.
    auto simpson = [](double b, int p, double k) {
        const int n = 20000;
        const double h = b / n;
        double s = 1.0 + std::pow(std::cosh(k * b), p);
        for (int i = 1; i < n; ++i)
            s += (i % 2 ? 4.0 : 2.0) * std::pow(std::cosh(k * i * h), p);
        return s * h / 3.0;
    };
    for (int p : { 16, 5 })
        expectNearRel(coshPowerIntegral(0.0f, 2.0f, p, 0.6f), simpson(2.0, p, 0.6f), 1e-5);
}

TEST(SpecialFunctions, tractrixConstantReproducesTheLength)
{
    EXPECT_EQ(tractrixX(0.3, 0.3), 0.0);
    EXPECT_EQ(tractrixX(0.3, 0.5), 0.0);
    EXPECT_NEAR(tractrixX(1.0, 0.5), std::log(2.0 + std::sqrt(3.0)) - std::sqrt(3.0) / 2.0, 1e-15);
    const double L = 1.2, rH = 0.05, rM = 0.3;
    const double a = tractrixConstant(L, rH, rM);
    EXPECT_GE(a, rM);
    expectNearRel(tractrixX(a, rH) - tractrixX(a, rM), L, 1e-9);
    // The shortest tractrix from 5 cm to 30 cm (a = rM) is 0.448 m long; a
    // shorter horn cannot reach the mouth.
    EXPECT_NEAR(tractrixX(0.3, 0.05), 0.4477, 1e-3);
    EXPECT_LT(tractrixConstant(0.2, 0.05, 0.3), 0.3);
}

TEST(SpecialFunctions, tractrixRadiusRunsFromThroatToMouth)
{
    const double L = 1.2, rH = 0.05, rM = 0.3;
    expectNearRel(tractrixRadius(L, rH, rM, 0.0), rH, 1e-9);
    expectNearRel(tractrixRadius(L, rH, rM, L), rM, 1e-9);
    const double a = tractrixConstant(L, rH, rM);
    for (double x = 0.1; x < L; x += 0.1)
        expectNearRel(tractrixX(a, rH) - tractrixX(a, tractrixRadius(L, rH, rM, x)), x, 1e-9);
}

} // namespace
} // namespace velumo
