// The run's text lists: Latin-1 bytes, a temporary file that replaces the
// list only when committed, the back-up sequence.

#include "TextFiles.h"
#include "Encoding.h"
#include "TestUtil.h"

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

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

void commitList(const std::string& path, const std::string& text)
{
    TextFileWriter w;
    ASSERT_TRUE(w.begin(path));
    w.write(text);
    ASSERT_TRUE(w.commit());
}

ino_t inode(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The back-up a list replaces stays as the hidden spare, and the next list
// is written into it: no file is created or deleted once there are three.
TEST(TextFiles, theOlderBackUpBecomesTheSpareTheNextListIsWrittenInto)
{
    test::TempDir dir;
    const std::string list = dir.file("data.txt");
    const std::string spare = dir.file(".data.txt.spare");
    for (const char* run : { "run 1, a longer list\r\n", "run 2\r\n", "run 3\r\n" })
        commitList(list, run);
    EXPECT_EQ(test::readBytes(spare), "run 1, a longer list\r\n");
    const ino_t spareInode = inode(spare);
    commitList(list, "run 4\r\n");
    EXPECT_EQ(test::readBytes(list), "run 4\r\n");
    EXPECT_EQ(inode(list), spareInode);
    EXPECT_EQ(test::readBytes(dir.file("data.bak")), "run 3\r\n");
    EXPECT_EQ(test::readBytes(spare), "run 2\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

// A spare that is a symbolic link or a second name of another file would
// write into that file, and a folder in the back-up's place is the user's:
// neither is touched.
TEST(TextFiles, neitherAFileSharingTheSpareNorAFolderInTheBackUpsPlaceIsTouched)
{
    for (const int kind : { 0, 1, 2 }) {
        test::TempDir dir;
        const std::string other = dir.file("elsewhere.txt");
        test::writeBytes(other, "keep\r\n");
        test::writeBytes(dir.file("data.txt"), "run 1\r\n");
        const std::string spare = dir.file(".data.txt.spare");
        if (kind == 0)
            ASSERT_EQ(::symlink(other.c_str(), spare.c_str()), 0);
        else if (kind == 1)
            ASSERT_EQ(::link(other.c_str(), spare.c_str()), 0);
        else
            std::filesystem::create_directory(dir.file("data.bak"));
        commitList(dir.file("data.txt"), "run 2\r\n");
        EXPECT_EQ(test::readBytes(other), "keep\r\n") << kind;
        EXPECT_EQ(test::readBytes(dir.file("data.txt")), "run 2\r\n");
        if (kind == 2)
            EXPECT_TRUE(std::filesystem::is_directory(dir.file("data.bak")));
        else
            EXPECT_EQ(test::readBytes(dir.file("data.bak")), "run 1\r\n");
    }
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
