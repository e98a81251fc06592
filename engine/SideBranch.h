#pragma once
// Shared pieces of the stamp code: the chamber slice elements (computed once
// per point so that both sides of a shared compliance use the same bits) and
// the side-branch rule for loops that join the horn at a node.

#include <array>

#include "Complex.h"
#include "LoopNetwork.h"
#include "Model.h"
#include "Stamps.h"

namespace velumo {

// The chamber slices of a point (PointValues keeps them, see there).
FrontChamber frontChamber(const Model& model, const PointValues& pv);
RearChamber rearChamber(const Model& model, const PointValues& pv);

// A side loop joining the horn: front-chamber end of driver 1 (enters the
// node, s = −1), absorber chamber (+1), driver 2 (−1), extra tunnel (+1).
struct SideLoop {
    int loop = 0;
    int node = 0;
    int s = 1;
    bool active = false;
};

// The four side loops of the model, in the order 55, 156, 160, 261.
std::array<SideLoop, 4> sideLoops(const Model& model);

// Writes the side-branch couplings of `loop` (not its diagonal): its own row
// entries in the two horn loops and in every other active side loop at the
// same node, and its column entries in the two horn rows (the mouth row
// is left alone when the mouth is closed).
template <class Net> void stampSideBranch(Net& net, const Model& model, const PointValues& pv, int loop);

} // namespace velumo
