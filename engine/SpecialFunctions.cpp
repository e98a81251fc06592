#include "SpecialFunctions.h"

#include "Constants.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velumo {

namespace {

constexpr int kSeriesTerms = 51; // i = 0..50 in every series

// The factorials and integral Gamma values the series divide by, computed
// once by the same functions: the very numbers a fresh call would give.
struct SeriesTables {
    std::array<double, kSeriesTerms> factorial {};
    std::array<double, kSeriesTerms + 3> gamma {}; // gamma[m] = gammaFunction(m), m >= 1
};

const SeriesTables& seriesTables()
{
    static const SeriesTables tables = [] {
        // Each step is the one the recursion of factorial() and
        // gammaFunction() takes, so the values are theirs, without the
        // recursion's cost at every start of the program.
        SeriesTables t;
        t.factorial[0] = factorial(0);
        for (int i = 1; i < kSeriesTerms; ++i)
            t.factorial[i] = i > 1 ? i * t.factorial[i - 1] : factorial(i);
        for (int m = 1; m < kSeriesTerms + 3; ++m)
            t.gamma[m] = m > 3 ? (m - 1.0) * t.gamma[m - 1] : gammaFunction(m);
        return t;
    }();
    return tables;
}

// pow(-1, i) is exactly ±1, so the sign is applied by negation.
double alternate(int i, double v) { return i % 2 != 0 ? -v : v; }

} // namespace

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

double pistonX(double x) { return (besselJ(2, x) * (1.0 / 3.0) * 2.0 + (1.0 - besselJ(0, x))) * (2.0 / kPi); }

namespace {

// Powers (x/2)^(2n), n = 0..51, computed on first use: the three series of a
// piston share them.
class HalfArgPowers {
public:
    explicit HalfArgPowers(double x)
        : m_h(x * 0.5)
    {
    }
    double h() const { return m_h; }
    double operator()(int n)
    {
        while (m_known <= n) {
            m_p[m_known] = std::pow(m_h, 2 * m_known);
            ++m_known;
        }
        return m_p[n];
    }

private:
    double m_h;
    std::array<double, kSeriesTerms + 1> m_p {};
    int m_known = 0;
};

// The literal series sum over i = 0..50 of (-1)^i·(x/2)^(2(i + a)) / i! /
// Gamma(i + g), stopped once no later term can change the sum. A term below
// |sum|·2^-55 is under a quarter of the sum's spacing, so adding it returns
// the sum unchanged; the stop is taken only where the terms shrink by 10 %
// or more per step, so the next term bounds every later one. Its bound
// re-does the term's arithmetic on pow(x/2, 2(i + a))·(x/2)² with a margin
// of 1e-13, far above the rounding of pow and of the product.
double seriesSum(HalfArgPowers& powers, int a, int g, const SeriesTables& t)
{
    // ratioFloor[g][i]: smallest factor by which term j >= i + 1 is divided
    // more than term j − 1, apart from the growth (x/2)².
    static const auto ratioFloor = [] {
        std::array<std::array<double, kSeriesTerms>, 4> r {};
        const SeriesTables& tt = seriesTables();
        for (int gg = 1; gg <= 3; ++gg) {
            double floor = 1e300;
            for (int i = kSeriesTerms - 1; i >= 0; --i) {
                if (i + 1 < kSeriesTerms) {
                    const double step
                        = (tt.factorial[i + 1] / tt.factorial[i]) * (tt.gamma[i + 1 + gg] / tt.gamma[i + gg]);
                    floor = std::min(floor, step);
                }
                r[gg][i] = floor;
            }
        }
        return r;
    }();

    const double hh = powers.h() * powers.h();
    double sum = 0.0;
    for (int i = 0; i <= 50; ++i) {
        const double p = powers(i + a);
        sum += alternate(i, p) / t.factorial[i] / t.gamma[i + g];
        if (i == 50 || !(std::fabs(sum) >= 0x1p-1000))
            continue;
        if (!(hh * (1.0 + 1e-12) <= 0.9 * ratioFloor[g][i]))
            continue;
        const double nextBound = p * hh * (1.0 + 1e-13) / t.factorial[i + 1] / t.gamma[i + 1 + g];
        if (nextBound <= std::fabs(sum) * 0x1p-55)
            break;
    }
    return sum;
}

} // namespace

PistonParts pistonParts(double x)
{
    const SeriesTables& t = seriesTables();
    HalfArgPowers powers(x);
    PistonParts out;

    if (x > 10.0)
        out.r = std::sqrt(2.0 / kPi / x) * std::cos(x - kPi * 0.25 - kPi * 0.5) * 2.0 / x;
    else {
        const double sum = seriesSum(powers, 0, 2, t);
        out.r = sum > 1.0 ? 1.0 : sum;
    }

    double j0 = 0.0;
    if (x > 5.0)
        j0 = std::sqrt(2.0 / kPi / x) * std::cos(x - kPi * 0.25 - kPi * 0 * 0.5);
    else if (x == 0.0)
        j0 = 1.0;
    else
        j0 = seriesSum(powers, 0, 1, t);

    double j2 = 0.0;
    if (x > 15.0)
        j2 = std::sqrt(2.0 / kPi / x) * std::cos(x - kPi * 0.25 - kPi * 2 * 0.5);
    else if (x != 0.0)
        j2 = seriesSum(powers, 1, 3, t);

    out.x = (j2 * (1.0 / 3.0) * 2.0 + (1.0 - j0)) * (2.0 / kPi);
    return out;
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
    I[2] = (coshF(kb) * sinhF(kb) / (2.0f * k) + b * 0.5f) - (coshF(ka) * sinhF(ka) / (2.0f * k) + a * 0.5f);
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

namespace {

// The tractrix bisections: 51 halvings from the first guess g; while g is
// "beyond" the sought point the guess moves toward lo, otherwise toward hi.
template <typename Beyond> double bisect51(double lo, double hi, double g, Beyond beyond)
{
    for (int step = 0; step < 51; ++step) {
        if (beyond(g)) {
            hi = g;
            g = (g + lo) / 2.0;
        } else {
            lo = g;
            g = (g + hi) / 2.0;
        }
    }
    return g;
}

} // namespace

double tractrixConstant(double L, double rH, double rM)
{
    double lo = rM;
    double t = L + rH * L / (rM - rH);
    double hi = std::sqrt(t * t + rM * rM);
    double g = L / std::log(rM / rH);
    return bisect51(lo, hi, g, [&](double a) { return tractrixX(a, rH) - tractrixX(a, rM) > L; });
}

double tractrixRadius(double L, double rH, double rM, double x)
{
    double a = tractrixConstant(L, rH, rM);
    double lo = rH;
    double hi = a;
    double g = (rH + a) / 2.0;
    return bisect51(lo, hi, g, [&](double y) { return tractrixX(a, rH) - tractrixX(a, y) > x; });
}

} // namespace velumo
