#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Design.h"
#include "InputCheck.h"
#include "TestUtil.h"

using velumo::BoxColour;
using velumo::Design;
using velumo::test::expectNearRel;

namespace {

using Events = std::vector<std::string>;
using Texts = std::initializer_list<std::pair<const char*, const char*>>;
using Indices = std::initializer_list<std::pair<const char*, int>>;
using Names = std::initializer_list<const char*>;

// Records messages and focus requests as one ordered list, so tests see both
// the order of the messages and which box each focus follows.
class RecordingSink : public velumo::CheckSink {
public:
    void message(const velumo::Message& m) override
    {
        events.push_back("message:" + m.caption + "|" + m.text);
    }
    void focus(std::string_view name) override { events.push_back("focus:" + std::string(name)); }
    Events events;
};

const auto refusal = [](const std::string& hint) { return "message:|Eingabe " + hint + " nicht erlaubt!"; };
const auto focus = [](const std::string& name) { return "focus:" + name; };
const std::string kContourRefusal = "message:|Halsfläche > oder = Mundfläche. Kontur nicht erlaubt!";

struct Checked {
    Design d;
    bool valid = false;
    Events events;
};

bool runCheck(Checked& c)
{
    RecordingSink sink;
    c.valid = velumo::CheckVariables(c.d, sink);
    c.events = sink.events;
    return c.valid;
}

// A fresh design with the given texts, selections and ticked boxes, checked once.
Checked check(Texts texts, Indices indices = {}, Names ticked = {})
{
    Checked c;
    for (const auto& [name, text] : texts)
        c.d.setText(name, text);
    for (const auto& [name, index] : indices)
        c.d.setIndex(name, index);
    for (const char* name : ticked)
        c.d.setChecked(name, true);
    runCheck(c);
    return c;
}

void expectColour(const Design& d, Names names, BoxColour colour)
{
    for (const char* name : names)
        EXPECT_EQ(d.control(name).colour, colour) << name;
}

} // namespace

TEST(InputCheck, freshDesignPassesSilently)
{
    Checked c = check({});
    EXPECT_TRUE(c.valid);
    EXPECT_TRUE(c.events.empty());
}

TEST(InputCheck, boxTextsAreNormalisedCommaTolerant)
{
    struct Row {
        const char* box;
        const char* typed;
        const char* expected;
    };
    const Row rows[]
        = { { "EditQes", "0,71", "0.71" }, { "EditVas", "12abc", "12" }, { "EditBeta1", "abc", "0" },
              { "EditLvk", "  0,50", "0.5" }, { "EditBrk", "1e3", "1000" }, { "EditfAK", "", "0" },
              { "EditxT1", "-0,3", "0.3" }, // a driver position is taken as its absolute value
              // A port tuned to 0 Hz becomes 1 Hz.
              { "Editfbr", "0", "1" }, { "Editfbr", "0.0", "1" }, { "Editfbr", "abc", "1" },
              { "Editfbr", "0,0", "1" }, { "Editfbr", "35,5", "35.5" } };
    for (const Row& r : rows)
        EXPECT_EQ(check({ { r.box, r.typed } }).d.text(r.box), r.expected) << r.box << " " << r.typed;
}

TEST(InputCheck, flareLawNeedsMouthWiderThanThroat)
{
    // Mouth 10 × 10 = 100 cm²; hyperbolic, octal hyperbolic and tractrix need
    // a throat strictly smaller, the other laws do not care.
    struct Row {
        int kontur;
        const char* throat;
        bool refused;
    };
    const Row rows[] = { { 6, "200", true }, { 3, "100", true }, { 4, "100", true }, { 6, "100", true },
        { 3, "99.9", false }, { 4, "99.9", false }, { 6, "99.9", false }, { 1, "200", false } };
    for (const Row& r : rows) {
        Checked c = check(
            { { "EditAh", r.throat }, { "EditH", "10" }, { "EditB", "10" } }, { { "CBKontur", r.kontur } });
        SCOPED_TRACE(std::to_string(r.kontur) + " " + r.throat);
        EXPECT_EQ(c.valid, !r.refused);
        EXPECT_EQ(c.events, r.refused ? Events { kContourRefusal } : Events {});
        EXPECT_EQ(c.d.index("CBKontur"), r.refused ? 2 : r.kontur); // refused: Exponentiell
    }
}

