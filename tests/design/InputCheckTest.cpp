#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Design.h"
#include "InputCheck.h"
#include "TestUtil.h"

using velumo::BoxColour;
using velumo::CheckVariables;
using velumo::Design;
using velumo::test::expectNearRel;

namespace {

// Records messages and focus requests as one ordered list, so tests see both
// the order of the messages and which box each focus follows.
class RecordingSink : public velumo::CheckSink {
public:
    void message(const velumo::Message& m) override
    {
        events.push_back("message:" + m.caption + "|" + m.text);
    }
    void focus(std::string_view name) override { events.push_back("focus:" + std::string(name)); }
    std::vector<std::string> events;
};

std::string refusal(const std::string& hint)
{
    return "message:|Eingabe " + hint + " nicht erlaubt!";
}
std::string focus(const std::string& name)
{
    return "focus:" + name;
}

struct Result {
    bool valid;
    std::vector<std::string> events;
};

Result check(Design& d)
{
    RecordingSink sink;
    bool valid = CheckVariables(d, sink);
    return { valid, sink.events };
}

} // namespace

TEST(InputCheck, freshDesignPassesSilently)
{
    Design d;
    Result r = check(d);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(d.text("Editfbr"), "1"); // a port tuning of 0 Hz becomes 1 Hz
    EXPECT_EQ(d.index("CBKontur"), 0);
    EXPECT_EQ(d.index("CBPosi"), 2);
}

TEST(InputCheck, numbersAreNormalisedCommaTolerant)
{
    Design d;
    d.setText("EditQes", "0,71");
    d.setText("EditVas", "12abc");
    d.setText("EditBeta1", "abc");
    d.setText("EditLvk", "  0,50");
    d.setText("EditBrk", "1e3");
    d.setText("EditfAK", "");
    check(d);
    EXPECT_EQ(d.text("EditQes"), "0.71");
    EXPECT_EQ(d.text("EditVas"), "12");
    EXPECT_EQ(d.text("EditBeta1"), "0");
    EXPECT_EQ(d.text("EditLvk"), "0.5");
    EXPECT_EQ(d.text("EditBrk"), "1000");
    EXPECT_EQ(d.text("EditfAK"), "0");
}

TEST(InputCheck, driverPositionTakesAbsoluteValue)
{
    Design d;
    d.setText("Editl1", "1");
    d.setText("EditxT1", "-0,3");
    Result r = check(d);
    EXPECT_EQ(d.text("EditxT1"), "0.3");
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.events.empty());
}

TEST(InputCheck, driverBeyondHornEndIsRefused)
{
    Design d;
    d.setText("Editl1", "0.5");
    d.setText("EditxT1", "0.6");
    Result r = check(d);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.events, (std::vector<std::string> { refusal("PositionTreiber1"), focus("EditxT1") }));
    EXPECT_EQ(d.text("EditxT1"), "0.6");
}

TEST(InputCheck, flareLawNeedsMouthWiderThanThroat)
{
    Design d;
    d.setText("EditAh", "200");
    d.setText("EditH", "10");
    d.setText("EditB", "10");
    d.setIndex("CBKontur", 6); // Traktrix
    Result r = check(d);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.events,
        (std::vector<std::string> { "message:|Halsfläche > oder = Mundfläche. Kontur nicht erlaubt!" }));
    EXPECT_EQ(d.index("CBKontur"), 2); // Exponentiell

    Design conical;
    conical.setText("EditAh", "200");
    conical.setText("EditH", "10");
    conical.setText("EditB", "10");
    conical.setIndex("CBKontur", 1);
    Result c = check(conical);
    EXPECT_TRUE(c.valid);
    EXPECT_TRUE(c.events.empty());
    EXPECT_EQ(conical.index("CBKontur"), 1);
}

TEST(InputCheck, flareLawRefusesEqualAreasButNotSmallerThroat)
{
    for (int kontur : { 3, 4, 6 }) {
        Design equal;
        equal.setText("EditAh", "100");
        equal.setText("EditH", "10");
        equal.setText("EditB", "10");
        equal.setIndex("CBKontur", kontur);
        EXPECT_FALSE(check(equal).valid) << kontur;

        Design smaller;
        smaller.setText("EditAh", "99.9");
        smaller.setText("EditH", "10");
        smaller.setText("EditB", "10");
        smaller.setIndex("CBKontur", kontur);
        EXPECT_TRUE(check(smaller).valid) << kontur;
        EXPECT_EQ(smaller.index("CBKontur"), kontur);
    }
}

