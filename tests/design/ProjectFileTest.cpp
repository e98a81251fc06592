#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Design.h"
#include "DesignTable.h"
#include "Encoding.h"
#include "IniFile.h"
#include "ProjectFile.h"
#include "TestUtil.h"

using velumo::Design;
using velumo::IniFile;
using velumo::WindowGeometry;
using velumo::WindowId;

namespace {

Design loadAll(const IniFile& ini)
{
    Design d;
    velumo::loadDesignValues(ini, d);
    return d;
}

IniFile iniOf(const std::string& utf8Text) { return IniFile::fromBytes(velumo::utf8ToCp1252(utf8Text)); }

// "Section/key" of every key line, in file order.
std::vector<std::string> keysInOrder(const std::string& bytes)
{
    std::vector<std::string> keys;
    std::istringstream in(velumo::cp1252ToUtf8(bytes));
    std::string line, section;
    while (std::getline(in, line, '\n')) {
        line = line.substr(0, line.find('\r'));
        if (!line.empty() && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (line.find('=') != std::string::npos)
            keys.push_back(section + "/" + line.substr(0, line.find('=')));
    }
    return keys;
}

// A design with a value of its own in every input of every kind.
Design unusualDesign()
{
    Design d;
    int i = 0;
    for (const auto& entry : velumo::designTable()) {
        ++i;
        if (entry.kind == velumo::ControlKind::Edit)
            d.setText(entry.name,
                entry.form == velumo::ValueForm::TextReadInt ? std::to_string(i % 7 + 2)
                                                             : std::to_string(i) + ".25");
        if (entry.kind == velumo::ControlKind::Check)
            d.setChecked(entry.name, !entry.defaultChecked);
    }
    d.setText("EditInfo", "Bässe für Übungsraum, 2 × 15\"");
    d.setText("EditLSInfo2", "Größe = groß; [x]");
    d.setText("EditLSInfo", "");
    d.setIndex("CBKontur", 6);
    d.setIndex("CBPosi", 4);
    d.setIndex("CBTyp", 1);
    d.setIndex("RGTreiber2", 2);
    for (int p = 1; p < velumo::kFwCols; ++p)
        for (int row = 1; row < velumo::kFwRows; ++row)
            d.fwCell(p, row) = (p + row) % 3 == 0 ? std::string() : std::to_string(p * 10 + row) + ".5";
    for (int r = 0; r < velumo::kMinMaxRows; ++r) {
        d.minMaxCell(0, r) = std::to_string(-r);
        d.minMaxCell(1, r) = std::to_string(r * 100) + ".5";
        d.setAxisAuto(r, r % 2 == 0);
    }
    d.optionCell(1, 0) = "77";
    d.optionCell(1, 1) = "1001";
    d.optionCell(1, 2) = "3";
    return d;
}

WindowGeometry unusualGeometry()
{
    WindowGeometry g;
    for (int w = 0; w < velumo::kWindowCount; ++w) {
        g.windows[static_cast<size_t>(w)] = { 10 * w - 5, 20 * w, 200 + w, 300 + w };
        g.states[static_cast<size_t>(w)] = w % 3;
    }
    g.states[static_cast<size_t>(WindowId::Param)] = 0; // has no stored state
    g.mainLeft = -7;
    g.mainTop = 33;
    return g;
}

// Each box of the list holds its text; the label says which one does not.
void expectTexts(const Design& d, std::initializer_list<std::pair<const char*, const char*>> expected)
{
    for (const auto& [name, text] : expected)
        EXPECT_EQ(d.text(name), text) << name;
}

std::string goldenProject(const std::string& name)
{
    return std::string(VELUMO_GOLDEN_DIR) + "/" + name + "/project.vlm";
}

} // namespace

TEST(ProjectFile, saveThenLoadRestoresEveryValue)
{
    const Design original = unusualDesign();
    const WindowGeometry geometry = unusualGeometry();
    IniFile ini;
    velumo::saveValues(original, geometry, ini);
    IniFile reread = IniFile::fromBytes(ini.toBytes());

    Design loaded = loadAll(reread);
    EXPECT_TRUE(loaded == original);
    for (const auto& entry : velumo::designTable())
        EXPECT_EQ(loaded.control(entry.name).text, original.control(entry.name).text) << entry.name;

    WindowGeometry g;
    velumo::loadWindowGeometry(reread, g);
    EXPECT_TRUE(g == geometry);
}

TEST(ProjectFile, newFileStartsWithDriverSectionAndStoresIndicesPlusOne)
{
    Design d;
    d.setIndex("CBKontur", 2); // Exponentiell
    IniFile ini;
    velumo::saveValues(d, WindowGeometry(), ini);
    const std::string bytes = ini.toBytes();
    EXPECT_EQ(bytes.rfind("[Lautsprecher]\r\nGleichstromwiderstand=8\r\n", 0), 0u);
    EXPECT_NE(bytes.find("elektrische G\xfc"
                         "te=0.71\r\n"),
        std::string::npos); // Windows-1252
    EXPECT_EQ(ini.readString("Horn", "Kontur", ""), "3");
    EXPECT_EQ(ini.readString("Raumposition", "Position", ""), "3");
    EXPECT_EQ(ini.readString("Treiber2", "GroupIndex", ""), "0");
    EXPECT_EQ(ini.readString("Horn", "AKSkizzeOben", ""), "1");
    EXPECT_EQ(ini.readString("Frequenzweiche", "C Hochpass", "missing"), "");
    EXPECT_EQ(ini.readString("Achsen", "auto 9", ""), "1");
    EXPECT_EQ(ini.readString("Plotoptionen", "PhiaWS", ""), "1");
}

TEST(ProjectFile, keysAreWrittenInTheOrderOfARealProjectFile)
{
    // The reference projects were written by the program; a new file must
    // list the same keys in the same order.
    const std::string golden = velumo::test::readBytes(goldenProject("bass-horn-exponential"));
    ASSERT_FALSE(golden.empty());
    IniFile ini;
    velumo::saveValues(Design(), WindowGeometry(), ini);
    EXPECT_EQ(keysInOrder(ini.toBytes()), keysInOrder(golden));
    EXPECT_EQ(keysInOrder(ini.toBytes()).size(), 190u);
}

TEST(ProjectFile, missingKeysTakeTheTableDefaults)
{
    Design d = unusualDesign();
    IniFile ini = iniOf("[Lautsprecher]\nGleichstromwiderstand=6\nMembranfläche=350\nÄquivalentvolumen=90\n");
    velumo::loadDesignValues(ini, d);

    // Editfs: the load default differs from the window default; the
    // impedances take the Rdc just loaded, EditAh and EditH the loaded Sd,
    // EditVrk the loaded Vas.
    expectTexts(d,
        { { "EditRdc", "6" }, { "Editfs", "100" }, { "EditZ1k", "6" }, { "EditZ10k", "6" },
            { "EditStk", "1" }, { "EditLSInfo", "" }, { "EditAh", "350" }, { "EditH", "350" },
            { "EditB", "1" }, { "EditVrk", "90" }, { "EditLrk", "0" }, { "EditBrk", "500" },
            { "EditVrk2", "20" }, { "EditLET", "0.01" }, { "EditAET", "10" }, { "EditUe", "2.83" },
            { "EditAbst", "1" }, { "EditInfo", "" } });
    EXPECT_EQ(d.index("CBKontur"), 0);
    EXPECT_EQ(d.index("CBPosi"), 0); // "Position" defaults to 1, i.e. "Frei"
    EXPECT_EQ(d.index("CBTyp"), 0);
    for (const char* name : { "CBAKSkizzeOben", "CBETSkizzeOben" })
        EXPECT_TRUE(d.checked(name)) << name;
    for (const char* name : { "CBAK", "CBRK2", "CBohneFW", "CBAmplTreiber2" })
        EXPECT_FALSE(d.checked(name)) << name;
    for (int p = 1; p < velumo::kFwCols; ++p)
        for (int row = 1; row < velumo::kFwRows; ++row)
            EXPECT_EQ(d.fwCell(p, row), "") << p << "," << row;
    for (int r = 0; r < velumo::kMinMaxRows; ++r) {
        EXPECT_TRUE(d.axisAuto(r));
        EXPECT_EQ(d.minMaxCell(0, r), "1");
        EXPECT_EQ(d.minMaxCell(1, r), "2");
    }
    EXPECT_EQ(d.optionCell(1, 0), "100");
    EXPECT_EQ(d.optionCell(1, 1), "51");
    EXPECT_EQ(d.optionCell(1, 2), "1");
}

TEST(ProjectFile, missingDriver2SectionCopiesDriver1AndSelectsOhne)
{
    Design d;
    d.setIndex("RGTreiber2", 2);
    IniFile ini = iniOf("[Lautsprecher]\nGleichstromwiderstand=4\nFreiluftresonanzfrequenz=33\n"
                        "Anzahl der Chassis=2\nLSInfo=Horn 18\"\n");
    velumo::loadDesignValues(ini, d);
    EXPECT_EQ(d.index("RGTreiber2"), 0);
    for (const auto& entry : velumo::designTable()) {
        if (!entry.twin.empty()) {
            EXPECT_EQ(d.text(entry.name), d.text(entry.twin)) << entry.name;
        }
    }
    expectTexts(d,
        { { "EditRdc2", "4" }, { "Editfs2", "33" }, { "EditZ1k2", "4" }, { "EditStk2", "2" },
            { "EditLSInfo2", "Horn 18\"" } });
}

TEST(ProjectFile, storedVoltageOfZeroLoadsAsDefault)
{
    struct Case {
        const char* stored;
        const char* expected;
    };
    for (Case c : { Case { "0", "2.83" }, Case { "n", "2.83" }, Case { "", "2.83" }, Case { "12", "12" },
             Case { "0.0", "0.0" }, Case { "4,5", "4,5" } }) {
        Design d = loadAll(iniOf(std::string("[Spannung]\nVolt=") + c.stored + "\n"));
        EXPECT_EQ(d.text("EditUe"), c.expected) << c.stored;
    }
    EXPECT_EQ(loadAll(IniFile()).text("EditUe"), "2.83");
}

TEST(ProjectFile, integersAndBooleansAreReadStrictly)
{
    Design d = loadAll(iniOf("[Lautsprecher]\nAnzahl der Chassis=1.5\n[Horn]\nRK2=2\nAK=-1\nMundGeschl=ja\n"
                             "AKSkizzeOben=0\nKontur=abc\nTyp=2\n[Treiber2]\nStk2=1.5\nGroupIndex=1\n"));
    EXPECT_EQ(d.text("EditStk"), "1");
    EXPECT_EQ(d.text("EditStk2"), "1.5"); // a plain text key
    EXPECT_TRUE(d.checked("CBRK2"));
    EXPECT_TRUE(d.checked("CBAK"));
    EXPECT_FALSE(d.checked("CBMundGeschl")); // not an integer: the default
    EXPECT_FALSE(d.checked("CBAKSkizzeOben"));
    EXPECT_EQ(d.index("CBKontur"), 0);
    EXPECT_EQ(d.index("CBTyp"), 1);
    EXPECT_EQ(d.index("RGTreiber2"), 1);
    EXPECT_EQ(loadAll(iniOf("[Lautsprecher]\nAnzahl der Chassis=4\n")).text("EditStk"), "4");
}

TEST(ProjectFile, indicesOutsideTheItemListLoadAsNoSelection)
{
    Design d
        = loadAll(iniOf("[Horn]\nKontur=0\nTyp=3\n[Raumposition]\nPosition=6\n[Treiber2]\nGroupIndex=7\n"));
    EXPECT_EQ(d.index("CBKontur"), -1);
    EXPECT_EQ(d.index("CBTyp"), -1);
    EXPECT_EQ(d.index("CBPosi"), -1);
    EXPECT_EQ(d.index("RGTreiber2"), 2);
    EXPECT_EQ(loadAll(iniOf("[Treiber2]\nGroupIndex=-5\n")).index("RGTreiber2"), -1);
    EXPECT_EQ(loadAll(iniOf("[Horn]\nKontur=7\n")).index("CBKontur"), 6);
}

TEST(ProjectFile, namedCrossoverKeysDecideTheirCells)
{
    Design d = loadAll(iniOf("[Frequenzweiche]\nC1=1\nC Hochpass=2.2\nL2=5\nL3=6\nR4=7\nC4=8\nR12=3.3\n"
                             "L14=0.47\nR1=1,5\n"));
    EXPECT_EQ(d.fwCell(1, 2), "2.2");
    EXPECT_EQ(d.fwCell(2, 3), ""); // "L Hochpass" missing
    EXPECT_EQ(d.fwCell(3, 3), ""); // "L Tiefpass" missing
    EXPECT_EQ(d.fwCell(4, 1), "7");
    EXPECT_EQ(d.fwCell(4, 2), ""); // "C Tiefpass" missing
    EXPECT_EQ(d.fwCell(12, 1), "3.3");
    EXPECT_EQ(d.fwCell(14, 3), "0.47");
    EXPECT_EQ(d.fwCell(1, 1), "1,5"); // stored texts are not normalised on load
}

TEST(ProjectFile, resavingAForeignFileKeepsItsForeignKeys)
{
    velumo::test::TempDir dir;
    const std::string path = dir.file("fremd.vlm");
    velumo::test::writeBytes(path,
        velumo::utf8ToCp1252("; Kommentar\r\n[Horn]\r\nHalsfläche=123\r\nFarbe=rot\r\n"
                             "\r\n[Fremd]\r\nx=1\r\n"));
    Design d;
    d.setText("EditAh", "300");
    std::string error;
    ASSERT_TRUE(velumo::saveProjectFile(path, d, WindowGeometry(), &error)) << error;

    const std::string bytes = velumo::cp1252ToUtf8(velumo::test::readBytes(path));
    EXPECT_EQ(bytes.rfind("; Kommentar\r\n[Horn]\r\nHalsfläche=300\r\nFarbe=rot\r\n", 0), 0u);
    EXPECT_NE(bytes.find("[Fremd]\r\nx=1\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("Halsfläche=123"), std::string::npos);
    EXPECT_EQ(bytes.find("Halsfläche", bytes.find("Halsfläche") + 1), std::string::npos);
    EXPECT_EQ(loadAll(IniFile::load(path)).text("EditAh"), "300");
}

TEST(ProjectFile, lineBreaksInTextsCannotInjectKeys)
{
    Design d;
    d.setText("EditInfo", "Zeile1\r\n[Horn]\nHalsfläche=1");
    IniFile ini;
    velumo::saveValues(d, WindowGeometry(), ini);
    Design loaded = loadAll(IniFile::fromBytes(ini.toBytes()));
    EXPECT_EQ(loaded.text("EditAh"), "200");
    EXPECT_EQ(loaded.text("EditInfo"), "Zeile1  [Horn] Halsfläche=1");
}

TEST(ProjectFile, garbageFilesLoadAsDefaults)
{
    velumo::test::TempDir dir;
    const Design defaults = loadAll(IniFile());
    const WindowGeometry defaultGeometry;

    std::mt19937 rng(77);
    std::string random(1 << 20, '\0');
    for (char& c : random)
        c = static_cast<char>(rng() & 0xff);
    std::string invalid
        = "\xff\xfe[Lautsprecher\x00]\n=\n==\n[\n]\nGleichstromwiderstand\n\x81\x8d\x8f\x90\x9d";
    invalid.push_back('\0');
    std::string huge(velumo::IniFile::kMaxFileBytes + 10, 'A');
    huge.replace(0, 40, "[Lautsprecher]\nGleichstromwiderstand=3\n");

    int n = 0;
    for (const std::string* bytes : { &random, &invalid, &huge }) {
        const std::string path = dir.file("garbage" + std::to_string(n++) + ".vlm");
        velumo::test::writeBytes(path, *bytes);
        IniFile ini = IniFile::load(path);
        EXPECT_TRUE(loadAll(ini) == defaults) << path;
        WindowGeometry g;
        velumo::loadWindowGeometry(ini, g);
        EXPECT_TRUE(g == defaultGeometry) << path;
    }
}

TEST(ProjectFile, driverFileFillsDriver2WithItsOwnDefaults)
{
    Design d;
    d.setText("EditRdc", "5.5");
    d.setIndex("RGTreiber2", 1);
    IniFile ini = iniOf("[Lautsprecher]\nGleichstromwiderstand=4\nAnzahl der Chassis=3\nMembranfläche=500\n"
                        "[Horn]\nHalsfläche=99\n");
    velumo::loadDriver2FromDriverFile(ini, d);
    // The impedances take the driver-1 Rdc, not the loaded one; driver 1 and
    // the horn are not touched.
    expectTexts(d,
        { { "EditRdc2", "4" }, { "EditZ1k2", "5.5" }, { "EditZ10k2", "5.5" }, { "Editfs2", "100" },
            { "EditSd2", "500" }, { "EditStk2", "3" }, { "EditLSInfo2", "" }, { "EditRdc", "5.5" },
            { "EditSd", "200" }, { "EditAh", "200" } });
    EXPECT_EQ(d.index("RGTreiber2"), 1);
}

TEST(ProjectFile, geometryDefaultsKeepCurrentSizes)
{
    WindowGeometry g;
    for (auto& r : g.windows)
        r = { 1, 2, 111, 222 };
    g.states.fill(2);
    velumo::loadWindowGeometry(iniOf("[Plotoptionen]\nSPLTop=-50\nSPLLeft=-30\nZelHeight=500\nMainTop=-1\n"
                                     "ZelWS=7\nAuslWS=2\n"),
        g);
    EXPECT_EQ(g.rect(WindowId::Spl), (velumo::WindowRect { -30, 0, 111, 222 }));
    EXPECT_EQ(g.rect(WindowId::Zel), (velumo::WindowRect { 480, 100, 500, 222 }));
    EXPECT_EQ(g.rect(WindowId::Phia), (velumo::WindowRect { 380, 0, 111, 222 }));
    EXPECT_EQ(g.rect(WindowId::Sketch), (velumo::WindowRect { 520, 140, 111, 222 }));
    EXPECT_EQ(g.rect(WindowId::Param), (velumo::WindowRect { 0, 360, 111, 222 }));
    EXPECT_EQ(g.rect(WindowId::Znorm), (velumo::WindowRect { 500, 120, 111, 222 }));
    EXPECT_EQ(g.mainLeft, 0);
    EXPECT_EQ(g.mainTop, 0);
    EXPECT_EQ(g.state(WindowId::Zel), 0); // unknown state: the default
    EXPECT_EQ(g.state(WindowId::Ausl), 2);
    EXPECT_EQ(g.state(WindowId::Spl), 0);
    EXPECT_EQ(g.state(WindowId::Phia), 1);
    EXPECT_EQ(g.state(WindowId::SplMax), 1);
}

TEST(ProjectFile, goldenProjectsLoad)
{
    IniFile bass = IniFile::load(goldenProject("bass-horn-exponential"));
    Design d = loadAll(bass);
    expectTexts(d,
        { { "EditRdc", "5.5" }, { "EditQes", "0.35" }, { "EditSd", "850" }, { "EditAh", "250" },
            { "Editl1", "2.4" } });
    EXPECT_EQ(d.index("CBKontur"), 2);
    EXPECT_EQ(d.index("CBPosi"), 2);
    EXPECT_EQ(d.index("RGTreiber2"), 0);
    EXPECT_TRUE(d.checked("CBAKSkizzeOben"));

    IniFile two = IniFile::load(goldenProject("two-drivers-absorber-tunnel"));
    Design t = loadAll(two);
    EXPECT_EQ(t.fwCell(11, 3), "2.2");
    EXPECT_EQ(t.fwCell(12, 2), "33");
    EXPECT_EQ(t.optionCell(1, 0), "150");
    WindowGeometry g;
    velumo::loadWindowGeometry(two, g);
    EXPECT_EQ(g.rect(WindowId::Spl), (velumo::WindowRect { 569, 0, 300, 420 }));
    EXPECT_EQ(g.rect(WindowId::Param), (velumo::WindowRect { 0, 452, 206, 329 }));
    EXPECT_EQ(g.state(WindowId::Ausl), 1);

    // Saving a loaded reference project reproduces it byte for byte.
    IniFile copy = IniFile::load(goldenProject("rear-loaded-conical-crossover"));
    const std::string before = copy.toBytes();
    Design r = loadAll(copy);
    WindowGeometry rg;
    velumo::loadWindowGeometry(copy, rg);
    velumo::saveValues(r, rg, copy);
    EXPECT_EQ(copy.toBytes(), before);
}

namespace {

// A sweep reads only the controls of the keys it changes; the design must be
// the one a whole load gives, a driver-2 box without a key of its own
// following its driver-1 twin.
TEST(ProjectFile, readingOnlyTheChangedKeysGivesTheWholeLoad)
{
    IniFile base = IniFile::fromBytes("[Lautsprecher]\r\nGleichstromwiderstand=6\r\n"
                                      "[Horn]\r\nHornlänge=2\r\nKontur=2\r\n");
    Design loaded;
    velumo::loadDesignValues(base, loaded);

    const std::vector<std::vector<std::pair<std::string, std::string>>> changes = {
        { { "Horn", "Hornlänge" } },
        { { "Lautsprecher", "Gleichstromwiderstand" }, { "horn", "KONTUR" } },
    };
    for (const auto& changed : changes) {
        IniFile ini = base;
        for (const auto& [section, key] : changed)
            ini.writeString(section, key, "3");
        Design whole;
        velumo::loadDesignValues(ini, whole);
        Design read = loaded;
        ASSERT_TRUE(velumo::reloadDesignValues(ini, read, changed));
        EXPECT_TRUE(read == whole) << changed.front().second;
    }
    EXPECT_EQ(loaded.text("EditRdc2"), "6");

    // A crossover cell belongs to a grid: the caller loads it all.
    Design read = loaded;
    EXPECT_FALSE(
        velumo::reloadDesignValues(base, read, { { "Frequenzweiche", velumo::crossoverKey(1, 1) } }));
    EXPECT_TRUE(read == loaded);
}

} // namespace
