// velumo-sim --set, --sweep and --optimise against plain runs of the same
// designs: a design of a sweep is the design a plain run computes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "DesignRun.h"
#include "IniFile.h"
#include "Optimiser.h"
#include "SimRunner.h"
#include "SweepRunner.h"
#include "TestUtil.h"

using velumo::test::readBytes;
using velumo::test::TempDir;

namespace {

const std::string kGolden
    = std::string(VELUMO_SOURCE_DIR) + "/tests/golden/two-drivers-absorber-tunnel/project.vlm";
const std::string kBassHorn = std::string(VELUMO_SOURCE_DIR) + "/examples/bass-horn.vlm";

struct Call {
    int status = 0;
    std::string out;
    std::string err;
};

Call sim(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = velumo::runVelumoSim(args, out, err);
    return { status, out.str(), err.str() };
}

std::vector<std::string> split(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, separator))
        fields.push_back(field);
    if (!line.empty() && line.back() == separator)
        fields.emplace_back();
    return fields;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
    return result;
}

// The summary as rows of named fields (no field of these designs is quoted
// but the messages, which the tests read whole).
std::vector<std::map<std::string, std::string>> summaryRows(const std::string& path)
{
    const std::vector<std::string> text = lines(readBytes(path));
    const std::vector<std::string> names = split(text.at(0), ',');
    std::vector<std::map<std::string, std::string>> rows;
    for (size_t i = 1; i < text.size(); ++i) {
        const std::vector<std::string> fields = split(text[i], ',');
        EXPECT_EQ(fields.size(), names.size()) << text[i];
        std::map<std::string, std::string> row;
        for (size_t c = 0; c < std::min(fields.size(), names.size()); ++c)
            row[names[c]] = fields[c];
        rows.push_back(row);
    }
    return rows;
}

// Columns f, SPL, Zel, SPLmax of data.txt.
struct DataColumns {
    std::vector<double> f, spl, zel, splMax;
};
DataColumns readData(const std::string& path)
{
    DataColumns d;
    const std::vector<std::string> text = lines(readBytes(path));
    for (size_t i = 2; i < text.size(); ++i) {
        const std::vector<std::string> fields = split(text[i], '\t');
        d.f.push_back(std::stod(fields.at(0)));
        d.spl.push_back(std::stod(fields.at(1)));
        d.zel.push_back(std::stod(fields.at(2)));
        d.splMax.push_back(std::stod(fields.at(4)));
    }
    return d;
}

} // namespace