TEST(InputCheck, portTuningOfZeroBecomesOne)
{
    for (const char* typed : { "0", "0.0", "abc", "0,0" }) {
        Design d;
        d.setText("Editfbr", typed);
        check(d);
        EXPECT_EQ(d.text("Editfbr"), "1") << typed;
    }
    Design d;
    d.setText("Editfbr", "35,5");
    check(d);
    EXPECT_EQ(d.text("Editfbr"), "35.5");
}

TEST(InputCheck, zeroRearChamberWarnsOnlyForFrontloaded)
{
    Design front;
    front.setText("EditVrk", "0");
    Result f = check(front);
    EXPECT_TRUE(f.valid);
    EXPECT_EQ(f.events, (std::vector<std::string> { refusal("Rückkammervolumen"), focus("EditVrk") }));

    Design rear;
    rear.setText("EditVrk", "0");
    rear.setIndex("CBTyp", 1);
    Result r = check(rear);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.events.empty());
}

TEST(InputCheck, zeroWarningsKeepInputsValidInStepOrder)
{
    Design d;
    d.setText("EditStk2", "0");
    d.setText("EditQes", "0,0");
    d.setText("EditUe", "");
    d.setText("EditB", "0");
    Result r = check(d);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.events,
        (std::vector<std::string> {
            refusal("Elektrische Güte"),
            focus("EditQes"),
            refusal("Eingangsspannung"),
            focus("EditUe"),
            refusal("Anzahl Treiber2"),
            focus("EditStk2"),
            refusal("Mundbreite"),
            focus("EditB"),
        }));
}

TEST(InputCheck, absorberChamberOnZeroLengthHornIsRefused)
{
    Design d;
    d.setChecked("CBAK", true);
    Result r = check(d);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.events, (std::vector<std::string> { refusal("Hornlänge"), focus("Editl1") }));
    EXPECT_TRUE(d.control("CBAKSkizzeOben").enabled);
    EXPECT_EQ(d.control("EditVAK").colour, BoxColour::Window);

    d.setChecked("CBAK", false);
    EXPECT_TRUE(check(d).valid);
    EXPECT_FALSE(d.control("CBAKSkizzeOben").enabled);
    EXPECT_EQ(d.control("EditVAK").colour, BoxColour::ButtonFace);
}

TEST(InputCheck, severalRefusalsArriveInStepOrder)
{
    Design d;
    d.setText("EditQms", "0"); // driver data: a warning only
    d.setText("Editl1", "0.5");
    d.setText("EditxT1", "0.6"); // driver 1 beyond the horn end
    d.setText("EditAh", "500");
    d.setIndex("CBKontur", 3); // hyperbolic with a narrow mouth
    d.setText("EditAbst", "0"); // distance: a warning only
    d.setChecked("CBAK", true);
    d.setText("EditxAK", "0.7"); // absorber chamber beyond the end
    d.setIndex("RGTreiber2", 1);
    d.setText("EditxT2", "-0.9"); // driver 2 beyond the end once made positive
    d.setChecked("CBET", true);
    d.setText("EditxET", "0.51"); // extra tunnel beyond the end
    Result r = check(d);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.events,
        (std::vector<std::string> {
            refusal("Mechanische Güte"),
            focus("EditQms"),
            refusal("PositionTreiber1"),
            focus("EditxT1"),
            "message:|Halsfläche > oder = Mundfläche. Kontur nicht erlaubt!",
            refusal("Abstand Mic->Hornmund"),
            focus("EditAbst"),
            refusal("Position Absorberkammer"),
            focus("EditxAK"),
            refusal("Position Treiber2"),
            focus("EditxT2"),
            refusal("Position Extratunnel"),
            focus("EditxET"),
        }));
    EXPECT_EQ(d.text("EditxT2"), "0.9");
}

