#include "Settings.h"

#include <sys/stat.h>

#include <algorithm>

#include "IniFile.h"

namespace velumo {

namespace {

std::string withSlash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

bool storeValue(const std::string& file, const char* section, const char* key, const std::string& value,
    std::string* error)
{
    IniFile ini = IniFile::load(file);
    ini.writeString(section, key, value);
    return ini.save(file, error);
}

bool storeOption(const std::string& file, const char* key, bool on, std::string* error)
{
    IniFile ini = IniFile::load(file);
    ini.writeBool("Optionen", key, on);
    return ini.save(file, error);
}

constexpr const char* kRecentSection = "Zuletzt geöffnet";

std::string recentKey(int i) { return "Datei" + std::to_string(i + 1); }

bool isFile(const std::string& path)
{
    struct stat st { };
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> existingRecent(const IniFile& ini)
{
    std::vector<std::string> list;
    for (int i = 0; i < Settings::kRecentProjects; ++i) {
        std::string path = ini.readString(kRecentSection, recentKey(i), "");
        if (isFile(path) && std::find(list.begin(), list.end(), path) == list.end())
            list.push_back(std::move(path));
    }
    return list;
}

// Every slot is written, emptied ones as "", so no stale entry survives.
bool storeRecent(
    IniFile& ini, const std::vector<std::string>& list, const std::string& file, std::string* error)
{
    for (int i = 0; i < Settings::kRecentProjects; ++i)
        ini.writeString(kRecentSection, recentKey(i),
            i < static_cast<int>(list.size()) ? list[static_cast<size_t>(i)] : std::string());
    return ini.save(file, error);
}

} // namespace

std::string Settings::currentFolder() const
{
    return IniFile::load(m_dirs.settingsFile())
        .readString("Verzeichnis", "Aktuell", withSlash(m_dirs.documents));
}

bool Settings::storeCurrentFolderOf(const std::string& filePath, std::string* error) const
{
    return storeValue(m_dirs.settingsFile(), "Verzeichnis", "Aktuell", withSlash(folderOf(filePath)), error);
}

std::string Settings::htmlFolder() const
{
    return IniFile::load(m_dirs.settingsFile())
        .readString("Verzeichnis", "html", withSlash(m_dirs.documents));
}

bool Settings::storeHtmlFolderOf(const std::string& filePath, std::string* error) const
{
    return storeValue(m_dirs.settingsFile(), "Verzeichnis", "html", withSlash(folderOf(filePath)), error);
}

bool Settings::changeColourAfterRun() const
{
    return IniFile::load(m_dirs.settingsFile()).readBool("Optionen", "CBFarbeWechseln", true);
}

bool Settings::setChangeColourAfterRun(bool on, std::string* error) const
{
    return storeOption(m_dirs.settingsFile(), "CBFarbeWechseln", on, error);
}

bool Settings::liveSimulation() const
{
    return IniFile::load(m_dirs.settingsFile()).readBool("Optionen", "LiveSimulation", false);
}

bool Settings::setLiveSimulation(bool on, std::string* error) const
{
    return storeOption(m_dirs.settingsFile(), "LiveSimulation", on, error);
}

std::vector<std::string> Settings::recentProjects() const
{
    return existingRecent(IniFile::load(m_dirs.settingsFile()));
}

bool Settings::addRecentProject(const std::string& path, std::string* error) const
{
    IniFile ini = IniFile::load(m_dirs.settingsFile());
    std::vector<std::string> list = existingRecent(ini);
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > static_cast<size_t>(kRecentProjects))
        list.resize(static_cast<size_t>(kRecentProjects));
    return storeRecent(ini, list, m_dirs.settingsFile(), error);
}

bool Settings::removeRecentProject(const std::string& path, std::string* error) const
{
    IniFile ini = IniFile::load(m_dirs.settingsFile());
    std::vector<std::string> list = existingRecent(ini);
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    return storeRecent(ini, list, m_dirs.settingsFile(), error);
}

} // namespace velumo
