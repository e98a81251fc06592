#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "SimRunner.h"
#include "TestUtil.h"

using velumo::runVelumoSim;
using velumo::test::readBytes;
using velumo::test::TempDir;
using velumo::test::writeBytes;

namespace {

std::vector<std::string> split(const std::string& s, const std::string& sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t p = s.find(sep, start);
        parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos)
            return parts;
        start = p + sep.size();
    }
}

// One unit of the last printed digit of a number text ("12.345" -> 0.001,
// "1.70E-02" -> 0.0001).
double lastDigitUnit(const std::string& text)
{
    size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    size_t point = mantissa.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
    int exponent = e == std::string::npos ? 0 : std::stoi(text.substr(e + 1));
    return std::pow(10.0, exponent - decimals);
}

// Every field must agree to the last printed digit; one unit is tolerated
// where nearly equal doubles round differently.
void expectSameTable(const std::string& actual, const std::string& expected, const std::string& what)
{
    std::vector<std::string> a = split(actual, "\r\n");
    std::vector<std::string> b = split(expected, "\r\n");
    ASSERT_EQ(a.size(), b.size()) << what << ": line count";
    int tolerated = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        std::vector<std::string> fa = split(a[i], "\t");
        std::vector<std::string> fb = split(b[i], "\t");
        ASSERT_EQ(fa.size(), fb.size()) << what << " line " << i + 1;
        for (size_t k = 0; k < fa.size(); ++k) {
            if (fa[k] == fb[k])
                continue;
            double unit = lastDigitUnit(fb[k]);
            double diff = std::fabs(std::stod(fa[k]) - std::stod(fb[k]));
            EXPECT_LE(diff, unit * 1.000001) << what << " line " << i + 1 << " column " << k + 1 << ": "
                                             << fa[k] << " vs " << fb[k];
            ++tolerated;
        }
    }
    EXPECT_LE(tolerated, 10) << what << ": too many fields differ in their last digit";
}

struct SimRun {
    int status = 0;
    std::string out;
    std::string err;
};

SimRun runSim(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    SimRun r;
    r.status = runVelumoSim(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

} // namespace

class GoldenDesign : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenDesign, velumoSimReproducesTheIndependentResults)
{
    const std::string golden = std::string(VELUMO_GOLDEN_DIR) + "/" + GetParam();
    TempDir out;
    SimRun r = runSim({ golden + "/project.vlm", "--out", out.path().string() });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, readBytes(golden + "/messages.txt"));
    EXPECT_EQ(r.out, readBytes(golden + "/lines.txt"));
    expectSameTable(readBytes(out.file("contour.txt")), readBytes(golden + "/contour.txt"), "contour.txt");
    expectSameTable(readBytes(out.file("data.txt")), readBytes(golden + "/data.txt"), "data.txt");
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenDesign,
                         ::testing::Values("bass-horn-exponential", "rear-loaded-conical-crossover",
                                           "two-drivers-absorber-tunnel"));

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
    writeBytes(dir.file("p.vlm"), "[Lautsprecher]\r\nFreiluftresonanzfrequenz=0\r\n[Horn]\r\nHornl\xE4nge=1\r\n");
    SimRun r = runSim({ dir.file("p.vlm"), "--out", dir.path().string() });
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Fehler: Eingabe Resonanzfrequenz nicht erlaubt!"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(dir.file("data.txt")), "earlier results");
}

TEST(VelumoSim, exampleDesignsRunCleanly)
{
    for (const char* name : { "bass-horn.vlm", "rear-loaded-crossover.vlm", "two-drivers-absorber.vlm" }) {
        TempDir out;
        SimRun r = runSim({ std::string(VELUMO_SOURCE_DIR) + "/examples/" + name, "--out", out.path().string() });
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        std::string data = readBytes(out.file("data.txt"));
        EXPECT_EQ(data.find("nan"), std::string::npos) << name;
        EXPECT_EQ(data.find("inf"), std::string::npos) << name;
    }
}
