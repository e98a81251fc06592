// Whole runs of the reference designs under tests/golden, compared field by
// field with the data.txt computed independently from the same rules.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "NumberText.h"
#include "ResultSlot.h"
#include "RunInput.h"
#include "Simulation.h"
#include "TestUtil.h"

#ifndef VELUMO_SOURCE_DIR
#define VELUMO_SOURCE_DIR "."
#endif

using velumo::parseLenient;
using velumo::RunInput;

namespace {

class QuietSink : public velumo::RunSink {
public:
    void message(const velumo::Message& m) override { messages.push_back(m); }
    void progress(int) override {}
    std::vector<velumo::Message> messages;
};

std::string goldenDir(const std::string& name)
{
    return std::string(VELUMO_SOURCE_DIR) + "/tests/golden/" + name;
}

// The project keys need only Latin-1 (ä, ö, ü, Ä); enough to read them.
std::string utf8FromLatin1(const std::string& in)
{
    std::string out;
    for (unsigned char c : in) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

using Ini = std::map<std::string, std::string>; // "Section/Key" -> value

Ini readIni(const std::string& path)
{
    Ini ini;
    std::istringstream text(utf8FromLatin1(velumo::test::readBytes(path)));
    std::string line, section;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 1 && line.front() == '[') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            ini[section + "/" + line.substr(0, eq)] = line.substr(eq + 1);
    }
    return ini;
}

// The run inputs as the input check leaves them for these designs.
RunInput runInputFromProject(const Ini& ini)
{
    auto text = [&](const std::string& key) {
        auto it = ini.find(key);
        return it == ini.end() ? std::string() : it->second;
    };
    auto num = [&](const std::string& key) { return parseLenient(text(key)); };
    auto integer = [&](const std::string& key) { return static_cast<int>(num(key)); };

    RunInput in;
    velumo::DriverInput& d1 = in.driver1;
    d1.rdc = num("Lautsprecher/Gleichstromwiderstand");
    d1.fs = num("Lautsprecher/Freiluftresonanzfrequenz");
    d1.qes = num("Lautsprecher/elektrische Güte");
    d1.qms = num("Lautsprecher/mechanische Güte");
    d1.vas = num("Lautsprecher/Äquivalentvolumen");
    d1.pmax = num("Lautsprecher/el. Belastbarkeit");
    d1.sd = num("Lautsprecher/Membranfläche");
    d1.z1k = num("Lautsprecher/Impedanz bei 1kHz");
    d1.z10k = num("Lautsprecher/Impedanz bei 10kHz");
    d1.xmax = num("Lautsprecher/lineare Auslenkung");
    d1.stk = integer("Lautsprecher/Anzahl der Chassis");
    velumo::DriverInput& d2 = in.driver2;
    d2.rdc = num("Treiber2/Rdc2");
    d2.fs = num("Treiber2/fs2");
    d2.qes = num("Treiber2/Qes2");
    d2.qms = num("Treiber2/Qms2");
    d2.vas = num("Treiber2/Vas2");
    d2.pmax = num("Treiber2/Pmax2");
    d2.sd = num("Treiber2/Sd2");
    d2.z1k = num("Treiber2/Z1k2");
    d2.z10k = num("Treiber2/Z10k2");
    d2.xmax = num("Treiber2/Xmax2");
    d2.stk = integer("Treiber2/Stk2");
    in.driver2Mode = integer("Treiber2/GroupIndex");
    in.driver2Reversed = integer("Treiber2/Umdrehen") != 0;
    in.ue = num("Spannung/Volt");

    in.kontur = integer("Horn/Kontur") - 1;
    in.typ = integer("Horn/Typ") - 1;
    in.vrk = num("Horn/Rückkammervolumen");
    in.lrk = num("Horn/Lrk");
    in.brk = num("Horn/Brk");
    in.fbr = num("Horn/fbr");
    in.fbrTextIsZero = text("Horn/fbr") == "0";
    in.abr = num("Horn/Abr");
    in.abrTextIsZero = text("Horn/Abr") == "0";
    in.bbr = num("Horn/Bbr");
    in.vvk = num("Horn/Vorkammervolumen");
    in.lvk = num("Horn/Lvk");
    in.bvk = num("Horn/Bvk");
    in.xT1 = num("Horn/SP");
    in.ak = integer("Horn/AK") != 0;
    in.xAK = num("Horn/AKP");
    in.vak = num("Horn/Vab");
    in.fak = num("Horn/fab");
    in.aat = num("Horn/Aab");
    in.bak = num("Horn/Bab");
    in.ah = num("Horn/Halsfläche");
    in.l1 = num("Horn/Hornlänge");
    in.beta1 = num("Horn/betha1");
    in.beta2 = num("Horn/betha2");
    in.h = num("Horn/Mundhöhe");
    in.b = num("Horn/Mundbreite");
    in.dL = num("Horn/Differenzlänge");
    in.mouthClosed = integer("Horn/MundGeschl") != 0;
    in.rk2 = integer("Horn/RK2") != 0;
    in.vrk2 = num("Horn/Vrk2");
    in.dL2 = num("Horn/dL2");
    in.xT2 = num("Horn/TP2");

    in.posi = integer("Raumposition/Position") - 1;
    in.abst = num("Raumposition/Abstand");

    in.et = integer("ET/ET") != 0;
    in.xET = num("ET/xET");
    in.let = num("ET/LET");
    in.dLET = num("ET/dLET");
    in.aet = num("ET/AET");
    in.bet = num("ET/BET");

    in.rdcBoxValue = d1.rdc;
    velumo::CrossoverInput& xo = in.crossover;
    xo.ignore = integer("Frequenzweiche/Ignorieren") != 0;
    for (int p = 1; p <= 14; ++p) {
        const std::string n = std::to_string(p);
        std::string r = text("Frequenzweiche/R" + n);
        std::string c = text("Frequenzweiche/C" + n);
        std::string l = text("Frequenzweiche/L" + n);
        if (p == 1) c = text("Frequenzweiche/C Hochpass");
        if (p == 2) l = text("Frequenzweiche/L Hochpass");
        if (p == 3) l = text("Frequenzweiche/L Tiefpass");
        if (p == 4) c = text("Frequenzweiche/C Tiefpass");
        xo.R[p] = parseLenient(r);
        xo.C[p] = parseLenient(c) * 1e-6;
        xo.L[p] = parseLenient(l) * 0.001;
        xo.invC[p] = xo.C[p] != 0.0 ? 1.0 / xo.C[p] : 0.0;
        const bool shunt = p == 2 || p == 4 || p == 6 || p == 10 || p == 12 || p == 14;
        if (shunt && r.empty() && c.empty() && l.empty())
            xo.R[p] = 1e9 * in.rdcBoxValue;
    }

    in.freqAuto = integer("Achsen/auto 9") != 0;
    in.freqMin = num("Achsen/min 9");
    in.freqMax = num("Achsen/max 9");
    in.freqPoints = integer("Achsen/fAufl");
    in.contourPoints = integer("Achsen/KAufl");
    return in;
}

