#include "ProjectKeys.h"

#include "DesignTable.h"
#include "IniFile.h"

namespace velumo {

namespace {

bool readsWholeNumber(ValueForm form)
{
    switch (form) {
    case ValueForm::TextReadInt:
    case ValueForm::ComboPlus1:
    case ValueForm::RadioIndex:
    case ValueForm::Boolean:
    case ValueForm::BooleanReadInt:
        return true;
    default:
        return false;
    }
}

// The grids' keys, in the order ProjectFile writes them.
void appendGridKeys(std::string_view grid, std::vector<ProjectKey>& keys)
{
    const std::string crossover(kSectionCrossover);
    const std::string axes(kSectionAxes);
    if (grid == "FWGrid") {
        for (int p = 1; p < kFwCols; ++p)
            for (int row = 1; row < kFwRows; ++row)
                keys.push_back({ crossover, crossoverKey(p, row) });
    } else if (grid == "MinMaxGrid") {
        for (int r = 1; r <= kAxisRows; ++r)
            for (const char* what : { "auto ", "min ", "max " })
                keys.push_back({ axes, what + std::to_string(r) });
    } else if (grid == "OptionGrid") {
        for (std::string_view key : kOptionKeys)
            keys.push_back({ axes, std::string(key) });
    }
}

std::vector<ProjectKey> buildKeys()
{
    std::vector<ProjectKey> keys;
    for (const ControlSpec& entry : designTable()) {
        if (entry.form == ValueForm::GridCells)
            appendGridKeys(entry.name, keys);
        else
            keys.push_back(
                { std::string(entry.section), std::string(entry.key), readsWholeNumber(entry.form) });
    }
    return keys;
}

} // namespace

const std::vector<ProjectKey>& projectFileKeys()
{
    static const std::vector<ProjectKey> keys = buildKeys();
    return keys;
}

const ProjectKey* findProjectKey(
    const std::vector<ProjectKey>& keys, std::string_view section, std::string_view key)
{
    for (const ProjectKey& k : keys)
        if (iniNamesEqual(k.section, section) && iniNamesEqual(k.key, key))
            return &k;
    return nullptr;
}

} // namespace velumo
