#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MeasurementFile.h"
#include "TestUtil.h"

using velumo::MeasuredCurve;

namespace {

MeasuredCurve curve(std::vector<double> f, std::vector<double> v, std::vector<double> p = {})
{
    bool hasPhase = !p.empty();
    return MeasuredCurve { std::move(f), std::move(v), std::move(p), hasPhase };
}

struct Variant {
    const char* what;
    std::string bytes;
    MeasuredCurve expected;
};

TEST(MeasurementFile, readsTheVariantsOtherToolsWrite)
{
    const Variant variants[] = {
        { "star comments, LF",
            "* Data by a measuring tool\n* Freq(Hz) SPL(dB) Phase(degrees)\n20.000 85.5 -12.25\n40 86 10\n",
            curve({ 20, 40 }, { 85.5, 86 }, { -12.25, 10 }) },
        { "header text, tabs, CR LF",
            "Freq(Hz)\tSPL(dB)\tPhase(deg)\r\n20\t85.5\t-12.25\r\n\r\n40\t86\t10\r\n",
            curve({ 20, 40 }, { 85.5, 86 }, { -12.25, 10 }) },
        { "BOM, CR only, ; and # comments", "\xEF\xBB\xBF; exported\r# f z ph\r20 8.5 1\r40 9 2\r",
            curve({ 20, 40 }, { 8.5, 9 }, { 1, 2 }) },
        { "comma-separated with blanks and a trailing comma", "20, 85.5, -12.25,\n40,86,10\n",
            curve({ 20, 40 }, { 85.5, 86 }, { -12.25, 10 }) },
        { "semicolons with decimal comma", "Frequenz;SPL;Phase\n20,5;85,5;-12,25\n40;86;1e1\n",
            curve({ 20.5, 40 }, { 85.5, 86 }, { -12.25, 10 }) },
        { "two columns, unsorted, exponents", "1E+2 7.9\n  2.0e1\t8.1\n", curve({ 20, 100 }, { 8.1, 7.9 }) },
        { "duplicate frequency: last row wins", "20 1 0\n100 3 0\n2e1 2 5\n",
            curve({ 20, 100 }, { 2, 3 }, { 5, 0 }) },
    };
    for (const Variant& v : variants) {
        MeasuredCurve c;
        std::string error;
        EXPECT_TRUE(velumo::parseMeasurement(v.bytes, &c, &error)) << v.what << ": " << error;
        EXPECT_EQ(c, v.expected) << v.what;
    }
}

TEST(MeasurementFile, refusesMalformedFilesNamingTheLine)
{
    const std::pair<std::string, std::string> cases[] = {
        { "20 85\n30\n", "Zeile 2: nur 1 Spalte; erwartet werden Frequenz, Wert und wahlweise Phase." },
        { "Freq SPL\n20 85\nend\n", "Zeile 3: keine Zahl in Spalte 1: \"end\"." },
        { "a\r\n\r\n20 85\r\n30 85dB\r\n", "Zeile 4: keine Zahl in Spalte 2: \"85dB\"." },
        { "20 85\r30 x\r", "Zeile 2: keine Zahl in Spalte 2: \"x\"." },
        { "20 85 0\n30 86\n", "Zeile 2: 2 Spalten, die Zeilen davor haben 3." },
        { "20,5 85,3\n",
            "Zeile 1: 4 Spalten; erwartet werden 2 oder 3 (Frequenz, Wert, Phase). Ein Dezimalkomma "
            "ist nur mit \";\" als Trennzeichen erlaubt." },
        { "* x\n0 85\n", "Zeile 2: die Frequenz muss größer als 0 Hz sein." },
        { "20 inf\n", "Zeile 1: Spalte 2 ist keine endliche Zahl." },
        { "nan 85\n", "Zeile 1: Spalte 1 ist keine endliche Zahl." },
        { "20 1e999\n", "Zeile 1: Spalte 2 ist keine endliche Zahl." },
        { "20,,85\n", "Zeile 1: Spalte 2 ist leer." },
        { "* only comments\nFreq SPL\n", "Die Datei enthält keine Messwerte." },
    };
    for (const auto& [bytes, message] : cases) {
        MeasuredCurve c = curve({ 1 }, { 2 });
        std::string error;
        EXPECT_FALSE(velumo::parseMeasurement(bytes, &c, &error)) << bytes;
        EXPECT_EQ(error, message);
        EXPECT_EQ(c, curve({ 1 }, { 2 })) << "the previous curve stays";
    }
}

TEST(MeasurementFile, writesSortedNineDigitRowsAndReadsThemBack)
{
    const MeasuredCurve c
        = curve({ 1000, 20, 1.0 / 3.0 }, { 85.123456789, -0.0, 1e-7 }, { -179.999999999, 0, 45 });
    std::string text, error;
    ASSERT_TRUE(velumo::formatMeasurement(c,
        { "Velumo", std::string(velumo::measurementColumnsComment(velumo::MeasurementKind::Frd)) }, &text,
        &error));
    EXPECT_EQ(text,
        "* Velumo\n* Frequenz [Hz], SPL [dB], Phase [Grad]\n0.333333333\t1e-07\t45\n20\t0\t0\n"
        "1000\t85.1234568\t-180\n");
    MeasuredCurve back;
    ASSERT_TRUE(velumo::parseMeasurement(text, &back, &error)) << error;
    EXPECT_EQ(back, curve({ 0.333333333, 20, 1000 }, { 1e-7, 0, 85.1234568 }, { 45, 0, -180 }));
}

TEST(MeasurementFile, refusesToWriteWhatItCouldNotReadBack)
{
    std::string text = "unchanged", error;
    EXPECT_FALSE(velumo::formatMeasurement(curve({}, {}), {}, &text, &error));
    EXPECT_EQ(error, "Keine Punkte zum Schreiben.");
    EXPECT_FALSE(velumo::formatMeasurement(curve({ 20, 40 }, { 1 }), {}, &text, &error));
    EXPECT_EQ(error, "Frequenz, Wert und Phase haben verschieden viele Punkte.");
    EXPECT_FALSE(velumo::formatMeasurement(curve({ 20, 40 }, { 1, 2 }, { 0, NAN }), {}, &text, &error));
    EXPECT_EQ(error, "Punkt 2: keine endliche Zahl.");
    EXPECT_EQ(text, "unchanged");
}

TEST(MeasurementFile, readsAFileAndRefusesMissingOrHugeOnes)
{
    velumo::test::TempDir dir;
    velumo::test::writeBytes(dir.file("m.zma"), "10 8 5\n");
    MeasuredCurve c;
    std::string error;
    EXPECT_TRUE(velumo::readMeasurementFile(dir.file("m.zma"), &c, &error)) << error;
    EXPECT_EQ(c, curve({ 10 }, { 8 }, { 5 }));
    EXPECT_FALSE(velumo::readMeasurementFile(dir.file("none.frd"), &c, &error));
    EXPECT_EQ(error, "Die Datei " + dir.file("none.frd") + " kann nicht gelesen werden.");
    EXPECT_FALSE(velumo::readMeasurementFile(dir.path().string(), &c, &error)) << "a folder";
    velumo::test::writeBytes(dir.file("big.frd"), std::string(velumo::kMaxMeasurementBytes + 1, '*'));
    EXPECT_FALSE(velumo::readMeasurementFile(dir.file("big.frd"), &c, &error));
    EXPECT_EQ(error, "Die Datei " + dir.file("big.frd") + " ist größer als 16 MiB und wird nicht gelesen.");
}

} // namespace