std::vector<std::vector<std::string>> tableOf(const std::string& bytes)
{
    std::vector<std::vector<std::string>> rows;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos)
            end = bytes.size();
        std::vector<std::string> fields;
        std::string line = bytes.substr(pos, end - pos);
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        rows.push_back(fields);
        pos = end + 2;
    }
    return rows;
}

// Value of one unit in the last printed digit of a field ("12.34" -> 0.01,
// "1.23E-02" -> 0.0001).
double lastDigitUnit(const std::string& field)
{
    const auto e = field.find('E');
    const std::string mantissa = field.substr(0, e);
    const auto dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
    const int exponent = e == std::string::npos ? 0 : std::stoi(field.substr(e + 1));
    return std::pow(10.0, exponent - decimals);
}

void compareRun(const std::string& name)
{
    SCOPED_TRACE(name);
    const RunInput in = runInputFromProject(readIni(goldenDir(name) + "/project.vlm"));
    velumo::test::TempDir dir;
    velumo::ResultSlot slot;
    QuietSink sink;
    const velumo::RunOutcome outcome = velumo::runSimulation(in, dir.path().string(), slot, sink);
    ASSERT_EQ(outcome.status, velumo::RunStatus::Ok);

    const auto expected = tableOf(velumo::test::readBytes(goldenDir(name) + "/data.txt"));
    const auto actual = tableOf(velumo::test::readBytes(dir.file("data.txt")));
    ASSERT_EQ(actual.size(), expected.size());
    int exact = 0, lastDigit = 0;
    for (std::size_t r = 0; r < expected.size(); ++r) {
        ASSERT_EQ(actual[r].size(), expected[r].size()) << "row " << r;
        for (std::size_t c = 0; c < expected[r].size(); ++c) {
            const std::string& want = expected[r][c];
            const std::string& got = actual[r][c];
            if (want == got) {
                ++exact;
                continue;
            }
            // Nearly equal doubles may round to neighbouring last digits.
            const double unit = lastDigitUnit(want);
            EXPECT_LE(std::fabs(parseLenient(got) - parseLenient(want)), unit * 1.0001)
                << "row " << r + 1 << " column " << c + 1 << ": " << got << " vs " << want;
            ++lastDigit;
        }
    }
    ::testing::Test::RecordProperty("fields_exact", exact);
    ::testing::Test::RecordProperty("fields_last_digit", lastDigit);
    EXPECT_EQ(velumo::test::readBytes(dir.file("contour.txt")),
              velumo::test::readBytes(goldenDir(name) + "/contour.txt"));

    // The derived-parameter lines as velumo-sim prints them: left column, an
    // empty line, right column; these designs raise no message.
    std::string lines;
    for (const std::string& l : outcome.leftLines)
        lines += l + "\n";
    lines += "\n";
    for (const std::string& l : outcome.rightLines)
        lines += l + "\n";
    EXPECT_EQ(lines, velumo::test::readBytes(goldenDir(name) + "/lines.txt"));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(velumo::test::readBytes(goldenDir(name) + "/messages.txt"), "");
}

} // namespace

TEST(GoldenRun, bassHornExponential) { compareRun("bass-horn-exponential"); }
TEST(GoldenRun, rearLoadedConicalCrossover) { compareRun("rear-loaded-conical-crossover"); }
TEST(GoldenRun, twoDriversAbsorberTunnel) { compareRun("two-drivers-absorber-tunnel"); }
