#pragma once
// A run's result in the program's words: its messages as message boxes, its
// derived values as the lines of the parameter window, its inputs by the
// names of their controls; and the run with its lists written, as the
// window, velumo-sim and the report start it.

#include <optional>
#include <string>
#include <vector>

#include "Messages.h"
#include "RunLists.h"
#include "RunResult.h"
#include "Simulation.h"

namespace velumo {

// The control an input is entered in ("EditRdc2", "CBKontur", "MinMaxGrid",
// "OptionGrid", "FWGrid", ...).
std::string controlName(RunInputId id);

// The message box of a run message.
Message runMessage(const RunMessage& m);

// Left column of the parameter window: six lines for driver 1, and for
// driver 2 with its own values an empty line and the six driver-2 lines.
std::vector<std::string> derivedLeftLines(const DerivedValues& d);
// Right column: the tractrix constant, the absorber tunnel, VHorn, the port
// length, Vgesamt (each where the design has it).
std::vector<std::string> derivedRightLines(const DerivedValues& d);

// A run as the program shows it.
struct RunOutcome {
    RunResult result;
    RunStatus status = RunStatus::Ok;
    int points = 0;                      // frequency points computed
    std::vector<Message> messages;       // the run's own messages, in order
    std::vector<std::string> leftLines;  // parameter window, empty after a stop
    std::vector<std::string> rightLines; // parameter window, empty after a stop
    bool editHChanged = false;           // the tractrix could not reach the mouth
    std::string newEditH;                // the mouth height it reaches, as EditH text
    std::string refusedControl;          // control name when Refused
    RunStop stop = RunStop::None;
    std::vector<std::string> stopInputs; // control names of the inputs concerned by `stop`
    ListWriteError lists;                // error 0: contour.txt and data.txt are in place
};

// The words of a result (no list written).
RunOutcome presentRun(RunResult result);

// Runs the inputs and, unless the run is refused, writes contour.txt and
// data.txt into listFolder (see writeRunLists): a run that stops keeps the
// header lines only, a run that fails on a point the points before it.
RunOutcome runAndWriteLists(const RunInput& in, const std::string& listFolder,
    const RunProgress& progress = {}, int threads = kRunThreads);

} // namespace velumo
