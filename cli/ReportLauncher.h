#pragma once
// velumo-sim --report: the report needs Qt, velumo-sim does not. Once
// velumo-sim has read and checked the arguments, velumo-report, a program of
// its own installed beside velumo-sim, writes the report with the same exit
// statuses; a plain run never loads a Qt library.

#include <iosfwd>
#include <string>

#include "SimRunner.h"

namespace velumo {

// velumo-report beside this program (its real location, links resolved),
// else the first one on PATH; empty when there is none.
std::string findReportProgram();

// Replaces this process by `velumo-report PROJECT --out FOLDER --report
// FILE` (the list folder resolved), so its messages and exit status are this
// run's. Returns only when that fails: kSimUsage, with the reason in err.
int startReportProgram(const SimOptions& options, std::ostream& err);

} // namespace velumo
