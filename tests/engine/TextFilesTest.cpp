// The run's text lists: back-up sequence, Latin-1 bytes, unbuffered writes,
// and writes without effect when the file cannot be created.

#include "TextFiles.h"
#include "TestUtil.h"

#include <filesystem>

namespace velumo {
namespace {

TEST(TextFiles, latin1EncodingOfUtf8Text)
{
    EXPECT_EQ(latin1FromUtf8("x [m]"), "x [m]");
    EXPECT_EQ(latin1FromUtf8("cm² [°] Rückkammer ÿ"),
        "cm\xB2 [\xB0] R\xFC"
        "ckkammer \xFF");
    // Unencodable and invalid text becomes question marks.
    EXPECT_EQ(latin1FromUtf8("5 €"), "5 ?");
    EXPECT_EQ(latin1FromUtf8("a\xFF"
                             "b"),
        "a?b");
    EXPECT_EQ(latin1FromUtf8("\xC3"), "?");           // truncated sequence
    EXPECT_EQ(latin1FromUtf8("\xC3x"), "?x");         // missing continuation byte
    EXPECT_EQ(latin1FromUtf8("\xE0\x82\xB0"), "???"); // overlong form of "°"
    EXPECT_EQ(latin1FromUtf8("\xF0\x9F\x98\x80!"), "?!");
}

TEST(TextFiles, previousListBecomesTheBackup)
{
    test::TempDir dir;
    TextFileWriter w;
    EXPECT_TRUE(w.recreateWithBackup(dir.file("data.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("data.bak")));
    w.write("run 1\r\n");
    test::writeBytes(dir.file("data.bak"), "older\r\n");
    EXPECT_TRUE(w.recreateWithBackup(dir.file("data.txt")));
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(test::readBytes(dir.file("data.bak")), "run 1\r\n");
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "");
}

TEST(TextFiles, eachWriteIsOnDiskAtOnceAndNothingAfterClose)
{
    test::TempDir dir;
    TextFileWriter w;
    ASSERT_TRUE(w.recreateWithBackup(dir.file("data.txt")));
    w.write("10.00\t");
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "10.00\t");
    w.write("[°]\r\n");
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "10.00\t[\xB0]\r\n");
    TextFileWriter moved(std::move(w));
    moved.write("x");
    moved.close();
    moved.write("y");
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "10.00\t[\xB0]\r\nx");
}

TEST(TextFiles, writesWithoutEffectWhenTheFileCannotBeCreated)
{
    test::TempDir dir;
    TextFileWriter w;
    EXPECT_FALSE(w.recreateWithBackup(dir.file("missing-folder/data.txt")));
    EXPECT_FALSE(w.isOpen());
    w.write("row\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing-folder")));
}

} // namespace
} // namespace velumo
