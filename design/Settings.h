#pragma once
// The program settings file "Velumo.ini" in the settings folder: the last used
// folders, the colour and live options and the recently opened projects. Opened and
// released within each use.

#include <string>
#include <vector>

#include "Directories.h"

namespace velumo {

class Settings {
public:
    explicit Settings(Directories dirs)
        : m_dirs(std::move(dirs))
    {
    }

    // "Verzeichnis"/"Aktuell": start folder of the open and save dialogs.
    std::string currentFolder() const;
    // Stores the folder of `filePath` with a trailing "/".
    bool storeCurrentFolderOf(const std::string& filePath, std::string* error = nullptr) const;
    // "Verzeichnis"/"html": start folder of the report dialog.
    std::string htmlFolder() const;
    bool storeHtmlFolderOf(const std::string& filePath, std::string* error = nullptr) const;
    // "Optionen"/"CBFarbeWechseln", default true.
    bool changeColourAfterRun() const;
    bool setChangeColourAfterRun(bool on, std::string* error = nullptr) const;
    // "Optionen"/"LiveSimulation", default false: every edit is simulated and
    // drawn at once.
    bool liveSimulation() const;
    bool setLiveSimulation(bool on, std::string* error = nullptr) const;

    // "Zuletzt geöffnet"/"Datei1".."Datei8": the projects last opened or
    // saved under a new name, most recent first; files that are gone are
    // left out.
    static constexpr int kRecentProjects = 8;
    std::vector<std::string> recentProjects() const;
    // Puts the path first; a path already listed moves up, and the list
    // keeps the eight newest files that still exist.
    bool addRecentProject(const std::string& path, std::string* error = nullptr) const;
    bool removeRecentProject(const std::string& path, std::string* error = nullptr) const;

    const Directories& directories() const { return m_dirs; }

private:
    Directories m_dirs;
};

} // namespace velumo
