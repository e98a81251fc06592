#pragma once
// The sliders of the "Regler" window as a project stores them: section
// "Regler", keys "Regler1".."Regler6" (the control name), "Regler<n>Min" and
// "Regler<n>Max". A project without the section has no sliders.

#include <string>
#include <vector>

#include "IniFile.h"

namespace velumo {

struct SliderSetting {
    std::string control; // an edit box of the design table
    double min = 0.0;
    double max = 0.0;
    bool operator==(const SliderSetting&) const = default;
};

inline constexpr int kMaxSliders = 6;

// The sliders of the section in order; an entry that names no edit box or
// whose ends are not both numbers is left out, as is every one after six.
std::vector<SliderSetting> loadSliders(const IniFile& ini);

// Writes the section; unused slots are written empty so that no slider of an
// earlier save comes back. Nothing is written for no sliders into a file
// that has no section yet.
void saveSliders(const std::vector<SliderSetting>& sliders, IniFile& ini);

} // namespace velumo
