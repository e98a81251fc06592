#pragma once
// Sound pressure at the microphone: every radiating opening is a circular
// piston seen on its axis, weighted by a space factor of the room position
// and summed with fixed signs at the user's path differences.

#include "Complex.h"
#include "LoopNetwork.h"
#include "Model.h"

namespace velumo {

// Space factor of an opening of radius a (m) at omega (rad/s): free and on
// the floor 0.5 rising to 0.8 with x = omega·a/c, else 1.
double spaceFactor(RoomPosition position, double omega, double a);

// On-axis pressure (Pa) of a piston of area S (m²) with volume velocity U
// (m³/s) at distance r (m), wave number k (1/m), space factor D:
// −j·2·rho·c·D·sin(k/2·(sqrt(S/pi + r²) − r))·U/S. No propagation phase.
Cx pistonPressure(double D, Cx U, double S, double r, double k);

// The complex pressure P at the microphone from the solved flows.
Cx microphonePressure(const Model& model, const LoopNetwork& net, double omega, double k);
Cx microphonePressure(const Model& model, const LoopFlows& x, double omega, double k);

} // namespace velumo
