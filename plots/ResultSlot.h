#pragma once
// One stored run: what the graph windows draw and the sketch reads.
// Plain fixed-size arrays; a run writes entries 0..(last point) only.

#include <array>

#include "Model.h"

namespace velumo {

struct PointResults;
struct RunResult;

constexpr int kSlotPoints = 170; // points per slot (0..168 used by a run)
constexpr int kSlotCount = 4;

struct ResultSlot {
    std::array<double, kSlotPoints> frequency {};  // Hz; slot filled when [0] > 0.01
    double upperLimit = 0.0;                       // f_lim of the run, Hz
    std::array<double, kSlotPoints> spl {};        // dB
    std::array<double, kSlotPoints> x1 {};         // mm, driver 1 excursion
    std::array<double, kSlotPoints> x2 {};         // mm, driver 2 excursion
    std::array<double, kSlotPoints> splMax {};     // dB
    std::array<double, kSlotPoints> pmax1 {};      // W
    std::array<double, kSlotPoints> pmax2 {};      // W (not written without driver 2)
    std::array<double, kSlotPoints> zel {};        // Ohm
    std::array<double, kSlotPoints> zReal {};      // normalised load, real part
    std::array<double, kSlotPoints> zImag {};      // normalised load, imaginary part
    std::array<double, kSlotPoints> phase {};      // degrees
    std::array<double, kHornNodes> contourX {};    // m
    std::array<double, kHornNodes> contourA {};    // m², including the mirror factor
    std::array<double, kHornNodes> contourAone {}; // cm², one real horn

    bool isFilled() const { return frequency[0] > 0.01; }
};

// Empties a slot the way the "Alle Graphen löschen" command does: the driver-2
// arrays keep their contents (they are only read for filled slots).
void clearSlot(ResultSlot& slot);

// Writes one point into entry i; Pmax2 only with driver 2.
void storeResults(ResultSlot& slot, int i, const PointResults& r);

// Stores a run: its contour, upper limit and points. A run that failed after
// two points or more is drawn up to its last point, as the entries after it
// still hold an earlier run's values; a run that stopped before its
// frequency loop stores nothing.
void storeRun(ResultSlot& slot, const RunResult& result);

} // namespace velumo