TEST(InputCheck, zeroRearChamberWarnsOnlyForFrontloaded)
{
    Checked front = check({ { "EditVrk", "0" } });
    EXPECT_TRUE(front.valid);
    EXPECT_EQ(front.events, (Events { refusal("Rückkammervolumen"), focus("EditVrk") }));

    Checked rear = check({ { "EditVrk", "0" } }, { { "CBTyp", 1 } });
    EXPECT_TRUE(rear.valid);
    EXPECT_TRUE(rear.events.empty());
}

TEST(InputCheck, zeroWarningsKeepInputsValidInStepOrder)
{
    Checked c = check({ { "EditStk2", "0" }, { "EditQes", "0,0" }, { "EditUe", "" }, { "EditB", "0" } });
    EXPECT_TRUE(c.valid);
    EXPECT_EQ(c.events,
        (Events { refusal("Elektrische Güte"), focus("EditQes"), refusal("Eingangsspannung"), focus("EditUe"),
            refusal("Anzahl Treiber2"), focus("EditStk2"), refusal("Mundbreite"), focus("EditB") }));
}

TEST(InputCheck, absorberChamberOnZeroLengthHornIsRefused)
{
    Checked c = check({}, {}, { "CBAK" });
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.events, (Events { refusal("Hornlänge"), focus("Editl1") }));
    EXPECT_TRUE(c.d.control("CBAKSkizzeOben").enabled);
    EXPECT_EQ(c.d.control("EditVAK").colour, BoxColour::Window);

    c.d.setChecked("CBAK", false);
    EXPECT_TRUE(runCheck(c));
    EXPECT_FALSE(c.d.control("CBAKSkizzeOben").enabled);
    EXPECT_EQ(c.d.control("EditVAK").colour, BoxColour::ButtonFace);
}

TEST(InputCheck, severalRefusalsArriveInStepOrder)
{
    Checked c = check(
        {
            { "EditQms", "0" },                        // driver data: a warning only
            { "Editl1", "0.5" }, { "EditxT1", "0.6" }, // driver 1 beyond the horn end
            { "EditAh", "500" },                       // hyperbolic with a narrow mouth
            { "EditAbst", "0" },                       // distance: a warning only
            { "EditxAK", "0.7" },                      // absorber chamber beyond the end
            { "EditxT2", "-0.9" },                     // driver 2 beyond the end once made positive
            { "EditxET", "0.51" },                     // extra tunnel beyond the end
        },
        { { "CBKontur", 3 }, { "RGTreiber2", 1 } }, { "CBAK", "CBET" });
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.events,
        (Events { refusal("Mechanische Güte"), focus("EditQms"), refusal("PositionTreiber1"),
            focus("EditxT1"), kContourRefusal, refusal("Abstand Mic->Hornmund"), focus("EditAbst"),
            refusal("Position Absorberkammer"), focus("EditxAK"), refusal("Position Treiber2"),
            focus("EditxT2"), refusal("Position Extratunnel"), focus("EditxET") }));
    EXPECT_EQ(c.d.text("EditxT1"), "0.6"); // a refused value stays for correcting
    EXPECT_EQ(c.d.text("EditxT2"), "0.9");
}

TEST(InputCheck, positionsAtHornEndAreAccepted)
{
    Checked c = check({ { "Editl1", "0.8" }, { "EditxT1", "0.8" }, { "EditxAK", "0.8" }, { "EditxT2", "0.8" },
                          { "EditxET", "0.8" } },
        { { "RGTreiber2", 2 } }, { "CBAK", "CBET" });
    EXPECT_TRUE(c.valid);
    EXPECT_TRUE(c.events.empty());
}

TEST(InputCheck, distanceWarningNamesHintOfPreviousCheck)
{
    Checked c = check({}, { { "CBTyp", 1 } });
    EXPECT_EQ(c.d.control("EditAbst").hint, "Abstand Mic -> Membran 1");

    c.d.setIndex("CBTyp", 0);
    c.d.setText("EditAbst", "0");
    EXPECT_TRUE(runCheck(c));
    EXPECT_EQ(c.events, (Events { refusal("Abstand Mic -> Membran 1"), focus("EditAbst") }));
    EXPECT_EQ(c.d.control("EditAbst").hint, "Abstand Mic -> Hornmund");
}

