#pragma once
// The boundary between the design and the engine: reads the design's texts
// the way a run reads the controls (numbers converted with the lenient
// reading, counts truncated, item indices, check states).

#include <string>

#include "Design.h"
#include "Messages.h"
#include "RunInput.h"

namespace velumo {

// Reads the run inputs from the design. When the stored simulation range of
// the axes tab is not increasing, its automatic box is checked first (in the
// design, as the run does).
RunInput readRunInput(Design& design);

// The message that refuses a run because of the input `controlName` (a name
// of the design table, or "MinMaxGrid" for the simulation range): caption
// "Fehler", naming the input by its hint.
Message runRefusalMessage(const Design& design, const std::string& controlName);

} // namespace velumo
