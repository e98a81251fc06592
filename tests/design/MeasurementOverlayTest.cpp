// The measurement paths of a project: what save and open keep, and which
// files name a frequency response or an impedance.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Design.h"
#include "MeasurementOverlay.h"
#include "ProjectState.h"
#include "TestUtil.h"

using velumo::MeasurementKind;
using velumo::MeasurementPaths;
using velumo::WindowGeometry;
namespace fs = std::filesystem;

namespace {

struct Quiet : velumo::CheckSink {
    void message(const velumo::Message&) override { }
    void focus(std::string_view) override { }
};

class MeasurementPathsInProject : public ::testing::Test {
protected:
    bool makeFolders()
    {
        for (const char* sub : { "docs", "settings", "p" })
            fs::create_directories(tmp.path() / sub);
        return true;
    }
    velumo::ProjectState fresh()
    {
        return velumo::ProjectState({ tmp.file("program"), tmp.file("docs"), tmp.file("settings") });
    }
    std::string section(const std::string& path) const
    {
        const std::string bytes = velumo::test::readBytes(path);
        const size_t at = bytes.find("[Messung]");
        if (at == std::string::npos)
            return std::string();
        const size_t next = bytes.find("\r\n[", at);
        return bytes.substr(at, next == std::string::npos ? std::string::npos : next + 2 - at);
    }

    velumo::test::TempDir tmp;
    bool folders = makeFolders();
    velumo::Design d;
    Quiet quiet;
};

TEST_F(MeasurementPathsInProject, saveAndOpenKeepThePathsAndTheKeysOfOtherPrograms)
{
    const std::string file = tmp.file("p/box.vlm");
    // Written by another program: a key of its own in the section, and an older file's content.
    velumo::test::writeBytes(file, "[Horn]\r\nHornl\xE4nge=1\r\n[Messung]\r\nFarbe=grau\r\n");
    velumo::ProjectState s = fresh();
    WindowGeometry g;
    s.open(file, d, g, quiet);
    EXPECT_EQ(s.measurements(), MeasurementPaths {});
    s.setMeasurementPath(MeasurementKind::Frd, "/m/front.frd");
    EXPECT_FALSE(s.noUnsavedChanges());
    ASSERT_TRUE(s.save(d, g, quiet));
    EXPECT_EQ(section(file), "[Messung]\r\nFarbe=grau\r\nFRD=/m/front.frd\r\n\r\n");

    velumo::ProjectState again = fresh();
    again.open(file, d, g, quiet);
    EXPECT_EQ(again.measurements().frd, "/m/front.frd");
    EXPECT_EQ(again.measurements().zma, "");

    // Removed: the key stays, empty, and reads as none.
    again.setMeasurementPath(MeasurementKind::Frd, "");
    again.setMeasurementPath(MeasurementKind::Zma, "imp.zma");
    ASSERT_TRUE(again.save(d, g, quiet));
    EXPECT_EQ(section(file), "[Messung]\r\nFarbe=grau\r\nFRD=\r\nZMA=imp.zma\r\n\r\n");
    velumo::ProjectState third = fresh();
    third.open(file, d, g, quiet);
    EXPECT_EQ(third.measurements(), (MeasurementPaths { "", "imp.zma" }));
}

TEST_F(MeasurementPathsInProject, aProjectWithoutMeasurementGetsNoSection)
{
    velumo::ProjectState s = fresh();
    ASSERT_TRUE(s.saveAs(tmp.file("p/plain.vlm"), d, WindowGeometry(), quiet));
    EXPECT_EQ(section(tmp.file("p/plain.vlm")), "");
}

TEST(MeasurementOverlay, kindByNameAndPathsRelativeToTheProject)
{
    EXPECT_EQ(velumo::measurementKindOfName("/a/b.frd"), MeasurementKind::Frd);
    EXPECT_EQ(velumo::measurementKindOfName("B.FRD"), MeasurementKind::Frd);
    EXPECT_EQ(velumo::measurementKindOfName("/a/z.Zma"), MeasurementKind::Zma);
    for (const char* other : { "/a/frd", "/a/b.txt", "/a.zma/b", "", "x.frdx" })
        EXPECT_FALSE(velumo::measurementKindOfName(other).has_value()) << other;

    EXPECT_EQ(velumo::resolveMeasurementPath("m/a.frd", "/p/box.vlm"), "/p/m/a.frd");
    EXPECT_EQ(velumo::resolveMeasurementPath("../a.frd", "/p/q/box.vlm"), "/p/a.frd");
    EXPECT_EQ(velumo::resolveMeasurementPath("/abs/a.frd", "/p/box.vlm"), "/abs/a.frd");
    EXPECT_EQ(velumo::resolveMeasurementPath("", "/p/box.vlm"), "");
}

} // namespace
