#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "MeasurementFile.h"
#include "ProjectInput.h"
#include "RunExport.h"
#include "SimCall.h"
#include "SimRunner.h"
#include "Simulation.h"
#include "TestUtil.h"

using velumo::MeasuredCurve;
using velumo::test::goldenDesigns;
using velumo::test::readBytes;
using velumo::test::runSim;
using velumo::test::SimRun;
using velumo::test::TempDir;
using velumo::test::writeBytes;

namespace {

// The numeric rows of data.txt, split at tabs.
std::vector<std::vector<std::string>> dataRows(const std::string& path)
{
    std::istringstream in(readBytes(path));
    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (int n = 0; std::getline(in, line); ++n) {
        if (n < 2)
            continue;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, '\t');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

MeasuredCurve readCurve(const std::string& path)
{
    MeasuredCurve c;
    std::string error;
    EXPECT_TRUE(velumo::readMeasurementFile(path, &c, &error)) << path << ": " << error;
    return c;
}

void expectSameCurve(const MeasuredCurve& read, const MeasuredCurve& written, const std::string& what)
{
    ASSERT_EQ(read.frequency.size(), written.frequency.size()) << what;
    ASSERT_TRUE(read.hasPhase) << what;
    for (size_t i = 0; i < read.frequency.size(); ++i) {
        // Nine significant digits, and a phase near 0 has its own scale.
        EXPECT_NEAR(read.frequency[i], written.frequency[i], 1e-8 * written.frequency[i]) << what << i;
        EXPECT_NEAR(read.value[i], written.value[i], 1e-8 * std::fabs(written.value[i])) << what << i;
        EXPECT_NEAR(read.phase[i], written.phase[i], 1e-8 * std::max(1.0, std::fabs(written.phase[i])))
            << what << i;
    }
}

} // namespace

// The exported columns are those of data.txt to its printed precision, the
// FRD phase is Phi_a negated, and reading the files back gives the run's
// curves.
TEST(RunExport, frdAndZmaAgreeWithTheResultListAndReadBack)
{
    for (const std::string& name : goldenDesigns()) {
        SCOPED_TRACE(name);
        const std::string project = std::string(VELUMO_GOLDEN_DIR) + "/" + name + "/project.vlm";
        TempDir dir;
        const SimRun r = runSim({ project, "--out", dir.path().string(), "--frd", dir.file("r.frd"), "--zma",
            dir.file("r.zma") });
        ASSERT_EQ(r.status, 0) << r.err;
        const auto rows = dataRows(dir.file("data.txt"));
        const MeasuredCurve frd = readCurve(dir.file("r.frd"));
        const MeasuredCurve zma = readCurve(dir.file("r.zma"));
        ASSERT_EQ(frd.frequency.size(), rows.size());
        ASSERT_EQ(zma.frequency.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_NEAR(frd.frequency[i], std::stod(rows[i][0]), 0.005 + 1e-9) << i;
            EXPECT_NEAR(frd.value[i], std::stod(rows[i][1]), 0.005 + 1e-9) << i;
            EXPECT_NEAR(zma.value[i], std::stod(rows[i][2]), 0.0005 + 1e-9) << i;
            EXPECT_NEAR(frd.phase[i], -std::stod(rows[i][10]), 0.0005 + 1e-9) << i;
        }

        const velumo::RunResult result = velumo::runSimulation(velumo::test::runInputOfProject(project));
        expectSameCurve(frd, velumo::runFrequencyResponse(result), "FRD");
        expectSameCurve(zma, velumo::runImpedance(result), "ZMA");

        const std::string text = readBytes(dir.file("r.frd"));
        EXPECT_EQ(text.find('\r'), std::string::npos);
        EXPECT_NE(
            text.find("* Projekt: " + std::filesystem::absolute(project).string() + "\n"), std::string::npos);
        EXPECT_NE(text.find("keine Laufzeit"), std::string::npos);
        EXPECT_NE(readBytes(dir.file("r.zma")).find("* Frequenz [Hz], |Z| [Ohm], Phase [Grad]\n"),
            std::string::npos);
    }
}

// A run that fails writes no export; an export that cannot be written is
// exit 4 and leaves neither a file nor a temporary one behind, and what is
// already at that place stays as it was.
TEST(RunExport, failuresWriteNothing)
{
    TempDir dir;
    writeBytes(
        dir.file("p.vlm"), "[Lautsprecher]\r\nFreiluftresonanzfrequenz=0\r\n[Horn]\r\nHornl\xE4nge=1\r\n");
    EXPECT_EQ(runSim({ dir.file("p.vlm"), "--out", dir.path().string(), "--frd", dir.file("a.frd"), "--zma",
                         dir.file("a.zma") })
                  .status,
        velumo::kSimRunFailed);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.frd")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.zma")));

    const std::string golden = std::string(VELUMO_GOLDEN_DIR) + "/mixed-01/project.vlm";
    TempDir out;
    std::filesystem::create_directory(out.file("taken.zma"));
    SimRun r = runSim({ golden, "--out", out.path().string(), "--frd", out.file("data.txt/x.frd"), "--zma",
        out.file("taken.zma") });
    EXPECT_EQ(r.status, velumo::kSimWriteFailed);
    const std::string& err = r.err;
    EXPECT_NE(
        err.find("Fehler: Die Datei " + out.file("data.txt/x.frd") + " kann nicht geschrieben werden: "),
        std::string::npos)
        << err;
    EXPECT_NE(err.find(out.file("taken.zma")), std::string::npos) << err;
    EXPECT_TRUE(std::filesystem::is_directory(out.file("taken.zma")));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(out.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "contour.txt", "data.txt", "taken.zma" }));

    // Combined with a report, whose program runs the design itself: refused.
    r = runSim({ golden, "--report", out.file("r.html"), "--frd", out.file("r.frd") });
    EXPECT_EQ(r.status, velumo::kSimUsage);
    EXPECT_NE(err.find("--frd, --zma und --json gehen nicht zusammen mit --report."), std::string::npos)
        << err;
}

