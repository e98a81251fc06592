// A run's result in words: message boxes, parameter-window lines, control
// names of its inputs.

#include <gtest/gtest.h>

#include "RunPresentation.h"

namespace velumo {
namespace {

TEST(RunPresentation, everyMessageCodeGivesItsBox)
{
    const std::pair<RunMessage, Message> cases[] = {
        { { RunMessageCode::TractrixShortened, 12.345 },
            { "", "Mundfläche kann durch Traktrixfunktion\nnicht erreicht werden." } },
        { { RunMessageCode::PortLengthNegative }, { "Hinweis", "LBR wäre negativ!" } },
        { { RunMessageCode::TunnelLengthNegative }, { "Hinweis", "LAT wäre negativ!" } },
        { { RunMessageCode::PointNotFinite, 1234.565 },
            { "Fehler",
                "Bei 1234.57 Hz ergibt die Berechnung keinen endlichen Wert.\nDie Simulation wurde "
                "abgebrochen." } },
        { { RunMessageCode::TooFewPoints }, { "Fehler", "Zu wenige Frequenzpunkte" } },
    };
    for (const auto& [code, box] : cases)
        EXPECT_EQ(runMessage(code), box) << static_cast<int>(code.code);
}

TEST(RunPresentation, inputsAreNamedByTheirControls)
{
    EXPECT_EQ(controlName(RunInputId::Rdc), "EditRdc");
    EXPECT_EQ(controlName(RunInputId::Z10k), "EditZ10k");
    EXPECT_EQ(controlName(driver2Twin(RunInputId::Fs)), "Editfs2");
    EXPECT_EQ(controlName(driver2Twin(RunInputId::Ue)), "EditUe"); // no twin
    EXPECT_EQ(controlName(RunInputId::FlareLaw), "CBKontur");
    EXPECT_EQ(controlName(RunInputId::Crossover), "FWGrid");
    EXPECT_EQ(controlName(RunInputId::FrequencyRange), "MinMaxGrid");
    EXPECT_EQ(controlName(RunInputId::Resolution), "OptionGrid");
    // Every input has a name.
    for (int i = 0; i <= static_cast<int>(RunInputId::Resolution); ++i)
        EXPECT_FALSE(controlName(static_cast<RunInputId>(i)).empty()) << i;
}

TEST(RunPresentation, derivedLinesShowWhatTheDesignHas)
{
    DerivedValues d;
    d.driver1 = { 1.0584, 9.5812, 1.234, 7.0, 1.001, 0.3552 };
    d.hornVolume = 12.345;
    d.totalVolume = 40.0;
    EXPECT_EQ(derivedLeftLines(d),
        (std::vector<std::string> { "Cms = 1.058 mm/N", "Mms = 9.581 g", "Rms = 1.23 kg/s", "BxL = 7 N/A",
            "Pe = 1 W", "Qts = 0.355" }));
    EXPECT_EQ(derivedRightLines(d), (std::vector<std::string> { "VHorn = 12.35 l", "Vgesamt = 40 l" }));

    d.driver2 = d.driver1;
    d.tractrixRadius = 0.6884;
    d.tunnelLength = 2.04;
    d.portLength = 0.014;
    const std::vector<std::string> left = derivedLeftLines(d);
    ASSERT_EQ(left.size(), 13u);
    EXPECT_EQ(left[6], "");
    EXPECT_EQ(left[7], "Cms2 = 1.058 mm/N");
    EXPECT_EQ(derivedRightLines(d),
        (std::vector<std::string> {
            "rTraktrix = 0.688 m", "LAT = 2 cm", "VHorn = 12.35 l", "LBR = 0 cm", "Vgesamt = 40 l" }));
}

TEST(RunPresentation, aShortenedTractrixRewritesTheHeightUnlessTheRunStops)
{
    RunResult r;
    r.messages = { { RunMessageCode::TractrixShortened, 35.456 }, { RunMessageCode::PortLengthNegative } };
    RunOutcome o = presentRun(r);
    EXPECT_TRUE(o.editHChanged);
    EXPECT_EQ(o.newEditH, "35.46");
    EXPECT_EQ(o.messages.size(), 2u);
    EXPECT_FALSE(o.leftLines.empty());

    r.status = RunStatus::Failed;
    r.stop = RunStop::DerivedNotFinite;
    r.stopInputs = { RunInputId::Vas, driver2Twin(RunInputId::Sd) };
    o = presentRun(r);
    EXPECT_FALSE(o.editHChanged);
    EXPECT_EQ(o.messages.size(), 2u); // the boxes still come
    EXPECT_TRUE(o.leftLines.empty() && o.rightLines.empty());
    EXPECT_EQ(o.stopInputs, (std::vector<std::string> { "EditVas", "EditSd2" }));

    r = RunResult();
    r.status = RunStatus::Refused;
    r.refused = RunInputId::Vrk2;
    o = presentRun(r);
    EXPECT_EQ(o.refusedControl, "EditVrk2");
    EXPECT_TRUE(o.leftLines.empty());
}

} // namespace
} // namespace velumo
