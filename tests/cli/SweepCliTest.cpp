// velumo-sim --set, --sweep and --optimise against plain runs of the same
// designs: a design of a sweep is the design a plain run computes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numeric>
#include <sstream>

#include "DesignRun.h"
#include "IniFile.h"
#include "Optimiser.h"
#include "SimCall.h"
#include "SimRunner.h"
#include "SweepRunner.h"
#include "TestUtil.h"

using velumo::test::readBytes;
using velumo::test::TempDir;

namespace {

const std::string kGolden
    = std::string(VELUMO_SOURCE_DIR) + "/tests/golden/two-drivers-absorber-tunnel/project.vlm";
const std::string kBassHorn = std::string(VELUMO_SOURCE_DIR) + "/examples/bass-horn.vlm";

using velumo::test::runSim;
using velumo::test::SimRun;

// The fields of a line, without the CR of a CRLF.
std::vector<std::string> split(const std::string& line, char separator)
{
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == separator)
            fields.emplace_back();
        else if (c != '\r')
            fields.back() += c;
    }
    return fields;
}

// A summary or trace as rows of named fields (no field of these designs is
// quoted but the messages, which the tests read whole).
std::vector<std::map<std::string, std::string>> csvRows(const std::string& path)
{
    const std::vector<std::string> text = split(readBytes(path), '\n');
    const std::vector<std::string> names = split(text.at(0), ',');
    std::vector<std::map<std::string, std::string>> rows;
    for (size_t i = 1; i < text.size() && !text[i].empty(); ++i) {
        const std::vector<std::string> fields = split(text[i], ',');
        EXPECT_EQ(fields.size(), names.size()) << text[i];
        auto& row = rows.emplace_back();
        for (size_t c = 0; c < std::min(fields.size(), names.size()); ++c)
            row[names[c]] = fields[c];
    }
    return rows;
}

// The first five columns of data.txt: f, SPL, Zel, X1, SPLmax.
std::vector<std::vector<double>> dataColumns(const std::string& path)
{
    std::vector<std::vector<double>> columns(5);
    const std::vector<std::string> text = split(readBytes(path), '\n');
    for (size_t i = 2; i < text.size() && !text[i].empty(); ++i)
        for (size_t c = 0; c < columns.size(); ++c)
            columns[c].push_back(std::stod(split(text[i], '\t').at(c)));
    return columns;
}

} // namespace

