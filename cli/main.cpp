#include <iostream>
#include <string>
#include <vector>

#include "SimRunner.h"

#ifdef VELUMO_WITH_REPORT
#include "MainFormReport.h"
#endif

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    velumo::ReportWriter report;
#ifdef VELUMO_WITH_REPORT
    report = [](const velumo::SimOptions& o, std::ostream& err) {
        return velumo::writeMainFormReport(o.projectPath, o.reportPath, o.outDir, err);
    };
#endif
    return velumo::runVelumoSim(args, std::cout, std::cerr, report);
}
