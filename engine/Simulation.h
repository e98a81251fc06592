#pragma once
// A whole simulation run as a function: refuse or prepare the model, step
// through the frequency grid (element values, stamps, solve, pressure,
// results) and hand back a typed result. Wording it, writing its lists and
// drawing it are the callers' job.

#include <functional>
#include <vector>

#include "LoopNetwork.h"
#include "Model.h"
#include "Results.h"
#include "RunInput.h"
#include "RunResult.h"
#include "SparseNetwork.h"

namespace velumo {

// Progress of a run, 0..100.
using RunProgress = std::function<void(int percent)>;

// One frequency point f (Hz): element values, stamps, solve, pressure and
// results. Returns false when the system is singular or a result is not
// finite; `net` is scratch space of the caller.
//
// The LoopNetwork form is the literal reference (every series in full, the
// dense matrix cleared and eliminated row by row, about 1 MB); the program
// uses the SparseNetwork form, which gives the same bits in every flow and
// result. Its network must have been prepared for this model and crossover.
bool computePoint(
    const Model& model, const CrossoverInput& xo, double f, LoopNetwork& net, PointResults& result);
bool computePoint(
    const Model& model, const CrossoverInput& xo, double f, SparseNetwork& net, PointResults& result);

// Points f[0..count−1] (count <= kSolveBatch) at once in the lanes of one
// prepared network; ok[m] and results[m] as computePoint gives them for f[m].
void computePoints(const Model& model, const CrossoverInput& xo, const double* f, int count,
    SparseNetwork& net, PointResults* results, bool* ok);

// Records in `net` the entries that the stamps of this model write; once per
// run, before the frequency loop.
void prepareNetwork(SparseNetwork& net, const Model& model, const CrossoverInput& xo);

// Threads that compute the points of a run (fewer on a one-core machine).
inline constexpr int kRunThreads = 2;

// Every point of a grid, batch by batch, the batches shared out over the
// run's threads; results[i] and ok[i] as computePoint gives them for
// grid[i]. Points are independent, so the threads change no bit.
struct GridPoints {
    std::vector<PointResults> results;
    std::vector<char> ok; // one flag per point, written by one thread each
};
void computeGrid(const Model& model, const CrossoverInput& xo, const std::vector<double>& grid,
    GridPoints& out, int threads = kRunThreads);

// The whole run. A run that stops before its frequency loop (`stop`) has no
// contour points and no point results; a point that fails ends the run with
// the points before it.
RunResult runSimulation(const RunInput& in, const RunProgress& progress = {}, int threads = kRunThreads);

} // namespace velumo
