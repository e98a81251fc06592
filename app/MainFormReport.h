#pragma once
// The headless report of velumo-sim (through velumo-report), built on
// TMainForm and its windows as the menu command "&HTML-Export" is.

#include <iosfwd>
#include <string>

namespace velumo {

// velumo-sim PROJECT.vlm --report FILE.html: an offscreen main window opens
// the project, simulates it (the lists go into listFolder) and writes the
// report. Returns a HeadlessReportStatus; messages go to `err`.
int writeMainFormReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err);

} // namespace velumo
