#pragma once
// Per-frequency element values and the stamps of every loop of the network.
// The run-wide values come from the Model; everything here is recomputed at
// each frequency point and written into a cleared LoopNetwork.

#include <array>

#include "Complex.h"
#include "Crossover.h"
#include "LoopNetwork.h"
#include "Model.h"

namespace velumo {

// Element values of one frequency point (SI units, acoustic ohms for the
// acoustic elements, ohms for the electrical ones).
struct PointValues {
    double f = 0;       // Hz
    double omega = 0;   // rad/s
    double k = 0;       // 1/m
    Cx jwr;             // j·omega·rho
    Cx L1, L2;          // complex voice-coil inductances, H
    CrossoverBranches xo;
    Cx zm1, zm2;        // mechanical impedances of the moving systems, N·s/m
    Cx zradMouth, zradM2, zradPort, zradET;
    std::array<double, kHornNodes> R{}; // horn segment damping
    double rvk = 0, rrk = 0, rbr = 0, rak = 0, ret = 0; // chamber, port and tunnel damping
};

// Radiation impedance of a rigid circular piston of radius r (m) and area
// S (m²) in an infinite baffle at wave number k.
Cx radiationImpedance(double k, double r, double S);

// Every element value of frequency f, in the fixed order: inductances,
// filter branches, mechanical impedances, radiation, segment damping,
// chamber damping.
PointValues pointValues(const Model& model, const CrossoverInput& xo, double f);

// Compliance of horn node i: ((kappa·p0 / j) / omega) / A[i] / dx.
Cx hornNodeCompliance(const Model& model, const PointValues& pv, int node);

// Clears the network and writes every stamp of loops 0..261 in order:
// driver 1's filter, driver 1 with front chamber and horn, mouth, absorber
// chamber, driver 2, rear chamber and port, extra tunnel.
void stampNetwork(LoopNetwork& net, const Model& model, const PointValues& pv);

// The element groups, each writing its own rows (called by stampNetwork).
void stampDriver1(LoopNetwork& net, const Model& model, const PointValues& pv);
void stampHorn(LoopNetwork& net, const Model& model, const PointValues& pv);
void stampMouth(LoopNetwork& net, const Model& model, const PointValues& pv);
void stampAbsorber(LoopNetwork& net, const Model& model, const PointValues& pv);
void stampDriver2(LoopNetwork& net, const Model& model, const PointValues& pv);
void stampRearChamberAndPort(LoopNetwork& net, const Model& model, const PointValues& pv);
void stampExtraTunnel(LoopNetwork& net, const Model& model, const PointValues& pv);

} // namespace velumo