TEST(InputCheck, positionsAtHornEndAreAccepted)
{
    Design d;
    d.setText("Editl1", "0.8");
    d.setText("EditxT1", "0.8");
    d.setChecked("CBAK", true);
    d.setText("EditxAK", "0.8");
    d.setIndex("RGTreiber2", 2);
    d.setText("EditxT2", "0.8");
    d.setChecked("CBET", true);
    d.setText("EditxET", "0.8");
    Result r = check(d);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.events.empty());
}

TEST(InputCheck, distanceWarningNamesHintOfPreviousCheck)
{
    Design d;
    d.setIndex("CBTyp", 1);
    check(d);
    EXPECT_EQ(d.control("EditAbst").hint, "Abstand Mic -> Membran 1");

    d.setIndex("CBTyp", 0);
    d.setText("EditAbst", "0");
    Result r = check(d);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(
        r.events, (std::vector<std::string> { refusal("Abstand Mic -> Membran 1"), focus("EditAbst") }));
    EXPECT_EQ(d.control("EditAbst").hint, "Abstand Mic -> Hornmund");
}

TEST(InputCheck, hornTypeSetsHintsAndColours)
{
    Design rear;
    rear.setIndex("CBTyp", 1);
    rear.setText("EditAbr", "50");
    check(rear);
    EXPECT_EQ(rear.control("EditdL").hint, "Differenz Hornmund - Membran 1");
    EXPECT_EQ(rear.control("EditdL2").hint, "Differenz Membran 2 - Membran 1");
    EXPECT_EQ(rear.control("EditdLET").hint, "Differenz Extratunnel - Membran 1");
    for (const char* name : { "EditVrk", "EditLrk", "EditBrk", "EditAbr", "EditBbr", "Editfbr" })
        EXPECT_EQ(rear.control(name).colour, BoxColour::ButtonFace) << name;
    EXPECT_EQ(rear.control("EditdL").colour, BoxColour::Window);

    Design port;
    port.setText("EditAbr", "50");
    check(port);
    EXPECT_EQ(port.control("EditdL").hint, "Differenz Bassreflextunnel - Hornmund");
    EXPECT_EQ(port.control("EditdL2").hint, "Differenz Membran 2 - Hornmund");
    EXPECT_EQ(port.control("EditdLET").hint, "Differenz Extratunnel - Hornmund");
    for (const char* name : { "EditVrk", "EditLrk", "EditBrk", "EditAbr", "EditBbr", "Editfbr", "EditdL" })
        EXPECT_EQ(port.control(name).colour, BoxColour::Window) << name;

    Design noPort;
    check(noPort);
    for (const char* name : { "EditBbr", "Editfbr", "EditdL" })
        EXPECT_EQ(noPort.control(name).colour, BoxColour::ButtonFace) << name;
}

TEST(InputCheck, driver2ModeSetsColoursAndEnabledStates)
{
    Design ohne;
    check(ohne);
    EXPECT_EQ(ohne.control("EditRdc2").colour, BoxColour::ButtonFace);
    EXPECT_EQ(ohne.control("EditLSInfo2").colour, BoxColour::ButtonFace);
    for (const char* name : { "EditVrk2", "EditdL2", "EditxT2" })
        EXPECT_EQ(ohne.control(name).colour, BoxColour::ButtonFace) << name;
    EXPECT_FALSE(ohne.control("CBRK2").enabled);
    EXPECT_FALSE(ohne.control("CBT2SkizzeOben").enabled);

    Design wie;
    wie.setIndex("RGTreiber2", 1);
    check(wie);
    EXPECT_EQ(wie.control("EditStk2").colour, BoxColour::ButtonFace);
    EXPECT_TRUE(wie.control("CBRK2").enabled);
    EXPECT_TRUE(wie.control("CBT2SkizzeOben").enabled);
    EXPECT_EQ(wie.control("EditxT2").colour, BoxColour::Window);
    EXPECT_EQ(wie.control("EditVrk2").colour, BoxColour::ButtonFace);
    EXPECT_EQ(wie.control("EditdL2").colour, BoxColour::Window);

    Design liste;
    liste.setIndex("RGTreiber2", 2);
    liste.setChecked("CBRK2", true);
    check(liste);
    EXPECT_EQ(liste.control("EditRdc2").colour, BoxColour::Window);
    EXPECT_EQ(liste.control("EditLSInfo2").colour, BoxColour::Window);
    EXPECT_EQ(liste.control("EditVrk2").colour, BoxColour::Window);
    EXPECT_EQ(liste.control("EditdL2").colour, BoxColour::ButtonFace);
}

