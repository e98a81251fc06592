#include "Companions.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace velumo {

namespace {

constexpr std::string_view kReportProgram = "velumo-report";
constexpr std::string_view kOptimiserProgram = "velumo-optimise";

bool isProgram(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

// `args` after the program's name; returns only when the program cannot be
// found or started.
int replaceProcess(
    std::string_view name, std::string_view task, std::vector<std::string> args, std::ostream& err)
{
    const std::string program = findCompanion(name);
    if (program.empty()) {
        err << task << " braucht das Programm " << name
            << ", das weder neben velumo-sim noch im Suchpfad liegt.\n";
        return kSimUsage;
    }
    args.insert(args.begin(), std::string(name));
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

} // namespace

std::string findCompanion(std::string_view name)
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path beside = self.parent_path() / name;
        if (isProgram(beside))
            return beside.string();
    }
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue; // an empty entry would mean the working folder
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (isProgram(candidate))
            return candidate.string();
    }
    return {};
}

int startReportProgram(const SimOptions& options, std::ostream& err)
{
    return replaceProcess(kReportProgram, "Der HTML-Bericht",
        { options.projectPath, "--out", options.outDir, "--report", options.reportPath }, err);
}

int startOptimiserProgram(const OptimisationCall& call)
{
    return replaceProcess(kOptimiserProgram, "Die Optimierung", call.args, call.err);
}

} // namespace velumo
