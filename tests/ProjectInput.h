#pragma once
// The run inputs of a project file, read the way the program opens it:
// driver 1, the rest, the input check, then the run's reading of the design.

#include <string>

#include "Design.h"
#include "IniFile.h"
#include "InputCheck.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"

namespace velumo::test {

inline RunInput runInputOfProject(const std::string& path)
{
    struct Quiet : CheckSink {
        void message(const Message&) override { }
        void focus(std::string_view) override { }
    } quiet;
    IniFile ini = IniFile::load(path);
    Design design;
    loadDesignValues(ini, design);
    CheckVariables(design, quiet);
    return readRunInput(design);
}

} // namespace velumo::test
