#pragma once
// One design of a sweep or an optimisation: the project with some keys set,
// loaded, checked and run exactly as a plain velumo-sim run does, with its
// figures of merit; and the CSV rows that sweeps and optimisations write.

#include <optional>
#include <string>
#include <vector>

#include "Design.h"
#include "FiguresOfMerit.h"
#include "IniFile.h"
#include "Messages.h"
#include "RunPresentation.h"
#include "SweepPlan.h"

namespace velumo {

// Writes each value into the profile as if the file held it.
void applyKeyValues(IniFile& ini, const std::vector<KeyValue>& values);

struct DesignRun {
    int status = 0;                // velumo-sim's exit status for this design: 0, 2, 3 or 4
    std::vector<Message> messages; // check, run and end messages, in the order a plain run prints them
    Design design;                 // as loaded and checked
    RunInput input;                // empty when the check refused the design
    RunOutcome outcome;            // empty when the check refused the design
    FiguresOfMerit figures;        // all NaN unless the run computed its points
};

// `project` with `values` applied, loaded as "Öffnen" loads it, checked and
// run on `threads` threads. With a listFolder (an existing folder) its
// contour.txt and data.txt are written as a plain run writes them; empty:
// no list. The band in Hz, none: the run's range. `loaded`, when given, is
// the project as loaded: only the controls of `values` are read again.
DesignRun runDesign(const IniFile& project, const std::vector<KeyValue>& values,
    const std::optional<Band>& band, const std::string& listFolder, int threads,
    const Design* loaded = nullptr);

// What a run shows after the check, in velumo-sim's order: the refusal, or
// the run's own messages followed by its end messages.
std::vector<Message> runMessages(const Design& design, const RunOutcome& outcome);
// velumo-sim's exit status of a run that passed the check: 0, 3 or 4.
int runExitStatus(const RunOutcome& outcome);

// The figures of a computed run; all NaN but the volumes for a run that
// did not end with status Ok.
FiguresOfMerit runFigures(const RunInput& input, const RunResult& result, const std::optional<Band>& band);

// CSV as spreadsheets and scripts read it: comma-separated, "." decimals,
// a field with a comma, quote or line break in double quotes (quotes
// doubled), lines ended by LF, UTF-8.
std::string csvField(std::string_view text);
// Shortest text that reads back as the same double; empty for NaN.
std::string csvNumber(double value);

// The columns every design row ends with: "status,messages,f3,...,Vgesamt".
std::string designColumnsHeader();
// Those columns of one design; the messages as "Titel: Text" joined by " | ".
std::string designColumns(const DesignRun& run);

// "Section/Key" as a column name.
std::string keyColumn(const std::string& section, const std::string& key);

} // namespace velumo
