#include "Directories.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace velumo {

namespace {

std::string envOr(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool isDirectory(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs, "" when absent.
std::string documentsFromUserDirs(const std::string& configHome, const std::string& home)
{
    std::ifstream in(configHome + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0)
            v = home + v.substr(5);
        return v;
    }
    return std::string();
}

std::string stripTrailingSlash(std::string p)
{
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

} // namespace

Environment Environment::fromProcess(const char* argv0)
{
    Environment env;
    env.home = envOr("HOME");
    env.xdgConfigHome = envOr("XDG_CONFIG_HOME");
    env.xdgDocumentsDir = envOr("XDG_DOCUMENTS_DIR");
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        env.executablePath = exe.string();
    else if (argv0)
        env.executablePath = std::filesystem::absolute(argv0, ec).string();
    return env;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

Directories resolveDirectories(const Environment& env, MessageSink& sink)
{
    Directories d;
    d.program = env.executablePath.empty() ? std::string(".") : folderOf(env.executablePath);

    std::string configHome = env.xdgConfigHome;
    if (configHome.empty() && !env.home.empty())
        configHome = env.home + "/.config";

    std::string docs = env.xdgDocumentsDir;
    if (docs.empty() && !configHome.empty())
        docs = documentsFromUserDirs(configHome, env.home);
    if (docs.empty() && !env.home.empty())
        docs = env.home + "/Documents";
    if (!isDirectory(docs) && isDirectory(env.home))
        docs = env.home; // the desktop's home folder is where documents go without a Documents folder
    d.documents = isDirectory(docs) ? stripTrailingSlash(docs) : d.program;

    d.settings = configHome.empty() ? d.program : stripTrailingSlash(configHome) + "/Velumo";
    if (!isDirectory(d.settings)) {
        std::error_code ec;
        std::filesystem::create_directories(d.settings, ec);
        if (!isDirectory(d.settings))
            sink.message({ "Hinweis", "Error 0xA1" });
    }
    return d;
}

} // namespace velumo
