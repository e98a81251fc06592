#pragma once
// A run's curves for the speaker builder's other tools: the frequency
// response as FRD (frequency, SPL, phase of the pressure sum) and the
// electrical impedance as ZMA (frequency, |Zel|, its phase), in the text
// MeasurementFile writes and reads.

#include <string>

#include "MeasurementFile.h"
#include "RunResult.h"

namespace velumo {

// FRD: SPL in dB and arg(P) in degrees, e^(jwt) convention, so the negated
// Phi_a of data.txt; no propagation delay added.
MeasuredCurve runFrequencyResponse(const RunResult& result);
// ZMA: |Zel| in ohm (the data.txt value) and arg(Zel) in degrees.
MeasuredCurve runImpedance(const RunResult& result);

// The file text: comment lines (program, project file, date, columns, what
// the phase is), then the points. `projectPath` may be empty (an unsaved
// design), `date` is written as given. False with a German *error when the
// run has no points.
bool runExportText(const RunResult& result, MeasurementKind kind, const std::string& projectPath,
    const std::string& date, std::string* text, std::string* error);

// The present time as the comment line gives it, "2026-12-09 01:10 UTC".
std::string exportDate();

// Writes `bytes` to `path`: into a new file beside it, renamed over it when
// complete, so a failed write leaves what was there and no other file. False
// with a German *error naming the file and the reason.
bool replaceFile(const std::string& path, const std::string& bytes, std::string* error);

// Writes the export of a run to `path` as replaceFile does.
bool writeRunExport(const std::string& path, const RunResult& result, MeasurementKind kind,
    const std::string& projectPath, std::string* error);

} // namespace velumo
