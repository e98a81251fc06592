#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "Encoding.h"
#include "IniFile.h"
#include "TestUtil.h"

using velumo::IniFile;
using velumo::test::readBytes;
using velumo::test::TempDir;
using velumo::test::writeBytes;

TEST(Encoding, umlautsAreSingleWindows1252Bytes)
{
    EXPECT_EQ(velumo::utf8ToCp1252("Rückkammervolumen"),
        "R\xFC"
        "ckkammervolumen");
    EXPECT_EQ(velumo::utf8ToCp1252("Halsfläche"),
        "Halsfl\xE4"
        "che");
    EXPECT_EQ(velumo::utf8ToCp1252("Äquivalentvolumen ß €"), "\xC4quivalentvolumen \xDF \x80");
    EXPECT_EQ(velumo::cp1252ToUtf8("\xC4\xD6\xDC\xE4\xF6\xFC\xDF\x80"), "ÄÖÜäöüß€");
}

TEST(Encoding, unencodableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(velumo::utf8ToCp1252("Ω"), "?");
    EXPECT_EQ(velumo::utf8ToCp1252("a\xFF"
                                   "b"),
        "a?b"); // invalid UTF-8
    EXPECT_EQ(velumo::utf8ToLatin1("cm² °"), "cm\xB2 \xB0");
    EXPECT_EQ(velumo::utf8ToLatin1("€"), "?");
}

TEST(Encoding, everyByteDecodesAndRoundTrips)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(velumo::utf8ToCp1252(velumo::cp1252ToUtf8(all)), all);
}

TEST(IniFile, readsTrimmedCaseInsensitiveFirstWins)
{
    IniFile ini = IniFile::fromBytes("[Horn]\r\n  Halsfl\xE4"
                                     "che =  250 \r\nHALSFL\xC4"
                                     "CHE=999\r\n"
                                     "Info=\"Mein Horn\"\r\n[horn]\r\nLvk=7\r\n[Other]\r\nx\r\n");
    EXPECT_EQ(ini.readString("horn", "halsfläche", "?"), "250");
    EXPECT_EQ(ini.readString("Horn", "Info", "?"), "Mein Horn");
    // Only the first section of a name is read.
    EXPECT_EQ(ini.readString("Horn", "Lvk", "dflt"), "dflt");
    // A line without "=" is no key.
    EXPECT_FALSE(ini.value("Other", "x").has_value());
    EXPECT_EQ(ini.readString("Missing", "x", "d"), "d");
}

TEST(IniFile, integersMustBeWholeDecimalNumbers)
{
    IniFile ini = IniFile::fromBytes("[S]\nA=12\nB=1.5\nC=abc\nD=-3\nE=99999999999\nF=\n");
    EXPECT_EQ(ini.readInt("S", "A", 1), 12);
    EXPECT_EQ(ini.readInt("S", "B", 1), 1);
    EXPECT_EQ(ini.readInt("S", "C", 1), 1);
    EXPECT_EQ(ini.readInt("S", "D", 1), -3);
    EXPECT_EQ(ini.readInt("S", "E", 1), 1);
    EXPECT_EQ(ini.readInt("S", "F", 1), 1);
    EXPECT_TRUE(ini.readBool("S", "D", false));
    EXPECT_FALSE(ini.readBool("S", "Z", false));
    EXPECT_TRUE(ini.readBool("S", "C", true));
}

TEST(IniFile, writingKeepsForeignLinesInPlace)
{
    IniFile ini = IniFile::fromBytes("; made by hand\r\n[Horn]\r\nFremd=1\r\nLvk=0\r\n\r\n[ET]\r\nET=0\r\n");
    ini.writeString("Horn", "lvk", "0.12");             // in place, key name as written now
    ini.writeString("Horn", "Rückkammervolumen", "40"); // appended at the end of its section
    ini.writeString("Neu", "a", "b");                   // new section at the end
    EXPECT_EQ(ini.toBytes(),
        "; made by hand\r\n[Horn]\r\nFremd=1\r\nlvk=0.12\r\nR\xFC"
        "ckkammervolumen=40\r\n\r\n"
        "[ET]\r\nET=0\r\n\r\n[Neu]\r\na=b\r\n");
}

TEST(IniFile, roundTripThroughDiskWithUmlautKeys)
{
    TempDir dir;
    IniFile ini;
    ini.writeString("Lautsprecher", "Äquivalentvolumen", "60");
    ini.writeString("Horn", "Halsfläche", "200");
    ini.writeBool("Horn", "AK", true);
    std::string error;
    ASSERT_TRUE(ini.save(dir.file("p.vlm"), &error)) << error;
    EXPECT_EQ(readBytes(dir.file("p.vlm")),
        "[Lautsprecher]\r\n\xC4quivalentvolumen=60\r\n\r\n[Horn]\r\nHalsfl\xE4"
        "che=200\r\nAK=1\r\n");
    IniFile back = IniFile::load(dir.file("p.vlm"));
    EXPECT_EQ(back.readString("Horn", "Halsfläche", ""), "200");
    EXPECT_TRUE(back.readBool("Horn", "AK", false));
    EXPECT_EQ(back.toBytes(), ini.toBytes());
}

TEST(IniFile, failedWriteIsReportedAndOldFileStays)
{
    TempDir dir;
    writeBytes(dir.file("blocker"), "a file, not a folder");
    IniFile ini;
    ini.writeString("S", "k", "v");
    std::string error;
    EXPECT_FALSE(ini.save(dir.file("blocker") + "/p.vlm", &error));
    EXPECT_FALSE(error.empty());

    // A file that may not be written is refused and left as it was.
    writeBytes(dir.file("old.vlm"), "[S]\r\nk=old\r\n");
    std::filesystem::permissions(dir.file("old.vlm"), std::filesystem::perms::owner_read);
    if (::access(dir.file("old.vlm").c_str(), W_OK) != 0) { // root may write anyway
        EXPECT_FALSE(ini.save(dir.file("old.vlm"), &error));
        EXPECT_EQ(readBytes(dir.file("old.vlm")), "[S]\r\nk=old\r\n");
    }
    // No temporary file is left behind.
    int count = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
        ++count;
    EXPECT_EQ(count, 2);
}

TEST(IniFile, garbageAndMissingFilesGiveDefaults)
{
    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    IniFile ini = IniFile::fromBytes(garbage);
    EXPECT_EQ(ini.readString("Horn", "Hornlänge", "0"), "0");
    EXPECT_EQ(IniFile::load("/nonexistent/folder/p.vlm").readInt("S", "k", 5), 5);
    EXPECT_EQ(IniFile::fromBytes(std::string(IniFile::kMaxFileBytes + 1, '[')).toBytes(), "");
}
