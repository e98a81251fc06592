#pragma once
// A whole simulation run without any window: refuse or start the files,
// prepare the model, step through the frequency grid (element values, stamps,
// solve, pressure, results, result row) and end the run. Drawing and
// advancing the result slot are the caller's job.

#include <string>
#include <vector>

#include "LoopNetwork.h"
#include "Messages.h"
#include "Model.h"
#include "ResultSlot.h"
#include "Results.h"
#include "RunInput.h"
#include "RunSetup.h"
#include "SparseNetwork.h"

namespace velumo {

// Messages of the run plus its progress (0..100, the value of ProgressBar1).
class RunSink : public MessageSink {
public:
    virtual void progress(int percent) = 0;
};

enum class RunStatus {
    Ok,      // at least two points computed
    Refused, // an input the run cannot take (a zero divisor, a negative size); no file touched
    Failed,  // the model or a point gave no finite value, or fewer than two points
};

// Why a run stopped before its frequency loop; the caller words the message.
enum class RunStop {
    None,
    ContourNotFinite, // the horn contour holds a value that is not finite
    DerivedNotFinite, // a derived-parameter line holds a value that is not finite
};

struct RunOutcome {
    RunStatus status = RunStatus::Ok;
    int points = 0;                      // frequency points computed and stored
    std::vector<std::string> leftLines;  // derived-parameter window, driver values
    std::vector<std::string> rightLines; // horn and enclosure values
    bool editHChanged = false;           // the tractrix could not reach the mouth
    std::string newEditH;
    std::string refusedControl; // control name when Refused
    RunStop stop = RunStop::None;
    std::vector<std::string> stopInputs; // control names of the inputs concerned by `stop`
    ListWriteError lists;                // error 0: contour.txt and data.txt are in place
};

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

// The whole run, writing contour.txt and data.txt (with their .bak back-ups)
// into outputDir and the results into slot. The lists replace the previous
// ones only once both are complete, also after a run that stops (with what
// it computed); a list that cannot be written leaves both previous lists as
// they were and is reported in `lists`. A run that stops before its
// frequency loop (`stop`) sends no message of its own.
RunOutcome runSimulation(const RunInput& in, const std::string& outputDir, ResultSlot& slot, RunSink& sink);

} // namespace velumo
