#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "DesignTable.h"
#include "IniFile.h"
#include "ProjectFile.h"
#include "Windows.h"

namespace {

using velumo::kWindows;
using velumo::WindowId;

template <size_t N> std::set<WindowId> idsOf(const std::array<WindowId, N>& order)
{
    return { order.begin(), order.end() };
}

TEST(Windows, eachWindowOnceWithItsOwnKeysPictureAndAxisRow)
{
    std::set<std::string_view> keys, pictures, captions;
    std::set<int> rows;
    for (size_t i = 0; i < kWindows.size(); ++i) {
        const velumo::WindowSpec& w = kWindows[i];
        EXPECT_EQ(static_cast<size_t>(w.id), i) << w.fileKey;
        EXPECT_TRUE(keys.insert(w.fileKey).second) << w.fileKey;
        EXPECT_TRUE(pictures.insert(w.picture).second) << w.picture;
        EXPECT_TRUE(captions.insert(w.caption).second) << w.caption;
        EXPECT_TRUE(w.picture.ends_with(".jpg")) << w.picture;
        if (w.axisRow >= 0) {
            EXPECT_TRUE(rows.insert(w.axisRow).second) << w.fileKey;
            EXPECT_LT(w.axisRow, velumo::kAxisFrequency) << w.fileKey;
        }
    }
    // Every graph window but the fixed phase axis has a row of its own.
    for (WindowId g : velumo::kGraphWindows)
        EXPECT_EQ(velumo::axisRow(g) < 0, g == WindowId::Phia) << velumo::windowSpec(g).fileKey;
    EXPECT_EQ(idsOf(velumo::kGraphWindows).size(), velumo::kGraphWindows.size());
}

TEST(Windows, projectFileOrdersHoldEveryWindowOnce)
{
    EXPECT_EQ(idsOf(velumo::kGeometryFileOrder).size(), kWindows.size());
    EXPECT_EQ(idsOf(velumo::kGeometryLoadOrder).size(), kWindows.size());
    std::set<WindowId> stated = idsOf(velumo::kGeometryStateOrder);
    EXPECT_EQ(stated.size(), velumo::kGeometryStateOrder.size());
    EXPECT_FALSE(stated.contains(WindowId::Param)); // it stores no state
    EXPECT_EQ(stated.size() + 1, kWindows.size());
}

TEST(Windows, geometryKeysRoundTripThroughTheProjectFile)
{
    velumo::WindowGeometry g;
    for (const velumo::WindowSpec& w : kWindows) {
        const int i = static_cast<int>(w.id);
        g.rect(w.id) = { 7 * i + 1, 11 * i + 2, 200 + i, 300 + i };
        g.state(w.id) = w.id == WindowId::Param ? velumo::kStateNormal : i % 3;
    }
    velumo::IniFile ini;
    velumo::saveValues(velumo::Design(), g, ini);
    velumo::WindowGeometry read;
    velumo::loadWindowGeometry(ini, read);
    for (const velumo::WindowSpec& w : kWindows) {
        EXPECT_EQ(read.rect(w.id), g.rect(w.id)) << w.fileKey;
        EXPECT_EQ(read.state(w.id), g.state(w.id)) << w.fileKey;
    }
    // A file without geometry opens every window where the table says.
    velumo::WindowGeometry defaults;
    velumo::loadWindowGeometry(velumo::IniFile(), defaults);
    for (const velumo::WindowSpec& w : kWindows) {
        EXPECT_EQ(defaults.rect(w.id), (velumo::WindowRect { w.left, w.top, w.height, w.width }))
            << w.fileKey;
        EXPECT_EQ(defaults.state(w.id) == velumo::kStateMinimised, w.minimised) << w.fileKey;
    }
}

} // namespace