TEST(SweepCli, everySweptDesignIsThePlainRunWithTheSameSetValues)
{
    TempDir sweep;
    // Hornlänge 1 puts the absorber chamber beyond the horn: a design the
    // check refuses, in the middle of the sweep.
    const Call c = sim({ kGolden, "--out", sweep.path().string(), "--sweep", "Horn/Hornlänge=1.9,1,2.6",
        "--sweep", "Horn/Rückkammervolumen=12:30:2", "--keep-lists", "--jobs", "2" });
    ASSERT_EQ(c.status, velumo::kSimOk) << c.err;
    EXPECT_EQ(c.err,
        "2 von 6 Entwürfen ohne Erfolg; ihr Status steht in der Spalte status von "
            + sweep.file("summary.csv") + ".\n");
    const auto rows = summaryRows(sweep.file("summary.csv"));
    ASSERT_EQ(rows.size(), 6u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.at("Horn/Hornlänge") + " " + row.at("Horn/Rückkammervolumen"));
        EXPECT_EQ(row.at("index"), std::to_string(i));
        EXPECT_EQ(row.at("Horn/Rückkammervolumen"), i % 2 ? "30" : "12");
        TempDir plain;
        const Call p = sim(
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
        const std::filesystem::path lists = sweep.path() / std::to_string(i);
        EXPECT_EQ(readBytes((lists / "data.txt").string()), readBytes(plain.file("data.txt")));
        EXPECT_EQ(readBytes((lists / "contour.txt").string()), readBytes(plain.file("contour.txt")));

        // The figures from data.txt's rounded values: SPL to 0.01 dB, Zel to
        // 0.001 Ohm, so each agrees to half that (twice for a difference).
        const DataColumns d = readData(plain.file("data.txt"));
        const auto [lo, hi] = std::minmax_element(d.spl.begin(), d.spl.end());
        double sum = 0;
        for (double s : d.spl)
            sum += s;
        const double mean = sum / d.spl.size();
        EXPECT_NEAR(std::stod(row.at("ripple")), *hi - *lo, 0.01);
        EXPECT_NEAR(std::stod(row.at("spl_mean")), mean, 0.005);
        EXPECT_NEAR(
            std::stod(row.at("splmax_min")), *std::min_element(d.splMax.begin(), d.splMax.end()), 0.005);
        EXPECT_NEAR(std::stod(row.at("zmin")), *std::min_element(d.zel.begin(), d.zel.end()), 0.0005);
        // f3: every point above it stays within 3 dB of the mean, the point
        // below it does not.
        const double f3 = std::stod(row.at("f3"));
        const double threshold = mean - 3;
        size_t j = 0;
        while (j < d.f.size() && d.f[j] < f3)
            ++j;
        ASSERT_GT(j, 0u);
        for (size_t k = j; k < d.f.size(); ++k)
            EXPECT_GE(d.spl[k], threshold - 0.01) << d.f[k];
        EXPECT_LT(d.spl[j - 1], threshold + 0.01);
    }
}

TEST(SweepCli, shardsJoinedInOrderAreTheWholeSweep)
{
    const std::vector<std::string> sweep
        = { kBassHorn, "--sweep", "Horn/Hornlänge=1.5:3.5:7:log", "--sweep", "Horn/Mundhöhe=50,70" };
    TempDir whole;
    std::vector<std::string> args = sweep;
    args.insert(args.end(), { "--out", whole.path().string() });
    ASSERT_EQ(sim(args).status, velumo::kSimOk);
    // 14 designs in 4 shards, two of 4 and two of 3; each shard's header once.
    std::string joined;
    for (int k = 1; k <= 4; ++k) {
        TempDir part;
        args = sweep;
        args.insert(args.end(),
            { "--out", part.path().string(), "--shard", std::to_string(k) + "/4", "--jobs", "2" });
        ASSERT_EQ(sim(args).status, velumo::kSimOk);
        const std::string text = readBytes(part.file("summary.csv"));
        joined += k == 1 ? text : text.substr(text.find('\n') + 1);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), k <= 2 ? 5 : 4);
    }
    EXPECT_EQ(joined, readBytes(whole.file("summary.csv")));
}

TEST(SweepCli, setIsTheValueInTheFile)
{
    TempDir edited, set;
    velumo::IniFile ini = velumo::IniFile::load(kBassHorn);
    ini.writeString("Horn", "Mundbreite", "45.5");
    ini.writeString("Lautsprecher", "Gleichstromwiderstand", "6");
    ASSERT_TRUE(ini.save(edited.file("p.vlm")));
    const Call e = sim({ edited.file("p.vlm"), "--out", edited.path().string() });
    // Names as the file compares them: upper and lower case alike.
    const Call s = sim({ kBassHorn, "--out", set.path().string(), "--set", "horn/MUNDBREITE=45.5", "--set",
        "Lautsprecher/Gleichstromwiderstand = 6" });
    ASSERT_EQ(e.status, velumo::kSimOk);
    EXPECT_EQ(s.status, velumo::kSimOk);
    EXPECT_EQ(s.out, e.out);
    EXPECT_EQ(readBytes(set.file("data.txt")), readBytes(edited.file("data.txt")));
    TempDir original;
    ASSERT_EQ(sim({ kBassHorn, "--out", original.path().string() }).status, velumo::kSimOk);
    EXPECT_NE(readBytes(set.file("data.txt")), readBytes(original.file("data.txt")));
}

