#pragma once
// The input check: brings every input of the design into its canonical text,
// refuses inputs that cannot be simulated, sets the colours, hints and enabled
// states that depend on the chosen options, and fills the crossover arrays.
// It runs whenever an input is left, after loading and before a run.

#include <string>
#include <string_view>
#include <vector>

#include "Design.h"
#include "Messages.h"

namespace velumo {

// Receives the check's message boxes (caption empty) and focus requests in
// the order the steps raise them; a refused box asks for focus right after
// its message.
class CheckSink : public MessageSink {
public:
    virtual void focus(std::string_view controlName) = 0;
};

// Keeps the messages, and the box the check would focus first, for a caller
// that shows them its own way instead of as boxes.
class CollectingCheckSink : public CheckSink {
public:
    void message(const Message& m) override { messages.push_back(m); }
    void focus(std::string_view controlName) override
    {
        if (firstFocus.empty())
            firstFocus = controlName;
    }
    std::vector<Message> messages;
    std::string firstFocus;
};

// Runs every step of the check on the design, in order. Returns the flag
// inputs-valid: false when at least one value was refused. Besides the
// positions beyond the horn's end and the flare law, a box is refused when it
// holds a negative size, count, damping or frequency (path differences may be
// negative, driver positions become their absolute value) or a text without
// any number ("nan"), and a crossover cell when it is negative. Zero warnings
// do not clear it. The caller clears its no-unsaved-changes flag.
bool CheckVariables(Design& design, CheckSink& sink);

// "Eingabe <hint> nicht erlaubt!", the refusal text of a box with that hint.
std::string refusalText(std::string_view hint);

// The comma-tolerant number of a text in the general format ("0,50" ->
// "0.5", "12abc" -> "12", "abc" and "" -> "0").
std::string normalisedNumberText(std::string_view text);

// Step of the check that turns the crossover grid into R, L, C, invC
// (positions 1..14, SI units) and rewrites its cells; an empty shunt
// position becomes an open branch of 1e9 times the number in EditRdc.
void fillCrossover(Design& design);

} // namespace velumo
