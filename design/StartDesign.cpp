#include "StartDesign.h"

#include "Design.h"
#include "DesignTable.h"

namespace velumo {

void writeOptionTitles(Design& design)
{
    for (int r = 0; r < kOptionRows; ++r)
        design.optionCell(0, r) = std::string(kOptionTitles[static_cast<size_t>(r)]);
}

void setStartValues(Design& design)
{
    for (const ControlSpec& entry : designTable())
        if (!entry.twin.empty() && entry.name != "EditStk2")
            design.control(entry.name).hint = design.control(entry.twin).hint;
    design.writeGridTitles();
    for (int r = 0; r < kOptionRows; ++r)
        design.optionCell(1, r) = std::string(kOptionDefaults[static_cast<size_t>(r)]);
    for (int r = 0; r < kMinMaxRows; ++r) {
        design.minMaxCell(0, r) = "0";
        design.minMaxCell(1, r) = "0";
        design.setAxisAuto(r, true);
    }
}

} // namespace velumo
