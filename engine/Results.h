#pragma once
// The result quantities of one frequency point, from the solved flows and
// the pressure at the microphone.

#include "Complex.h"
#include "LoopNetwork.h"
#include "Model.h"

namespace velumo {

struct PointResults {
    double f = 0;      // Hz
    double spl = 0;    // dB
    double phase = 0;  // degrees, −180..180
    double zel = 0;    // Ohm
    double x1 = 0;     // mm
    double x2 = 0;     // mm
    double pmax1 = 0;  // W
    double pmax2 = 0;  // W, only meaningful with driver 2
    double splMax = 0; // dB
    double zReal = 0;
    double zImag = 0;
    bool hasDriver2 = false;
    Cx pressure;  // Pa, at the microphone
    Cx impedance; // Ohm, electrical input impedance (|impedance| is zel)

    // True when every value that is stored is a finite number.
    bool allFinite() const;
};

// Derives the results at frequency f (Hz, omega = 2·pi·f) from the flows in
// net.x and the microphone pressure P (Pa).
PointResults pointResults(const Model& model, const LoopNetwork& net, Cx P, double f, double omega);
PointResults pointResults(const Model& model, const LoopFlows& x, Cx P, double f, double omega);

} // namespace velumo
