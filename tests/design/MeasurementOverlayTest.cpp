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

namespace {

struct Quiet : velumo::CheckSink {
    void message(const velumo::Message&) override { }
    void focus(std::string_view) override { }
};

// The section "[Messung]" of a saved file up to the next section.
std::string measurementSection(const std::string& path)
{
    const std::string bytes = velumo::test::readBytes(path);
    const size_t at = bytes.find("[Messung]");
    return at == std::string::npos ? std::string() : bytes.substr(at, bytes.find("\r\n[", at) + 2 - at);
}

// A file without measurement gets no section; paths saved and opened again
// stay, a removed one reads as none, and a key of another program stays.
TEST(MeasurementOverlay, projectFileKeepsThePathsAndTheKeysOfOtherPrograms)
{
    velumo::test::TempDir tmp;
    for (const char* sub : { "docs", "settings" })
        std::filesystem::create_directories(tmp.path() / sub);
    velumo::Design d;
    velumo::WindowGeometry g;
    Quiet quiet;
    velumo::ProjectState s({ tmp.file("program"), tmp.file("docs"), tmp.file("settings") });
    ASSERT_TRUE(s.saveAs(tmp.file("plain.vlm"), d, g, quiet));
    EXPECT_EQ(measurementSection(tmp.file("plain.vlm")), "");

    const std::string file = tmp.file("box.vlm");
    velumo::test::writeBytes(file, "[Horn]\r\nHornl\xE4nge=1\r\n[Messung]\r\nFarbe=grau\r\n");
    s.open(file, d, g, quiet);
    EXPECT_EQ(s.measurements(), MeasurementPaths {});
    s.setMeasurementPath(MeasurementKind::Frd, "/m/front.frd");
    EXPECT_FALSE(s.noUnsavedChanges());
    ASSERT_TRUE(s.save(d, g, quiet));
    EXPECT_EQ(measurementSection(file), "[Messung]\r\nFarbe=grau\r\nFRD=/m/front.frd\r\n\r\n");

    velumo::ProjectState again({ tmp.file("program"), tmp.file("docs"), tmp.file("settings") });
    again.open(file, d, g, quiet);
    EXPECT_EQ(again.measurements(), (MeasurementPaths { "/m/front.frd", "" }));
    again.setMeasurementPath(MeasurementKind::Frd, "");
    again.setMeasurementPath(MeasurementKind::Zma, "imp.zma");
    ASSERT_TRUE(again.save(d, g, quiet));
    EXPECT_EQ(measurementSection(file), "[Messung]\r\nFarbe=grau\r\nFRD=\r\nZMA=imp.zma\r\n\r\n");
    s.open(file, d, g, quiet);
    EXPECT_EQ(s.measurements(), (MeasurementPaths { "", "imp.zma" }));
}

TEST(MeasurementOverlay, kindByNameAndPathsRelativeToTheProject)
{
    EXPECT_EQ(velumo::measurementKindOfName("/a/B.FRD"), MeasurementKind::Frd);
    EXPECT_EQ(velumo::measurementKindOfName("/a/z.Zma"), MeasurementKind::Zma);
    for (const char* other : { "/a/frd", "/a.zma/b.txt", "x.frdx" })
        EXPECT_FALSE(velumo::measurementKindOfName(other).has_value()) << other;
    EXPECT_EQ(velumo::resolveMeasurementPath("../a.frd", "/p/q/box.vlm"), "/p/a.frd");
    EXPECT_EQ(velumo::resolveMeasurementPath("/abs/a.frd", "/p/box.vlm"), "/abs/a.frd");
}

} // namespace
