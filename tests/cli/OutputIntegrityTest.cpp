// The lists of velumo-sim: a write that fails or is interrupted never ends
// with exit 0 and never touches the previous lists; runs into one folder
// take turns; a missing folder is made.

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SimRunner.h"
#include "TestUtil.h"

using velumo::test::readBytes;
using velumo::test::TempDir;
using velumo::test::writeBytes;

namespace {

const std::string kProject = std::string(VELUMO_SOURCE_DIR) + "/examples/bass-horn.vlm";
const char* const kLists[] = { "contour.txt", "data.txt", "contour.bak", "data.bak" };

int runInto(const TempDir& dir, std::string* err = nullptr)
{
    std::ostringstream out, e;
    const int status = velumo::runVelumoSim({ kProject, "--out", dir.path().string() }, out, e);
    if (err)
        *err = e.str();
    return status;
}

// The lists of an earlier run; `previous` checks that they are unchanged
// and that nothing else was left in the folder.
void writePrevious(const TempDir& dir)
{
    for (const char* name : kLists)
        writeBytes(dir.file(name), std::string("earlier ") + name + "\r\n");
}

::testing::AssertionResult previousIntact(const TempDir& dir)
{
    for (const char* name : kLists) {
        if (readBytes(dir.file(name)) != std::string("earlier ") + name + "\r\n")
            return ::testing::AssertionFailure() << name << " changed: " << readBytes(dir.file(name));
    }
    const auto files = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    if (files != 4)
        return ::testing::AssertionFailure() << files << " files in the folder";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(OutputIntegrity, aWriteThatFailsGivesExit4NamesTheListAndKeepsThePreviousLists)
{
    TempDir dir;
    writePrevious(dir);
    std::string err;
    int status = 0;
    {
        const velumo::test::FileSizeLimit diskFull(1000);
        status = runInto(dir, &err);
    }
    EXPECT_EQ(status, velumo::kSimWriteFailed);
    EXPECT_NE(err.find("Hinweis: Die Liste " + dir.file("contour.txt")
                  + " konnte nicht geschrieben werden: Die Datei wird zu groß."),
        std::string::npos)
        << err;
    EXPECT_TRUE(previousIntact(dir));

    // Permissions stop every user but root.
    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0555);
        EXPECT_EQ(runInto(dir, &err), velumo::kSimWriteFailed);
        EXPECT_NE(err.find("Keine Schreibberechtigung"), std::string::npos) << err;
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_TRUE(previousIntact(dir));
    }
}

TEST(OutputIntegrity, aRunKilledWhileWritingLeavesThePreviousListsIntact)
{
    TempDir dir;
    writePrevious(dir);
    const std::string out = dir.path().string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The first write beyond 200 bytes kills velumo-sim with SIGXFSZ.
        const rlimit size { 200, 200 }, core { 0, 0 };
        ::setrlimit(RLIMIT_FSIZE, &size);
        ::setrlimit(RLIMIT_CORE, &core);
        ::signal(SIGXFSZ, SIG_DFL);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execl(VELUMO_SIM_EXE, "velumo-sim", kProject.c_str(), "--out", out.c_str(), nullptr);
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    // The temporary list of the killed run may stay; the lists are the old ones.
    for (const char* name : kLists)
        EXPECT_EQ(readBytes(dir.file(name)), std::string("earlier ") + name + "\r\n") << name;
}

TEST(OutputIntegrity, aRunWaitsWhileAnotherWritesListsIntoTheSameFolder)
{
    TempDir dir;
    writePrevious(dir);
    const int other = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    auto run = std::async(std::launch::async, [&] { return runInto(dir); });
    EXPECT_EQ(run.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    EXPECT_TRUE(previousIntact(dir));
    ::close(other);
    EXPECT_EQ(run.get(), velumo::kSimOk);
    EXPECT_EQ(readBytes(dir.file("data.bak")), "earlier data.txt\r\n");
    EXPECT_EQ(readBytes(dir.file("data.txt")).rfind("f\tSPL\t", 0), 0u);
}

TEST(OutputIntegrity, aMissingFolderIsMadeAndAFileInItsPlaceIsRefused)
{
    const TempDir dir;
    std::ostringstream out, err;
    const std::string nested = dir.file("a/b");
    ASSERT_EQ(velumo::runVelumoSim({ kProject, "--out", nested }, out, err), velumo::kSimOk) << err.str();
    EXPECT_FALSE(readBytes(dir.file("a/b/data.txt")).empty());

    writeBytes(dir.file("plain"), "not a folder");
    EXPECT_EQ(velumo::runVelumoSim({ kProject, "--out", dir.file("plain") }, out, err), velumo::kSimUsage);
    EXPECT_NE(err.str().find("ist kein Ordner."), std::string::npos) << err.str();

    // Below a file nothing can be made: a write failure, not success.
    err.str("");
    EXPECT_EQ(velumo::runVelumoSim({ kProject, "--out", dir.file("plain/sub") }, out, err),
        velumo::kSimWriteFailed);
    EXPECT_NE(err.str().find("lässt sich nicht anlegen"), std::string::npos) << err.str();
    EXPECT_EQ(readBytes(dir.file("plain")), "not a folder");
}
