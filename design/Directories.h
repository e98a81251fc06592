#pragma once
// The three folders the program works with, found from the environment it is
// given (so tests run in temporary folders). Paths use "/" and carry no
// trailing separator; join names with "/".

#include <string>

#include "Messages.h"

namespace velumo {

struct Environment {
    std::string home;            // $HOME
    std::string xdgConfigHome;   // $XDG_CONFIG_HOME (may be empty)
    std::string xdgDocumentsDir; // $XDG_DOCUMENTS_DIR (may be empty)
    std::string executablePath;  // full path of the running program

    // The environment of this process.
    static Environment fromProcess(const char* argv0);
};

struct Directories {
    std::string program;   // folder of the executable
    std::string documents; // XDG documents folder, else the program folder
    std::string settings;  // XDG config folder + "/Velumo", else the program folder

    std::string settingsFile() const { return settings + "/Velumo.ini"; }
    std::string newProjectPath() const { return documents + "/new.vlm"; }
};

// Finds the folders and creates the settings folder when it is missing; when
// it cannot be created, "Error 0xA1" (caption "Hinweis") goes to the sink and
// the folders are returned as found.
Directories resolveDirectories(const Environment& env, MessageSink& sink);

// The folder part of a file path ("/a/b/c.vlm" -> "/a/b").
std::string folderOf(const std::string& path);

} // namespace velumo