TEST(InputCheck, hornTypeSetsHintsAndColours)
{
    Checked rear = check({ { "EditAbr", "50" } }, { { "CBTyp", 1 } });
    EXPECT_EQ(rear.d.control("EditdL").hint, "Differenz Hornmund - Membran 1");
    EXPECT_EQ(rear.d.control("EditdL2").hint, "Differenz Membran 2 - Membran 1");
    EXPECT_EQ(rear.d.control("EditdLET").hint, "Differenz Extratunnel - Membran 1");
    expectColour(
        rear.d, { "EditVrk", "EditLrk", "EditBrk", "EditAbr", "EditBbr", "Editfbr" }, BoxColour::ButtonFace);
    expectColour(rear.d, { "EditdL" }, BoxColour::Window);

    Checked port = check({ { "EditAbr", "50" } });
    EXPECT_EQ(port.d.control("EditdL").hint, "Differenz Bassreflextunnel - Hornmund");
    EXPECT_EQ(port.d.control("EditdL2").hint, "Differenz Membran 2 - Hornmund");
    EXPECT_EQ(port.d.control("EditdLET").hint, "Differenz Extratunnel - Hornmund");
    expectColour(port.d, { "EditVrk", "EditLrk", "EditBrk", "EditAbr", "EditBbr", "Editfbr", "EditdL" },
        BoxColour::Window);

    expectColour(check({}).d, { "EditBbr", "Editfbr", "EditdL" }, BoxColour::ButtonFace); // no port
}

TEST(InputCheck, driver2ModeSetsColoursAndEnabledStates)
{
    Checked ohne = check({});
    expectColour(
        ohne.d, { "EditRdc2", "EditLSInfo2", "EditVrk2", "EditdL2", "EditxT2" }, BoxColour::ButtonFace);
    EXPECT_FALSE(ohne.d.control("CBRK2").enabled);
    EXPECT_FALSE(ohne.d.control("CBT2SkizzeOben").enabled);

    Checked wie = check({}, { { "RGTreiber2", 1 } });
    expectColour(wie.d, { "EditStk2", "EditVrk2" }, BoxColour::ButtonFace);
    expectColour(wie.d, { "EditxT2", "EditdL2" }, BoxColour::Window);
    EXPECT_TRUE(wie.d.control("CBRK2").enabled);
    EXPECT_TRUE(wie.d.control("CBT2SkizzeOben").enabled);

    Checked liste = check({}, { { "RGTreiber2", 2 } }, { "CBRK2" });
    expectColour(liste.d, { "EditRdc2", "EditLSInfo2", "EditVrk2" }, BoxColour::Window);
    expectColour(liste.d, { "EditdL2" }, BoxColour::ButtonFace);
}

TEST(InputCheck, missingSelectionsGetDefaults)
{
    Checked missing = check({}, { { "CBKontur", -1 }, { "CBPosi", -1 } });
    EXPECT_EQ(missing.d.index("CBKontur"), 0);
    EXPECT_EQ(missing.d.index("CBPosi"), 2);

    Checked kept = check({}, { { "CBKontur", 5 }, { "CBPosi", 4 } });
    EXPECT_EQ(kept.d.index("CBKontur"), 5);
    EXPECT_EQ(kept.d.index("CBPosi"), 4);
}

TEST(InputCheck, optionGridIsClampedToIntegers)
{
    struct Row {
        int row;
        const char* typed;
        const char* expected;
    };
    const Row rows[] = { { 0, "500", "170" }, { 0, "1", "2" }, { 0, "abc", "2" }, { 0, "170", "170" },
        { 0, "2", "2" }, { 0, "99.5", "2" }, { 1, "15", "15" }, { 1, "20000", "10001" }, { 1, "0", "2" },
        { 1, "10001", "10001" }, { 2, "3", "3" }, { 2, "-4", "-4" }, { 2, "1,5", "0" }, { 2, "", "0" },
        { 2, "99999999999", "0" } };
    for (const Row& r : rows) {
        Checked c;
        c.d.optionCell(1, r.row) = r.typed;
        runCheck(c);
        EXPECT_EQ(c.d.optionCell(1, r.row), r.expected) << r.row << " " << r.typed;
        EXPECT_EQ(c.d.optionCell(0, r.row), Design().optionCell(0, r.row)); // titles untouched
    }
}

