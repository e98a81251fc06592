#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "Directories.h"
#include "MessageRecorder.h"
#include "Settings.h"
#include "TestUtil.h"

using velumo::Environment;
using velumo::test::TempDir;

namespace {

// An environment inside a temp folder; `resolve` records the messages.
class Directories : public ::testing::Test {
protected:
    std::string in(const std::string& rel) const { return (t.path() / rel).string(); }
    velumo::Directories resolve() { return velumo::resolveDirectories(env, sink); }

    TempDir t;
    Environment env;
    velumo::test::MessageRecorder sink;
};

} // namespace

TEST_F(Directories, xdgFoldersAreUsedAndSettingsFolderCreated)
{
    std::filesystem::create_directories(in("home/Dokumente"));
    env.home = in("home");
    env.xdgDocumentsDir = in("home/Dokumente");
    env.executablePath = in("bin/velumo");
    velumo::Directories d = resolve();
    EXPECT_EQ(d.documents, env.xdgDocumentsDir);
    EXPECT_EQ(d.settings, env.home + "/.config/Velumo");
    EXPECT_TRUE(std::filesystem::is_directory(d.settings));
    EXPECT_EQ(d.program, in("bin"));
    EXPECT_EQ(d.newProjectPath(), env.xdgDocumentsDir + "/new.vlm");
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Directories, userDirsFileNamesTheDocumentsFolder)
{
    std::filesystem::create_directories(in("cfg"));
    std::filesystem::create_directories(in("h/Texte"));
    velumo::test::writeBytes(in("cfg/user-dirs.dirs"), "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Texte\"\n");
    env.home = in("h");
    env.xdgConfigHome = in("cfg");
    velumo::Directories d = resolve();
    EXPECT_EQ(d.documents, env.home + "/Texte");
    EXPECT_EQ(d.settings, env.xdgConfigHome + "/Velumo");
}

TEST_F(Directories, fallBackToTheProgramFolder)
{
    env.executablePath = in("velumo"); // no home, no XDG variables
    velumo::Directories d = resolve();
    EXPECT_EQ(d.documents, t.path().string());
    EXPECT_EQ(d.settings, t.path().string());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Directories, uncreatableSettingsFolderRaisesErrorA1AndContinues)
{
    velumo::test::writeBytes(in("cfg"), "a file where the folder should be");
    env.home = t.path().string();
    env.xdgConfigHome = in("cfg");
    velumo::Directories d = resolve();
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Hinweis");
    EXPECT_EQ(sink.messages[0].text, "Error 0xA1");
    EXPECT_EQ(d.settings, env.xdgConfigHome + "/Velumo");
}

TEST(Settings, defaultsAndStoredValues)
{
    TempDir t;
    velumo::Directories dirs { t.path().string(), (t.path() / "docs").string(), t.path().string() };
    velumo::Settings s(dirs);
    EXPECT_EQ(s.currentFolder(), dirs.documents + "/");
    EXPECT_EQ(s.htmlFolder(), dirs.documents + "/");
    EXPECT_TRUE(s.changeColourAfterRun());

    ASSERT_TRUE(s.storeCurrentFolderOf("/data/Designs/bass.vlm"));
    ASSERT_TRUE(s.setChangeColourAfterRun(false));
    EXPECT_EQ(s.currentFolder(), "/data/Designs/");
    EXPECT_FALSE(s.changeColourAfterRun());
    EXPECT_EQ(velumo::test::readBytes(dirs.settingsFile()),
        "[Verzeichnis]\r\nAktuell=/data/Designs/\r\n\r\n[Optionen]\r\nCBFarbeWechseln=0\r\n");
}

TEST(Settings, recentProjectsKeepTheEightNewestFilesThatStillExist)
{
    TempDir t;
    velumo::Directories dirs { t.path().string(), t.path().string(), t.path().string() };
    velumo::Settings s(dirs);
    EXPECT_TRUE(s.recentProjects().empty());
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i) {
        files.push_back(t.file("p" + std::to_string(i) + ".vlm"));
        velumo::test::writeBytes(files.back(), "[Lautsprecher]\r\n");
        ASSERT_TRUE(s.addRecentProject(files.back()));
    }
    ASSERT_TRUE(s.addRecentProject(files[5])); // listed again: moves to the top, no twin
    std::filesystem::remove(files[8]);
    const std::vector<std::string> expected { files[5], files[9], files[7], files[6], files[4], files[3],
        files[2] };
    EXPECT_EQ(s.recentProjects(), expected);

    // The gone file is dropped from the file too; removing keeps the order.
    ASSERT_TRUE(s.addRecentProject(files[0]));
    ASSERT_TRUE(s.removeRecentProject(files[9]));
    const std::vector<std::string> after { files[0], files[5], files[7], files[6], files[4], files[3],
        files[2] };
    EXPECT_EQ(s.recentProjects(), after);
}
