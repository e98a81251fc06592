#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>

#include "EngineDesigns.h"
#include "RunPresentation.h"
#include "RunSetup.h"
#include "Simulation.h"
#include "TestUtil.h"

using velumo::RunInput;
using velumo::RunOutcome;
using velumo::RunStatus;
using velumo::test::expectNearRel;
using velumo::test::RecordingSink;

namespace {

struct FullRun {
    velumo::test::TempDir dir;
    RecordingSink sink; // messages in words and progress
    RunOutcome outcome;
    std::string data;
    std::string contour;

    explicit FullRun(const RunInput& in)
    {
        outcome = velumo::runAndWriteLists(
            in, dir.path().string(), [this](int percent) { sink.progress(percent); });
        for (const velumo::Message& m : outcome.messages)
            sink.message(m);
        data = velumo::test::readBytes(dir.file("data.txt"));
        contour = velumo::test::readBytes(dir.file("contour.txt"));
    }
    const velumo::PointResults& point(int i) const
    {
        return outcome.result.points.at(static_cast<size_t>(i));
    }
};

std::vector<std::string> lines(const std::string& bytes)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    for (std::size_t end; (end = bytes.find("\r\n", pos)) != std::string::npos; pos = end + 2)
        out.push_back(bytes.substr(pos, end - pos));
    if (pos < bytes.size())
        out.push_back(bytes.substr(pos) + "<no CR LF>");
    return out;
}

// Every row has eleven fields of finite numbers, ten tabs; without driver 2
// fields 9 and 10 are empty.
void expectFiniteRows(const std::string& data, bool driver2)
{
    const std::regex row(driver2 ? "([-+.0-9E]+\t){10}[-+.0-9E]+" : "([-+.0-9E]+\t){8}\t\t[-+.0-9E]+");
    const auto rows = lines(data);
    ASSERT_GE(rows.size(), 4u);
    for (std::size_t r = 2; r < rows.size(); ++r)
        EXPECT_TRUE(std::regex_match(rows[r], row)) << rows[r];
}

// The frequency of the largest |Zel| in lo..hi: a 1 Hz scan, then a
// golden-section search around its best point.
double impedancePeak(const RunInput& in, double lo, double hi)
{
    RecordingSink sink;
    const velumo::Model model = velumo::prepareRun(in);
    auto net = std::make_unique<velumo::LoopNetwork>();
    auto zel = [&](double f) {
        velumo::PointResults r;
        EXPECT_TRUE(velumo::computePoint(model, in.crossover, f, *net, r));
        return r.zel;
    };
    double best = lo, bestZ = 0;
    for (double f = lo; f <= hi; f += 1.0) {
        const double z = zel(f);
        if (z > bestZ) {
            bestZ = z;
            best = f;
        }
    }
    double a = best - 1.0, b = best + 1.0;
    const double g = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 60; ++i) {
        const double c = b - g * (b - a), d = a + g * (b - a);
        if (zel(c) > zel(d))
            b = d;
        else
            a = c;
    }
    return (a + b) / 2;
}

} // namespace

