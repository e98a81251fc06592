#pragma once
// One velumo-sim call inside the test's process, with what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "Optimiser.h"
#include "SimRunner.h"

namespace velumo::test {

struct SimRun {
    int status = 0;
    std::string out;
    std::string err;
};

// The arguments, then `more`.
inline SimRun runSim(std::vector<std::string> args, const std::vector<std::string>& more = {})
{
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out, err;
    SimRun r;
    r.status = runVelumoSim(args, out, err, {}, false, runOptimisationHere);
    r.out = out.str();
    r.err = err.str();
    return r;
}

} // namespace velumo::test
