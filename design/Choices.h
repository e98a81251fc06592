#pragma once
// The design's choice boxes as the engine's choices: the one place where an
// item index (-1: nothing chosen) becomes a FlareLaw, HornType, RoomPosition
// or Driver2Mode and back. The enumerations are numbered as the items are
// listed, so "nothing chosen" stays a value of its own.

#include "Design.h"
#include "RunInput.h"

namespace velumo {

FlareLaw flareLawOf(const Design& d);
HornType hornTypeOf(const Design& d);
RoomPosition roomPositionOf(const Design& d);
Driver2Mode driver2ModeOf(const Design& d);

void setFlareLaw(Design& d, FlareLaw law);
void setRoomPosition(Design& d, RoomPosition position);

} // namespace velumo
