#pragma once
// The report hooked to the program's main window: the menu command
// "&HTML-Export" and the headless report of velumo-sim, both built on
// TMainForm and its windows.

#include <iosfwd>
#include <string>

namespace velumo {

class TMainForm;

// Sets the main window's "&HTML-Export" hook: Qt's save dialog and message
// boxes, the settings of the running program.
void installHtmlExport(TMainForm& main);

// velumo-sim PROJECT.vlm --report FILE.html: an offscreen main window opens
// the project, simulates it (the lists go into listFolder) and writes the
// report. Returns a HeadlessReportStatus; messages go to `err`.
int writeMainFormReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err);

} // namespace velumo
