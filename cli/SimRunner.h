#pragma once
// velumo-sim: loads a project as "Öffnen" does, checks it, runs the
// simulation and writes contour.txt and data.txt, all without a window.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "FiguresOfMerit.h"
#include "IniFile.h"
#include "SweepPlan.h"

namespace velumo {

// Exit statuses of velumo-sim.
enum SimExit {
    kSimOk = 0,
    kSimUsage = 1,       // usage error, or a project file that cannot be read or holds no design
    kSimInvalid = 2,     // the input check left the design invalid
    kSimRunFailed = 3,   // the run was refused or failed (no report is written)
    kSimWriteFailed = 4, // the lists or the report could not be written
    kSimNotMet = 5       // an optimisation found no design that meets every --require
};

struct SimOptions {
    std::string projectPath;
    std::string outDir;     // empty: the settings folder, as in the program (set before a report)
    std::string reportPath; // empty: no report
    std::string frdPath;    // empty: no FRD export
    std::string zmaPath;    // empty: no ZMA export
    std::string jsonPath;   // empty: no JSON; "-": standard output, instead of the lines
    bool help = false;

    std::vector<KeyValue> sets;          // --set, in command-line order
    std::vector<Sweep> sweeps;           // --sweep: a sweep when not empty
    int jobs = 0;                        // --jobs; 0: every core
    bool keepLists = false;              // --keep-lists
    std::optional<Shard> shard;          // --shard
    std::optional<Band> band;            // --band
    std::optional<Figure> goal;          // --optimise / --maximise: an optimisation when set
    bool maximise = false;               // the goal is to be made as large as possible
    std::vector<VaryBound> vary;         // --vary
    std::vector<Constraint> constraints; // --require
    std::uint64_t seed = 1;              // --seed
    int evaluations = 2000;              // --evaluations
};

// Parses the arguments (without the program name); false with a reason on
// a usage error.
bool parseSimArguments(const std::vector<std::string>& args, SimOptions* options, std::string* error);

std::string simUsage();

// Writes an HTML report of the loaded, simulated project, the lists into
// outDir; set by a program that links the report code. Returns an exit
// status.
using ReportWriter = std::function<int(const SimOptions&, std::ostream& err)>;

// An optimisation (options.goal set) over `project`, with the command's
// arguments `args`.
struct OptimisationCall {
    const IniFile& project;
    const SimOptions& options;
    const std::vector<std::string>& args;
    std::ostream& out;
    std::ostream& err;
    bool progress;
};

// Carries out an optimisation: runOptimisationHere, or, in a program that
// cannot load NLopt, a program that can. Returns an exit status.
using OptimiserRunner = std::function<int(const OptimisationCall&)>;

// The whole command: messages go to err as "Caption: text" (or just the text
// where there is no caption), the derived-parameter lines to out (left
// column, an empty line, right column).
// `progress`: err is a terminal, so a sweep or an optimisation may draw its
// progress bar there.
// Without `report` or `optimiser`, a report or an optimisation is refused as
// not built into this program.
int runVelumoSim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
    const ReportWriter& report = {}, bool progress = false, const OptimiserRunner& optimiser = {});

} // namespace velumo
