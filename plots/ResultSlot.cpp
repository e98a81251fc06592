#include "ResultSlot.h"

#include <algorithm>

#include "RunResult.h"

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

void storeResults(ResultSlot& slot, int i, const PointResults& r)
{
    slot.frequency[i] = r.f;
    slot.spl[i] = r.spl;
    slot.phase[i] = r.phase;
    slot.zel[i] = r.zel;
    slot.x1[i] = r.x1;
    slot.x2[i] = r.x2;
    slot.pmax1[i] = r.pmax1;
    slot.splMax[i] = r.splMax;
    if (r.hasDriver2)
        slot.pmax2[i] = r.pmax2;
    slot.zReal[i] = r.zReal;
    slot.zImag[i] = r.zImag;
}

void storeRun(ResultSlot& slot, const RunResult& result)
{
    if (result.status == RunStatus::Refused || result.stop != RunStop::None)
        return;
    const HornModel& horn = result.model.horn;
    slot.contourX = horn.x;
    slot.contourA = horn.a;
    slot.contourAone = horn.aOne;
    slot.upperLimit = result.model.fLim;
    const int count = std::min(static_cast<int>(result.points.size()), kMaxRunPoints);
    for (int i = 0; i < count; ++i)
        storeResults(slot, i, result.points[static_cast<size_t>(i)]);
    if (result.status == RunStatus::Failed && count >= 2)
        slot.upperLimit = slot.frequency[static_cast<size_t>(count - 1)];
}

} // namespace velumo
