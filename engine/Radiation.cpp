#include "Radiation.h"

#include <cmath>

#include "Constants.h"

namespace velumo {

double spaceFactor(RoomPosition position, double omega, double a)
{
    if (position != RoomPosition::Free && position != RoomPosition::Floor)
        return 1.0;
    const double x = omega * a / kC;
    const double x4 = std::pow(x, 4.0); // once: the call may set errno, so it is not merged
    return 0.3 * x4 / (x4 + 1.0) + 0.5;
}

Cx pistonPressure(double D, Cx U, double S, double r, double k)
{
    const double s = std::sin((std::sqrt(S / kPi + r * r) - r) * (k * 0.5));
    Cx F = j * (-D);
    F = F * kC;
    F = F * kRho;
    F = F * 2.0;
    return s * (F * U) / S;
}

Cx microphonePressure(const Model& model, const LoopNetwork& net, double omega, double k)
{
    return microphonePressure(model, net.x, omega, k);
}

Cx microphonePressure(const Model& model, const LoopFlows& x, double omega, double k)
{
    const EnclosureModel& e = model.encl;
    const HornModel& h = model.horn;
    const double dMouth = spaceFactor(model.position, omega, h.rMouth);
    const double dM2 = spaceFactor(model.position, omega, model.r2);
    const double dBR = spaceFactor(model.position, omega, e.rBR);
    const double dET = spaceFactor(model.position, omega, e.rET);

    // The opening at distance Abst is the reference; path differences count from it.
    Cx P;
    if (!e.rearLoaded) {
        P = pistonPressure(dMouth, x[kLoopMouth], h.a[99], e.abst, k);
        P = P - pistonPressure(dBR, x[kLoopPortEnd], e.abr, e.abst + e.dL, k);
        if (!e.rk2Checked)
            P = P - pistonPressure(dM2, x[kLoopDriver2Membrane], model.d2.sd, e.abst + e.dL2, k);
        if (e.etChecked)
            P = P + pistonPressure(dET, x[kLoopExtraTunnel], e.aet, e.abst + e.dLET, k);
    } else {
        P = pistonPressure(dBR, x[kLoopPortEnd], e.abr, e.abst, k);
        P = P - pistonPressure(dMouth, x[kLoopMouth], h.a[99], e.abst + e.dL, k);
        if (!e.rk2Checked)
            P = P + pistonPressure(dM2, x[kLoopDriver2Membrane], model.d2.sd, e.abst + e.dL2, k);
        if (e.etChecked)
            P = P - pistonPressure(dET, x[kLoopExtraTunnel], e.aet, e.abst + e.dLET, k);
    }
    return P;
}

} // namespace velumo
