#include "SliderSection.h"

#include <charconv>

#include "DesignTable.h"
#include "StrictNumber.h"

namespace velumo {

namespace {

constexpr const char* kSection = "Regler";

std::string key(int slot, const char* suffix) { return "Regler" + std::to_string(slot + 1) + suffix; }

// The shortest text that reads back as the same double.
std::string exactText(double v)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
}

bool isEditBox(const std::string& name)
{
    const ControlSpec* control = findControl(name);
    return control && control->kind == ControlKind::Edit;
}

} // namespace

std::vector<SliderSetting> loadSliders(const IniFile& ini)
{
    std::vector<SliderSetting> sliders;
    for (int slot = 0; slot < kMaxSliders; ++slot) {
        SliderSetting s;
        s.control = ini.readString(kSection, key(slot, ""), "");
        if (!isEditBox(s.control))
            continue;
        if (!parseStrictNumber(ini.readString(kSection, key(slot, "Min"), ""), &s.min)
            || !parseStrictNumber(ini.readString(kSection, key(slot, "Max"), ""), &s.max))
            continue;
        sliders.push_back(std::move(s));
    }
    return sliders;
}

void saveSliders(const std::vector<SliderSetting>& sliders, IniFile& ini)
{
    if (sliders.empty() && !ini.hasSection(kSection))
        return;
    for (int slot = 0; slot < kMaxSliders; ++slot) {
        const bool used = slot < static_cast<int>(sliders.size());
        const SliderSetting* s = used ? &sliders[static_cast<size_t>(slot)] : nullptr;
        ini.writeString(kSection, key(slot, ""), s ? s->control : std::string());
        ini.writeString(kSection, key(slot, "Min"), s ? exactText(s->min) : std::string());
        ini.writeString(kSection, key(slot, "Max"), s ? exactText(s->max) : std::string());
    }
}

} // namespace velumo
