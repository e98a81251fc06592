#include "RunExport.h"

#include <cerrno>
#include <cmath>
#include <ctime>
#include <unistd.h>

#include "Constants.h"
#include "RunInputAdapter.h"
#include "TextFiles.h"

#ifndef VELUMO_VERSION
#define VELUMO_VERSION ""
#endif

namespace velumo {

namespace {

// Degrees as Phi_a of data.txt has them (the program's circle constant), so
// that the FRD phase is exactly its negation; the difference to true degrees
// is two parts in 1e8.
double degrees(Cx z) { return std::atan2(z.im, z.re) * 180.0 / kPi; }

// One value and the phase of one complex quantity per point.
MeasuredCurve curveOf(const RunResult& result, double PointResults::*value, Cx PointResults::*complex)
{
    MeasuredCurve c;
    c.hasPhase = true;
    c.frequency.reserve(result.points.size());
    c.value.reserve(result.points.size());
    c.phase.reserve(result.points.size());
    for (const PointResults& p : result.points) {
        c.frequency.push_back(p.f);
        c.value.push_back(p.*value);
        c.phase.push_back(degrees(p.*complex));
    }
    return c;
}

} // namespace

MeasuredCurve runFrequencyResponse(const RunResult& result)
{
    return curveOf(result, &PointResults::spl, &PointResults::pressure);
}

MeasuredCurve runImpedance(const RunResult& result)
{
    return curveOf(result, &PointResults::zel, &PointResults::impedance);
}

bool runExportText(const RunResult& result, MeasurementKind kind, const std::string& projectPath,
    const std::string& date, std::string* text, std::string* error)
{
    if (result.points.empty()) {
        *error = "Es liegt kein Simulationsergebnis vor.";
        return false;
    }
    const bool frd = kind == MeasurementKind::Frd;
    std::string program = "Velumo";
    if (*VELUMO_VERSION)
        program += std::string(" ") + VELUMO_VERSION;
    const std::vector<std::string> comments {
        program + (frd ? ", Frequenzgang der Simulation" : ", Impedanz der Simulation"),
        "Projekt: " + (projectPath.empty() ? std::string("(nicht gespeichert)") : projectPath),
        "Datum: " + date,
        std::string(measurementColumnsComment(kind)),
        frd ? "Phase = arg(P) des Schalldrucks bei e^(jwt), also -Phi_a aus data.txt; keine Laufzeit addiert"
            : "Phase = arg(Zel) der elektrischen Eingangsimpedanz bei e^(jwt)",
    };
    return formatMeasurement(
        frd ? runFrequencyResponse(result) : runImpedance(result), comments, text, error);
}

std::string exportDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc {};
    char text[32] = "";
    if (gmtime_r(&now, &utc))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

bool writeRunExport(const std::string& path, const RunResult& result, MeasurementKind kind,
    const std::string& projectPath, std::string* error)
{
    std::string text;
    std::string why;
    if (!runExportText(result, kind, projectPath, exportDate(), &text, &why)) {
        *error = "Die Datei " + path + " wurde nicht geschrieben: " + why;
        return false;
    }
    return replaceFile(path, text, error);
}

bool replaceFile(const std::string& path, const std::string& bytes, std::string* error)
{
    std::string tempPath;
    const int fd = createFileBeside(path, 0644, &tempPath);
    int failure = fd < 0 ? errno : writeAll(fd, bytes);
    if (fd >= 0 && ::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        if (fd >= 0)
            ::unlink(tempPath.c_str());
        *error = "Die Datei " + path + " kann nicht geschrieben werden: " + systemErrorText(failure) + ".";
        return false;
    }
    return true;
}

} // namespace velumo
