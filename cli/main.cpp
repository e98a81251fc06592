#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "SimRunner.h"

#ifdef VELUMO_WITH_REPORT
#include "ReportLauncher.h"
#endif

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    velumo::ReportWriter report;
#ifdef VELUMO_WITH_REPORT
    // Only a report needs Qt: velumo-report writes it.
    report = velumo::startReportProgram;
#endif
    // A progress bar only where someone watches it, not into a log file.
    return velumo::runVelumoSim(args, std::cout, std::cerr, report, ::isatty(STDERR_FILENO) == 1);
}