TEST(SweepCli, badArgumentsGiveOneGermanLineAndExit1)
{
    const std::vector<std::vector<std::string>> cases = {
        { "--set", "Horn/Hornlaenge=2" },
        { "--set", "Hupe/Hornlänge=2" },
        { "--sweep", "Horn/Hornlänge=3:1.5:4" },
        { "--sweep", "Horn/Hornlänge=1:2:0" },
        { "--sweep", "Horn/Hornlänge=1:2" },
        { "--sweep", "Horn/Hornlänge=1,,2" },
        { "--sweep", "Horn/Hornlänge=1:2:3", "--sweep", "Horn/Hornlänge=1,2" },
        { "--sweep", "Horn/Hornlänge=1,2", "--set", "Horn/Hornlänge=2" },
        { "--optimise", "rippel", "--vary", "Horn/Hornlänge=1:3" },
        { "--optimise", "ripple" },
        { "--optimise", "ripple", "--vary", "Horn/Hornlänge=3:1" },
        { "--optimise", "ripple", "--vary", "Horn/Hornlänge=1:3", "--require", "f3=<40" },
        { "--vary", "Horn/Hornlänge=1:3" },
        { "--keep-lists" },
        { "--jobs", "2" },
        { "--seed", "3", "--sweep", "Horn/Hornlänge=1,2" },
        { "--sweep", "Horn/Hornlänge=1,2", "--shard", "3/2" },
        { "--sweep", "Horn/Hornlänge=1,2", "--jobs", "0" },
        { "--sweep", "Horn/Hornlänge=1,2", "--band", "200:40" },
        { "--sweep", "Horn/Hornlänge=1,2", "--json", "-" },
        { "--optimise", "ripple", "--vary", "Horn/Hornlänge=1:3", "--evaluations", "0" },
        { "--sweep" },
    };
    for (const auto& extra : cases) {
        TempDir dir;
        std::vector<std::string> args = { kBassHorn, "--out", dir.path().string() };
        args.insert(args.end(), extra.begin(), extra.end());
        const Call c = sim(args);
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
    velumo::FiguresOfMerit meets, misses, undefined;
    meets.values.fill(1.0);
    meets.values[static_cast<size_t>(Figure::Ripple)] = 50;
    meets.values[static_cast<size_t>(Figure::F3)] = 40;
    misses.values = meets.values;
    misses.values[static_cast<size_t>(Figure::Ripple)] = 2;
    misses.values[static_cast<size_t>(Figure::F3)] = 40.5;
    undefined.values = meets.values;
    undefined.values[static_cast<size_t>(Figure::F3)] = std::nan("");
    const std::vector<velumo::Constraint> limit = { { Figure::F3, velumo::Comparison::LessEqual, 40 } };
    const auto rank = [&](const velumo::FiguresOfMerit& f, int status = 0, bool maximise = false) {
        return velumo::designRank(f, status, Figure::Ripple, maximise, limit);
    };
    EXPECT_LT(rank(meets), rank(misses));
    EXPECT_LT(rank(misses), rank(undefined));
    EXPECT_LT(rank(undefined), rank(meets, velumo::kSimInvalid));
    // Closer to the bound ranks better among those that miss it.
    velumo::FiguresOfMerit further = misses;
    further.values[static_cast<size_t>(Figure::F3)] = 60;
    EXPECT_LT(rank(misses), rank(further));
    velumo::FiguresOfMerit louder = meets;
    louder.values[static_cast<size_t>(Figure::Ripple)] = 60;
    EXPECT_LT(rank(louder, 0, true), rank(meets, 0, true));
    EXPECT_LT(rank(meets), rank(louder));
}

TEST(SweepCli, optimiserLowersRippleMeetingItsConstraintsReproducibly)
{
    const std::vector<std::string> optimise
        = { kBassHorn, "--optimise", "ripple", "--band", "40:200", "--vary", "Horn/Hornlänge=1.5:3.5",
              "--vary", "Horn/Mundhöhe=40:100", "--vary", "Horn/Rückkammervolumen=10:80", "--require",
              "f3<=45", "--require", "Vgesamt<=500", "--evaluations", "120", "--seed", "7" };
    TempDir first, second;
    std::vector<std::string> args = optimise;
    args.insert(args.end(), { "--out", first.path().string() });
    const Call c = sim(args);
    ASSERT_EQ(c.status, velumo::kSimOk) << c.err;
    args = optimise;
    args.insert(args.end(), { "--out", second.path().string() });
    ASSERT_EQ(sim(args).status, velumo::kSimOk);
    EXPECT_EQ(readBytes(first.file("trace.csv")), readBytes(second.file("trace.csv")));

    const auto trace = summaryRows(first.file("trace.csv"));
    ASSERT_GT(trace.size(), 10u);
    EXPECT_LE(trace.size(), 120u);
    // The first evaluation is the project as it is.
    EXPECT_EQ(trace.front().at("Horn/Hornlänge"), "2.4");
    const double before = std::stod(trace.front().at("ripple"));

    // best.vlm is a project file whose plain run gives the optimiser's lists.
    TempDir plain;
    ASSERT_EQ(sim({ first.file("best.vlm"), "--out", plain.path().string() }).status, velumo::kSimOk);
    EXPECT_EQ(readBytes(plain.file("data.txt")), readBytes(first.file("data.txt")));
    EXPECT_EQ(readBytes(plain.file("contour.txt")), readBytes(first.file("contour.txt")));
    const velumo::DesignRun best = velumo::runDesign(
        velumo::IniFile::load(first.file("best.vlm")), {}, velumo::Band { 40, 200 }, {}, 1);
    ASSERT_EQ(best.status, velumo::kSimOk);
    EXPECT_LT(best.figures.value(velumo::Figure::Ripple), before - 1.0);
    EXPECT_LE(best.figures.value(velumo::Figure::F3), 45);
    EXPECT_LE(best.figures.value(velumo::Figure::VGesamt), 500);
    EXPECT_NE(c.out.find("nachher:"), std::string::npos);
}

TEST(SweepCli, summaryFieldsReadBackAsWritten)
{
    EXPECT_EQ(velumo::csvField("Eingabe Hornlänge nicht erlaubt!"), "Eingabe Hornlänge nicht erlaubt!");
    EXPECT_EQ(velumo::csvField("a, b"), "\"a, b\"");
    EXPECT_EQ(velumo::csvField("der \"Hals\""), "\"der \"\"Hals\"\"\"");
    EXPECT_EQ(velumo::csvField("zwei\nZeilen"), "\"zwei\nZeilen\"");
    EXPECT_EQ(velumo::csvNumber(std::nan("")), "");
    for (double v : { 0.1, 1.0 / 3.0, -2.5e-7, 123456789.123, 5e300 })
        EXPECT_EQ(std::stod(velumo::csvNumber(v)), v) << velumo::csvNumber(v);
    EXPECT_EQ(velumo::csvNumber(2.0), "2");

    // The folders of --keep-lists sort in design order.
    EXPECT_EQ(velumo::designFolderName(7, 1000), "007");
    EXPECT_EQ(velumo::designFolderName(999, 1000), "999");
    EXPECT_EQ(velumo::designFolderName(3, 11), "03");
    EXPECT_EQ(velumo::designFolderName(0, 1), "0");
}

TEST(SweepCli, aSummaryThatCannotBeWrittenIsStatus4AndLeavesNoFile)
{
    TempDir dir;
    Call c;
    {
        // Room for the header and a few rows, as on a full disk.
        velumo::test::FileSizeLimit limit(400);
        c = sim({ kBassHorn, "--out", dir.path().string(), "--sweep", "Horn/Hornlänge=1.5:3.5:40" });
    }
    EXPECT_EQ(c.status, velumo::kSimWriteFailed);
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << c.err;
    EXPECT_NE(c.err.find("summary.csv"), std::string::npos) << c.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
