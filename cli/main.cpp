#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "SimRunner.h"

#if defined(VELUMO_WITH_REPORT) || defined(VELUMO_OPTIMISER_BESIDE)
#include "Companions.h"
#endif
#ifndef VELUMO_OPTIMISER_BESIDE
#include "Optimiser.h"
#endif

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    velumo::ReportWriter report;
#ifdef VELUMO_WITH_REPORT
    // Only a report needs Qt: velumo-report writes it.
    report = velumo::startReportProgram;
#endif
#ifdef VELUMO_OPTIMISER_BESIDE
    // A statically linked program cannot load NLopt: velumo-optimise can.
    const velumo::OptimiserRunner optimiser = velumo::startOptimiserProgram;
#else
    const velumo::OptimiserRunner optimiser = velumo::runOptimisationHere;
#endif
    // A progress bar only where someone watches it, not into a log file.
    return velumo::runVelumoSim(args, std::cout, std::cerr, report, ::isatty(STDERR_FILENO) == 1, optimiser);
}
