// Values the input check admits but no physical design has: the run must end
// with finite results or stop with a "Fehler" message, and the two lists must
// never hold NaN or infinity.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "IniFile.h"
#include "SimRunner.h"
#include "TestUtil.h"

using velumo::IniFile;
using velumo::runVelumoSim;
using velumo::test::readBytes;
using velumo::test::TempDir;

namespace {

struct Outcome {
    int status = 0;
    std::string err;
    std::string data;
    std::string contour;
};

// Runs an example with one key of its project file replaced.
Outcome runChanged(
    const std::string& example, const std::string& section, const std::string& key, const std::string& value)
{
    TempDir dir;
    IniFile ini = IniFile::load(std::string(VELUMO_SOURCE_DIR) + "/examples/" + example);
    EXPECT_TRUE(ini.value(section, key).has_value()) << section << "/" << key;
    ini.writeString(section, key, value);
    EXPECT_TRUE(ini.save(dir.file("p.vlm")));
    std::ostringstream out, err;
    Outcome o;
    o.status = runVelumoSim({ dir.file("p.vlm"), "--out", dir.path().string() }, out, err);
    o.err = err.str();
    o.data = readBytes(dir.file("data.txt"));
    o.contour = readBytes(dir.file("contour.txt"));
    return o;
}

bool holdsNonFinite(const std::string& file)
{
    return file.find("NAN") != std::string::npos || file.find("INF") != std::string::npos
        || file.find("nan") != std::string::npos || file.find("inf") != std::string::npos;
}

} // namespace

TEST(ExtremeValuesRun, nonFiniteValuesStopTheRunWithFehler)
{
    struct Row {
        const char* section;
        const char* key;
        const char* value;
        const char* message;
        bool contourStops; // before writing any contour row
    };
    const Row rows[] = {
        // 1e-305 µF is 1e-311 F, a subnormal whose inverse overflows to infinity.
        { "Frequenzweiche", "C5", "1e-305",
            "Fehler: Bei 10.00 Hz ergibt die Berechnung keinen endlichen Wert.", false },
        // The empty shunt positions become 1e9 · 1e300 Ohm: infinite.
        { "Lautsprecher", "Gleichstromwiderstand", "1e300", "Fehler: ", false },
        // A mouth of 1e308 cm · 25 cm overflows: no real contour.
        { "Horn", "Mundhöhe", "1e308",
            "Fehler: Die Hornkontur ergibt keine endlichen Werte. Betroffene Eingaben: Halsfläche, "
            "Hornlänge, "
            "Mundhöhe, Mundbreite. Die Simulation wurde abgebrochen.",
            true },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        Outcome o = runChanged("rear-loaded-crossover.vlm", r.section, r.key, r.value);
        EXPECT_EQ(o.status, velumo::kSimRunFailed);
        EXPECT_NE(o.err.find(r.message), std::string::npos) << o.err;
        EXPECT_FALSE(holdsNonFinite(o.data)) << o.data;
        EXPECT_FALSE(holdsNonFinite(o.contour)) << o.contour;
        if (r.contourStops) {
            EXPECT_EQ(std::count(o.contour.begin(), o.contour.end(), '\n'), 1); // only the header line
        }
    }
}
