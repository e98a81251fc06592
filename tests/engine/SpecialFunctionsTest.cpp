// The special functions follow fixed approximations; the expected values here
// carry the approximation errors on purpose (Gamma(2) = 100/101, not 1).

#include "Constants.h"
#include "SpecialFunctions.h"
#include "TestUtil.h"

#include <cmath>

namespace velumo {
namespace {

using test::expectNearRel;

TEST(SpecialFunctions, factorialOfSmallAndLargeArguments)
{
    EXPECT_EQ(factorial(0), 1.0);
    EXPECT_EQ(factorial(1), 1.0);
    EXPECT_EQ(factorial(-3), 1.0);
    EXPECT_EQ(factorial(5), 120.0);
    EXPECT_EQ(factorial(10), 3628800.0);
    expectNearRel(factorial(20), 2432902008176640000.0, 1e-15);
}

TEST(SpecialFunctions, gammaCarriesTheErrorOfTheHundredFactorProduct)
{
    // Gauss product: Gamma(n + 1) = 100^n · n! · 100! / (n + 100)!, so
    // Gamma(2) = 100/101 and Gamma(3) = 2·100²/(101·102).
    expectNearRel(gammaFunction(1.0), 1.0, 1e-13);
    expectNearRel(gammaFunction(2.0), 100.0 / 101.0, 1e-13);
    expectNearRel(gammaFunction(3.0), 2.0 * 100.0 * 100.0 / (101.0 * 102.0), 1e-13);
    EXPECT_NEAR(gammaFunction(3.0), 1.941371, 5e-7);
    EXPECT_NEAR(gammaFunction(2.0), 0.990099, 5e-7);
}

TEST(SpecialFunctions, gammaAboveThreeIsReducedByRecursion)
{
    EXPECT_NEAR(gammaFunction(4.0), 5.824112, 5e-6);
    expectNearRel(gammaFunction(4.0), 3.0 * gammaFunction(3.0), 1e-15);
    EXPECT_NEAR(gammaFunction(2.5), 1.304809, 5e-7);
    expectNearRel(gammaFunction(5.5), 4.5 * 3.5 * 2.5 * gammaFunction(2.5), 1e-14);
}

TEST(SpecialFunctions, besselSeriesCarriesTheGammaError)
{
    // Exact values are 0.765198, 0.440051 and 0.114903.
    EXPECT_NEAR(besselJ(0, 1.0), 0.763157, 5e-7);
    EXPECT_NEAR(besselJ(1, 1.0), 0.443240, 5e-7);
    EXPECT_NEAR(besselJ(2, 1.0), 0.118374, 5e-7);
}

TEST(SpecialFunctions, besselAtZero)
{
    EXPECT_EQ(besselJ(0, 0.0), 1.0);
    EXPECT_EQ(besselJ(1, 0.0), 0.0);
    EXPECT_EQ(besselJ(2, 0.0), 0.0);
}

TEST(SpecialFunctions, besselSwitchesToLargeArgumentFormAboveFiveTimesOrderPlusOne)
{
    const double x = 5.1;
    EXPECT_DOUBLE_EQ(besselJ(0, x), std::sqrt(2.0 / kPi / x) * std::cos(x - kPi / 4.0));
    // J2 switches only above 15: at 5.1 it is still the series, whose
    // alternating terms magnify the Gamma error (exact J2(5.1) = 0.0121).
    EXPECT_NEAR(besselJ(2, x), 0.0125063868, 1e-9);
    const double y = 15.5;
    EXPECT_DOUBLE_EQ(besselJ(2, y), std::sqrt(2.0 / kPi / y) * std::cos(y - kPi / 4.0 - kPi));
    // x = 5 itself is still the series (-0.0869), not the cosine form (-0.1704).
    EXPECT_NEAR(besselJ(0, 5.0), -0.0869101938, 1e-9);
}

TEST(SpecialFunctions, pistonResistanceIsOneAtZeroAndCappedUpToTen)
{
    EXPECT_EQ(pistonR(0.0), 1.0);
    for (double x = 0.0; x <= 10.0; x += 0.01)
        ASSERT_LE(pistonR(x), 1.0) << x;
    // Exact 2·J1(2)/2 = 0.576725; the product error of Gamma is about 1 %.
    EXPECT_NEAR(pistonR(2.0), 0.576725, 0.01);
}

TEST(SpecialFunctions, pistonResistanceLargeArgumentFormIsNotCapped)
{
    const double x = 10.5;
    EXPECT_DOUBLE_EQ(pistonR(x), std::sqrt(2.0 / kPi / x) * std::cos(x - 0.75 * kPi) * 2.0 / x);
    // Past the switch the form is an oscillating envelope of order 2/x^1.5.
    EXPECT_LT(std::fabs(pistonR(40.0)), 2.0 * std::sqrt(2.0 / kPi / 40.0) / 40.0 * 1.0001);
}

TEST(SpecialFunctions, pistonReactanceFromTheBesselValues)
{
    EXPECT_EQ(pistonX(0.0), 0.0);
    // (J2(1)·2/3 + 1 - J0(1))·2/pi with the series values of J0(1), J2(1).
    EXPECT_NEAR(pistonX(1.0), (0.118374 * 2.0 / 3.0 + 1.0 - 0.763157) * 2.0 / 3.1415927, 1e-6);
    // Tends to the Struve limit 2/pi for large arguments (oscillation ~ x^-0.5).
    EXPECT_NEAR(pistonX(1000.0), 2.0 / 3.1415927, 0.03);
}

TEST(SpecialFunctions, coshSquareIntegralMatchesClosedForm)
{
    for (float k : {0.3f, 1.0f, 2.2f}) {
        const float b = 1.7f;
        const double closed = std::sinh(2.0 * k * b) / (4.0 * k) + b / 2.0;
        // Every step in single precision: a few units of float epsilon.
        expectNearRel(coshPowerIntegral(0.0f, b, 2, k), closed, 1e-6);
    }
}

TEST(SpecialFunctions, coshFirstPowerAndShiftedLimits)
{
    const float a = 0.4f, b = 1.3f, k = 1.5f;
    expectNearRel(coshPowerIntegral(a, b, 1, k), (std::sinh(k * 1.3) - std::sinh(k * 0.4)) / k, 1e-6);
    const double closed2 = (std::sinh(2.0 * k * 1.3) - std::sinh(2.0 * k * 0.4)) / (4.0 * k) + (1.3 - 0.4) / 2.0;
    expectNearRel(coshPowerIntegral(a, b, 2, k), closed2, 1e-6);
}

// Simpson's rule in double, 20000 intervals: far below float resolution.
double simpsonCoshPower(double b, int p, double k)
{
    const int n = 20000;
    const double h = b / n;
    double s = 1.0 + std::pow(std::cosh(k * b), p);
    for (int i = 1; i < n; ++i)
        s += (i % 2 ? 4.0 : 2.0) * std::pow(std::cosh(k * i * h), p);
    return s * h / 3.0;
}

TEST(SpecialFunctions, coshSixteenthPowerIntegralMatchesQuadrature)
{
    // The reduction formula adds positive terms, so float rounding stays
    // near 16 steps of float epsilon.
    const float b = 2.0f, k = 0.6f;
    expectNearRel(coshPowerIntegral(0.0f, b, 16, k), simpsonCoshPower(b, 16, k), 1e-5);
    expectNearRel(coshPowerIntegral(0.0f, b, 5, k), simpsonCoshPower(b, 5, k), 1e-5);
}

TEST(SpecialFunctions, tractrixDistanceAtAndBeyondTheConstant)
{
    EXPECT_EQ(tractrixX(0.3, 0.3), 0.0);
    EXPECT_EQ(tractrixX(0.3, 0.5), 0.0);
    // a = 1, y = 0.5: ln(2 + sqrt(3)) - sqrt(3)/2.
    EXPECT_NEAR(tractrixX(1.0, 0.5), std::log(2.0 + std::sqrt(3.0)) - std::sqrt(3.0) / 2.0, 1e-15);
}

TEST(SpecialFunctions, tractrixConstantReproducesTheLength)
{
    const double L = 1.2, rH = 0.05, rM = 0.3;
    const double a = tractrixConstant(L, rH, rM);
    EXPECT_GE(a, rM);
    expectNearRel(tractrixX(a, rH) - tractrixX(a, rM), L, 1e-9);
}

TEST(SpecialFunctions, tractrixConstantOfAnUnreachableMouthIsBelowIt)
{
    // The shortest tractrix from 5 cm to 30 cm (a = rM) is 0.448 m long.
    const double rH = 0.05, rM = 0.3;
    EXPECT_NEAR(tractrixX(rM, rH), 0.4477, 1e-3);
    EXPECT_LT(tractrixConstant(0.2, rH, rM), rM);
}

TEST(SpecialFunctions, tractrixRadiusRunsFromThroatToMouth)
{
    const double L = 1.2, rH = 0.05, rM = 0.3;
    expectNearRel(tractrixRadius(L, rH, rM, 0.0), rH, 1e-9);
    expectNearRel(tractrixRadius(L, rH, rM, L), rM, 1e-9);
    const double a = tractrixConstant(L, rH, rM);
    double previous = 0.0;
    for (double x = 0.1; x < L; x += 0.1) {
        const double y = tractrixRadius(L, rH, rM, x);
        EXPECT_GT(y, previous);
        expectNearRel(tractrixX(a, rH) - tractrixX(a, y), x, 1e-9);
        previous = y;
    }
}

} // namespace
} // namespace velumo
