#include "DriverModel.h"

#include "Constants.h"

#include <cmath>

namespace velumo {

DriverGroup storeDriverGroup(const DriverInput& in, int n)
{
    DriverGroup g;
    g.stk = in.stk;
    g.rdc = in.rdc / (in.stk * n);
    g.fs = in.fs;
    g.qes = in.qes;
    g.qms = in.qms;
    g.vas = in.vas * in.stk * n * 0.001;
    g.pmax = in.pmax;
    g.sd = in.sd * in.stk * n * 0.0001;
    g.z1k = in.z1k / (in.stk * n);
    g.z10k = in.z10k / (in.stk * n);
    g.xmax = in.xmax * 0.001;
    return g;
}

namespace {

void deriveCms(DriverGroup& g) { g.cms = g.vas / (kKappaP0 * g.sd * g.sd); }
void deriveMms(DriverGroup& g) { g.mms = 1.0 / (kPi * 4.0 * kPi * g.fs * g.fs * g.cms); }
void deriveRms(DriverGroup& g) { g.rms = 1.0 / (kPi * 2.0 * g.fs * g.cms * g.qms); }
void deriveBl(DriverGroup& g) { g.bl = std::sqrt(kPi * 2.0 * g.fs * g.rdc * g.mms / g.qes); }

// a is the real part of a voice-coil impedance of fixed 60° phase; a(f) = K·f^nL
// passes through the values at 1 kHz and 10 kHz.
void deriveInductanceModel(DriverGroup& g)
{
    if (g.z1k > g.rdc && g.z10k > g.rdc) {
        double a1k = std::sqrt(g.z1k * g.z1k * 0.25 - g.rdc * 3.0 * g.rdc * 0.0625) + g.rdc * (-0.25);
        double a10k = std::sqrt(g.z10k * g.z10k * 0.25 - g.rdc * 3.0 * g.rdc * 0.0625) + g.rdc * (-0.25);
        g.nL = std::log10(a10k / a1k);
        g.k = a1k / std::pow(1000.0, g.nL);
    } else {
        g.k = 0.0;
        g.nL = 1.0;
    }
}

} // namespace

void deriveDriverGroup(DriverGroup& g)
{
    deriveCms(g);
    deriveMms(g);
    deriveRms(g);
    deriveBl(g);
    deriveInductanceModel(g);
}

void setUpDrivers(const RunInput& in, Model& m)
{
    m.driver2Mode = driver2Used(in.driver2Mode) ? in.driver2Mode : Driver2Mode::None;
    m.driver2Reversed = in.driver2Reversed;
    m.d1 = storeDriverGroup(in.driver1, m.n);
    m.d2 = storeDriverGroup(m.driver2Mode == Driver2Mode::OwnValues ? in.driver2 : in.driver1, m.n);
    if (m.driver2Mode == Driver2Mode::None) {
        // Driver 2 stays in the network but draws no current and does not move.
        m.d2.rdc = m.d1.rdc * 1e6;
        m.d2.fs = m.d1.fs * 1e-6;
        m.d2.z1k = m.d1.z1k * 1e6;
        m.d2.z10k = m.d1.z10k * 1e6;
    }
    m.r2 = std::sqrt(m.d2.sd / kPi);
    // The order of the formulas across both groups is that of a run.
    deriveCms(m.d1);
    deriveCms(m.d2);
    deriveMms(m.d1);
    deriveMms(m.d2);
    deriveRms(m.d1);
    deriveRms(m.d2);
    deriveBl(m.d1);
    deriveBl(m.d2);
    deriveInductanceModel(m.d1);
    deriveInductanceModel(m.d2);
}

ComplexParts voiceCoilInductance(const DriverGroup& g, double f)
{
    double a = g.k * std::pow(f, g.nL - 1.0);
    return { a * std::sqrt(3.0) / (2.0 * kPi), -a / (2.0 * kPi) };
}

ComplexParts mechanicalImpedance(const DriverGroup& g, double omega)
{
    // j·omega·Mms minus j/(omega·Cms); the real parts of both are exactly 0.
    return { g.rms, omega * g.mms - 1.0 / (omega * g.cms) };
}

DriverFigures driverFigures(const DriverGroup& g, int n, double ue)
{
    DriverFigures f;
    f.cms = g.stk * g.cms * n * 1000.0;
    f.mms = g.mms / g.stk / n * 1000.0;
    f.rms = g.rms / g.stk / n;
    f.bl = g.bl;
    f.pe = ue * ue / g.rdc / n;
    f.qts = g.qms * g.qes / (g.qms + g.qes);
    return f;
}

} // namespace velumo
