// Look-ups go through an index of the first sections and their first keys;
// these cases pin that every write keeps look-ups right afterwards.

#include <string>

#include "IniFile.h"
#include "TestUtil.h"

using velumo::IniFile;

TEST(IniFileIndex, keysOfLaterSectionsReadRightAfterAnInsertAbove)
{
    IniFile ini = IniFile::fromBytes("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\nc=3\r\n");
    EXPECT_EQ(ini.readString("B", "c", "?"), "3"); // builds the index
    ini.writeString("A", "neu", "x");              // inserts a line above [B]
    EXPECT_EQ(ini.readString("B", "b", "?"), "2");
    EXPECT_EQ(ini.readString("B", "c", "?"), "3");
    EXPECT_EQ(ini.readString("A", "neu", "?"), "x");
    ini.writeString("B", "c", "4"); // in place after the insert
    EXPECT_EQ(ini.toBytes(), "[A]\r\na=1\r\nneu=x\r\n\r\n[B]\r\nb=2\r\nc=4\r\n");
}

TEST(IniFileIndex, newSectionIsFoundAndADuplicateLaterStaysUnread)
{
    IniFile ini = IniFile::fromBytes("[S]\r\nk=1\r\n[s]\r\nk=2\r\nonly=3\r\n");
    EXPECT_FALSE(ini.value("S", "only").has_value());
    EXPECT_FALSE(ini.hasSection("T"));
    ini.writeString("T", "k", "5");
    EXPECT_TRUE(ini.hasSection("t"));
    EXPECT_EQ(ini.readString("T", "K", "?"), "5");
    // A key missing from the first [S] goes into it, not into the later one.
    ini.writeString("s", "only", "9");
    EXPECT_EQ(ini.readString("S", "only", "?"), "9");
    EXPECT_EQ(ini.toBytes(), "[S]\r\nk=1\r\nonly=9\r\n[s]\r\nk=2\r\nonly=3\r\n\r\n[T]\r\nk=5\r\n");
}

TEST(IniFileIndex, copyKeepsItsOwnLinesAfterTheOriginalIsWritten)
{
    IniFile original = IniFile::fromBytes("[S]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(original.readString("S", "b", "?"), "2");
    IniFile copy = original;
    original.writeString("S", "c", "3");
    original.writeString("S", "b", "20");
    EXPECT_EQ(copy.readString("S", "b", "?"), "2");
    EXPECT_FALSE(copy.value("S", "c").has_value());
    EXPECT_EQ(original.readString("S", "b", "?"), "20");
    EXPECT_EQ(original.readString("S", "c", "?"), "3");
}

TEST(IniFileIndex, manyKeysWithTheSameFoldedNameGiveTheFirst)
{
    // Upper and lower case spellings of one name, and names that differ
    // only in an Umlaut's case, must all land on the first line.
    std::string text = "[Horn]\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    text += "HALSFL\xC4"
            "CHE=1\r\nhalsfl\xE4"
            "che=2\r\n";
    IniFile ini = IniFile::fromBytes(text);
    EXPECT_EQ(ini.readString("horn", "Halsfläche", "?"), "1");
    EXPECT_EQ(ini.readString("HORN", "K1999", "?"), "1999");
    EXPECT_EQ(ini.readString("Horn", "k0", "?"), "0");
    EXPECT_FALSE(ini.value("Horn", "k2000").has_value());
}

TEST(IniFileIndex, namesFoldAsciiAndLatin1CapitalsOnly)
{
    using velumo::iniNamesEqual;
    EXPECT_TRUE(iniNamesEqual(" ÄQUIVALENTVOLUMEN ", "äquivalentvolumen"));
    EXPECT_TRUE(iniNamesEqual("ÀÉÎÕÜÞ", "àéîõüþ"));
    // × (U+00D7) and ÷ (U+00F7) are no letter pair; ß has no capital here.
    EXPECT_FALSE(iniNamesEqual("a×b", "a÷b"));
    EXPECT_FALSE(iniNamesEqual("ß", "ÿ"));
    EXPECT_FALSE(iniNamesEqual("Halsfläche", "Halsflache"));
    EXPECT_FALSE(iniNamesEqual("ab", "abc"));
    // A lone lead byte at the end compares as itself.
    EXPECT_TRUE(iniNamesEqual("A\xC3", "a\xC3"));
    EXPECT_FALSE(iniNamesEqual("A\xC3", "aC"));

    IniFile ini = IniFile::fromBytes("[\xC4RGER]\r\n\xDC"
                                     "BER=1\r\n"); // Windows-1252 "[ÄRGER]", "ÜBER=1"
    EXPECT_EQ(ini.readString("ärger", "über", "?"), "1");
    EXPECT_FALSE(ini.value("ärger", "uber").has_value());
}
