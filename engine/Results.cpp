#include "Results.h"

#include <cmath>

#include "Constants.h"

namespace velumo {

namespace {

// The power at which the membrane reaches Xmax, limited by the rated power
// of the whole group.
double admissiblePower(const DriverGroup& d, double excursion, double u0, int n)
{
    double p = std::pow(d.xmax / excursion, 2.0) * (u0 * u0 / d.rdc / n * 0.5);
    if (!(d.stk * d.pmax > p))
        p = d.stk * d.pmax;
    return p;
}

double levelAtPower(const DriverGroup& d, double power, double u0, int n, double spl)
{
    return 10.0 * std::log10(power * d.rdc * n / (u0 * u0)) + spl;
}

} // namespace

bool PointResults::allFinite() const
{
    const bool base = std::isfinite(f) && std::isfinite(spl) && std::isfinite(phase) && std::isfinite(zel)
        && std::isfinite(x1) && std::isfinite(x2) && std::isfinite(pmax1) && std::isfinite(splMax)
        && std::isfinite(zReal) && std::isfinite(zImag);
    return base && (!hasDriver2 || std::isfinite(pmax2));
}

PointResults pointResults(const Model& model, const LoopNetwork& net, Cx P, double f, double omega)
{
    return pointResults(model, net.x, P, f, omega);
}

PointResults pointResults(const Model& model, const LoopFlows& x, Cx P, double f, double omega)
{
    const double u0 = model.ue;
    const int n = model.n;
    PointResults r;
    r.f = f;
    r.hasDriver2 = model.driver2Mode != Driver2Mode::None;

    r.spl = 20.0 * std::log10(abs(P)) + 94.0;
    r.phase = -std::atan2(P.im, P.re) * 180.0 / kPi;

    // Both ladders draw from the amplifier; n mirrored systems in parallel.
    Cx current = x[kLoopFilter1First];
    for (int loop = kLoopFilter1First + 1; loop <= kLoopVoiceCoil1; ++loop)
        current = current + x[loop];
    for (int loop = kLoopFilter2First; loop <= kLoopVoiceCoil2; ++loop)
        current = current + x[loop];
    r.zel = n * u0 / abs(current);
    r.pressure = P;
    r.impedance = Cx(n * u0) / current;

    const Cx xi1 = x[kLoopMembrane1] / ((j * omega) * model.d1.sd);
    r.x1 = abs(xi1) * 1000.0;
    const Cx xi2 = x[kLoopDriver2Membrane] / ((j * omega) * model.d2.sd);
    r.x2 = abs(xi2) * 1000.0;

    r.pmax1 = admissiblePower(model.d1, abs(xi1), u0, n);
    r.splMax = levelAtPower(model.d1, r.pmax1, u0, n, r.spl);
    if (r.hasDriver2) {
        r.pmax2 = admissiblePower(model.d2, abs(xi2), u0, n);
        const double splMax2 = levelAtPower(model.d2, r.pmax2, u0, n, r.spl);
        if (r.splMax >= splMax2)
            r.splMax = splMax2;
    }

    // Acoustic load on the front of driver 1, normalised to rho·c / Sd1.
    Cx w = j * omega;
    w = w * model.encl.vvk;
    w = w * kRho;
    w = w * kC;
    w = w * x[kLoopMembrane1];
    const Cx d = x[kLoopMembrane1] - x[kLoopFrontChamberFirst];
    const Cx num = (model.d1.sd * 50.0 * kKappaP0) * d;
    const Cx z = num / w;
    r.zReal = z.re;
    r.zImag = z.im;
    return r;
}

} // namespace velumo
