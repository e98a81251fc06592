#include "ReportLauncher.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <vector>

namespace velumo {

namespace {

constexpr const char* kReportProgram = "velumo-report";

bool isProgram(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

} // namespace

std::string findReportProgram()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path beside = self.parent_path() / kReportProgram;
        if (isProgram(beside))
            return beside.string();
    }
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue; // an empty entry would mean the working folder
        const std::filesystem::path candidate = std::filesystem::path(folder) / kReportProgram;
        if (isProgram(candidate))
            return candidate.string();
    }
    return {};
}

int startReportProgram(const SimOptions& options, std::ostream& err)
{
    const std::string program = findReportProgram();
    if (program.empty()) {
        err << "Der HTML-Bericht braucht das Programm " << kReportProgram
            << ", das weder neben velumo-sim noch im Suchpfad liegt.\n";
        return kSimUsage;
    }
    std::vector<std::string> args
        = { kReportProgram, options.projectPath, "--out", options.outDir, "--report", options.reportPath };
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::cout.flush();
    std::cerr.flush();
    ::execv(program.c_str(), argv.data());
    err << program << " kann nicht gestartet werden: " << std::strerror(errno) << '\n';
    return kSimUsage;
}

} // namespace velumo
