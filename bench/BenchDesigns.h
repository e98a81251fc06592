#pragma once
// The all-elements design of the benchmarks: driver 1 off the throat, driver 2
// with its own chamber, absorber chamber, extra tunnel, tuned port and a
// filled crossover.

#include "EngineDesigns.h"
#include "Simulation.h"

namespace velumo::bench {

// The engine tests' design with every element on, its extra tunnel short
// enough (lumped up to c·0.2/LET = 1358 Hz) that 170 grid points up to 1 kHz
// lie below every element limit: 169 are computed.
inline RunInput everythingOn()
{
    RunInput in = test::everythingOnDesign();
    in.let = 0.05;
    in.freqAuto = false;
    in.freqMin = 10;
    in.freqMax = 1000;
    in.freqPoints = 170;
    return in;
}

} // namespace velumo::bench
