#include "ResultSlot.h"

namespace velumo {

void clearSlot(ResultSlot& slot)
{
    constexpr double kSentinel = -1e10; // never wins a maximum search
    slot.frequency[0] = 0.0;
    slot.spl.fill(kSentinel);
    slot.x1.fill(kSentinel);
    slot.zel.fill(kSentinel);
    slot.splMax.fill(kSentinel);
    slot.pmax1.fill(kSentinel);
    slot.zReal.fill(0.0);
    slot.zImag.fill(0.0);
    slot.phase.fill(0.0);
    slot.contourA.fill(0.0);
    slot.contourAone.fill(0.0);
}

} // namespace velumo