TEST(InputCheck, missingSelectionsGetDefaults)
{
    Design d;
    d.setIndex("CBKontur", -1);
    d.setIndex("CBPosi", -1);
    check(d);
    EXPECT_EQ(d.index("CBKontur"), 0);
    EXPECT_EQ(d.index("CBPosi"), 2);

    Design kept;
    kept.setIndex("CBKontur", 5);
    kept.setIndex("CBPosi", 4);
    check(kept);
    EXPECT_EQ(kept.index("CBKontur"), 5);
    EXPECT_EQ(kept.index("CBPosi"), 4);
}

TEST(InputCheck, optionGridIsClampedToIntegers)
{
    struct Case {
        int row;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        { 0, "500", "170" },
        { 0, "1", "2" },
        { 0, "abc", "2" },
        { 0, "170", "170" },
        { 0, "2", "2" },
        { 0, "99.5", "2" },
        { 1, "15", "15" },
        { 1, "20000", "10001" },
        { 1, "0", "2" },
        { 1, "10001", "10001" },
        { 2, "3", "3" },
        { 2, "-4", "-4" },
        { 2, "1,5", "0" },
        { 2, "", "0" },
        { 2, "99999999999", "0" },
    };
    for (const Case& c : cases) {
        Design d;
        d.optionCell(1, c.row) = c.typed;
        check(d);
        EXPECT_EQ(d.optionCell(1, c.row), c.expected) << c.row << " " << c.typed;
        EXPECT_EQ(d.optionCell(0, c.row), Design().optionCell(0, c.row)); // titles untouched
    }
}

TEST(InputCheck, axisGridIsNormalised)
{
    Design d;
    d.minMaxCell(0, 0) = "";
    d.minMaxCell(1, 0) = "1,5";
    d.minMaxCell(0, 8) = "x";
    d.minMaxCell(1, 8) = "2e4";
    d.minMaxCell(1, 3) = "-20.000";
    check(d);
    EXPECT_EQ(d.minMaxCell(0, 0), "0");
    EXPECT_EQ(d.minMaxCell(1, 0), "1.5");
    EXPECT_EQ(d.minMaxCell(0, 8), "0");
    EXPECT_EQ(d.minMaxCell(1, 8), "20000");
    EXPECT_EQ(d.minMaxCell(1, 3), "-20");
}

TEST(InputCheck, emptyCrossoverLeavesOnlyOpenShuntBranches)
{
    Design d;
    d.setText("EditRdc", "6,8");
    check(d);
    const auto& x = d.crossover();
    for (int n = 1; n <= 14; ++n) {
        bool shunt = n == 2 || n == 4 || n == 6 || n == 10 || n == 12 || n == 14;
        EXPECT_EQ(x.R[n], shunt ? 6.8e9 : 0.0) << n;
        EXPECT_EQ(x.C[n], 0.0) << n;
        EXPECT_EQ(x.L[n], 0.0) << n;
        EXPECT_EQ(x.invC[n], 0.0) << n;
        for (int row = 1; row <= 3; ++row)
            EXPECT_EQ(d.fwCell(n, row), "") << n << "," << row;
    }
}