TEST(InputCheck, axisGridIsNormalised)
{
    struct Cell {
        int col, row;
        const char* typed;
        const char* expected;
    };
    const Cell cells[] = { { 0, 0, "", "0" }, { 1, 0, "1,5", "1.5" }, { 0, 8, "x", "0" },
        { 1, 8, "2e4", "20000" }, { 1, 3, "-20.000", "-20" } };
    Checked c;
    for (const Cell& cell : cells)
        c.d.minMaxCell(cell.col, cell.row) = cell.typed;
    runCheck(c);
    for (const Cell& cell : cells)
        EXPECT_EQ(c.d.minMaxCell(cell.col, cell.row), cell.expected) << cell.typed;
}

TEST(InputCheck, emptyCrossoverLeavesOnlyOpenShuntBranches)
{
    Checked c = check({ { "EditRdc", "6,8" } });
    const auto& x = c.d.crossover();
    for (int n = 1; n <= 14; ++n) {
        bool shunt = n == 2 || n == 4 || n == 6 || n == 10 || n == 12 || n == 14;
        EXPECT_EQ(x.R[n], shunt ? 6.8e9 : 0.0) << n;
        EXPECT_EQ(x.C[n], 0.0) << n;
        EXPECT_EQ(x.L[n], 0.0) << n;
        EXPECT_EQ(x.invC[n], 0.0) << n;
        for (int row = 1; row <= 3; ++row)
            EXPECT_EQ(c.d.fwCell(n, row), "") << n << "," << row;
    }
}

TEST(InputCheck, crossoverColumnsBecomeSiValues)
{
    // Cells (position, row 1 R / 2 C / 3 L), typed and as rewritten.
    struct Cell {
        int n, row;
        const char* typed;
        const char* expected;
    };
    const Cell cells[] = {
        { 1, 1, "0", "" }, { 1, 2, "4,7", "4.7" }, { 1, 3, "1.50", "1.5" }, // series, comma C, zero R
        { 2, 3, "2,2", "2.2" }, // shunt holding only an inductor: no open-branch resistor
        { 6, 1, "4", "4" }, { 6, 2, "10", "10" }, { 6, 3, "0.5", "0.5" }, // shunt with all three
        { 10, 1, "3.3", "3.3" },                                          // shunt with only a resistor
        { 11, 3, "2.2", "2.2" },                                          // series with only an inductor
        { 13, 2, "abc", "" }, { 14, 1, "0,0", "" } // cells that read as zero are emptied
    };
    Checked c;
    for (const Cell& cell : cells)
        c.d.fwCell(cell.n, cell.row) = cell.typed;
    runCheck(c);
    for (const Cell& cell : cells)
        EXPECT_EQ(c.d.fwCell(cell.n, cell.row), cell.expected) << cell.n << "," << cell.row;

    // SI values per position; an empty shunt (4, 14) is an open branch from the Rdc of 8 Ohm.
    struct Si {
        int n;
        double R, C, L;
    };
    const Si values[] = { { 1, 0.0, 4.7e-6, 1.5e-3 }, { 2, 0.0, 0.0, 2.2e-3 }, { 3, 0.0, 0.0, 0.0 },
        { 4, 8e9, 0.0, 0.0 }, { 6, 4.0, 1e-5, 5e-4 }, { 10, 3.3, 0.0, 0.0 }, { 11, 0.0, 0.0, 2.2e-3 },
        { 13, 0.0, 0.0, 0.0 }, { 14, 8e9, 0.0, 0.0 } };
    // Exact where nothing is computed, else to rounding of the unit scaling.
    auto expectSi = [](double actual, double expected) {
        if (expected == 0.0)
            EXPECT_EQ(actual, 0.0);
        else
            expectNearRel(actual, expected, 1e-15);
    };
    const auto& x = c.d.crossover();
    for (const Si& v : values) {
        SCOPED_TRACE(v.n);
        EXPECT_EQ(x.R[v.n], v.R);
        expectSi(x.C[v.n], v.C);
        expectSi(x.L[v.n], v.L);
        expectSi(x.invC[v.n], v.C == 0.0 ? 0.0 : 1.0 / v.C);
    }
    EXPECT_EQ(c.d.fwCell(0, 2), "C [uF]"); // titles stay
    EXPECT_EQ(c.d.fwCell(7, 0), "7");
}