TEST(Simulation, closedSmallHornBehavesAsSealedBox)
{
    // Front chamber and a short straight duct with a closed end form one
    // sealed volume Vf in front of the membrane, the rear chamber (its port
    // tuned to 1 Hz) a second one behind it. Without masses in the chambers,
    // damping or voice-coil inductance the impedance peak is the mechanical
    // resonance fs·sqrt(1 + Vas/Vrk + Vas/Vf). What the model adds is the air
    // mass of the duct, the 1 Hz port path and the open 6e9 Ohm filter
    // shunts; together they shift the peak by about 1e-6 relative. The 50
    // chamber slices and 100 duct segments add up to the exact volumes, so
    // the discretisation costs nothing at this frequency.
    RunInput in = velumo::test::baseDesign();
    in.driver1 = velumo::DriverInput { 1, 6.0, 50.0, 0.5, 8.0, 60.0, 100.0, 200.0, 6.0, 6.0, 3.0 };
    in.rdcBoxValue = 6.0;
    in.mouthClosed = true;
    in.flareLaw = velumo::FlareLaw::Parabolic;
    in.ah = 100;
    in.h = in.b = 10;
    in.l1 = 0.02;
    in.beta1 = in.beta2 = 0;
    in.vvk = 10;
    in.vrk = 20;
    in.lvk = in.bvk = in.lrk = in.brk = in.abr = in.bbr = 0;
    in.abrTextIsZero = true;
    const double vf = 10.0 + 100.0 * 2.0 / 1000.0; // litre: chamber + 100 cm² · 2 cm
    const double fc = 50.0 * std::sqrt(1.0 + 60.0 / 20.0 + 60.0 / vf);
    // Observed: 157.1809 Hz against 157.1811 Hz, −1e-6 relative.
    expectNearRel(impedancePeak(in, 100.0, 250.0), fc, 1e-5);
}

TEST(Simulation, cornerMirrorEqualsFourTimesLargerRealSystem)
{
    // "Ecke" mirrors the horn four times; one real system with four drivers
    // and every area and volume four times larger is the same model.
    RunInput corner = velumo::test::baseDesign();
    corner.abr = 0;
    corner.abrTextIsZero = true; // a tuned port's end correction uses the per-horn radius
    corner.et = true;
    corner.position = velumo::RoomPosition::Corner;
    RunInput big = corner;
    big.position = velumo::RoomPosition::HalfSpace;
    big.driver1.stk = 4;
    for (double* area : { &big.ah, &big.h, &big.vvk, &big.vrk, &big.aet })
        *area *= 4;
    const FullRun a(corner), b(big);
    ASSERT_EQ(a.outcome.status, RunStatus::Ok);
    ASSERT_EQ(a.outcome.points, b.outcome.points);
    for (int i = 0; i < a.outcome.points; ++i) {
        // Only the four open filter shunts differ (6e9 / 4 against 6e9 Ohm
        // beside a 1.5 Ohm voice coil whose impedance rises to about 7 Ohm
        // at resonance): a few parts in 1e8 at most.
        expectNearRel(a.point(i).spl, b.point(i).spl, 5e-8);
        expectNearRel(a.point(i).x1, b.point(i).x1, 5e-8);
        expectNearRel(a.point(i).zel, 4.0 * b.point(i).zel, 5e-8);
    }
}

TEST(Simulation, hundredPointsGiveHundredAndTwoLines)
{
    RunInput in = velumo::test::baseDesign();
    in.freqAuto = false;
    in.freqMin = 20;
    in.freqMax = 200;
    // Grid points 0..98 end exactly at fmax, which is not above the limit,
    // so one more point (204.75 Hz) is computed: 100 points.
    in.freqPoints = 99;
    const FullRun run(in);
    ASSERT_EQ(run.outcome.status, RunStatus::Ok);
    EXPECT_EQ(run.outcome.points, 100);
    const auto rows = lines(run.data);
    ASSERT_EQ(rows.size(), 102u);
    // The two header lines are those of the run's start (see RunSetup).
    EXPECT_EQ(rows[2].substr(0, 6), "20.00\t");
    EXPECT_EQ(rows[100].substr(0, 7), "200.00\t");
    EXPECT_EQ(rows[101].substr(0, 7), "204.75\t");
    expectFiniteRows(run.data, false);
    EXPECT_EQ(lines(run.contour).size(), 52u); // header and 51 rows
}