// --json - gives standard output to the document alone; every series has the
// run's point count and the values of data.txt.
TEST(RunJson, everySeriesHasThePointCountOfTheRun)
{
    for (const std::string& name : goldenDesigns()) {
        SCOPED_TRACE(name);
        TempDir dir;
        const SimRun r = runSim({ std::string(VELUMO_GOLDEN_DIR) + "/" + name + "/project.vlm", "--out",
            dir.path().string(), "--json", "-" });
        ASSERT_EQ(r.status, 0) << r.err;
        const nlohmann::json run = nlohmann::json::parse(r.out);
        const auto rows = dataRows(dir.file("data.txt"));
        EXPECT_EQ(run["status"], "ok");
        ASSERT_EQ(run["pointCount"], rows.size());
        const nlohmann::json& results = run["results"];
        EXPECT_EQ(results.contains("x2"), !rows.front()[8].empty());
        for (const auto& [key, series] : results.items()) {
            if (key == "units")
                continue;
            EXPECT_EQ(series.size(), rows.size()) << key;
            EXPECT_TRUE(results["units"].contains(key)) << key;
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_NEAR(results["SPL"][i].get<double>(), std::stod(rows[i][1]), 0.005 + 1e-9);
            EXPECT_NEAR(results["Zimag"][i].get<double>(), std::stod(rows[i][7]), 0.0005 + 1e-9);
            EXPECT_NEAR(results["Phi_a"][i].get<double>(), std::stod(rows[i][10]), 0.0005 + 1e-9);
        }
        EXPECT_EQ(run["contour"]["x"].size(), dataRows(dir.file("contour.txt")).size() + 1);
        EXPECT_EQ(run["derived"]["totalVolume"]["unit"], "l");
        EXPECT_GT(run["derived"]["driver1"]["Bl"]["value"].get<double>(), 0.0);
        EXPECT_GT(run["design"]["driver1"]["Sd"].get<double>(), 0.0);
    }
}

// A refused run still tells a script why (exit 3); a JSON file that cannot
// be written is exit 4 and leaves nothing behind.
TEST(RunJson, refusedRunAndUnwritableFile)
{
    TempDir dir;
    writeBytes(
        dir.file("p.vlm"), "[Lautsprecher]\r\nFreiluftresonanzfrequenz=0\r\n[Horn]\r\nHornl\xE4nge=1\r\n");
    EXPECT_EQ(
        runSim({ dir.file("p.vlm"), "--out", dir.path().string(), "--json", dir.file("r.json") }).status,
        velumo::kSimRunFailed);
    const nlohmann::json refused = nlohmann::json::parse(readBytes(dir.file("r.json")));
    EXPECT_EQ(refused["status"], "refused");
    EXPECT_EQ(refused["pointCount"], 0);
    ASSERT_EQ(refused["messages"].size(), 1u);
    EXPECT_EQ(refused["messages"][0]["caption"], "Fehler");
    EXPECT_FALSE(refused.contains("results"));

    TempDir out;
    std::filesystem::create_directory(out.file("taken.json"));
    const SimRun r = runSim({ std::string(VELUMO_GOLDEN_DIR) + "/mixed-02/project.vlm", "--out",
        out.path().string(), "--json", out.file("taken.json") });
    EXPECT_EQ(r.status, velumo::kSimWriteFailed);
    const std::string& err = r.err;
    EXPECT_NE(err.find("Fehler: Die Datei " + out.file("taken.json") + " kann nicht geschrieben werden"),
        std::string::npos)
        << err;
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(out.path()))
        ++entries;
    EXPECT_EQ(entries, 3u); // contour.txt, data.txt, the folder in the way
}
