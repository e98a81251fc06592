#pragma once
// The boundary between the design and the engine: reads the design's texts
// the way a run reads the controls (numbers converted with the lenient
// reading, counts truncated, item indices, check states).

#include <string>
#include <vector>

#include "Design.h"
#include "Messages.h"
#include "RunInput.h"
#include "RunPresentation.h"

namespace velumo {

// Reads the run inputs from the design. When the stored simulation range of
// the axes tab is not increasing, its automatic box is checked first (in the
// design, as the run does).
RunInput readRunInput(Design& design);

// The message that refuses a run because of the input `controlName` (a name
// of the design table, or "MinMaxGrid" for the simulation range): caption
// "Fehler", naming the input by its hint.
Message runRefusalMessage(const Design& design, const std::string& controlName);

// The messages a run leaves for after it has ended, in order: the "Fehler"
// of a run that stopped because of the values of its inputs (naming them by
// their hints), then the "Hinweis" that the lists could not be written
// (naming the file and the reason). Empty for a run without either.
std::vector<Message> runEndMessages(const Design& design, const RunOutcome& outcome);

// The reason of an operating-system error (an errno value) in German.
std::string systemErrorText(int error);

} // namespace velumo
