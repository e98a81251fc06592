#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "Design.h"
#include "Encoding.h"
#include "IniFile.h"
#include "ProjectState.h"
#include "TestUtil.h"

using velumo::Design;
using velumo::ProjectState;
using velumo::WindowGeometry;
namespace fs = std::filesystem;

namespace {

class RecordingSink : public velumo::CheckSink {
public:
    void message(const velumo::Message& m) override { messages.push_back(m); }
    void focus(std::string_view) override { }
    std::vector<velumo::Message> messages;
};

// A documents, a settings and two project folders inside one temp folder.
class Folders {
public:
    Folders()
    {
        for (const char* sub : { "docs", "settings", "projects", "drivers" })
            fs::create_directories(m_tmp.path() / sub);
    }
    velumo::Directories dirs() const
    {
        return { m_tmp.file("program"), m_tmp.file("docs"), m_tmp.file("settings") };
    }
    std::string path(const std::string& rel) const { return m_tmp.file(rel); }

private:
    velumo::test::TempDir m_tmp;
};

void writeProject(const std::string& path, const std::string& utf8)
{
    velumo::test::writeBytes(path, velumo::utf8ToCp1252(utf8));
}

} // namespace

TEST(ProjectState, startsAsUnsavedNewFile)
{
    Folders f;
    ProjectState s(f.dirs());
    EXPECT_EQ(s.projectPath(), f.path("docs") + "/new.vlm");
    EXPECT_EQ(s.caption(), "Velumo");
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_TRUE(s.saveNeedsDialog());
}

TEST(ProjectState, checkMarksDesignChangedAndKeepsVerdict)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    EXPECT_TRUE(s.runCheck(d, sink));
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_TRUE(s.inputsValid());
    d.setText("EditxT1", "1");
    EXPECT_FALSE(s.runCheck(d, sink));
    EXPECT_FALSE(s.inputsValid());
}

TEST(ProjectState, saveAsNamesTheProjectAndRemembersItsFolder)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    d.setText("EditInfo", "Eckhorn");
    s.setNoUnsavedChanges(false);
    const std::string path = f.path("projects/eck.vlm");
    ASSERT_TRUE(s.saveAs(path, d, WindowGeometry(), sink));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(s.projectPath(), path);
    EXPECT_EQ(s.caption(), "Velumo  " + path);
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_EQ(s.settings().currentFolder(), f.path("projects") + "/");
    EXPECT_EQ(velumo::IniFile::load(path).readString("Horn", "Info", ""), "Eckhorn");
    EXPECT_FALSE(s.saveNeedsDialog());
}

TEST(ProjectState, saveTurnsIntoSaveAsForNewMissingOrReadOnlyFiles)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    const std::string path = f.path("projects/a.vlm");
    ASSERT_TRUE(s.saveAs(path, d, WindowGeometry(), sink));
    EXPECT_FALSE(s.saveNeedsDialog());

    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(s.saveNeedsDialog()); // also when running as a user who could write anyway
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(s.saveNeedsDialog());

    fs::remove(path);
    EXPECT_TRUE(s.saveNeedsDialog());

    // A design saved under the new-file name still counts as new.
    ASSERT_TRUE(s.saveAs(f.path("docs/new.vlm"), d, WindowGeometry(), sink));
    EXPECT_TRUE(s.saveNeedsDialog());
}

TEST(ProjectState, saveWritesTheCurrentDesign)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    const std::string path = f.path("projects/b.vlm");
    ASSERT_TRUE(s.saveAs(path, d, WindowGeometry(), sink));
    d.setText("EditVrk", "55");
    s.setNoUnsavedChanges(false);
    ASSERT_TRUE(s.save(d, WindowGeometry(), sink));
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_EQ(velumo::IniFile::load(path).readString("Horn", "Rückkammervolumen", ""), "55");
}

TEST(ProjectState, openLoadsChecksAndRemembersFolder)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    const std::string path = f.path("projects/horn.vlm");
    writeProject(path,
        "[Lautsprecher]\nGleichstromwiderstand=6\nMembranfläche=300\n"
        "[Horn]\nHornlänge=0.5\nSP=0.8\nfbr=0\n[Plotoptionen]\nSPLTop=-20\nSPLLeft=700\n");
    Design d;
    WindowGeometry g;
    s.open(path, d, g, sink);
    EXPECT_EQ(s.projectPath(), path);
    EXPECT_EQ(s.driverFilePath(), path);
    EXPECT_EQ(s.caption(), "Velumo  " + path);
    EXPECT_EQ(d.text("EditRdc"), "6");
    EXPECT_EQ(d.text("EditAh"), "300");
    EXPECT_EQ(d.text("Editfbr"), "1"); // the check ran after loading
    EXPECT_FALSE(s.inputsValid()); // driver beyond the horn end
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Eingabe PositionTreiber1 nicht erlaubt!");
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_EQ(g.rect(velumo::GeometryWindow::SPL).left, 700);
    EXPECT_EQ(g.rect(velumo::GeometryWindow::SPL).top, 0);
    EXPECT_EQ(s.settings().currentFolder(), f.path("projects") + "/");
}

