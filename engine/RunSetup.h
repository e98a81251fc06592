#pragma once
// Preparation of a simulation run: whether the inputs can run at all, the
// run-wide model (mirror factor, drivers, horn, enclosure, derived-parameter
// lines, frequency range and upper limit), the frequency grid and the start
// of the two text lists.

#include <string>
#include <vector>

#include "Messages.h"
#include "Model.h"
#include "RunInput.h"
#include "TextFiles.h"

namespace velumo {

// Name of the control ("Editfs", "EditRdc2", "EditAh", "MinMaxGrid", ...) of
// the first input that would make the run divide by zero or take the
// logarithm of zero, or that is negative where only a size, count or
// magnitude has a meaning (path differences may be negative); "" when the
// run can start.
std::string firstUnrunnableInput(const RunInput& in);

// Mirror factor from the CBPosi item: "Boden" and "Boden + Wand" 2, "Ecke" 4,
// everything else (also no selection) 1.
int mirrorFactor(int posi);

// What a run prepares besides the model: the contour list rows (each ended by
// CR LF) and, when the tractrix cannot reach the mouth, the new EditH text.
struct RunSetUpOutput {
    std::vector<std::string> contourRows;
    bool editHChanged = false;
    std::string newEditH;
};

// The model of one run, in the order of a run; messages of the horn and the
// enclosure go to the sink in the order they are raised. The inputs must have
// passed firstUnrunnableInput.
Model prepareRun(const RunInput& in, MessageSink& sink, RunSetUpOutput* out = nullptr);

// Upper frequency limit (Hz): fmax lowered by each of the seven element
// limits that is smaller, in order.
double upperFrequencyLimit(const RunInput& in, const Model& m);

// Frequencies (Hz) a run computes: f_i = fmin·(fmax/fmin)^(i/N), going on
// while the point just computed is not above fLim and fewer than 169 points
// are done, so the first point above the limit is included.
std::vector<double> frequencyGrid(const Model& m);

// Control names of the inputs that a derived-parameter line with a value
// that is not finite ("Pe2 = INF W") is computed from, in the order of the
// lines, each once; empty when every line is finite. The driver-2 lines
// ("Cms2", ...) name the driver-2 boxes.
std::vector<std::string> inputsOfNonFiniteLines(const std::vector<std::string>& lines);

// The inputs the horn contour is computed from.
std::vector<std::string> contourInputs();

// Why the lists of a run are not in place: the list that failed and the
// errno value; error 0 when both lists were written.
struct ListWriteError {
    std::string path;
    int error = 0;
};

// The two lists of a run, written while their folder is locked and put in
// place together: both, or neither.
class RunLists {
public:
    // Locks the folder dir and starts both lists with their header lines.
    explicit RunLists(const std::string& dir);
    TextFileWriter contour;
    TextFileWriter data;
    // Commits both lists when both are complete, else removes both.
    ListWriteError finish();

private:
    FolderLock m_lock; // taken before the lists start, released after they end
};

} // namespace velumo
