#pragma once
// velumo-sim --sweep: every design of a sweep plan (or of one shard of it)
// run on several threads, one summary row per design in design order.

#include <iosfwd>

#include "IniFile.h"
#include "SimRunner.h"

namespace velumo {

inline constexpr const char* kSummaryFileName = "summary.csv";

// Runs the designs of o.sweeps (o.shard's slice) over `project` (o.sets
// already applied) and writes summary.csv into o.outDir, through
// summary.csv.part, renamed when complete; with o.keepLists each design's
// lists into a subfolder named by its global index. A design that fails
// gets its row and the sweep goes on. Returns kSimOk when the summary is
// complete, kSimWriteFailed when it could not be written.
int runSweep(const IniFile& project, const SimOptions& o, std::ostream& err, bool progress);

// The subfolder of design `index`: its number, zero-padded to the width of
// the largest index, so that the folders sort in design order.
std::string designFolderName(std::uint64_t index, std::uint64_t designCount);

// Draws "[####----] count/total  rate/s  noch m:ss" on a terminal, at most
// ten times a second; does nothing when not enabled.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, std::uint64_t total, bool enabled);
    void update(std::uint64_t done);
    // The last state and a line break.
    void finish(std::uint64_t done);

private:
    void draw(std::uint64_t done);
    std::ostream& m_err;
    std::uint64_t m_total;
    bool m_enabled;
    double m_start;
    double m_lastDraw = -1;
};

} // namespace velumo