TEST(Simulation, everyElementSwitchedOnGivesFiniteRows)
{
    const std::vector<std::pair<std::string, std::function<void(RunInput&)>>> variants = {
        { "base", [](RunInput&) {} },
        { "everything", [](RunInput&) {} },
        { "parabolic", [](RunInput& in) { in.flareLaw = velumo::FlareLaw::Parabolic; } },
        { "conical", [](RunInput& in) { in.flareLaw = velumo::FlareLaw::Conical; } },
        { "hyperbolic", [](RunInput& in) { in.flareLaw = velumo::FlareLaw::Hyperbolic; } },
        { "octal", [](RunInput& in) { in.flareLaw = velumo::FlareLaw::OctalHyperbolic; } },
        { "geometric", [](RunInput& in) { in.flareLaw = velumo::FlareLaw::Geometric; } },
        { "tractrix", [](RunInput& in) { in.flareLaw = velumo::FlareLaw::Tractrix; } },
        { "rearloaded", [](RunInput& in) { in.hornType = velumo::HornType::RearLoaded; } },
        { "driver1 at throat", [](RunInput& in) { in.xT1 = 0; } },
        { "driver2 like driver1",
            [](RunInput& in) {
                in.driver2Mode = velumo::Driver2Mode::LikeDriver1;
                in.rk2 = false;
            } },
        { "driver2 reversed", [](RunInput& in) { in.driver2Reversed = true; } },
        { "driver2 off", [](RunInput& in) { in.driver2Mode = velumo::Driver2Mode::None; } },
        { "closed mouth", [](RunInput& in) { in.mouthClosed = true; } },
        { "no port",
            [](RunInput& in) {
                in.abrTextIsZero = true;
                in.abr = 0;
            } },
        { "frei", [](RunInput& in) { in.position = velumo::RoomPosition::Free; } },
        { "boden", [](RunInput& in) { in.position = velumo::RoomPosition::Floor; } },
        { "boden wand", [](RunInput& in) { in.position = velumo::RoomPosition::FloorAndWall; } },
        { "ecke", [](RunInput& in) { in.position = velumo::RoomPosition::Corner; } },
        { "crossover ignored", [](RunInput& in) { in.crossover.ignore = true; } },
        { "shared node", [](RunInput& in) { in.xAK = in.xET = in.xT2 = in.xT1 = 1.2; } },
    };
    for (const auto& [name, change] : variants) {
        SCOPED_TRACE(name);
        RunInput in = name == "base" ? velumo::test::baseDesign() : velumo::test::everythingOnDesign();
        change(in);
        const FullRun run(in);
        ASSERT_EQ(run.outcome.status, RunStatus::Ok);
        EXPECT_EQ(lines(run.data).size(), static_cast<std::size_t>(run.outcome.points) + 2);
        expectFiniteRows(run.data, in.driver2Mode != velumo::Driver2Mode::None);
    }
}

TEST(Simulation, refusedRunTouchesNoFile)
{
    RunInput in = velumo::test::baseDesign();
    in.driver1.fs = 0;
    const FullRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Refused);
    EXPECT_EQ(run.outcome.refusedControl, "Editfs");
    EXPECT_TRUE(std::filesystem::is_empty(run.dir.path()));
    EXPECT_TRUE(run.sink.messages.empty());
}

TEST(Simulation, progressRunsFromTenThroughTheGrid)
{
    RunInput in = velumo::test::baseDesign();
    in.freqAuto = false;
    in.freqMin = 20;
    in.freqMax = 100;
    in.freqPoints = 5;
    const FullRun run(in);
    // Points 0..4 and the first point above fmax; 10 + (i·80) div 5.
    ASSERT_EQ(run.outcome.points, 6);
    EXPECT_EQ(run.sink.progressValues, (std::vector<int> { 10, 10, 26, 42, 58, 74, 90 }));
}

TEST(Simulation, singlePointRunReportsTooFewPoints)
{
    RunInput in = velumo::test::baseDesign();
    in.l1 = 400; // ten wavelengths along the horn end below 10 Hz
    const FullRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Failed);
    EXPECT_EQ(run.outcome.points, 1);
    ASSERT_FALSE(run.sink.messages.empty());
    EXPECT_EQ(run.sink.messages.back(), (velumo::Message { "Fehler", "Zu wenige Frequenzpunkte" }));
    EXPECT_EQ(run.sink.progressValues.back(), 0);
    EXPECT_EQ(lines(run.data).size(), 3u);
    EXPECT_EQ(run.point(0).f, 10.0);
}

