#pragma once
// The design as the program holds it once started, before a project is
// opened: the parts of the input pages no project file holds.

namespace velumo {

class Design;

// The titles of the option rows ("Translate").
void writeOptionTitles(Design& design);

// After the start's input check: the hints of the twin inputs, the grid
// titles, the option defaults and every axis automatic from 0 to 0.
void setStartValues(Design& design);

} // namespace velumo