TEST(SweepCli, everySweptDesignIsThePlainRunWithTheSameSetValues)
{
    TempDir sweep;
    // Hornlänge 1 puts the absorber chamber beyond the horn: a design the
    // check refuses, in the middle of the sweep.
    const SimRun c = runSim({ kGolden, "--out", sweep.path().string(), "--sweep", "Horn/Hornlänge=1.9,1,2.6",
        "--sweep", "Horn/Rückkammervolumen=12:30:2", "--keep-lists", "--jobs", "2" });
    ASSERT_EQ(c.status, velumo::kSimOk) << c.err;
    EXPECT_EQ(c.err,
        "2 von 6 Entwürfen ohne Erfolg; ihr Status steht in der Spalte status von "
            + sweep.file("summary.csv") + ".\n");
    const auto rows = csvRows(sweep.file("summary.csv"));
    ASSERT_EQ(rows.size(), 6u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        const auto num = [&](const char* name) { return std::stod(row.at(name)); };
        SCOPED_TRACE(row.at("Horn/Hornlänge") + " " + row.at("Horn/Rückkammervolumen"));
        EXPECT_EQ(row.at("index"), std::to_string(i));
        EXPECT_EQ(row.at("Horn/Rückkammervolumen"), i % 2 ? "30" : "12");
        TempDir plain;
        const SimRun p = runSim(
            { kGolden, "--out", plain.path().string(), "--set", "Horn/Hornlänge=" + row.at("Horn/Hornlänge"),
                "--set", "Horn/Rückkammervolumen=" + row.at("Horn/Rückkammervolumen") });
        EXPECT_EQ(row.at("status"), std::to_string(p.status));
        if (row.at("Horn/Hornlänge") == "1") {
            EXPECT_EQ(p.status, velumo::kSimInvalid);
            EXPECT_EQ(row.at("messages"),
                "Eingabe Position Absorberkammer nicht erlaubt! | Eingabe Position Extratunnel nicht "
                "erlaubt!");
            EXPECT_EQ(row.at("ripple"), "");
            EXPECT_FALSE(std::filesystem::exists(sweep.path() / std::to_string(i)));
            continue;
        }
        ASSERT_EQ(p.status, velumo::kSimOk) << p.err;
        for (const char* list : { "data.txt", "contour.txt" })
            EXPECT_EQ(
                readBytes((sweep.path() / std::to_string(i) / list).string()), readBytes(plain.file(list)));

        // The figures from data.txt's rounded values: SPL to 0.01 dB, Zel to
        // 0.001 Ohm, so each agrees to half that (twice for a difference).
        const auto d = dataColumns(plain.file("data.txt"));
        const std::vector<double>&f = d[0], &spl = d[1];
        const auto [lo, hi] = std::minmax_element(spl.begin(), spl.end());
        const double mean = std::accumulate(spl.begin(), spl.end(), 0.0) / static_cast<double>(spl.size());
        EXPECT_NEAR(num("ripple"), *hi - *lo, 0.01);
        EXPECT_NEAR(num("spl_mean"), mean, 0.005);
        EXPECT_NEAR(num("splmax_min"), *std::min_element(d[4].begin(), d[4].end()), 0.005);
        EXPECT_NEAR(num("zmin"), *std::min_element(d[2].begin(), d[2].end()), 0.0005);
        // f3: every point from it up stays within 3 dB of the mean, the point
        // below it does not.
        const size_t j = static_cast<size_t>(std::lower_bound(f.begin(), f.end(), num("f3")) - f.begin());
        ASSERT_GT(j, 0u);
        for (size_t k = j; k < f.size(); ++k)
            EXPECT_GE(spl[k], mean - 3 - 0.01) << f[k];
        EXPECT_LT(spl[j - 1], mean - 3 + 0.01);
    }
}

TEST(SweepCli, shardsJoinedInOrderAreTheWholeSweep)
{
    const std::vector<std::string> sweep
        = { kBassHorn, "--sweep", "Horn/Hornlänge=1.5:3.5:7:log", "--sweep", "Horn/Mundhöhe=50,70" };
    TempDir whole;
    ASSERT_EQ(runSim(sweep, { "--out", whole.path().string() }).status, velumo::kSimOk);
    // 14 designs in 4 shards, two of 4 and two of 3; each shard's header once.
    std::string joined;
    for (int k = 1; k <= 4; ++k) {
        TempDir part;
        ASSERT_EQ(runSim(sweep,
                      { "--out", part.path().string(), "--shard", std::to_string(k) + "/4", "--jobs", "2" })
                      .status,
            velumo::kSimOk);
        const std::string text = readBytes(part.file("summary.csv"));
        joined += k == 1 ? text : text.substr(text.find('\n') + 1);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), k <= 2 ? 5 : 4);
    }
    EXPECT_EQ(joined, readBytes(whole.file("summary.csv")));
}

TEST(SweepCli, setIsTheValueInTheFile)
{
    TempDir edited, set, original;
    velumo::IniFile ini = velumo::IniFile::load(kBassHorn);
    ini.writeString("Horn", "Mundbreite", "45.5");
    ini.writeString("Lautsprecher", "Gleichstromwiderstand", "6");
    ASSERT_TRUE(ini.save(edited.file("p.vlm")));
    const SimRun e = runSim({ edited.file("p.vlm"), "--out", edited.path().string() });
    // Names as the file compares them: upper and lower case alike.
    const SimRun s = runSim({ kBassHorn, "--out", set.path().string(), "--set", "horn/MUNDBREITE=45.5",
        "--set", "Lautsprecher/Gleichstromwiderstand = 6" });
    ASSERT_EQ(e.status, velumo::kSimOk);
    EXPECT_EQ(s.status, velumo::kSimOk);
    EXPECT_EQ(s.out, e.out);
    EXPECT_EQ(readBytes(set.file("data.txt")), readBytes(edited.file("data.txt")));
    ASSERT_EQ(runSim({ kBassHorn, "--out", original.path().string() }).status, velumo::kSimOk);
    EXPECT_NE(readBytes(set.file("data.txt")), readBytes(original.file("data.txt")));
}

