#include "MeasurementOverlay.h"

#include <filesystem>

namespace velumo {

namespace {

constexpr std::string_view kKeyFrd = "FRD";
constexpr std::string_view kKeyZma = "ZMA";

bool endsWithFolded(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size()
        && iniNamesEqual(std::string_view(text).substr(text.size() - suffix.size()), suffix);
}

void savePath(IniFile& ini, std::string_view key, const std::string& path)
{
    if (!path.empty() || ini.value(kSectionMeasurement, key))
        ini.writeString(kSectionMeasurement, key, path);
}

} // namespace

std::optional<MeasurementKind> measurementKindOfName(const std::string& path)
{
    if (endsWithFolded(path, ".frd"))
        return MeasurementKind::Frd;
    if (endsWithFolded(path, ".zma"))
        return MeasurementKind::Zma;
    return std::nullopt;
}

void saveMeasurementPaths(const MeasurementPaths& paths, IniFile& ini)
{
    savePath(ini, kKeyFrd, paths.frd);
    savePath(ini, kKeyZma, paths.zma);
}

MeasurementPaths loadMeasurementPaths(const IniFile& ini)
{
    return { ini.readString(kSectionMeasurement, kKeyFrd, ""),
        ini.readString(kSectionMeasurement, kKeyZma, "") };
}

std::string resolveMeasurementPath(const std::string& stored, const std::string& projectPath)
{
    const std::filesystem::path p(stored);
    if (stored.empty() || p.is_absolute())
        return stored;
    return (std::filesystem::path(projectPath).parent_path() / p).lexically_normal().string();
}

} // namespace velumo
