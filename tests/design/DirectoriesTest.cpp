#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "Directories.h"
#include "Settings.h"
#include "MessageRecorder.h"
#include "TestUtil.h"

using velumo::Environment;
using velumo::Message;
using velumo::test::TempDir;

using RecordingSink = velumo::test::MessageRecorder;

TEST(Directories, xdgFoldersAreUsedAndSettingsFolderCreated)
{
    TempDir t;
    std::filesystem::create_directories(t.path() / "home/Dokumente");
    Environment env;
    env.home = (t.path() / "home").string();
    env.xdgDocumentsDir = (t.path() / "home/Dokumente").string();
    env.executablePath = (t.path() / "bin/velumo").string();
    RecordingSink sink;
    velumo::Directories d = velumo::resolveDirectories(env, sink);
    EXPECT_EQ(d.documents, env.xdgDocumentsDir);
    EXPECT_EQ(d.settings, env.home + "/.config/Velumo");
    EXPECT_TRUE(std::filesystem::is_directory(d.settings));
    EXPECT_EQ(d.program, (t.path() / "bin").string());
    EXPECT_EQ(d.newProjectPath(), env.xdgDocumentsDir + "/new.vlm");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(Directories, userDirsFileNamesTheDocumentsFolder)
{
    TempDir t;
    std::filesystem::create_directories(t.path() / "cfg");
    std::filesystem::create_directories(t.path() / "h/Texte");
    velumo::test::writeBytes((t.path() / "cfg/user-dirs.dirs").string(),
                             "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Texte\"\n");
    Environment env;
    env.home = (t.path() / "h").string();
    env.xdgConfigHome = (t.path() / "cfg").string();
    RecordingSink sink;
    velumo::Directories d = velumo::resolveDirectories(env, sink);
    EXPECT_EQ(d.documents, env.home + "/Texte");
    EXPECT_EQ(d.settings, env.xdgConfigHome + "/Velumo");
}

TEST(Directories, fallBackToTheProgramFolder)
{
    TempDir t;
    Environment env; // no home, no XDG variables
    env.executablePath = (t.path() / "velumo").string();
    RecordingSink sink;
    velumo::Directories d = velumo::resolveDirectories(env, sink);
    EXPECT_EQ(d.documents, t.path().string());
    EXPECT_EQ(d.settings, t.path().string());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(Directories, uncreatableSettingsFolderRaisesErrorA1AndContinues)
{
    TempDir t;
    velumo::test::writeBytes((t.path() / "cfg").string(), "a file where the folder should be");
    Environment env;
    env.home = t.path().string();
    env.xdgConfigHome = (t.path() / "cfg").string();
    RecordingSink sink;
    velumo::Directories d = velumo::resolveDirectories(env, sink);
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
