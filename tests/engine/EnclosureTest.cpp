// Enclosure elements: port and tunnel lengths from their Helmholtz tunings,
// substitutes for switched-off elements, the total volume and the damping.

#include "Enclosure.h"
#include "Constants.h"
#include "DriverModel.h"
#include "HornContour.h"
#include "MessageRecorder.h"
#include "RunPresentation.h"
#include "TestUtil.h"

#include <cmath>

namespace velumo {
namespace {

using test::expectNearRel;

using RecordingSink = test::MessageRecorder;

// Helmholtz frequency of a duct of length L (plus end correction dL) and
// area A on a volume V, c² = kappa·p0 / rho.
double helmholtz(double A, double L, double V) { return kC / (2.0 * kPi) * std::sqrt(A / (V * L)); }

struct EnclosureRun {
    Model m;
    std::vector<std::string> absorberLines; // the "LAT" line
    RecordingSink sink;                     // the messages in words

    explicit EnclosureRun(const RunInput& in, int n = 1)
    {
        m.n = n;
        m.ue = in.ue;
        setUpDrivers(in, m);
        std::vector<RunMessage> messages;
        setUpHorn(in, m, messages);
        setUpEnclosure(in, m, messages);
        for (const RunMessage& message : messages)
            sink.message(runMessage(message));
        DerivedValues d;
        addEnclosureValues(in, m, d);
        for (const std::string& line : derivedRightLines(d)) {
            if (line.rfind("LAT", 0) == 0)
                absorberLines.push_back(line);
        }
    }
};

// The right-column lines after the horn and absorber lines.
std::vector<std::string> enclosureLines(const RunInput& in, const Model& m)
{
    DerivedValues d;
    addEnclosureValues(in, m, d);
    d.tunnelLength.reset();
    return derivedRightLines(d);
}

RunInput portedBox()
{
    RunInput in;
    in.vrk = 20;
    in.abr = 50;
    in.abrTextIsZero = false;
    in.fbr = 40;
    in.fbrTextIsZero = false;
    in.l1 = 1.0;
    in.vvk = 1;
    return in;
}

// Substitute of a switched-off duct length: sqrt(Sd) · 0.001 with Sd 0.02 m².
const double kSubstituteLength = std::sqrt(0.02) * 0.001;

TEST(Enclosure, portLengthOfTheExampleBox)
{
    const EnclosureRun r(portedBox());
    const EnclosureModel& e = r.m.encl;
    EXPECT_NEAR(e.lbr, 0.4244, 5e-5);
    // The tuning with the end correction gives back the entered 40 Hz.
    expectNearRel(helmholtz(0.005, e.lbr + 0.8 * std::sqrt(0.005 / kPi), 0.02), 40.0, 1e-12);
    EXPECT_TRUE(e.hasPort);
    const std::vector<std::string> lines = enclosureLines(portedBox(), r.m);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "LBR = 42.4 cm");
    EXPECT_TRUE(r.sink.messages.empty());
    // On the floor area and volume are both doubled by the mirror image: the
    // same tuning, so the length and total of one real port.
    const EnclosureRun two(portedBox(), 2);
    expectNearRel(two.m.encl.lbr, e.lbr, 1e-12);
    expectNearRel(two.m.encl.abr, 0.01, 1e-15);
    expectNearRel(two.m.encl.vGesamt, e.vGesamt, 1e-12);
}

TEST(Enclosure, missingPortIsTunedToOneHertz)
{
    RunInput in = portedBox();
    in.abr = 0;
    in.abrTextIsZero = true;
    const EnclosureRun r(in);
    const EnclosureModel& e = r.m.encl;
    EXPECT_FALSE(e.hasPort);
    expectNearRel(e.lbr, kSubstituteLength, 1e-15);
    expectNearRel(helmholtz(e.abr, e.lbr, e.vrk), 1.0, 1e-7);
    const std::vector<std::string> lines = enclosureLines(in, r.m);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("VHorn = ", 0), 0u);
    EXPECT_EQ(lines[1], "Vgesamt = 41 l"); // horn 20 l + front chamber 1 l + rear chamber 20 l
    in = portedBox();
    in.fbrTextIsZero = true; // a tuning text "0" hides the length line
    EXPECT_EQ(enclosureLines(in, EnclosureRun(in).m).size(), 2u);
}

TEST(Enclosure, negativeDuctLengthsAreReportedInOrderAndReplaced)
{
    RunInput in = portedBox();
    in.abr = 500;
    in.fbr = 400;
    const EnclosureRun port(in);
    EXPECT_EQ(port.sink.messages, (std::vector<Message> { { "Hinweis", "LBR wäre negativ!" } }));
    expectNearRel(port.m.encl.lbr, kSubstituteLength, 1e-15);
    in.ak = true;
    in.vak = 1;
    in.fak = 2000;
    in.aat = 100;
    const EnclosureRun both(in);
    EXPECT_EQ(both.sink.messages,
        (std::vector<Message> { { "Hinweis", "LBR wäre negativ!" }, { "Hinweis", "LAT wäre negativ!" } }));
    expectNearRel(both.m.encl.lat, kSubstituteLength, 1e-15);
    EXPECT_EQ(both.absorberLines[0], "LAT = 0 cm"); // 0.014 cm
}

TEST(Enclosure, rearLoadedIgnoresRearChamberAndRadiatesThroughTheDriver)
{
    RunInput in = portedBox();
    in.hornType = HornType::RearLoaded;
    in.lrk = 0.3;
    const EnclosureRun r(in);
    const EnclosureModel& e = r.m.encl;
    EXPECT_TRUE(e.rearLoaded);
    EXPECT_FALSE(e.hasPort);
    expectNearRel(e.vrk, 0.06 * 1e-6, 1e-15);
    EXPECT_EQ(e.lrk, 0.0);
    EXPECT_EQ(e.abr, 0.02);
    expectNearRel(e.rBR, std::sqrt(0.02 / kPi), 1e-15);
    EXPECT_EQ(enclosureLines(in, r.m).size(), 2u);
    expectNearRel(e.vGesamt, (r.m.horn.vHorn + e.vvk) * 1000.0, 1e-12);
}