// Negative values: refused where only a size, count, damping or frequency has
// a meaning, each naming its own input; path differences stay allowed.
TEST(InputRules, everyNegativeSizeIsRefusedNamingItsInput)
{
    const std::pair<const char*, const char*> refused[] = { { "EditRdc", "Gleichstromwiderstand" },
        { "Editfs", "Resonanzfrequenz" }, { "EditQes", "Elektrische Güte" },
        { "EditQms", "Mechanische Güte" }, { "EditVas", "Äquivalentvolumen" },
        { "EditPmax", "Elektrische Belastbarkeit" }, { "EditSd", "Membranfläche" },
        { "EditZ1k", "El. Impedanz bei 1kHz" }, { "EditZ10k", "El. Impedanz bei 10 kHz" },
        { "EditXmax", "Lineare Auslenkung" }, { "EditStk", "Anzahl Treiber1" },
        { "EditUe", "Eingangsspannung" }, { "EditRdc2", "Gleichstromwiderstand" },
        { "EditStk2", "Anzahl Treiber2" }, { "EditVvk", "Vorkammervolumen" }, { "EditLvk", "Vorkammerlänge" },
        { "EditBvk", "Vorkammerdämpfung" }, { "EditAh", "Halsfläche" }, { "Editl1", "Hornlänge" },
        { "EditBeta1", "Dämpfung am Hals" }, { "EditBeta2", "Dämpfung am Mund" }, { "EditH", "Mundhöhe" },
        { "EditB", "Mundbreite" }, { "EditAbst", "Abstand Mic->Hornmund" },
        { "EditVrk", "Rückkammervolumen" }, { "EditLrk", "Rückkammerlänge" },
        { "EditBrk", "Rückkammerdämpfung" }, { "Editfbr", "Bassreflexfrequenz" },
        { "EditAbr", "Bassreflexkanalfläche" }, { "EditBbr", "Bassreflexdämpfung" },
        { "EditxAK", "Position Absorberkammer" }, { "EditVAK", "Absorberkammervolumen" },
        { "EditfAK", "Absorberfrequenz" }, { "EditAAT", "Absorbertunnelfläche" },
        { "EditBAK", "Absorberdämpfung" }, { "EditVrk2", "Rückkammervolumen" },
        { "EditxET", "Position Extratunnel" }, { "EditLET", "Abzweiglänge" },
        { "EditAET", "Zusatztunnelfläche" }, { "EditBET", "Zusatztunneldämpfung" } };
    for (const auto& [box, hint] : refused) {
        // A real horn, so no position is beyond its end.
        Checked c = check({ { "Editl1", "2" }, { box, "-1" } });
        SCOPED_TRACE(box);
        EXPECT_FALSE(c.valid);
        EXPECT_EQ(c.events, (Events { refusal(hint), focus(box) }));
        EXPECT_EQ(c.d.text(box), "-1");
    }
    for (const char* box : { "EditdL", "EditdL2", "EditdLET" }) {
        Checked c = check({ { box, "-0.3" } });
        EXPECT_TRUE(c.valid) << box;
        EXPECT_TRUE(c.events.empty()) << box;
    }
    Checked cell = check({});
    cell.d.fwCell(3, 2) = "-2";
    EXPECT_FALSE(runCheck(cell));
    EXPECT_EQ(cell.events, (Events { refusal("Frequenzweiche C3"), focus("FWGrid") }));
}

TEST(InputRules, aNegativeHornLengthIsBlamedOnTheHornLengthAlone)
{
    Checked c
        = check({ { "Editl1", "-1" }, { "EditxT1", "0.5" }, { "EditxAK", "0.5" }, { "EditxET", "0.5" } },
            { { "RGTreiber2", 1 } }, { "CBAK", "CBET" });
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.events, (Events { refusal("Hornlänge"), focus("Editl1") }));
}

TEST(InputRules, aTextWithoutANumberIsRefusedNotReadAsZeroSilently)
{
    for (const char* text : { "nan", "inf", "abc" }) {
        Checked c = check({ { "Editl1", text } });
        EXPECT_FALSE(c.valid) << text;
        EXPECT_EQ(c.events, (Events { refusal("Hornlänge"), focus("Editl1") })) << text;
        EXPECT_EQ(c.d.text("Editl1"), "0") << text;
    }
    EXPECT_TRUE(check({ { "Editl1", "" } }).valid);
}
