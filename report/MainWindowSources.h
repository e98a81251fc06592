#pragma once
// The report's view of the program's windows: the main window's client
// area, page control and drop-down lists (found by their component names),
// the seven graph windows, the sketch and the derived-parameter window.

#include <QString>

#include "ReportExport.h"

class QMainWindow;

namespace velumo {

class GraphSet;
class TParamForm;
class TSkizzeForm;

// `info` is the text of EditInfo, `projectPath` the current project file.
// The hints of the page control and its tabs are taken from their tool-tips
// where set.
ReportSources mainWindowSources(QMainWindow& main, GraphSet& graphs, TSkizzeForm& sketch, TParamForm& param,
    const QString& info, const QString& projectPath);

} // namespace velumo
