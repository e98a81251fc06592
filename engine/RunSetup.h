#pragma once
// Preparation of a simulation run: whether the inputs can run at all, the
// run-wide model (mirror factor, drivers, horn, enclosure, derived-parameter
// values, frequency range and upper limit) and the frequency grid.

#include <optional>
#include <vector>

#include "Model.h"
#include "RunInput.h"
#include "RunResult.h"

namespace velumo {

// The first input that would make the run divide by zero or take the
// logarithm of zero, or that is negative where only a size, count or
// magnitude has a meaning (path differences may be negative); none when the
// run can start.
std::optional<RunInputId> firstUnrunnableInput(const RunInput& in);

// Mirror factor of a position: 2 on the floor and against floor and wall, 4
// in a corner, 1 elsewhere (also without a choice).
int mirrorFactor(RoomPosition position);

// The model of one run, in the order of a run. With `out`, also its
// messages (in the order they arise), derived values and contour list
// points. The inputs must have passed firstUnrunnableInput.
Model prepareRun(const RunInput& in, RunResult* out = nullptr);

// The derived values of a prepared model.
DerivedValues derivedValues(const RunInput& in, const Model& m);

// Upper frequency limit (Hz): fmax lowered by each of the seven element
// limits that is smaller, in order.
double upperFrequencyLimit(const RunInput& in, const Model& m);

// Frequencies (Hz) a run computes: f_i = fmin·(fmax/fmin)^(i/N), going on
// while the point just computed is not above fLim and fewer than 169 points
// are done, so the first point above the limit is included.
std::vector<double> frequencyGrid(const Model& m);

// The inputs that the derived values that are not finite are computed
// from, in the order of the values, each once; empty when every value is
// finite.
std::vector<RunInputId> inputsOfNonFiniteValues(const DerivedValues& d);

// The inputs the horn contour is computed from.
std::vector<RunInputId> contourInputs();

} // namespace velumo
