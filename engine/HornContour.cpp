#include "HornContour.h"

#include "Constants.h"
#include "SpecialFunctions.h"

#include <cmath>

namespace velumo {

namespace {

// arcosh as the laws use it: 0 for arguments that are not above 1.
double arcosh(double v) { return v > 1.0 ? std::acosh(v) : 0.0; }

// Flare constant of the laws from conical to geometric (m of the conical and
// geometric laws, T of the others).
double flareConstant(FlareLaw law, double ah, double am, double l1)
{
    switch (law) {
    case FlareLaw::Conical:
        return (std::sqrt(am) - std::sqrt(ah)) / l1;
    case FlareLaw::Exponential:
        return std::log(am / ah);
    case FlareLaw::Hyperbolic:
        return arcosh(std::sqrt(am / ah));
    case FlareLaw::OctalHyperbolic:
        return arcosh(std::pow(am / ah, 0.0625));
    case FlareLaw::Geometric:
        return ah != am ? 1.0 - ah / am : 0.0;
    default:
        return 0.0;
    }
}

// VHorn (m³ incl. n) from the closed form of each law; the hyperbolic laws
// integrate in single precision, the tractrix sums trapezoids over its nodes.
double hornVolume(const HornModel& h, double constant)
{
    const double ah = h.ah, am = h.am, l1 = h.l1;
    switch (h.law) {
    case FlareLaw::Conical: {
        const double m = constant;
        return (std::sqrt(ah) * (m * 3.0 * l1) + m * m * l1 * l1 + ah * 3.0) * (l1 / 3.0);
    }
    case FlareLaw::Exponential: {
        const double T = constant;
        return T != 0.0 ? (std::exp(T) - 1.0) * (ah * l1) / T : ah * l1;
    }
    case FlareLaw::Hyperbolic:
    case FlareLaw::OctalHyperbolic: {
        const int power = h.law == FlareLaw::Hyperbolic ? 2 : 16;
        const float k = static_cast<float>(constant / l1);
        return ah * static_cast<double>(coshPowerIntegral(0.0f, static_cast<float>(l1), power, k));
    }
    case FlareLaw::Geometric: {
        const double m = constant;
        return ah != am ? std::log(1.0 - m) * (-ah * (l1 / m)) : ah * l1;
    }
    case FlareLaw::Tractrix: {
        double v = 0.0;
        for (int i = 1; i < kHornNodes; ++i)
            v += (h.a[i] + h.a[i - 1]) * 0.5 * (h.x[i] - h.x[i - 1]);
        return v;
    }
    default:
        return ((am - ah) * 0.5 + ah) * l1;
    }
}

// Radii of one real round horn at throat and mouth, for the tractrix.
double throatRadius(const HornModel& h, int n) { return std::sqrt(h.ah / n / kPi); }
double mouthRadius(const HornModel& h, int n) { return std::sqrt(h.am / n / kPi); }

} // namespace

double flareArea(const HornModel& h, double num, double den)
{
    const double ah = h.ah, am = h.am;
    const double c = flareConstant(h.law, ah, am, h.l1);
    switch (h.law) {
    case FlareLaw::Conical: {
        const double v = (std::sqrt(am) - std::sqrt(ah)) * num / den + std::sqrt(ah);
        return v * v;
    }
    case FlareLaw::Exponential:
        return std::exp(c * num / den) * ah;
    case FlareLaw::Hyperbolic: {
        const double ch = std::cosh(c * num / den);
        return ch * ch * ah;
    }
    case FlareLaw::OctalHyperbolic:
        return std::pow(std::cosh(c * num / den), 16.0) * ah;
    case FlareLaw::Geometric:
        return ah != am ? ah / (1.0 - c * num / den) : ah;
    default:
        return (am - ah) * num / den + ah;
    }
}

int attachmentNode(double pos, double l1, bool throatAllowed)
{
    const double v = std::trunc(pos * 100.0 / l1);
    // Compared in double so that no out-of-range value is ever converted.
    if (v >= 100.0)
        return 99;
    const int lowest = throatAllowed ? 0 : 1;
    if (!(v >= lowest))
        return lowest;
    return static_cast<int>(v);
}

void setUpHorn(const RunInput& in, Model& m, std::vector<RunMessage>& messages)
{
    HornModel& h = m.horn;
    const int n = m.n;
    const int item = static_cast<int>(in.flareLaw);
    h.law = item >= 0 && item <= static_cast<int>(FlareLaw::Tractrix) ? in.flareLaw : FlareLaw::Parabolic;
    h.ah = in.ah * n * 0.0001;
    h.am = in.h * n * in.b * 0.0001;
    h.l1 = in.l1 == 0.0 ? std::sqrt(h.am) * 1e-6 : in.l1;
    h.dx = h.l1 * 0.01;
    h.rMouth = std::sqrt(h.am / kPi);
    h.beta1 = in.beta1;
    h.beta2 = in.beta2;
    h.xT1 = in.xT1;
    h.xT2 = in.xT2;
    h.mouthClosed = in.mouthClosed;
    for (int i = 0; i < kHornNodes; ++i)
        h.x[i] = i * h.dx;

    if (h.law == FlareLaw::Tractrix) {
        const double rH = throatRadius(h, n);
        const double rM = mouthRadius(h, n);
        h.aTr = tractrixConstant(h.l1, rH, rM);
        for (int i = 0; i < kHornNodes; ++i) {
            const double y = tractrixRadius(h.l1, rH, rM, h.x[i]);
            h.a[i] = y * y * n * kPi;
        }
        h.vHorn = hornVolume(h, 0.0);
    } else {
        h.aTr = 0.0;
        for (int i = 0; i < kHornNodes; ++i)
            h.a[i] = flareArea(h, h.x[i], h.l1);
        h.vHorn = hornVolume(h, flareConstant(h.law, h.ah, h.am, h.l1));
    }
    for (int i = 0; i < kHornNodes; ++i) {
        h.aOne[i] = h.a[i] * 10000.0 / n;
        h.dampingBase[i] = (h.beta1 + (h.beta2 - h.beta1) * h.x[i] / h.l1) * h.dx / h.a[i];
        h.complianceRe[i] = 0.0 / h.a[i] / h.dx;
        h.massRe[i] = h.dx * 0.0 / h.a[i];
    }

    if (h.law == FlareLaw::Tractrix && h.aTr < mouthRadius(h, n)) {
        messages.push_back({ RunMessageCode::TractrixShortened, h.aOne[100] / in.b });
    }

    h.n1 = attachmentNode(in.xT1, h.l1, true);
    h.n2 = attachmentNode(in.xT2, h.l1, false);
    h.nAK = attachmentNode(in.xAK, h.l1, false);
    h.nET = attachmentNode(in.xET, h.l1, false);
}

std::vector<ContourPoint> contourPoints(const RunInput& in, const Model& m)
{
    const HornModel& h = m.horn;
    const int n = m.n;
    const int nc = in.contourPoints - 1;
    std::vector<ContourPoint> rows;
    if (nc < 1)
        return rows;
    rows.reserve(static_cast<size_t>(nc) + 1);
    const double rH = throatRadius(h, n);
    const double rM = mouthRadius(h, n);
    for (int i = 0; i <= nc; ++i) {
        const double x = i * h.l1 / nc;
        double ar;
        if (h.law == FlareLaw::Tractrix) {
            const double y = tractrixRadius(h.l1, rH, rM, x);
            ar = y * y * kPi;
        } else {
            const double t = static_cast<double>(i) / nc;
            ar = flareArea(h, t, 1.0) / n;
        }
        rows.push_back({ x, ar * 10000.0, ar * 10000.0 / in.b, std::sqrt(ar / kPi) * 100.0 });
    }
    return rows;
}

} // namespace velumo