TEST(InputCheck, crossoverColumnsBecomeSiValues)
{
    Design d;
    // Series position with a comma-typed capacitor and a zero resistor.
    d.fwCell(1, 1) = "0";
    d.fwCell(1, 2) = "4,7";
    d.fwCell(1, 3) = "1.50";
    // Shunt position holding only an inductor: no open-branch resistor.
    d.fwCell(2, 3) = "2,2";
    // Shunt position with all three elements.
    d.fwCell(6, 1) = "4";
    d.fwCell(6, 2) = "10";
    d.fwCell(6, 3) = "0.5";
    // Shunt position with only a resistor.
    d.fwCell(10, 1) = "3.3";
    // Series position with only an inductor.
    d.fwCell(11, 3) = "2.2";
    // Cells that read as zero are emptied.
    d.fwCell(13, 2) = "abc";
    d.fwCell(14, 1) = "0,0";
    check(d);
    const auto& x = d.crossover();

    EXPECT_EQ(d.fwCell(1, 1), "");
    EXPECT_EQ(d.fwCell(1, 2), "4.7");
    EXPECT_EQ(d.fwCell(1, 3), "1.5");
    EXPECT_EQ(x.R[1], 0.0);
    expectNearRel(x.C[1], 4.7e-6, 1e-15);
    expectNearRel(x.invC[1], 1.0 / 4.7e-6, 1e-15);
    expectNearRel(x.L[1], 1.5e-3, 1e-15);

    EXPECT_EQ(x.R[2], 0.0);
    expectNearRel(x.L[2], 2.2e-3, 1e-15);
    EXPECT_EQ(x.invC[2], 0.0);
    EXPECT_EQ(d.fwCell(2, 3), "2.2");

    EXPECT_EQ(x.R[6], 4.0);
    expectNearRel(x.C[6], 1e-5, 1e-15);
    expectNearRel(x.invC[6], 1e5, 1e-15);
    expectNearRel(x.L[6], 5e-4, 1e-15);
    EXPECT_EQ(d.fwCell(6, 1), "4");
    EXPECT_EQ(d.fwCell(6, 2), "10");
    EXPECT_EQ(d.fwCell(6, 3), "0.5");

    EXPECT_EQ(x.R[10], 3.3);
    EXPECT_EQ(x.C[10], 0.0);
    expectNearRel(x.L[11], 2.2e-3, 1e-15);
    EXPECT_EQ(x.R[11], 0.0);

    EXPECT_EQ(d.fwCell(13, 2), "");
    EXPECT_EQ(x.C[13], 0.0);
    EXPECT_EQ(d.fwCell(14, 1), "");
    EXPECT_EQ(x.R[14], 8e9); // empty shunt: open branch from the Rdc of 8 Ohm
    EXPECT_EQ(x.R[4], 8e9);
    EXPECT_EQ(x.R[3], 0.0);
    // Titles stay.
    EXPECT_EQ(d.fwCell(0, 2), "C [uF]");
    EXPECT_EQ(d.fwCell(7, 0), "7");
}

TEST(InputCheck, checkOfCheckedDesignChangesNothing)
{
    // Random texts in every box and cell: the check never fails and a second
    // check finds nothing more to correct.
    std::mt19937 rng(1234);
    const char alphabet[] = "0123456789.,-+eE abc\xc3\xa4";
    auto randomText = [&] {
        std::string s;
        int len = static_cast<int>(rng() % 12);
        for (int i = 0; i < len; ++i)
            s.push_back(alphabet[rng() % (sizeof(alphabet) - 1)]);
        return s;
    };
    for (int round = 0; round < 40; ++round) {
        Design d;
        for (const auto& entry : velumo::designTable())
            if (entry.kind == velumo::ControlKind::Edit)
                d.setText(entry.name, randomText());
        for (int col = 1; col < velumo::kFwCols; ++col)
            for (int row = 1; row < velumo::kFwRows; ++row)
                d.fwCell(col, row) = randomText();
        for (int row = 0; row < velumo::kMinMaxRows; ++row)
            d.minMaxCell(0, row) = randomText();
        d.optionCell(1, 0) = randomText();
        d.setIndex("CBKontur", static_cast<int>(rng() % 9) - 1);
        d.setIndex("CBTyp", static_cast<int>(rng() % 2));
        d.setIndex("RGTreiber2", static_cast<int>(rng() % 3));
        check(d);
        Design once = d;
        check(d);
        for (const auto& entry : velumo::designTable())
            EXPECT_EQ(d.control(entry.name).text, once.control(entry.name).text) << entry.name;
        for (int col = 1; col < velumo::kFwCols; ++col)
            for (int row = 1; row < velumo::kFwRows; ++row)
                EXPECT_EQ(d.fwCell(col, row), once.fwCell(col, row));
        EXPECT_EQ(d.optionCell(1, 0), once.optionCell(1, 0));
        EXPECT_EQ(d.minMaxCell(0, 0), once.minMaxCell(0, 0));
        EXPECT_EQ(d.index("CBKontur"), once.index("CBKontur"));
    }
}
