// Run set-up of the golden designs: contour list rows, derived-parameter
// lines, preparation messages and the frequency column of the result list,
// against files computed independently.

#include "NumberText.h"
#include "RunSetup.h"
#include "MessageRecorder.h"
#include "TestUtil.h"
#include "TextFiles.h"

#include <map>
#include <sstream>

namespace velumo {
namespace {

using Ini = std::map<std::string, std::map<std::string, std::string>>;

// The project files are Windows-1252; the keys needed here only use Latin-1
// letters, so decoding byte for byte is enough.
std::string latin1ToUtf8(const std::string& bytes)
{
    std::string out;
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

Ini readIni(const std::string& path)
{
    Ini ini;
    std::string section;
    for (const std::string& line : splitLines(latin1ToUtf8(test::readBytes(path)))) {
        if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (auto eq = line.find('='); eq != std::string::npos) {
            ini[section][line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return ini;
}

// The run reads the design as the normalised texts of the golden projects.
RunInput runInputFrom(const Ini& ini)
{
    auto text = [&](const char* section, const char* key) { return ini.at(section).at(key); };
    auto num = [&](const char* section, const char* key) { return parseLenient(text(section, key)); };
    auto whole = [&](const char* section, const char* key) { return static_cast<int>(num(section, key)); };
    RunInput in;
    const char* L = "Lautsprecher";
    in.driver1 = {whole(L, "Anzahl der Chassis"), num(L, "Gleichstromwiderstand"),
                  num(L, "Freiluftresonanzfrequenz"), num(L, "elektrische Güte"),
                  num(L, "mechanische Güte"), num(L, "Äquivalentvolumen"), num(L, "el. Belastbarkeit"),
                  num(L, "Membranfläche"), num(L, "Impedanz bei 1kHz"), num(L, "Impedanz bei 10kHz"),
                  num(L, "lineare Auslenkung")};
    const char* T = "Treiber2";
    in.driver2 = {whole(T, "Stk2"), num(T, "Rdc2"), num(T, "fs2"), num(T, "Qes2"), num(T, "Qms2"),
                  num(T, "Vas2"), num(T, "Pmax2"), num(T, "Sd2"), num(T, "Z1k2"), num(T, "Z10k2"),
                  num(T, "Xmax2")};
    in.driver2Mode = whole(T, "GroupIndex");
    in.driver2Reversed = whole(T, "Umdrehen") != 0;
    in.ue = num("Spannung", "Volt");
    const char* H = "Horn";
    in.kontur = whole(H, "Kontur") - 1;
    in.typ = whole(H, "Typ") - 1;
    in.vrk = num(H, "Rückkammervolumen");
    in.lrk = num(H, "Lrk");
    in.brk = num(H, "Brk");
    in.fbr = num(H, "fbr");
    in.fbrTextIsZero = text(H, "fbr") == "0";
    in.abr = num(H, "Abr");
    in.abrTextIsZero = text(H, "Abr") == "0";
    in.bbr = num(H, "Bbr");
    in.vvk = num(H, "Vorkammervolumen");
    in.lvk = num(H, "Lvk");
    in.bvk = num(H, "Bvk");
    in.xT1 = num(H, "SP");
    in.ak = whole(H, "AK") != 0;
    in.xAK = num(H, "AKP");
    in.vak = num(H, "Vab");
    in.fak = num(H, "fab");
    in.aat = num(H, "Aab");
    in.bak = num(H, "Bab");
    in.ah = num(H, "Halsfläche");
    in.l1 = num(H, "Hornlänge");
    in.beta1 = num(H, "betha1");
    in.beta2 = num(H, "betha2");
    in.h = num(H, "Mundhöhe");
    in.b = num(H, "Mundbreite");
    in.dL = num(H, "Differenzlänge");
    in.mouthClosed = whole(H, "MundGeschl") != 0;
    in.rk2 = whole(H, "RK2") != 0;
    in.vrk2 = num(H, "Vrk2");
    in.dL2 = num(H, "dL2");
    in.xT2 = num(H, "TP2");
    in.posi = whole("Raumposition", "Position") - 1;
    in.abst = num("Raumposition", "Abstand");
    in.et = whole("ET", "ET") != 0;
    in.xET = num("ET", "xET");
    in.let = num("ET", "LET");
    in.dLET = num("ET", "dLET");
    in.aet = num("ET", "AET");
    in.bet = num("ET", "BET");
    in.rdcBoxValue = in.driver1.rdc;
    const char* A = "Achsen";
    in.freqAuto = whole(A, "auto 9") != 0;
    in.freqMin = num(A, "min 9");
    in.freqMax = num(A, "max 9");
    in.freqPoints = whole(A, "fAufl");
    in.contourPoints = whole(A, "KAufl");
    return in;
}

using RecordingSink = test::MessageRecorder;

class GoldenSetup : public ::testing::TestWithParam<const char*> {
protected:
    std::string file(const char* name) const
    {
        return std::string(VELUMO_GOLDEN_DIR) + "/" + GetParam() + "/" + name;
    }
};

TEST_P(GoldenSetup, contourListMatchesRowByRow)
{
    RunInput in = runInputFrom(readIni(file("project.vlm")));
    RecordingSink sink;
    RunSetUpOutput out;
    prepareRun(in, sink, &out);
    std::string mine = latin1FromUtf8(contourHeader());
    for (const std::string& row : out.contourRows)
        mine += row;
    const std::vector<std::string> expected = splitLines(test::readBytes(file("contour.txt")));
    const std::vector<std::string> actual = splitLines(mine);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "row " << i;
    // Same bytes, line ends included.
    EXPECT_EQ(mine, test::readBytes(file("contour.txt")));
}

TEST_P(GoldenSetup, derivedParameterLinesMatch)
{
    RunInput in = runInputFrom(readIni(file("project.vlm")));
    RecordingSink sink;
    Model m = prepareRun(in, sink);
    std::vector<std::string> actual = m.leftLines;
    actual.emplace_back();
    actual.insert(actual.end(), m.rightLines.begin(), m.rightLines.end());
    EXPECT_EQ(actual, splitLines(test::readBytes(file("lines.txt"))));
}

TEST_P(GoldenSetup, preparationRaisesNoMessage)
{
    // The golden designs raise nothing before the loop; their messages file
    // lists what the whole run reports.
    RunInput in = runInputFrom(readIni(file("project.vlm")));
    RecordingSink sink;
    prepareRun(in, sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(firstUnrunnableInput(in), "");
}

TEST_P(GoldenSetup, frequencyGridMatchesResultListColumn)
{
    RunInput in = runInputFrom(readIni(file("project.vlm")));
    RecordingSink sink;
    const std::vector<double> grid = frequencyGrid(prepareRun(in, sink));
    const std::vector<std::string> rows = splitLines(test::readBytes(file("data.txt")));
    ASSERT_EQ(grid.size() + 2, rows.size());
    for (size_t i = 0; i < grid.size(); ++i)
        EXPECT_EQ(formatPattern(grid[i], "0.00"), rows[i + 2].substr(0, rows[i + 2].find('\t'))) << i;
}

INSTANTIATE_TEST_SUITE_P(Designs, GoldenSetup,
                         ::testing::Values("bass-horn-exponential", "rear-loaded-conical-crossover",
                                           "two-drivers-absorber-tunnel"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (const char* p = info.param; *p; ++p)
                                 name.push_back(*p == '-' ? '_' : *p);
                             return name;
                         });

} // namespace
} // namespace velumo
