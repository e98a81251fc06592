#include "SpecialFunctions.h"

#include "Constants.h"

#include <cmath>

namespace velumo {

double factorial(int a)
{
    if (a <= 1)
        return 1.0;
    return a * factorial(a - 1);
}

double gammaFunction(double x)
{
    if (x > 3.0)
        return (x - 1.0) * gammaFunction(x - 1.0);
    double g = std::pow(100.0, x - 1.0) * factorial(100);
    for (int i = 0; i <= 99; ++i)
        g = g / (x + i);
    return g;
}

double besselJ(int nu, double x)
{
    if (x > 5.0 * (nu + 1))
        return std::sqrt(2.0 / kPi / x) * std::cos(x - kPi * 0.25 - kPi * nu * 0.5);
    if (x == 0.0)
        return nu == 0 ? 1.0 : 0.0;
    double sum = 0.0;
    for (int i = 0; i <= 50; ++i)
        sum += std::pow(-1.0, i) * std::pow(x * 0.5, nu + 2 * i) / factorial(i) / gammaFunction(nu + i + 1);
    return sum;
}

double pistonR(double x)
{
    if (x > 10.0)
        return std::sqrt(2.0 / kPi / x) * std::cos(x - kPi * 0.25 - kPi * 0.5) * 2.0 / x;
    double sum = 0.0;
    for (int i = 0; i <= 50; ++i)
        sum += std::pow(-1.0, i) * std::pow(x * 0.5, 2 * i) / factorial(i) / gammaFunction(i + 2);
    return sum > 1.0 ? 1.0 : sum;
}

double pistonX(double x)
{
    return (besselJ(2, x) * (1.0 / 3.0) * 2.0 + (1.0 - besselJ(0, x))) * (2.0 / kPi);
}

namespace {

// Hyperbolic functions and powers evaluated in double on the float argument
// and rounded once: the same bits on every platform, unlike sinhf/coshf.
float sinhF(float v) { return static_cast<float>(std::sinh(static_cast<double>(v))); }
float coshF(float v) { return static_cast<float>(std::cosh(static_cast<double>(v))); }
float powF(float base, int e)
{
    return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(e)));
}

} // namespace

float coshPowerIntegral(float a, float b, int p, float k)
{
    float I[17] = {};
    const float ka = k * a;
    const float kb = k * b;
    I[1] = sinhF(kb) / k - sinhF(ka) / k;
    I[2] = (coshF(kb) * sinhF(kb) / (2.0f * k) + b * 0.5f)
        - (coshF(ka) * sinhF(ka) / (2.0f * k) + a * 0.5f);
    for (int r = 3; r <= p && r <= 16; ++r) {
        const float kr = k * static_cast<float>(r);
        I[r] = sinhF(kb) * powF(coshF(kb), r - 1) / kr - powF(coshF(ka), r - 1) * sinhF(ka) / kr
            + static_cast<float>(r - 1) * I[r - 2] / static_cast<float>(r);
    }
    if (p < 1 || p > 16)
        return 0.0f;
    return I[p];
}

double tractrixX(double a, double y)
{
    if (a > y) {
        double s = std::sqrt(a * a - y * y);
        return a * std::log((a + s) / y) - s;
    }
    return 0.0;
}

double tractrixConstant(double L, double rH, double rM)
{
    double lo = rM;
    double t = L + rH * L / (rM - rH);
    double hi = std::sqrt(t * t + rM * rM);
    double g = L / std::log(rM / rH);
    for (int step = 0; step < 51; ++step) {
        if (tractrixX(g, rH) - tractrixX(g, rM) > L) {
            hi = g;
            g = (g + lo) / 2.0;
        } else {
            lo = g;
            g = (g + hi) / 2.0;
        }
    }
    return g;
}

double tractrixRadius(double L, double rH, double rM, double x)
{
    double a = tractrixConstant(L, rH, rM);
    double lo = rH;
    double hi = a;
    double g = (rH + a) / 2.0;
    for (int step = 0; step < 51; ++step) {
        if (tractrixX(a, rH) - tractrixX(a, g) > x) {
            hi = g;
            g = (g + lo) / 2.0;
        } else {
            lo = g;
            g = (g + hi) / 2.0;
        }
    }
    return g;
}

} // namespace velumo