TEST(Simulation, nonFiniteResultStopsBeforeItsRow)
{
    RunInput in = velumo::test::baseDesign();
    in.crossover.C[5] = 1e-311; // a subnormal capacitance whose inverse overflows
    in.crossover.invC[5] = 1.0 / in.crossover.C[5];
    const FullRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Failed);
    EXPECT_EQ(run.outcome.points, 0);
    ASSERT_EQ(run.sink.messages.size(), 1u);
    EXPECT_EQ(run.sink.messages[0].caption, "Fehler");
    EXPECT_NE(run.sink.messages[0].text.find("10.00 Hz"), std::string::npos);
    EXPECT_EQ(lines(run.data).size(), 2u);
}

TEST(Simulation, derivedParameterThatIsNotFiniteStopsBeforeTheLoopNamingItsInputs)
{
    RunInput in = velumo::test::baseDesign();
    in.driver1.sd = 1e-300; // Cms = Vas / (kappa·p0·Sd²) overflows
    const FullRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Failed);
    EXPECT_EQ(run.outcome.stop, velumo::RunStop::DerivedNotFinite);
    EXPECT_EQ(run.outcome.stopInputs, (std::vector<std::string> { "EditVas", "EditSd", "EditStk" }));
    EXPECT_TRUE(run.outcome.leftLines.empty()); // nothing with "INF" to print
    EXPECT_EQ(lines(run.data).size(), 2u);
}

TEST(Simulation, slotGetsContourLimitAndLines)
{
    RunInput in = velumo::test::baseDesign();
    in.flareLaw = velumo::FlareLaw::Tractrix;
    in.l1 = 0.2; // a tractrix this short cannot open up to the mouth
    const FullRun run(in);
    ASSERT_EQ(run.outcome.status, RunStatus::Ok);
    const velumo::Model& model = run.outcome.result.model;
    expectNearRel(model.horn.x[100], 0.2, 1e-12);
    expectNearRel(model.horn.a[0], 0.03, 1e-12);
    // The mouth (k·r = 25) is the lowest of the element limits here.
    expectNearRel(model.fLim, 339.5597 * 25 / (2 * 3.1415927 * std::sqrt(0.3 / 3.1415927)), 1e-6);
    EXPECT_GT(run.point(run.outcome.points - 1).f, model.fLim);
    EXPECT_TRUE(run.outcome.editHChanged);
    EXPECT_FALSE(run.outcome.newEditH.empty());
    EXPECT_FALSE(run.outcome.leftLines.empty());
    EXPECT_FALSE(run.outcome.rightLines.empty());
}

// A horn without a real contour must stop the run before a NaN or infinity
// reaches a file or the result slot; the caller words the "Fehler".
TEST(Simulation, contourWithoutFiniteValuesStopsBeforeItsRows)
{
    // A mouth of 1e300 cm · 1e300 cm overflows.
    RunInput in = velumo::test::baseDesign();
    in.h = 1e300;
    in.b = 1e300;
    const FullRun run(in);
    EXPECT_EQ(run.outcome.status, RunStatus::Failed);
    EXPECT_EQ(run.outcome.stop, velumo::RunStop::ContourNotFinite);
    EXPECT_EQ(run.outcome.stopInputs, (std::vector<std::string> { "EditAh", "Editl1", "EditH", "EditB" }));
    EXPECT_EQ(run.outcome.points, 0);
    EXPECT_EQ(lines(run.contour).size(), 1u); // header only
    EXPECT_EQ(lines(run.data).size(), 2u);
    EXPECT_TRUE(run.outcome.result.contour.empty());
}