TEST(SweepCli, badArgumentsGiveOneGermanLineAndExit1)
{
    const std::vector<std::vector<std::string>> cases = { { "--set", "Horn/Hornlaenge=2" },
        { "--set", "Hupe/Hornlänge=2" }, { "--sweep", "Horn/Hornlänge=3:1.5:4" },
        { "--sweep", "Horn/Hornlänge=1:2:0" }, { "--sweep", "Horn/Hornlänge=1:2" },
        { "--sweep", "Horn/Hornlänge=1,,2" },
        { "--sweep", "Horn/Hornlänge=1:2:3", "--sweep", "Horn/Hornlänge=1,2" },
        { "--sweep", "Horn/Hornlänge=1,2", "--set", "Horn/Hornlänge=2" },
        { "--optimise", "rippel", "--vary", "Horn/Hornlänge=1:3" }, { "--optimise", "ripple" },
        { "--optimise", "ripple", "--vary", "Horn/Hornlänge=3:1" },
        { "--optimise", "ripple", "--vary", "Horn/Hornlänge=1:3", "--require", "f3=<40" },
        { "--vary", "Horn/Hornlänge=1:3" }, { "--keep-lists" }, { "--jobs", "2" },
        { "--seed", "3", "--sweep", "Horn/Hornlänge=1,2" },
        { "--sweep", "Horn/Hornlänge=1,2", "--shard", "3/2" },
        { "--sweep", "Horn/Hornlänge=1,2", "--jobs", "0" },
        { "--sweep", "Horn/Hornlänge=1,2", "--band", "200:40" },
        { "--sweep", "Horn/Hornlänge=1,2", "--json", "-" },
        { "--optimise", "ripple", "--vary", "Horn/Hornlänge=1:3", "--evaluations", "0" }, { "--sweep" } };
    for (const auto& extra : cases) {
        TempDir dir;
        const SimRun c = runSim({ kBassHorn, "--out", dir.path().string() }, extra);
        SCOPED_TRACE(c.err);
        EXPECT_EQ(c.status, velumo::kSimUsage);
        EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1);
        EXPECT_EQ(c.err.back(), '\n');
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
}

TEST(SweepCli, rankPutsEveryDesignThatMeetsTheConstraintsFirst)
{
    using velumo::Figure;
    const std::vector<velumo::Constraint> limit = { { Figure::F3, velumo::Comparison::LessEqual, 40 } };
    const auto rank = [&](double ripple, double f3, int status = 0, bool maximise = false) {
        velumo::FiguresOfMerit m;
        m.values.fill(1.0);
        m.values[static_cast<size_t>(Figure::Ripple)] = ripple;
        m.values[static_cast<size_t>(Figure::F3)] = f3;
        return velumo::designRank(m, status, Figure::Ripple, maximise, limit);
    };
    // Met, then missed (closer to the bound first), then undefined, then not run.
    EXPECT_LT(rank(50, 40), rank(2, 40.5));
    EXPECT_LT(rank(2, 40.5), rank(2, 60));
    EXPECT_LT(rank(2, 60), rank(2, std::nan("")));
    EXPECT_LT(rank(2, std::nan("")), rank(50, 40, velumo::kSimInvalid));
    EXPECT_LT(rank(50, 40), rank(60, 40));
    EXPECT_LT(rank(60, 40, 0, true), rank(50, 40, 0, true));
}

