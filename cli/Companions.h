#pragma once
// Programs velumo-sim hands a run to, installed beside it:
// - velumo-report writes the HTML report, which needs Qt; a plain run never
//   loads a Qt library.
// - velumo-optimise is velumo-sim linked against the shared C library, so that
//   it can load NLopt; velumo-sim itself is linked statically, which saves a
//   quarter of a plain run's time in starting the process.
// Either is started once velumo-sim has read and checked the arguments, and
// replaces the process, so its messages and exit status are this run's.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "SimRunner.h"

namespace velumo {

// The program `name` beside this program (its real location, links
// resolved), else the first one on PATH; empty when there is none.
std::string findCompanion(std::string_view name);

// Replaces this process by `velumo-report PROJECT --out FOLDER --report
// FILE` (the list folder resolved). Returns only when that fails: kSimUsage,
// with the reason in err.
int startReportProgram(const SimOptions& options, std::ostream& err);

// Replaces this process by velumo-optimise with the command's arguments.
// Returns only when that fails, as startReportProgram.
int startOptimiserProgram(const OptimisationCall& call);

} // namespace velumo
