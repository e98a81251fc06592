// A horn without a real contour (values the input check lets through) must
// stop the run with "Fehler" before a NaN or infinity reaches a file or the
// result slot.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "EngineDesigns.h"
#include "Simulation.h"
#include "TestUtil.h"

using velumo::RunInput;
using velumo::RunStatus;

namespace {

struct StoppedRun {
    velumo::test::TempDir dir;
    velumo::ResultSlot slot;
    velumo::test::RecordingSink sink;
    velumo::RunOutcome outcome;
    std::string contour;
    std::string data;

    explicit StoppedRun(const RunInput& in)
    {
        velumo::clearSlot(slot);
        outcome = velumo::runSimulation(in, dir.path().string(), slot, sink);
        contour = velumo::test::readBytes(dir.file("contour.txt"));
        data = velumo::test::readBytes(dir.file("data.txt"));
    }
};

long lineCount(const std::string& s)
{
    return std::count(s.begin(), s.end(), '\n');
}

const velumo::Message kContourFailure { "Fehler",
    "Die Hornkontur ergibt keine endlichen Werte.\nDie Simulation wurde abgebrochen." };

} // namespace

TEST(SimulationContourStop, negativeMouthHeightStopsBeforeTheContourRows)
{
    RunInput in = velumo::test::baseDesign();
    in.h = -10; // mouth area < 0: the exponential law takes its logarithm
    const StoppedRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Failed);
    EXPECT_EQ(run.outcome.points, 0);
    ASSERT_FALSE(run.sink.messages.empty());
    EXPECT_EQ(run.sink.messages.back(), kContourFailure);
    EXPECT_EQ(lineCount(run.contour), 1); // header only
    EXPECT_EQ(lineCount(run.data), 2);
    // Nothing of the broken horn reaches the slot the sketch draws.
    EXPECT_EQ(run.slot.contourA[50], 0.0);
    EXPECT_FALSE(run.slot.isFilled());
}

TEST(SimulationContourStop, overflowingMouthAreaStopsInsteadOfWritingInfinity)
{
    RunInput in = velumo::test::baseDesign();
    in.h = 1e300; // cm; the mouth area h·b overflows
    in.b = 1e300;
    const StoppedRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Failed);
    ASSERT_FALSE(run.sink.messages.empty());
    EXPECT_EQ(run.sink.messages.back(), kContourFailure);
    EXPECT_EQ(run.contour.find("INF"), std::string::npos);
    EXPECT_EQ(run.contour.find("NAN"), std::string::npos);
}

TEST(SimulationContourStop, ordinaryDesignStillWritesEveryContourRow)
{
    RunInput in = velumo::test::baseDesign();
    in.contourPoints = 11;
    const StoppedRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Ok);
    EXPECT_EQ(lineCount(run.contour), 12); // header and 11 rows
}
