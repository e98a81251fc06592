#include "Choices.h"

namespace velumo {

FlareLaw flareLawOf(const Design& d) { return static_cast<FlareLaw>(d.index("CBKontur")); }
HornType hornTypeOf(const Design& d) { return static_cast<HornType>(d.index("CBTyp")); }
RoomPosition roomPositionOf(const Design& d) { return static_cast<RoomPosition>(d.index("CBPosi")); }
Driver2Mode driver2ModeOf(const Design& d) { return static_cast<Driver2Mode>(d.index("RGTreiber2")); }

void setFlareLaw(Design& d, FlareLaw law) { d.setIndex("CBKontur", static_cast<int>(law)); }
void setRoomPosition(Design& d, RoomPosition position) { d.setIndex("CBPosi", static_cast<int>(position)); }

} // namespace velumo
