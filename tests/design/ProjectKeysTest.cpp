#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "Design.h"
#include "Encoding.h"
#include "IniFile.h"
#include "ProjectFile.h"
#include "ProjectKeys.h"

namespace {

TEST(ProjectKeys, areTheDesignKeysAProjectFileHolds)
{
    velumo::IniFile ini;
    velumo::saveValues(velumo::Design(), velumo::WindowGeometry(), ini);
    std::vector<std::string> written, listed;
    for (const velumo::ProjectKey& k : velumo::projectFileKeys())
        listed.push_back(k.section + "/" + k.key);
    std::istringstream in(velumo::cp1252ToUtf8(ini.toBytes()));
    std::string line, section;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('\r'));
        if (!line.empty() && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (line.find('=') != std::string::npos && section != velumo::kSectionWindows)
            written.push_back(section + "/" + line.substr(0, line.find('=')));
    }
    // The file groups keys by section; the list keeps the table's order.
    // Equal sets also show that the geometry and the numbered aliases of the
    // named crossover cells ("C1" for "C Hochpass") are left out.
    std::sort(listed.begin(), listed.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(listed, written);
}

} // namespace