TEST(Enclosure, frontChamberEnteredOrVanishing)
{
    RunInput in = portedBox();
    in.vvk = 2.5;
    expectNearRel(EnclosureRun(in, 4).m.encl.vvk, 0.01, 1e-15);
    in.vvk = 0; // a vanishing chamber, not the entered volume of one real enclosure
    expectNearRel(EnclosureRun(in, 1).m.encl.vvk, std::pow(0.02, 1.5) * 1e-6, 1e-15);
}

TEST(Enclosure, absorberAddsItsTunnelOnlyWhenCheckedWithFrequencyAndVolume)
{
    RunInput in = portedBox();
    in.vak = 6;
    in.fak = 140;
    in.aat = 15;
    const EnclosureRun without(in); // unchecked: nothing, whatever the boxes hold
    EXPECT_FALSE(without.m.encl.akActive);
    EXPECT_TRUE(without.absorberLines.empty());
    expectNearRel(without.m.encl.vak, 0.06 * 1e-6, 1e-15);
    expectNearRel(without.m.encl.lat, kSubstituteLength, 1e-15);

    in.ak = true;
    const EnclosureRun with(in);
    EXPECT_TRUE(with.m.encl.akActive);
    // Tunnel 15 cm² tuned to 140 Hz on 6 l: 1.98 cm plus the end correction.
    expectNearRel(helmholtz(0.0015, with.m.encl.lat + 0.8 * std::sqrt(0.0015 / kPi), 0.006), 140.0, 1e-12);
    EXPECT_EQ(with.absorberLines, (std::vector<std::string> { "LAT = 2 cm" }));
    expectNearRel(
        with.m.encl.vGesamt - without.m.encl.vGesamt, (0.0015 * with.m.encl.lat + 0.006) * 1000.0, 1e-9);

    in.aat = 0;
    in.fak = 0;
    const EnclosureRun idle(in);
    EXPECT_TRUE(idle.m.encl.akChecked);
    EXPECT_FALSE(idle.m.encl.akActive);
    expectNearRel(idle.m.encl.aat, 0.02 * 1e-6, 1e-15);
}

TEST(Enclosure, driverTwoChamberOnlyWithADriverTwo)
{
    RunInput in = portedBox();
    in.rk2 = true;
    in.vrk2 = 15;
    in.driver2Mode = Driver2Mode::None;
    const EnclosureRun ohne(in);
    EXPECT_FALSE(ohne.m.encl.rk2Used);
    EXPECT_TRUE(ohne.m.encl.rk2Checked);
    expectNearRel(ohne.m.encl.vrk2, 0.06 * 1e9, 1e-15);
    in.driver2Mode = Driver2Mode::LikeDriver1;
    const EnclosureRun used(in, 2);
    EXPECT_TRUE(used.m.encl.rk2Used);
    expectNearRel(used.m.encl.vrk2, 0.03, 1e-15);
    // Vgesamt is the volume of one real enclosure.
    expectNearRel(used.m.encl.vGesamt - ohne.m.encl.vGesamt, 15.0, 1e-9);
}

TEST(Enclosure, extraTunnelActiveOnlyWithAnArea)
{
    RunInput in = portedBox();
    in.et = true;
    in.aet = 20;
    in.let = 0.1;
    const EnclosureRun r(in);
    EXPECT_TRUE(r.m.encl.etActive);
    expectNearRel(r.m.encl.aet, 0.002, 1e-15);
    expectNearRel(r.m.encl.rET, std::sqrt(0.002 / kPi), 1e-15);
    in.aet = 0;
    const EnclosureRun off(in);
    EXPECT_TRUE(off.m.encl.etChecked);
    EXPECT_FALSE(off.m.encl.etActive);
    expectNearRel(off.m.encl.aet, 0.02 * 1e-6, 1e-15);
    expectNearRel(r.m.encl.vGesamt - off.m.encl.vGesamt, 0.2, 1e-9);
}

TEST(Enclosure, dampingGrowsInProportionToFrequency)
{
    // R = b · l² / V (or b · l / A for a duct) · omega / 628.
    EnclosureModel e;
    e.bvk = 2;
    e.lvk = 0.1;
    e.vvk = 0.005;
    e.brk = 500;
    e.lrk = 0.2;
    e.vrk = 0.02;
    e.bbr = 3;
    e.lbr = 0.4;
    e.abr = 0.005;
    e.bak = 10;
    e.lat = 0.02;
    e.aat = 0.0015;
    e.bet = 1;
    e.let = 0.1;
    e.aet = 0.002;
    for (double f : { 100.0, 300.0 }) {
        SCOPED_TRACE(f);
        const double w = 2.0 * kPi * f;
        const DampingResistances r = dampingResistances(e, w);
        expectNearRel(r.Rvk, 2 * 0.01 / 0.005 * w / 628, 1e-14);
        expectNearRel(r.Rrk, 500 * 0.04 / 0.02 * w / 628, 1e-14);
        expectNearRel(r.Rbr, 3 * 0.4 / 0.005 * w / 628, 1e-14);
        expectNearRel(r.RAK, 10 * 0.02 / 0.0015 * w / 628, 1e-14);
        expectNearRel(r.RET, 1 * 0.1 / 0.002 * w / 628, 1e-14);
    }
}

} // namespace
} // namespace velumo
