#pragma once
// velumo-sim --optimise: searches the free values (--vary) for the design
// with the smallest (--maximise: largest) figure of merit that meets every
// --require, with NLopt's Nelder-Mead simplex from several starts.
//
// Nelder-Mead only compares values, so the constraints enter as a ranking
// instead of weighted penalties: every design that meets all constraints
// ranks by its figure, every other design ranks behind all of them by its
// summed relative shortfall, and a design without the figures (refused,
// failed) ranks last. No weight has to be tuned to the units of the figures.
//
// Start 1 is the project's own values (moved into the bounds); the further
// starts are uniform random points of the bounds from a generator seeded
// with --seed, so a run is reproducible. The first kOptimiserStarts starts
// share the evaluation budget; one that converges early leaves its rest to
// the next, and further starts follow until the budget is spent.

#include <iosfwd>

#include "IniFile.h"
#include "SimRunner.h"

namespace velumo {

inline constexpr int kMaxEvaluations = 100000;
inline constexpr int kOptimiserStarts = 4;
inline constexpr const char* kTraceFileName = "trace.csv";
inline constexpr const char* kBestFileName = "best.vlm";

// The rank of one design (smaller is better); see above.
double designRank(const FiguresOfMerit& figures, int status, Figure goal, bool maximise,
    const std::vector<Constraint>& constraints);

// Optimises over `project` (o.sets applied) and writes trace.csv (one row
// per evaluated design), best.vlm (the project with the best values, as
// "Speichern" writes it) and the best design's contour.txt and data.txt
// into o.outDir; the figures before and after go to out. Returns kSimOk,
// kSimNotMet (best.vlm then holds the design closest to the constraints),
// kSimInvalid when no design could be run at all, or kSimWriteFailed.
int runOptimisation(
    const IniFile& project, const SimOptions& o, std::ostream& out, std::ostream& err, bool progress);

// runOptimisation in this process, for runVelumoSim.
inline int runOptimisationHere(const OptimisationCall& c)
{
    return runOptimisation(c.project, c.options, c.out, c.err, c.progress);
}

} // namespace velumo
