#include "Enclosure.h"

#include "Constants.h"

#include <cmath>

namespace velumo {

namespace {

// Helmholtz tuning of a duct of area A (incl. n) on a volume V (incl. n),
// with the end correction 0.8·r of one real opening.
double tunedLength(double A, double f, double V, int n)
{
    const double r = std::sqrt(A / kPi / n);
    return A * kKappaP0 / (kPi * 4.0 * kPi * f * f * kRho * V) - r * 0.8;
}

bool isFrontLoaded(const RunInput& in) { return in.hornType != HornType::RearLoaded; }

void setUpRearChamberAndPort(const RunInput& in, Model& m, std::vector<RunMessage>& messages)
{
    EnclosureModel& e = m.encl;
    const int n = m.n;
    const double sd = m.d1.sd;
    e.rearLoaded = !isFrontLoaded(in);
    if (isFrontLoaded(in)) {
        e.vrk = in.vrk * n * 0.001;
        e.lrk = in.lrk;
        if (in.abrTextIsZero) {
            // A port resonating with the rear chamber at 1 Hz: no effect in range.
            e.lbr = std::sqrt(sd) * 0.001;
            e.abr = kPi * 4.0 * kPi * kRho * e.vrk * e.lbr / kKappaP0;
        } else {
            e.abr = in.abr * n * 0.0001;
            e.lbr = tunedLength(e.abr, in.fbr, e.vrk, n);
            if (!(e.lbr >= 0.0)) {
                messages.push_back({ RunMessageCode::PortLengthNegative });
                e.lbr = std::sqrt(sd) * 0.001;
            }
        }
        e.hasPort = !in.abrTextIsZero;
    } else {
        // The driver front takes the place of the port opening.
        e.vrk = m.d1.vas * 1e-6;
        e.lrk = 0.0;
        e.abr = sd;
        e.lbr = std::sqrt(sd) * 0.001;
        e.hasPort = false;
    }
    e.rBR = std::sqrt(e.abr / kPi);
    e.bbr = in.bbr;
    e.brk = in.brk;
}

void setUpAbsorber(const RunInput& in, Model& m, std::vector<RunMessage>& messages)
{
    EnclosureModel& e = m.encl;
    const int n = m.n;
    const double sd = m.d1.sd;
    e.aat = in.aat != 0.0 ? in.aat * n * 0.0001 : sd * 1e-6;
    e.akChecked = in.ak;
    e.akActive = in.fak != 0.0 && in.vak != 0.0 && in.ak;
    e.fak = in.fak;
    if (e.akActive) {
        e.vak = in.vak * n * 0.001;
        e.lat = tunedLength(e.aat, e.fak, e.vak, n);
        if (!(e.lat >= 0.0)) {
            messages.push_back({ RunMessageCode::TunnelLengthNegative });
            e.lat = std::sqrt(sd) * 0.001;
        }
    } else {
        e.vak = m.d1.vas * 1e-6;
        e.lat = std::sqrt(sd) * 0.001;
    }
    e.bak = in.bak;
    e.xAK = in.xAK;
}

double totalVolume(const RunInput& in, const Model& m)
{
    const EnclosureModel& e = m.encl;
    const int n = m.n;
    double v;
    if (isFrontLoaded(in)) {
        v = (m.horn.vHorn + e.vvk + e.vrk) * 1000.0 / n;
        if (e.hasPort)
            v += e.abr * e.lbr * 1000.0 / n;
    } else {
        v = (m.horn.vHorn + e.vvk) * 1000.0 / n;
    }
    if (e.rk2Used)
        v += e.vrk2 * 1000.0 / n;
    if (e.akActive)
        v += (e.aat * e.lat + e.vak) * 1000.0 / n;
    if (e.etActive)
        v += e.aet * e.let * 1000.0 / n;
    return v;
}

} // namespace

void setUpEnclosure(const RunInput& in, Model& m, std::vector<RunMessage>& messages)
{
    EnclosureModel& e = m.encl;
    const int n = m.n;
    const double sd = m.d1.sd;

    e.vvk = in.vvk != 0.0 ? in.vvk * n * 0.001 : std::pow(sd, 1.5) * 1e-6;
    e.lvk = in.lvk;
    e.bvk = in.bvk;

    setUpRearChamberAndPort(in, m, messages);

    e.rk2Checked = in.rk2;
    e.rk2Used = in.rk2 && driver2Used(in.driver2Mode);
    // Without its chamber driver 2 sees an unbounded volume: no stiffness.
    e.vrk2 = e.rk2Used ? in.vrk2 * n * 0.001 : m.d2.vas * 1e9;

    setUpAbsorber(in, m, messages);

    e.etChecked = in.et;
    e.etActive = in.aet != 0.0 && in.et;
    e.let = in.let;
    e.dLET = in.dLET;
    e.aet = e.etActive ? in.aet * n * 0.0001 : sd * 1e-6;
    e.rET = std::sqrt(e.aet / kPi);
    e.bet = in.bet;
    e.xET = in.xET;

    e.abst = in.abst;
    e.dL = in.dL;
    e.dL2 = in.dL2;

    e.vGesamt = totalVolume(in, m);
}

void addEnclosureValues(const RunInput& in, const Model& m, DerivedValues& d)
{
    if (m.encl.akActive)
        d.tunnelLength = m.encl.lat * 100.0;
    d.hornVolume = m.horn.vHorn * 1000.0 / m.n;
    if (isFrontLoaded(in) && !in.abrTextIsZero && !in.fbrTextIsZero)
        d.portLength = m.encl.lbr * 100.0;
    d.totalVolume = m.encl.vGesamt;
}

DampingResistances dampingResistances(const EnclosureModel& e, double omega)
{
    DampingResistances r;
    r.Rvk = e.bvk * e.lvk * e.lvk / e.vvk * omega / 628.0;
    r.Rrk = e.brk * e.lrk * e.lrk / e.vrk * omega / 628.0;
    r.Rbr = e.bbr * e.lbr / e.abr * omega / 628.0;
    r.RAK = e.bak * e.lat / e.aat * omega / 628.0;
    r.RET = e.bet * e.let / e.aet * omega / 628.0;
    return r;
}

} // namespace velumo
