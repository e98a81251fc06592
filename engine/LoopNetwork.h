#pragma once
// The loop (mesh) network of one frequency point: 262 complex loop equations
// M·x = b. Flows are currents (A) in the electrical loops and volume
// velocities (m³/s) in the acoustic ones.
//
// LoopNetwork is the dense matrix with the literal solver: the reference that
// tests and benchmarks hold the program's SparseNetwork against.

#include <array>

#include "Complex.h"

namespace velumo {

inline constexpr int kLoops = 262;

// The solution of the network: one flow per loop.
using LoopFlows = std::array<Cx, kLoops>;

// Loop numbers. Rows and columns of M use the same numbering.
inline constexpr int kLoopFilter1First = 0; // 0..3 shunt branches of driver 1's filter
inline constexpr int kLoopVoiceCoil1 = 4;
inline constexpr int kLoopMembrane1 = 5;
inline constexpr int kLoopFrontChamberFirst = 6; // 6..54 front-chamber slices
inline constexpr int kLoopFrontChamberLast = 54;
inline constexpr int kLoopFrontChamberEnd = 55; // last slice, joins horn node n1
inline constexpr int kLoopHornFirst = 56;       // horn segment 0
inline constexpr int kLoopHornLast = 154;       // horn segment 98
inline constexpr int kLoopMouth = 155;          // horn segment 99 with the mouth load
inline constexpr int kLoopAbsorber = 156;
inline constexpr int kLoopFilter2First = 157; // 157, 158 shunt branches of driver 2's filter
inline constexpr int kLoopVoiceCoil2 = 159;
inline constexpr int kLoopDriver2Membrane = 160;
inline constexpr int kLoopRearChamberFirst = 161; // 161..209
inline constexpr int kLoopRearChamberLast = 209;
inline constexpr int kLoopRearChamberEnd = 210; // last chamber slice joined to the port
inline constexpr int kLoopPortFirst = 211;      // 211..259
inline constexpr int kLoopPortLast = 259;
inline constexpr int kLoopPortEnd = 260; // port opening (rearloaded: driver 1 front)
inline constexpr int kLoopExtraTunnel = 261;

// Horn segment i (0..99) is loop kLoopHornFirst + i; node i is shared by
// loops i + 55 and i + 56.
inline constexpr int hornLoopBefore(int node) { return node + 55; }
inline constexpr int hornLoopAfter(int node) { return node + 56; }

struct LoopNetwork {
    using Row = std::array<Cx, kLoops>;
    std::array<Row, kLoops> M {};
    std::array<Cx, kLoops> b {};
    std::array<Cx, kLoops> x {};

    // Sets every entry of M and b to zero.
    void clear();
};

// Solves M·x = b by Gaussian elimination without pivoting: rows 1..261 in
// order, pivots k = 0..i−1 in order, an entry skipped exactly when
// re² + im² is 0, full-row updates; then back substitution. Overwrites M and
// b. Returns false (x then meaningless) when a pivot or diagonal entry that is
// needed is exactly zero, so that no infinity is produced.
bool solve(LoopNetwork& net);

} // namespace velumo
