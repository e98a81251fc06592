#pragma once
// The horn of a run: cross-section areas of the chosen flare law on 101 nodes
// (100 equal segments), the horn volume, the contour list rows and the
// segments at which drivers, absorber chamber and extra tunnel join the horn.

#include <vector>

#include "Model.h"
#include "RunInput.h"
#include "RunResult.h"

namespace velumo {

// Fills m.horn from the inputs (m.n must be set): Ah, Am (incl. n), l1, dx,
// rMouth, x[], a[], aOne[], vHorn, aTr, beta1/2, xT1/2, mouthClosed and the
// attachment nodes. A tractrix that cannot reach the mouth is reported in
// `messages` with the mouth height it does reach (cm).
void setUpHorn(const RunInput& in, Model& m, std::vector<RunMessage>& messages);

// Area (m², incl. n) of the laws other than the tractrix at the ratio num/den of the horn length:
// the nodes pass (x, l1), the contour list passes (i/Nc, 1).
double flareArea(const HornModel& h, double num, double den);

// Points i = 0..Nc of the contour list of one real horn (Nc = contourPoints
// - 1 >= 1); the height uses the mouth width as entered.
std::vector<ContourPoint> contourPoints(const RunInput& in, const Model& m);

// Segment index of a side branch at distance pos from the throat: driver 1
// may sit at the throat (0..99), every other branch at 1..99.
int attachmentNode(double pos, double l1, bool throatAllowed);

} // namespace velumo