TEST(SweepCli, optimiserLowersRippleMeetingItsConstraintsReproducibly)
{
    const std::vector<std::string> optimise
        = { kBassHorn, "--optimise", "ripple", "--band", "40:200", "--vary", "Horn/Hornlänge=1.5:3.5",
              "--vary", "Horn/Mundhöhe=40:100", "--vary", "Horn/Rückkammervolumen=10:80", "--require",
              "f3<=45", "--require", "Vgesamt<=500", "--evaluations", "120", "--seed", "7" };
    TempDir first, second, plain;
    const SimRun c = runSim(optimise, { "--out", first.path().string() });
    ASSERT_EQ(c.status, velumo::kSimOk) << c.err;
    ASSERT_EQ(runSim(optimise, { "--out", second.path().string() }).status, velumo::kSimOk);
    EXPECT_EQ(readBytes(first.file("trace.csv")), readBytes(second.file("trace.csv")));
    EXPECT_NE(c.out.find("nachher:"), std::string::npos);

    const auto trace = csvRows(first.file("trace.csv"));
    ASSERT_GT(trace.size(), 10u);
    EXPECT_LE(trace.size(), 120u);
    // The first evaluation is the project as it is.
    EXPECT_EQ(trace.front().at("Horn/Hornlänge"), "2.4");

    // best.vlm is a project file whose plain run gives the optimiser's lists.
    ASSERT_EQ(runSim({ first.file("best.vlm"), "--out", plain.path().string() }).status, velumo::kSimOk);
    for (const char* list : { "data.txt", "contour.txt" })
        EXPECT_EQ(readBytes(plain.file(list)), readBytes(first.file(list))) << list;
    const velumo::DesignRun best = velumo::runDesign(
        velumo::IniFile::load(first.file("best.vlm")), {}, velumo::Band { 40, 200 }, {}, 1);
    ASSERT_EQ(best.status, velumo::kSimOk);
    EXPECT_LT(best.figures.value(velumo::Figure::Ripple), std::stod(trace.front().at("ripple")) - 1.0);
    EXPECT_LE(best.figures.value(velumo::Figure::F3), 45);
    EXPECT_LE(best.figures.value(velumo::Figure::VGesamt), 500);
}

// The program, not the call in this process: velumo-sim as built may hand
// the search to velumo-optimise, which must give the same trace.
TEST(SweepCli, optimisationByTheProgramGivesTheTraceOfTheCall)
{
    const std::vector<std::string> optimise = { kBassHorn, "--optimise", "ripple", "--vary",
        "Horn/Hornlänge=1.5:3.5", "--evaluations", "12", "--seed", "3" };
    TempDir call, program;
    ASSERT_EQ(runSim(optimise, { "--out", call.path().string() }).status, velumo::kSimOk);
    std::string command = "'" VELUMO_SIM_EXE "'";
    for (const std::string& a : optimise)
        command += " '" + a + "'";
    command += " --out '" + program.path().string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(readBytes(program.file("trace.csv")), readBytes(call.file("trace.csv")));
    EXPECT_EQ(readBytes(program.file("data.txt")), readBytes(call.file("data.txt")));
}

TEST(SweepCli, summaryFieldsReadBackAsWritten)
{
    EXPECT_EQ(velumo::csvField("Eingabe Hornlänge nicht erlaubt!"), "Eingabe Hornlänge nicht erlaubt!");
    EXPECT_EQ(velumo::csvField("a, b"), "\"a, b\"");
    EXPECT_EQ(velumo::csvField("der \"Hals\""), "\"der \"\"Hals\"\"\"");
    EXPECT_EQ(velumo::csvField("zwei\nZeilen"), "\"zwei\nZeilen\"");
    EXPECT_EQ(velumo::csvNumber(std::nan("")), "");
    EXPECT_EQ(velumo::csvNumber(2.0), "2");
    for (double v : { 0.1, 1.0 / 3.0, -2.5e-7, 123456789.123, 5e300 })
        EXPECT_EQ(std::stod(velumo::csvNumber(v)), v) << velumo::csvNumber(v);
    // The folders of --keep-lists sort in design order.
    EXPECT_EQ(velumo::designFolderName(7, 1000), "007");
    EXPECT_EQ(velumo::designFolderName(3, 11), "03");
    EXPECT_EQ(velumo::designFolderName(0, 1), "0");
}

TEST(SweepCli, aSummaryThatCannotBeWrittenIsStatus4AndLeavesNoFile)
{
    TempDir dir;
    SimRun c;
    {
        // Room for the header and a few rows, as on a full disk.
        velumo::test::FileSizeLimit limit(400);
        c = runSim({ kBassHorn, "--out", dir.path().string(), "--sweep", "Horn/Hornlänge=1.5:3.5:40" });
    }
    EXPECT_EQ(c.status, velumo::kSimWriteFailed);
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << c.err;
    EXPECT_NE(c.err.find("summary.csv"), std::string::npos) << c.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
