#pragma once
// The section/key pairs of a project file that describe the design, for
// command-line overrides that must name a key the file really has.

#include <string>
#include <string_view>
#include <vector>

namespace velumo {

struct ProjectKey {
    std::string section;
    std::string key;
    // Read as a whole number: a choice, a check box or a count.
    bool wholeNumber = false;
    bool operator==(const ProjectKey&) const = default;
};

// Every key saveValues() writes for the design, in the order of the design
// table (the file groups them by section): the controls, the crossover cells (the named keys of positions 1
// to 4 where they have one, since those win on load), the axis keys "auto n", "min n", "max n" and the option
// keys. The window geometry ("Plotoptionen") is left out: it changes no result.
const std::vector<ProjectKey>& projectFileKeys();

// The entry of `keys` matching section and key, compared as the file
// compares names (case-insensitive); nullptr when there is none.
const ProjectKey* findProjectKey(
    const std::vector<ProjectKey>& keys, std::string_view section, std::string_view key);

} // namespace velumo
