// The run's text lists: Latin-1 bytes, a temporary file that replaces the
// list only when committed, the back-up sequence.

#include "TextFiles.h"
#include "Encoding.h"
#include "TestUtil.h"

#include <cerrno>
#include <filesystem>
#include <iterator>

namespace velumo {
namespace {

TEST(TextFiles, listsAreWrittenAsLatin1)
{
    EXPECT_EQ(utf8ToLatin1("x [m]"), "x [m]");
    EXPECT_EQ(utf8ToLatin1("cm² [°] Rückkammer ÿ"),
        "cm\xB2 [\xB0] R\xFC"
        "ckkammer \xFF");
    // Unencodable and invalid text becomes question marks.
    EXPECT_EQ(utf8ToLatin1("5 €"), "5 ?");
    EXPECT_EQ(utf8ToLatin1("a\xFF"
                           "b"),
        "a?b");
    EXPECT_EQ(utf8ToLatin1("\xC3"), "?");           // truncated sequence
    EXPECT_EQ(utf8ToLatin1("\xC3x"), "?x");         // missing continuation byte
    EXPECT_EQ(utf8ToLatin1("\xE0\x82\xB0"), "???"); // overlong form of "°"
    EXPECT_EQ(utf8ToLatin1("\xF0\x9F\x98\x80!"), "?!");
}

TEST(TextFiles, previousListBecomesTheBackupWhenTheNewOneIsInPlace)
{
    test::TempDir dir;
    test::writeBytes(dir.file("data.txt"), "run 1\r\n");
    test::writeBytes(dir.file("data.bak"), "older\r\n");
    TextFileWriter w;
    ASSERT_TRUE(w.begin(dir.file("data.txt")));
    w.write("[°]\r\n");
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "run 1\r\n");
    EXPECT_EQ(test::readBytes(dir.file("data.bak")), "older\r\n");
    EXPECT_TRUE(w.commit());
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "[\xB0]\r\n");
    EXPECT_EQ(test::readBytes(dir.file("data.bak")), "run 1\r\n");
}

TEST(TextFiles, aListThatIsNotCommittedLeavesNoTrace)
{
    test::TempDir dir;
    test::writeBytes(dir.file("data.txt"), "run 1\r\n");
    {
        TextFileWriter w;
        ASSERT_TRUE(w.begin(dir.file("data.txt")));
        w.write("row\r\n");
    }
    EXPECT_EQ(test::readBytes(dir.file("data.txt")), "run 1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(TextFiles, aListThatCannotBeCreatedReportsWhy)
{
    test::TempDir dir;
    TextFileWriter w;
    EXPECT_FALSE(w.begin(dir.file("missing-folder/data.txt")));
    w.write("row\r\n");
    EXPECT_FALSE(w.commit());
    EXPECT_EQ(w.error(), ENOENT);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing-folder")));
}

} // namespace
} // namespace velumo
