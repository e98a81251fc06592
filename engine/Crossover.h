#pragma once
// The passive crossover in the loop network: branch impedances of the six
// ladder sections (four for driver 1, two for driver 2) at one frequency,
// and the stamps of both ladders.

#include <array>

#include "Complex.h"
#include "RunInput.h"

namespace velumo {

// Series S[s] and shunt P[s] impedances of sections s = 1..6 (index 0 unused),
// Ohm, already divided by the mirror factor where that applies.
struct CrossoverBranches {
    std::array<Cx, 7> S {};
    std::array<Cx, 7> P {};
};

struct CrossoverContext {
    double omega = 0;            // rad/s
    double rdc1 = 0;             // driver 1's stored Rdc (Ohm, divided by Stk·n)
    double rdcBoxValue = 0;      // the driver-1 Rdc as entered
    int n = 1;                   // mirror factor
    bool driver2Present = false; // driver 2 in use
};

CrossoverBranches crossoverBranches(const CrossoverInput& xo, const CrossoverContext& ctx);

// Rows 0..3 and M[4][3] (driver 1's ladder fed by U0 in b[0]).
template <class Net> void stampCrossover1(Net& net, const CrossoverBranches& br, double u0);

// Rows 157..159 up to the voice-coil diagonal: ZS2, ZA2, ZT2, ZB2 ladder
// fed by U0 in b[157]; M[159][158] = −ZB2.
template <class Net> void stampCrossover2(Net& net, const CrossoverBranches& br, double u0);

} // namespace velumo
