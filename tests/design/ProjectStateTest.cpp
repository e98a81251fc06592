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
using velumo::WindowGeometry;
namespace fs = std::filesystem;

namespace {

class RecordingSink : public velumo::CheckSink {
public:
    void message(const velumo::Message& m) override { messages.push_back(m); }
    void focus(std::string_view) override { }
    std::vector<velumo::Message> messages;
};

// A fresh state whose documents, settings, project and driver folders lie in
// one temp folder, with a default design and a recording sink.
class ProjectState : public ::testing::Test {
protected:
    bool makeFolders()
    {
        for (const char* sub : { "docs", "settings", "projects", "drivers" })
            fs::create_directories(m_tmp.path() / sub);
        return true;
    }
    std::string path(const std::string& rel) const { return m_tmp.file(rel); }
    bool saveAs(const std::string& rel) { return s.saveAs(path(rel), d, WindowGeometry(), sink); }
    void writeProject(const std::string& rel, const std::string& utf8)
    {
        velumo::test::writeBytes(path(rel), velumo::utf8ToCp1252(utf8));
    }

    velumo::test::TempDir m_tmp;
    bool m_folders = makeFolders(); // before the state reads its settings
    velumo::ProjectState s { { m_tmp.file("program"), m_tmp.file("docs"), m_tmp.file("settings") } };
    RecordingSink sink;
    Design d;
};

TEST_F(ProjectState, startsAsUnsavedNewFile)
{
    EXPECT_EQ(s.projectPath(), path("docs") + "/new.vlm");
    EXPECT_EQ(s.caption(), "Velumo");
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_TRUE(s.saveNeedsDialog());
}

TEST_F(ProjectState, checkMarksDesignChangedAndKeepsVerdict)
{
    EXPECT_TRUE(s.runCheck(d, sink));
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_TRUE(s.inputsValid());
    d.setText("EditxT1", "1");
    EXPECT_FALSE(s.runCheck(d, sink));
    EXPECT_FALSE(s.inputsValid());
}

TEST_F(ProjectState, saveAsNamesTheProjectAndSaveWritesIntoIt)
{
    d.setText("EditInfo", "Eckhorn");
    s.setNoUnsavedChanges(false);
    const std::string file = path("projects/eck.vlm");
    ASSERT_TRUE(saveAs("projects/eck.vlm"));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(s.projectPath(), file);
    EXPECT_EQ(s.caption(), "Velumo  " + file);
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_EQ(s.settings().currentFolder(), path("projects") + "/");
    EXPECT_EQ(velumo::IniFile::load(file).readString("Horn", "Info", ""), "Eckhorn");
    EXPECT_FALSE(s.saveNeedsDialog());

    d.setText("EditVrk", "55");
    s.setNoUnsavedChanges(false);
    ASSERT_TRUE(s.save(d, WindowGeometry(), sink));
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_EQ(velumo::IniFile::load(file).readString("Horn", "Rückkammervolumen", ""), "55");
}

TEST_F(ProjectState, saveTurnsIntoSaveAsForNewMissingOrReadOnlyFiles)
{
    const std::string file = path("projects/a.vlm");
    ASSERT_TRUE(saveAs("projects/a.vlm"));
    EXPECT_FALSE(s.saveNeedsDialog());

    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(s.saveNeedsDialog()); // also when running as a user who could write anyway
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(s.saveNeedsDialog());

    fs::remove(file);
    EXPECT_TRUE(s.saveNeedsDialog());

    // A design saved under the new-file name still counts as new.
    ASSERT_TRUE(saveAs("docs/new.vlm"));
    EXPECT_TRUE(s.saveNeedsDialog());
}

TEST_F(ProjectState, openLoadsChecksAndRemembersFolder)
{
    const std::string file = path("projects/horn.vlm");
    writeProject("projects/horn.vlm",
        "[Lautsprecher]\nGleichstromwiderstand=6\nMembranfläche=300\n"
        "[Horn]\nHornlänge=0.5\nSP=0.8\nfbr=0\n[Plotoptionen]\nSPLTop=-20\nSPLLeft=700\n");
    WindowGeometry g;
    s.open(file, d, g, sink);
    EXPECT_EQ(s.projectPath(), file);
    EXPECT_EQ(s.driverFilePath(), file);
    EXPECT_EQ(s.caption(), "Velumo  " + file);
    EXPECT_EQ(d.text("EditRdc"), "6");
    EXPECT_EQ(d.text("EditAh"), "300");
    EXPECT_EQ(d.text("Editfbr"), "1"); // the check ran after loading
    EXPECT_FALSE(s.inputsValid());     // driver beyond the horn end
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Eingabe PositionTreiber1 nicht erlaubt!");
    EXPECT_TRUE(s.noUnsavedChanges());
    EXPECT_EQ(g.rect(velumo::WindowId::Spl).left, 700);
    EXPECT_EQ(g.rect(velumo::WindowId::Spl).top, 0);
    EXPECT_EQ(s.settings().currentFolder(), path("projects") + "/");
}

TEST_F(ProjectState, driverCommandsLoadTheirDriverAndOnlyDriver2StoresFolder)
{
    ASSERT_TRUE(saveAs("projects/p.vlm"));
    const std::string driver = path("drivers/d.vlm");
    writeProject("drivers/d.vlm",
        "[Lautsprecher]\nGleichstromwiderstand=3,3\nFreiluftresonanzfrequenz=28\n"
        "[Horn]\nHalsfläche=999\n");

    s.openDriver1(driver, d, sink);
    EXPECT_EQ(s.driverFilePath(), driver);
    EXPECT_EQ(d.text("EditRdc"), "3.3"); // normalised by the check
    EXPECT_EQ(d.text("EditZ1k"), "3.3");
    EXPECT_EQ(d.text("EditAh"), "200"); // only the driver section
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_EQ(s.projectPath(), path("projects/p.vlm"));
    EXPECT_EQ(s.settings().currentFolder(), path("projects") + "/");

    d.setIndex("RGTreiber2", 0);
    s.openDriver2(driver, d, sink);
    EXPECT_EQ(d.text("EditRdc2"), "3.3");
    EXPECT_EQ(d.text("Editfs2"), "28");
    EXPECT_EQ(d.index("RGTreiber2"), 0);
    EXPECT_EQ(s.settings().currentFolder(), path("drivers") + "/");
    EXPECT_TRUE(sink.messages.empty());
}

// Files that hold no design: they load as all defaults, as before, but the
// user is told, and "Speichern" asks for a name rather than writing into them.
using InputRulesFiles = ProjectState;

TEST_F(InputRulesFiles, openingAFileWithoutADesignSaysSoAndLoadsTheDefaults)
{
    velumo::test::writeBytes(path("projects/noise.vlm"), std::string("\x8F\x03\xA7zq\x00\xFF", 7));
    WindowGeometry g;
    s.open(path("projects/noise.vlm"), d, g, sink);
    ASSERT_FALSE(sink.messages.empty());
    EXPECT_EQ(sink.messages[0].caption, "Hinweis");
    EXPECT_EQ(sink.messages[0].text,
        "Die Datei " + path("projects/noise.vlm")
            + " enthält kein Velumo-Projekt (die Datei ist kein Text in Windows-1252 oder UTF-8).\n"
              "Es werden die Vorgabewerte geladen.");
    EXPECT_EQ(d.text("EditRdc"), "8");
    EXPECT_EQ(s.caption(), "Velumo  " + path("projects/noise.vlm"));
    EXPECT_TRUE(s.saveNeedsDialog());

    sink.messages.clear();
    writeProject("drivers/horn-only.vlm", "[Horn]\nHornlänge=2\n");
    s.openDriver1(path("drivers/horn-only.vlm"), d, sink);
    ASSERT_FALSE(sink.messages.empty());
    EXPECT_EQ(sink.messages[0].text.rfind("Die Datei " + path("drivers/horn-only.vlm")
                      + " enthält keine Treiberdaten (kein bekannter Abschnitt",
                  0),
        0u);
}

TEST_F(InputRulesFiles, aUtf8ProjectGivesTheSameDesignAsItsWindows1252Twin)
{
    velumo::IniFile ini = velumo::IniFile::load(std::string(VELUMO_SOURCE_DIR) + "/examples/bass-horn.vlm");
    ini.writeString("Lautsprecher", "LSInfo", "Hörner für Ärzte, 5 €");
    const std::string cp1252 = ini.toBytes();
    velumo::test::writeBytes(path("projects/cp1252.vlm"), cp1252);
    velumo::test::writeBytes(path("projects/utf8.vlm"), velumo::cp1252ToUtf8(cp1252));
    velumo::test::writeBytes(path("projects/bom.vlm"), "\xEF\xBB\xBF" + velumo::cp1252ToUtf8(cp1252));
    auto designOf = [&](const std::string& file) {
        Design loaded;
        WindowGeometry g;
        s.open(path(file), loaded, g, sink);
        velumo::IniFile saved;
        velumo::saveValues(loaded, g, saved);
        return saved.toBytes();
    };
    const std::string twin = designOf("projects/cp1252.vlm");
    EXPECT_NE(twin.find("Hornl\xE4nge=2.4"), std::string::npos);
    EXPECT_NE(twin.find("LSInfo=H\xF6rner f\xFCr \xC4rzte, 5 \x80"), std::string::npos);
    EXPECT_EQ(designOf("projects/utf8.vlm"), twin);
    EXPECT_EQ(designOf("projects/bom.vlm"), twin);
}

TEST_F(ProjectState, newGivesTheDesignTheNewFileName)
{
    d.setText("EditVas", "77");
    ASSERT_TRUE(saveAs("projects/c.vlm"));
    s.newProject();
    EXPECT_EQ(s.projectPath(), path("docs") + "/new.vlm");
    EXPECT_EQ(s.caption(), "Velumo  " + path("docs") + "/new.vlm");
    EXPECT_TRUE(s.saveNeedsDialog());
    EXPECT_EQ(d.text("EditVas"), "77");
}

TEST_F(ProjectState, failedSaveAsIsReportedAndKeepsEverything)
{
    const std::string plain = path("projects/plain.txt");
    velumo::test::writeBytes(plain, "keep me");
    s.setNoUnsavedChanges(false);
    const std::string bad = plain + "/x.vlm"; // its folder is a regular file

    EXPECT_FALSE(s.saveAs(bad, d, WindowGeometry(), sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Fehler");
    EXPECT_NE(sink.messages[0].text.find(bad), std::string::npos);
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_EQ(s.projectPath(), path("docs") + "/new.vlm");
    EXPECT_EQ(s.caption(), "Velumo");
    EXPECT_EQ(velumo::test::readBytes(plain), "keep me");
    EXPECT_EQ(s.settings().currentFolder(), path("docs") + "/");
}

TEST_F(ProjectState, failedSaveLeavesOldFileAndDesignUnsaved)
{
    const std::string file = path("projects/old.vlm");
    ASSERT_TRUE(saveAs("projects/old.vlm"));
    const std::string before = velumo::test::readBytes(file);
    d.setText("EditVas", "123");
    s.setNoUnsavedChanges(false);

    if (::geteuid() != 0) {
        // A folder that takes no new files: the replacement cannot be written.
        fs::permissions(path("projects"), fs::perms::owner_read | fs::perms::owner_exec);
    } else {
        // Permission bits do not stop root; a folder in place of the file
        // cannot be replaced by any user.
        fs::remove(file);
        fs::create_directory(file);
        velumo::test::writeBytes(file + "/inside", before);
    }
    EXPECT_FALSE(s.save(d, WindowGeometry(), sink));
    fs::permissions(path("projects"), fs::perms::owner_all);

    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Fehler");
    EXPECT_FALSE(s.noUnsavedChanges());
    EXPECT_EQ(velumo::test::readBytes(::geteuid() != 0 ? file : file + "/inside"), before);
    for (const auto& entry : fs::directory_iterator(path("projects")))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

} // namespace
