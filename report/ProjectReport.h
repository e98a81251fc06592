#pragma once
// The report of a project file without the main window: the project is
// loaded, checked and simulated as "Öffnen" and "Start" do, and every picture
// is painted from the colour slots, the design and the run's result.

#include <iosfwd>
#include <string>

#include "ReportExport.h"

namespace velumo {

class GraphSet;
class TParamForm;
class TSkizzeForm;

// What the main window and the headless report hand to the export: the
// design with its results, the windows whose captions and pictures the report
// shows, and the project file.
ReportSources reportSourcesOf(const Design& design, const ResultSlots& results, bool resultsExist,
    TSkizzeForm& sketch, GraphSet& graphs, TParamForm& param, const std::string& projectPath);

// velumo-sim PROJECT.vlm --report FILE.html (through velumo-report): the
// lists go into listFolder, messages to `err`. Returns a HeadlessReportStatus.
int writeProjectReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err);

} // namespace velumo
