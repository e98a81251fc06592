#pragma once
// Driver groups of a run: the entered small-signal parameters scaled by the
// number of drivers and the mirror factor, the derived Cms, Mms, Rms, Bl and
// the lossy voice-coil model, plus the per-frequency electrical and
// mechanical pieces that the network needs.

#include "Model.h"
#include "RunInput.h"
#include "RunResult.h"

namespace velumo {

// Real and imaginary part of a complex value; the network code builds its
// own complex type from them.
struct ComplexParts {
    double re = 0;
    double im = 0;
};

// Stored group values of one driver input with Stk drivers and mirror factor
// n (areas and volumes times Stk·n, resistances divided by it, SI units).
// Derived values are left at zero; see deriveDriverGroup.
DriverGroup storeDriverGroup(const DriverInput& in, int n);

// Cms, Mms, Rms, Bl and the voice-coil model (K, nL) from the stored values.
void deriveDriverGroup(DriverGroup& g);

// Fills m.d1, m.d2, m.driver2Mode and m.r2 from the inputs in the order of a
// run (m.n must be set). A mode outside the list counts as None.
void setUpDrivers(const RunInput& in, Model& m);

// L(f) in H = K·f^(nL-1)·(sqrt(3) - j)/(2·pi), so that j·omega·L(f) is
// K·f^nL·(1 + j·sqrt(3)). f in Hz, f > 0.
ComplexParts voiceCoilInductance(const DriverGroup& g, double f);

// Zm = Rms + j·omega·Mms - j/(omega·Cms) in N·s/m, omega in rad/s, omega > 0.
ComplexParts mechanicalImpedance(const DriverGroup& g, double omega);

// The figures of a group as the user reads them: per driver of the group
// and per real enclosure (mirror factor n), Pe at the voltage ue.
DriverFigures driverFigures(const DriverGroup& g, int n, double ue);

} // namespace velumo
