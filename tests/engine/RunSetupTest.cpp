// Run preparation: refusal of unrunnable inputs, mirror factor, frequency
// range, upper limit and grid, line and message order, start of the files.

#include "RunSetup.h"
#include "Constants.h"
#include "MessageRecorder.h"
#include "RunLists.h"
#include "RunPresentation.h"
#include "TestUtil.h"

#include <cmath>
#include <filesystem>

namespace velumo {
namespace {

using test::expectNearRel;

using RecordingSink = test::MessageRecorder;

// A design whose only limit is fmax: closed mouth, short horn, no chambers
// with a length.
RunInput unlimitedDesign()
{
    RunInput in;
    in.mouthClosed = true;
    in.l1 = 0.01;
    in.lrk = 0;
    return in;
}

Model prepared(const RunInput& in) { return prepareRun(in); }

// The control of the input that refuses a run; "" when it can start.
std::string refusedControl(const RunInput& in)
{
    const std::optional<RunInputId> id = firstUnrunnableInput(in);
    return id ? controlName(*id) : "";
}

TEST(RunSetup, mirrorFactorOfEveryPosition)
{
    // No selection, Frei, Boden, Halbraum, Boden + Wand, Ecke.
    const int expected[] = { 1, 1, 2, 1, 2, 4 };
    for (int posi = -1; posi <= 4; ++posi)
        EXPECT_EQ(mirrorFactor(static_cast<RoomPosition>(posi)), expected[posi + 1]) << posi;
}

TEST(RunSetup, zeroDriverValuesRefuseTheRun)
{
    const std::pair<double DriverInput::*, const char*> cases[] = { { &DriverInput::rdc, "EditRdc" },
        { &DriverInput::fs, "Editfs" }, { &DriverInput::qes, "EditQes" }, { &DriverInput::qms, "EditQms" },
        { &DriverInput::vas, "EditVas" }, { &DriverInput::pmax, "EditPmax" }, { &DriverInput::sd, "EditSd" },
        { &DriverInput::xmax, "EditXmax" } };
    for (const auto& [field, name] : cases) {
        RunInput in;
        in.driver1.*field = 0;
        EXPECT_EQ(refusedControl(in), name);
        in = RunInput();
        in.driver2.*field = 0;
        in.driver2Mode = Driver2Mode::OwnValues;
        EXPECT_EQ(refusedControl(in), std::string(name) + "2");
        // Modes "Ohne" and "Wie Treiber1" do not use the driver-2 boxes.
        for (Driver2Mode mode : { Driver2Mode::LikeDriver1, Driver2Mode::None }) {
            in.driver2Mode = mode;
            EXPECT_EQ(refusedControl(in), "");
        }
    }
}

TEST(RunSetup, otherRefusalsNameTheFirstBadInput)
{
    EXPECT_EQ(refusedControl(RunInput()), "");
    const std::pair<double RunInput::*, const char*> zeros[]
        = { { &RunInput::ue, "EditUe" }, { &RunInput::ah, "EditAh" }, { &RunInput::h, "EditH" },
              { &RunInput::b, "EditB" }, { &RunInput::vrk, "EditVrk" } };
    for (const auto& [field, name] : zeros) {
        RunInput in;
        in.*field = 0;
        EXPECT_EQ(refusedControl(in), name);
    }
    RunInput in;
    in.ue = -1;
    EXPECT_EQ(refusedControl(in), "EditUe");
    in = RunInput();
    in.driver1.stk = 0;
    EXPECT_EQ(refusedControl(in), "EditStk");
    in = RunInput();
    in.driver2.stk = 0;
    in.driver2Mode = Driver2Mode::OwnValues;
    EXPECT_EQ(refusedControl(in), "EditStk2");
    in = RunInput();
    in.ah = 0;
    in.driver1.fs = 0;
    EXPECT_EQ(refusedControl(in), "Editfs"); // the first of several
    in = RunInput();
    in.flareLaw = FlareLaw::Tractrix; // tractrix with the mouth equal to the throat
    EXPECT_EQ(refusedControl(in), "CBKontur");
    in.flareLaw = FlareLaw::Exponential;
    EXPECT_EQ(refusedControl(in), "");
}

TEST(RunSetup, chamberRefusalsDependOnTheirUse)
{
    RunInput in;
    in.vrk = 0;
    in.hornType = HornType::RearLoaded; // rear-loaded: the rear chamber is not used
    EXPECT_EQ(refusedControl(in), "");
    in = RunInput();
    in.vrk2 = 0;
    in.rk2 = true;
    in.driver2Mode = Driver2Mode::None;
    EXPECT_EQ(refusedControl(in), "");
    in.driver2Mode = Driver2Mode::LikeDriver1;
    EXPECT_EQ(refusedControl(in), "EditVrk2");
    in = RunInput();
    in.abr = 50;
    in.abrTextIsZero = false;
    in.fbr = 0;
    EXPECT_EQ(refusedControl(in), "Editfbr");
}

TEST(RunSetup, manualRangeNeedsAPositiveMinimum)
{
    RunInput in;
    in.freqAuto = false;
    in.freqMin = 0;
    in.freqMax = 100;
    EXPECT_EQ(refusedControl(in), "MinMaxGrid");
    in.freqMin = 20;
    EXPECT_EQ(refusedControl(in), "");
    // Minimum not below maximum: the automatic range is used instead.
    in.freqMin = 0;
    in.freqMax = 0;
    EXPECT_EQ(refusedControl(in), "");
    in.freqPoints = 1;
    EXPECT_EQ(refusedControl(in), "OptionGrid");
}

TEST(RunSetup, automaticGridOfHundredPoints)
{
    Model m = prepared(unlimitedDesign());
    EXPECT_EQ(m.fmin, 10.0);
    EXPECT_EQ(m.fmax, 20000.0);
    EXPECT_EQ(m.nPoints, 99);
    EXPECT_EQ(m.fLim, 20000.0);
    const std::vector<double> f = frequencyGrid(m);
    // Point 99 is fmax itself, not above the limit, so one more is computed.
    ASSERT_EQ(f.size(), 101u);
    EXPECT_EQ(f[0], 10.0);
    expectNearRel(f[99], 20000.0, 1e-14);
    const double ratio = std::pow(2000.0, 1.0 / 99.0);
    for (size_t i = 1; i < f.size(); ++i)
        expectNearRel(f[i] / f[i - 1], ratio, 1e-13);
    EXPECT_GT(f[100], 20000.0);
}

TEST(RunSetup, finestResolutionStopsAfter169Points)
{
    RunInput in = unlimitedDesign();
    in.freqPoints = 170;
    const std::vector<double> f = frequencyGrid(prepared(in));
    ASSERT_EQ(f.size(), 169u);
    EXPECT_LT(f.back(), 20000.0);
    expectNearRel(f.back(), 10.0 * std::pow(2000.0, 168.0 / 169.0), 1e-14);
}

TEST(RunSetup, longHornLimitsTheRunNearThousandHertz)
{
    RunInput in = unlimitedDesign();
    in.l1 = 3.4;
    Model m = prepared(in);
    EXPECT_NEAR(m.fLim, 998.7, 0.05);
    expectNearRel(m.fLim, kC * 10.0 / 3.4, 1e-15);
    const std::vector<double> f = frequencyGrid(m);
    ASSERT_GE(f.size(), 2u);
    EXPECT_GT(f.back(), m.fLim);
    EXPECT_LE(f[f.size() - 2], m.fLim);
    EXPECT_EQ(f.size(), 61u); // point 59 is 927.4 Hz, point 60 1001.4 Hz
}

TEST(RunSetup, upperLimitTakesTheSmallestElementLimitInOrder)
{
    RunInput in = unlimitedDesign();
    in.mouthClosed = false;
    in.h = 20;
    in.b = 10; // 200 cm² mouth: k·r = 25 at 16.8 kHz
    EXPECT_NEAR(prepared(in).fLim, kC * 25.0 / (2.0 * kPi * std::sqrt(0.02 / kPi)), 1e-9);
    in.lvk = 0.5;
    expectNearRel(prepared(in).fLim, kC * 10.0 / 0.5, 1e-15);
    in.lrk = 0.8;
    expectNearRel(prepared(in).fLim, kC * 10.0 / 0.8, 1e-15);
    in.et = true;
    in.aet = 20;
    in.let = 0.1; // a fifth of a wavelength: 679 Hz
    expectNearRel(prepared(in).fLim, kC * 0.2 / 0.1, 1e-15);
}

TEST(RunSetup, portLimitOnlyForFrontLoadedHorns)
{
    RunInput in = unlimitedDesign();
    in.vrk = 20;
    in.abr = 50;
    in.abrTextIsZero = false;
    in.fbr = 40; // LBR = 0.4244 m
    Model m = prepared(in);
    expectNearRel(m.fLim, kC * 10.0 / m.encl.lbr, 1e-15);
    in.hornType = HornType::RearLoaded;
    EXPECT_EQ(prepared(in).fLim, 20000.0);
}

TEST(RunSetup, manualRangeAndEqualLimits)
{
    RunInput in = unlimitedDesign();
    in.freqAuto = false;
    in.freqMin = 20;
    in.freqMax = 200;
    in.freqPoints = 11;
    Model m = prepared(in);
    EXPECT_EQ(m.fmin, 20.0);
    EXPECT_EQ(m.fmax, 200.0);
    EXPECT_EQ(frequencyGrid(m).size(), 12u);
    in.freqMin = 200; // equal limits: the automatic range
    m = prepared(in);
    EXPECT_EQ(m.fmin, 10.0);
    EXPECT_EQ(m.fmax, 20000.0);
}

TEST(RunSetup, linesAndMessagesInTheOrderOfTheRun)
{
    RunInput in;
    in.flareLaw = FlareLaw::Tractrix;
    in.ah = 50;
    in.h = 100;
    in.b = 100;
    in.l1 = 0.2; // too short for the tractrix
    in.abr = 500;
    in.abrTextIsZero = false;
    in.fbr = 400;
    in.fbrTextIsZero = false;
    in.ak = true;
    in.vak = 6;
    in.fak = 140;
    in.aat = 15;
    RunResult out;
    prepareRun(in, &out);
    ASSERT_EQ(out.messages.size(), 2u);
    EXPECT_EQ(out.messages[0].code, RunMessageCode::TractrixShortened);
    EXPECT_EQ(runMessage(out.messages[1]).text, "LBR wäre negativ!");
    const std::vector<std::string> right = derivedRightLines(out.derived);
    ASSERT_EQ(right.size(), 5u);
    EXPECT_EQ(right[0].rfind("rTraktrix = ", 0), 0u);
    EXPECT_EQ(right[1], "LAT = 2 cm");
    EXPECT_EQ(right[2].rfind("VHorn = ", 0), 0u);
    EXPECT_EQ(right[3], "LBR = 0 cm"); // the substitute sqrt(Sd)·0.001, 0.014 cm
    EXPECT_EQ(right[4].rfind("Vgesamt = ", 0), 0u);
    EXPECT_EQ(derivedLeftLines(out.derived).size(), 6u);
    EXPECT_EQ(out.contour.size(), 51u);
}

TEST(RunSetup, finishedListsBackUpThePreviousOnes)
{
    test::TempDir dir;
    test::writeBytes(dir.file("data.txt"), "old results\r\n");
    EXPECT_EQ(writeRunLists(dir.path().string(), RunResult()).error, 0);
    EXPECT_EQ(test::readBytes(dir.file("data.bak")), "old results\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("contour.bak"))); // there was no contour list
    EXPECT_EQ(test::readBytes(dir.file("contour.txt")), "x [m]\tA [cm\xB2]\tH [cm]\tr [cm]\r\n");
    EXPECT_EQ(test::readBytes(dir.file("data.txt")),
        "f\tSPL\tZel\tx1\tSPLmax\tPmax\tZreal\tZimag\tx2\tPmax2\tPhi_a\r\n"
        "[Hz]\t[dB]\t[Ohm]\t[mm]\t[dB]\t[W]\t\t\t[mm]\t[W]\t[\xB0]\r\n");
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3); // no temporary file left
}

} // namespace
} // namespace velumo
