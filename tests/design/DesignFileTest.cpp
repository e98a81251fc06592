#include <gtest/gtest.h>

#include <string>

#include "DesignFile.h"
#include "DesignTable.h"

namespace {

using velumo::DesignFileProblem;
using velumo::DesignFileScope;

DesignFileProblem problemOf(const std::string& text, DesignFileScope scope = DesignFileScope::Project)
{
    return velumo::designFromBytes(text, scope).problem;
}

// Files that name no control of the table still hold a design when they
// hold any key loading reads: the window geometry or a numbered crossover
// cell.
TEST(DesignFile, anyKeyThatLoadingReadsMakesADesign)
{
    EXPECT_EQ(problemOf("[Lautsprecher]\r\nGleichstromwiderstand=6\r\n"), DesignFileProblem::None);
    EXPECT_EQ(problemOf("[Plotoptionen]\r\nMainLeft=10\r\n"), DesignFileProblem::None);
    EXPECT_EQ(problemOf("[Frequenzweiche]\r\n" + velumo::crossoverNumberedKey(1, 1) + "=2\r\n"),
        DesignFileProblem::None);
    EXPECT_EQ(problemOf("[Sonstwas]\r\nMainLeft=10\r\n"), DesignFileProblem::NoKnownKey);
    EXPECT_EQ(problemOf("[Plotoptionen]\r\nMainLeft=10\r\n", DesignFileScope::Driver),
        DesignFileProblem::NoKnownKey);
}

} // namespace