TEST(ProjectState, driverCommandsLoadTheirDriverAndOnlyDriver2StoresFolder)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    ASSERT_TRUE(s.saveAs(f.path("projects/p.vlm"), d, WindowGeometry(), sink));
    const std::string driver = f.path("drivers/d.vlm");
    writeProject(driver,
        "[Lautsprecher]\nGleichstromwiderstand=3,3\nFreiluftresonanzfrequenz=28\n"
        "[Horn]\nHalsfläche=999\n");

    s.openDriver1(driver, d, sink);
    EXPECT_EQ(s.driverFilePath(), driver);
    EXPECT_EQ(d.text("EditRdc"), "3.3"); // normalised by the check
    EXPECT_EQ(d.text("EditZ1k"), "3.3");
    EXPECT_EQ(d.text("EditAh"), "200"); // only the driver section
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_EQ(s.projectPath(), f.path("projects/p.vlm"));
    EXPECT_EQ(s.settings().currentFolder(), f.path("projects") + "/");

    d.setIndex("RGTreiber2", 0);
    s.openDriver2(driver, d, sink);
    EXPECT_EQ(d.text("EditRdc2"), "3.3");
    EXPECT_EQ(d.text("Editfs2"), "28");
    EXPECT_EQ(d.index("RGTreiber2"), 0);
    EXPECT_EQ(s.settings().currentFolder(), f.path("drivers") + "/");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(ProjectState, newGivesTheDesignTheNewFileName)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    d.setText("EditVas", "77");
    ASSERT_TRUE(s.saveAs(f.path("projects/c.vlm"), d, WindowGeometry(), sink));
    s.newProject();
    EXPECT_EQ(s.projectPath(), f.path("docs") + "/new.vlm");
    EXPECT_EQ(s.caption(), "Velumo  " + f.path("docs") + "/new.vlm");
    EXPECT_TRUE(s.saveNeedsDialog());
    EXPECT_EQ(d.text("EditVas"), "77");
}

TEST(ProjectState, failedSaveAsIsReportedAndKeepsEverything)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    const std::string plain = f.path("projects/plain.txt");
    velumo::test::writeBytes(plain, "keep me");
    s.setNoUnsavedChanges(false);
    const std::string bad = plain + "/x.vlm"; // its folder is a regular file

    EXPECT_FALSE(s.saveAs(bad, d, WindowGeometry(), sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Fehler");
    EXPECT_NE(sink.messages[0].text.find(bad), std::string::npos);
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_EQ(s.projectPath(), f.path("docs") + "/new.vlm");
    EXPECT_EQ(s.caption(), "Velumo");
    EXPECT_EQ(velumo::test::readBytes(plain), "keep me");
    EXPECT_EQ(s.settings().currentFolder(), f.path("docs") + "/");
}

TEST(ProjectState, failedSaveLeavesOldFileAndDesignUnsaved)
{
    Folders f;
    ProjectState s(f.dirs());
    RecordingSink sink;
    Design d;
    const std::string path = f.path("projects/old.vlm");
    ASSERT_TRUE(s.saveAs(path, d, WindowGeometry(), sink));
    const std::string before = velumo::test::readBytes(path);
    d.setText("EditVas", "123");
    s.setNoUnsavedChanges(false);

    if (::geteuid() != 0) {
        // A folder that takes no new files: the replacement cannot be written.
        fs::permissions(f.path("projects"), fs::perms::owner_read | fs::perms::owner_exec);
    } else {
        // Permission bits do not stop root; a folder in place of the file
        // cannot be replaced by any user.
        fs::remove(path);
        fs::create_directory(path);
        velumo::test::writeBytes(path + "/inside", before);
    }
    EXPECT_FALSE(s.save(d, WindowGeometry(), sink));
    fs::permissions(f.path("projects"), fs::perms::owner_all);

    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Fehler");
    EXPECT_FALSE(s.noUnsavedChanges());
    const std::string kept = ::geteuid() != 0 ? path : path + "/inside";
    EXPECT_EQ(velumo::test::readBytes(kept), before);
    for (const auto& entry : fs::directory_iterator(f.path("projects")))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}
