#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "SimCall.h"
#include "SimRunner.h"
#include "TestUtil.h"

using velumo::test::goldenDesigns;
using velumo::test::readBytes;
using velumo::test::runSim;
using velumo::test::SimRun;
using velumo::test::TempDir;
using velumo::test::writeBytes;

namespace {

// Names the first line that differs, so a failure says where, not only that.
void expectSameBytes(const std::string& actual, const std::string& expected, const std::string& what)
{
    if (actual == expected)
        return;
    std::istringstream a(actual), b(expected);
    std::string la, lb;
    for (int line = 1;; ++line) {
        bool moreA = static_cast<bool>(std::getline(a, la));
        bool moreB = static_cast<bool>(std::getline(b, lb));
        if (!moreA && !moreB)
            break;
        if (la != lb || moreA != moreB) {
            ADD_FAILURE() << what << " line " << line << ":\n  got      " << la << "\n  expected " << lb;
            return;
        }
    }
    ADD_FAILURE() << what << ": line ends differ";
}

} // namespace

class GoldenDesign : public ::testing::TestWithParam<std::string> { };

TEST_P(GoldenDesign, velumoSimReproducesTheIndependentResults)
{
    const std::string golden = std::string(VELUMO_GOLDEN_DIR) + "/" + GetParam();
    TempDir out;
    SimRun r = runSim({ golden + "/project.vlm", "--out", out.path().string() });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, readBytes(golden + "/messages.txt"));
    EXPECT_EQ(r.out, readBytes(golden + "/lines.txt"));
    expectSameBytes(readBytes(out.file("contour.txt")), readBytes(golden + "/contour.txt"), "contour.txt");
    expectSameBytes(readBytes(out.file("data.txt")), readBytes(golden + "/data.txt"), "data.txt");
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenDesign, ::testing::ValuesIn(goldenDesigns()), [](const auto& test) {
    std::string name = test.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(VelumoSim, usageErrorsAndUnreadableFiles)
{
    EXPECT_EQ(runSim({}).status, 1);
    EXPECT_EQ(runSim({ "--bogus", "x.vlm" }).status, 1);
    EXPECT_EQ(runSim({ "a.vlm", "b.vlm" }).status, 1);
    EXPECT_EQ(runSim({ "a.vlm", "--out" }).status, 1);
    SimRun missing = runSim({ "/nonexistent/p.vlm" });
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("/nonexistent/p.vlm"), std::string::npos);
    SimRun help = runSim({ "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("velumo-sim PROJEKT.vlm"), std::string::npos);
}

TEST(VelumoSim, invalidDesignIsNotSimulated)
{
    TempDir dir;
    // Driver 1 beyond the end of the horn: the check refuses it.
    writeBytes(dir.file("p.vlm"), "[Horn]\r\nHornl\xE4nge=0.5\r\nSP=0.6\r\n");
    SimRun r = runSim({ dir.file("p.vlm"), "--out", dir.path().string() });
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Eingabe PositionTreiber1 nicht erlaubt!"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("data.txt")));
}

TEST(VelumoSim, unrunnableDesignIsRefusedAndKeepsTheLastResults)
{
    TempDir dir;
    writeBytes(dir.file("data.txt"), "earlier results");
    // fs = 0 passes the check with a warning but cannot be simulated.
    writeBytes(
        dir.file("p.vlm"), "[Lautsprecher]\r\nFreiluftresonanzfrequenz=0\r\n[Horn]\r\nHornl\xE4nge=1\r\n");
    SimRun r = runSim({ dir.file("p.vlm"), "--out", dir.path().string() });
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Fehler: Eingabe Resonanzfrequenz nicht erlaubt!"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(dir.file("data.txt")), "earlier results");
}

TEST(VelumoSim, exampleDesignsRunCleanly)
{
    for (const char* name : { "bass-horn.vlm", "rear-loaded-crossover.vlm", "two-drivers-absorber.vlm" }) {
        TempDir out;
        SimRun r
            = runSim({ std::string(VELUMO_SOURCE_DIR) + "/examples/" + name, "--out", out.path().string() });
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        std::string data = readBytes(out.file("data.txt"));
        EXPECT_EQ(data.find("nan"), std::string::npos) << name;
        EXPECT_EQ(data.find("inf"), std::string::npos) << name;
    }
}
