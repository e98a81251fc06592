#pragma once
// The measurements a project shows under its runs' curves: one frequency
// response (FRD) and one impedance (ZMA) at a time. The project file keeps
// their paths in a section of its own, "[Messung]" with the keys "FRD" and
// "ZMA"; a missing or empty key means no measurement.

#include <optional>
#include <string>

#include "IniFile.h"
#include "MeasurementFile.h"

namespace velumo {

inline constexpr std::string_view kSectionMeasurement = "Messung";

struct MeasurementPaths {
    std::string frd;
    std::string zma;

    std::string& of(MeasurementKind kind) { return kind == MeasurementKind::Frd ? frd : zma; }
    const std::string& of(MeasurementKind kind) const { return kind == MeasurementKind::Frd ? frd : zma; }
    bool operator==(const MeasurementPaths&) const = default;
};

// FRD for a name ending in ".frd", ZMA for ".zma" (any case); none for any
// other name, since both files look alike inside.
std::optional<MeasurementKind> measurementKindOfName(const std::string& path);

// Writes the paths into `ini`. An empty path is written only over a key the
// file already has, so a file that never had a measurement gets no section;
// other keys of the section stay as they are.
void saveMeasurementPaths(const MeasurementPaths& paths, IniFile& ini);
MeasurementPaths loadMeasurementPaths(const IniFile& ini);

// A stored path as the file system finds it: a relative one counts from the
// folder of the project file (a project moved with its measurements still
// finds them); an absolute one as it is.
std::string resolveMeasurementPath(const std::string& stored, const std::string& projectPath);

} // namespace velumo
