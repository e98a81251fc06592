#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FiguresOfMerit.h"
#include "TestUtil.h"

using velumo::Figure;
using velumo::FiguresOfMerit;
using velumo::test::expectNearRel;

namespace {

// A run on a logarithmic grid with the given SPL law; the other curves are
// simple ramps whose extremes are known.
struct SyntheticRun {
    std::vector<double> f, spl, splMax, x1, x2, zel;
    explicit SyntheticRun(int points, double fLow, double fHigh, double (*law)(double))
    {
        for (int i = 0; i < points; ++i) {
            const double fi = fLow * std::pow(fHigh / fLow, i / (points - 1.0));
            f.push_back(fi);
            spl.push_back(law(fi));
            splMax.push_back(110.0 + i);
            x1.push_back(4.0 - 3.0 * i / (points - 1.0)); // 4 mm at the bottom, 1 mm at the top
            zel.push_back(20.0 - i);
        }
    }
    FiguresOfMerit figures(double low = NAN, double high = NAN) const
    {
        velumo::MeritInput in;
        in.curves = { f, spl, splMax, x1, x2, zel };
        in.xmax1 = 2.0;
        in.vHorn = 120.0;
        in.vGesamt = 180.0;
        in.bandLow = low;
        in.bandHigh = high;
        return velumo::computeFiguresOfMerit(in);
    }
};

TEST(FiguresOfMerit, flatCurveHasNoRippleAndReachesTheBottomOfTheRun)
{
    const SyntheticRun run(11, 10.0, 1000.0, [](double) { return 90.0; });
    const FiguresOfMerit m = run.figures(100.0, 1000.0); // points 5..10, ends included
    ASSERT_EQ(m.status, velumo::MeritStatus::Ok);
    EXPECT_EQ(m.value(Figure::SplMean), 90.0);
    EXPECT_EQ(m.value(Figure::Ripple), 0.0);
    EXPECT_EQ(m.value(Figure::F3), 10.0) << "never drops: the first frequency of the run, below the band";
    EXPECT_EQ(m.value(Figure::SplMaxMin), 115.0);
    EXPECT_EQ(m.value(Figure::Zmin), 10.0);
    EXPECT_DOUBLE_EQ(m.value(Figure::X1Rel), 2.5 / 2.0);
    EXPECT_TRUE(std::isnan(m.value(Figure::X2Rel))) << "no driver 2";
    EXPECT_EQ(m.value(Figure::VGesamt), 180.0);
}

// |H| of a first-order high pass at 50 Hz, in dB above 90 dB.
double highPass(double f) { return 90.0 - 10.0 * std::log10(1.0 + std::pow(50.0 / f, 2.0)); }

TEST(FiguresOfMerit, firstOrderHighPassHasItsAnalyticEdges)
{
    const SyntheticRun run(401, 5.0, 20000.0, highPass);
    const FiguresOfMerit m = run.figures(5000.0, 20000.0);
    ASSERT_EQ(m.status, velumo::MeritStatus::Ok);
    // In the band the response is within 4.4e-4 dB of 90 dB.
    EXPECT_NEAR(m.value(Figure::SplMean), 90.0, 4.4e-4);
    // SPL = mean - d at f = fc / sqrt(10^((d + 90 - mean) / 10) - 1). Linear
    // interpolation in log f over a grid step of 2 % leaves < 1e-4 relative.
    for (auto [figure, drop] : { std::pair { Figure::F3, 3.0 }, std::pair { Figure::F10, 10.0 } }) {
        const double d = drop + 90.0 - m.value(Figure::SplMean);
        expectNearRel(m.value(figure), 50.0 / std::sqrt(std::pow(10.0, d / 10.0) - 1.0), 1e-4);
    }
}

TEST(FiguresOfMerit, edgeIsUndefinedWhenTheBandEndsBelowTheThreshold)
{
    // 90, 90, 90, 80 dB in the band: mean 87.5; the top point is below
    // 84.5 dB (no f3) but above 77.5 dB, and nothing lower is (f10 = bottom).
    const SyntheticRun run(4, 100.0, 800.0, [](double f) { return f > 700.0 ? 80.0 : 90.0; });
    const FiguresOfMerit m = run.figures();
    EXPECT_EQ(m.value(Figure::Ripple), 10.0);
    EXPECT_TRUE(std::isnan(m.value(Figure::F3)));
    EXPECT_EQ(m.value(Figure::F10), 100.0);
}

TEST(FiguresOfMerit, emptyOrInvalidBandLeavesOnlyTheVolumes)
{
    const SyntheticRun run(11, 10.0, 1000.0, [](double) { return 90.0; });
    SyntheticRun shortSpl = run;
    shortSpl.spl.pop_back();
    const std::pair<FiguresOfMerit, velumo::MeritStatus> cases[] = {
        { run.figures(2000.0, 3000.0), velumo::MeritStatus::EmptyBand },
        { run.figures(11.0, 12.0), velumo::MeritStatus::EmptyBand },
        { run.figures(500.0, 100.0), velumo::MeritStatus::BadBand },
        { shortSpl.figures(), velumo::MeritStatus::BadCurves },
    };
    for (const auto& [m, status] : cases) {
        EXPECT_EQ(m.status, status);
        EXPECT_TRUE(std::isnan(m.value(Figure::SplMean)) && std::isnan(m.value(Figure::F3)));
        EXPECT_EQ(m.value(Figure::VHorn), 120.0);
    }
}

TEST(FiguresOfMerit, parsesConstraintsAndNamesWhatIsWrong)
{
    using velumo::Comparison;
    const std::pair<const char*, velumo::Constraint> good[] = {
        { "f3<=40", { Figure::F3, Comparison::LessEqual, 40 } },
        { " Vgesamt <= 400 ", { Figure::VGesamt, Comparison::LessEqual, 400 } },
        { "ripple<6", { Figure::Ripple, Comparison::Less, 6 } },
        { "splmax_min>=1.05e2", { Figure::SplMaxMin, Comparison::GreaterEqual, 105 } },
        { "vhorn>-1", { Figure::VHorn, Comparison::Greater, -1 } },
    };
    for (const auto& [text, expected] : good) {
        velumo::Constraint c;
        std::string error;
        EXPECT_TRUE(velumo::parseConstraint(text, &c, &error)) << text << ": " << error;
        EXPECT_EQ(c, expected) << text;
    }
    const std::string malformed
        = "fehlerhafte Bedingung; erwartet wird Kennzahl, Vergleich (<=, <, >=, >) und "
          "Zahl, z. B. \"f3<=40\".";
    const std::pair<const char*, std::string> bad[] = {
        { "f4<=40",
            "--require \"f4<=40\": unbekannte Kennzahl \"f4\"; bekannt sind f3, f10, ripple, spl_mean, "
            "splmax_min, x1_rel, x2_rel, zmin, VHorn, Vgesamt." },
        { "f3=40", "--require \"f3=40\": " + malformed },
        { "f3=<40", "--require \"f3=<40\": " + malformed },
        { "f3<=4O", "--require \"f3<=4O\": \"4O\" ist keine Zahl." },
    };
    for (const auto& [text, message] : bad) {
        velumo::Constraint c;
        std::string error;
        EXPECT_FALSE(velumo::parseConstraint(text, &c, &error)) << text;
        EXPECT_EQ(error, message);
    }
}

TEST(FiguresOfMerit, undefinedFigureMeetsNoConstraint)
{
    FiguresOfMerit m;
    m.values.fill(NAN);
    m.values[static_cast<size_t>(Figure::F3)] = 40.0;
    using velumo::Comparison;
    EXPECT_TRUE(velumo::constraintMet({ Figure::F3, Comparison::LessEqual, 40 }, m));
    EXPECT_FALSE(velumo::constraintMet({ Figure::F3, Comparison::Less, 40 }, m));
    EXPECT_FALSE(velumo::constraintMet({ Figure::F10, Comparison::LessEqual, 1e9 }, m)
        || velumo::constraintMet({ Figure::F10, Comparison::Greater, -1e9 }, m));
}

} // namespace
