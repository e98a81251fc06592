#pragma once
// A run as one JSON document for scripts: status, messages, derived values
// with their units, the contour and every result array, and the inputs that
// were simulated. Its layout is described by data/velumo-run.schema.json.

#include <string>
#include <vector>

#include "Messages.h"
#include "RunInput.h"
#include "RunPresentation.h"

namespace velumo {

// The document, UTF-8, ended by a line break. `messages` are all the run
// showed (its own, the end messages, a refusal) in that order.
std::string runJson(const RunOutcome& outcome, const RunInput& in, const std::string& projectPath,
    const std::vector<Message>& messages);

} // namespace velumo
