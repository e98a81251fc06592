// velumo-report PROJECT.vlm --out FOLDER --report FILE.html: the HTML report
// of velumo-sim, a program of its own so that velumo-sim needs no Qt.
// velumo-sim starts it once it has checked the arguments; the exit statuses
// are velumo-sim's.

#include <iostream>
#include <string>
#include <vector>

#include "HeadlessReport.h"
#include "ProjectReport.h"

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 5 || args[1] != "--out" || args[3] != "--report") {
        std::cerr << "Aufruf: velumo-report PROJEKT.vlm --out VERZEICHNIS --report DATEI.html\n"
                     "(wird von velumo-sim --report gestartet)\n";
        return velumo::kReportUnreadable;
    }
    return velumo::writeProjectReport(args[0], args[4], args[2], std::cerr);
}
