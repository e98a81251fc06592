// What velumo-sim refuses: files that hold no design, negative sizes, and
// designs whose derived parameters are not finite.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "IniFile.h"
#include "SimRunner.h"
#include "TestUtil.h"

using velumo::IniFile;
using velumo::test::readBytes;
using velumo::test::TempDir;

namespace {

struct Call {
    int status = 0;
    std::string out;
    std::string err;
};

Call sim(const std::string& project, const TempDir& dir)
{
    std::ostringstream out, err;
    const int status = velumo::runVelumoSim({ project, "--out", dir.path().string() }, out, err);
    return { status, out.str(), err.str() };
}

std::string example(const std::string& name)
{
    return readBytes(std::string(VELUMO_SOURCE_DIR) + "/examples/" + name);
}

} // namespace

TEST(InputRulesCli, filesThatHoldNoDesignGiveExit1)
{
    std::string random(4096, '\0');
    unsigned state = 12345;
    for (char& c : random)
        c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    std::string utf16 = "\xFF\xFE";
    for (char c : example("bass-horn.vlm"))
        utf16 += std::string { c, '\0' };
    const std::string project = example("bass-horn.vlm");
    const std::pair<std::string, std::string> rows[] = {
        { "", "die Datei ist leer" },
        { random, "die Datei ist kein Text in Windows-1252 oder UTF-8" },
        { utf16, "die Datei ist kein Text in Windows-1252 oder UTF-8" },
        { "[Fremd]\r\nSchluessel=1\r\n", "kein bekannter Abschnitt mit Schlüssel" },
        { project + std::string((16u << 20) + 1 - project.size(), ' '), "die Datei ist größer als 16 MiB" },
        { std::string(16u << 20, '\r'), "die Datei hat mehr als 65536 Zeilen" },
    };
    for (const auto& [bytes, reason] : rows) {
        SCOPED_TRACE(reason);
        TempDir dir;
        velumo::test::writeBytes(dir.file("p.vlm"), bytes);
        const Call c = sim(dir.file("p.vlm"), dir);
        EXPECT_EQ(c.status, velumo::kSimUsage);
        EXPECT_EQ(
            c.err, "Die Datei " + dir.file("p.vlm") + " enthält kein Velumo-Projekt (" + reason + ").\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("data.txt")));
    }
}

TEST(InputRulesCli, negativeSizesAreRefusedWithExit2NamingTheirInput)
{
    struct Row {
        const char* section;
        const char* key;
        const char* message;
    };
    const Row rows[] = {
        { "Raumposition", "Abstand", "Eingabe Abstand Mic->Hornmund nicht erlaubt!" },
        { "Horn", "Hornlänge", "Eingabe Hornlänge nicht erlaubt!" },
    };
    for (const auto& [section, key, message] : rows) {
        SCOPED_TRACE(message);
        TempDir dir;
        IniFile ini = IniFile::fromBytes(example("bass-horn.vlm"));
        ini.writeString(section, key, "-1");
        ASSERT_TRUE(ini.save(dir.file("p.vlm")));
        const Call c = sim(dir.file("p.vlm"), dir);
        EXPECT_EQ(c.status, velumo::kSimInvalid);
        EXPECT_EQ(c.err, std::string(message) + "\n");
    }
}

TEST(InputRulesCli, derivedParametersThatAreNotFiniteStopTheRunNamingTheirInputs)
{
    TempDir dir;
    IniFile ini = IniFile::fromBytes(example("two-drivers-absorber.vlm"));
    ini.writeString("Treiber2", "Rdc2", "1e-308"); // Pe2 = Ue² / Rdc2 overflows
    ASSERT_TRUE(ini.save(dir.file("p.vlm")));
    const Call c = sim(dir.file("p.vlm"), dir);
    EXPECT_EQ(c.status, velumo::kSimRunFailed);
    EXPECT_NE(
        c.err.find("Fehler: Die abgeleiteten Parameter ergeben keine endlichen Werte. Betroffene Eingaben: "
                   "Eingangsspannung, Gleichstromwiderstand (Treiber2), Anzahl Treiber2. Die Simulation "
                   "wurde abgebrochen.\n"),
        std::string::npos)
        << c.err;
    EXPECT_EQ(c.out.find("INF"), std::string::npos) << c.out;
}
