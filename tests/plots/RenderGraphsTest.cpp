// Renders every graph window after four synthetic runs. With the environment
// variable VELUMO_RENDER_DIR set, the pictures are written there as PNG files
// for a look by eye, e.g.
//   VELUMO_RENDER_DIR=/tmp/graphs ./velumo_plots_tests --gtest_filter='RenderGraphs.*'

#include <gtest/gtest.h>

#include <QDir>

#include <memory>

#include "GraphSet.h"
#include "ParamWindow.h"
#include "PlotsTestSupport.h"

using namespace velumo;

namespace {

bool containsColour(const QImage& image, const QColor& colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

QString fileName(WindowId kind)
{
    const std::string_view key = windowSpec(kind).fileKey;
    return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())) + QStringLiteral(".png");
}

} // namespace

TEST(RenderGraphs, fourRunsInEveryWindow)
{
    test::guiApp();
    Design design;
    auto results = std::make_unique<ResultSlots>();
    GraphSet graphs;
    const double fc[] = { 40.0, 55.0, 70.0, 90.0 };
    const double level[] = { 96.0, 94.0, 92.0, 90.0 };
    for (int run = 0; run < 4; ++run) {
        test::fillBandPass(results->beginRun(), level[run], fc[run], 2500.0 + 500.0 * run);
        ASSERT_TRUE(graphs.DrawGraphs(design, *results));
        results->advanceCurveSlot();
    }
    const QString dir = qEnvironmentVariable("VELUMO_RENDER_DIR");
    if (!dir.isEmpty())
        QDir().mkpath(dir);
    for (GraphWindow* w : graphs.windows()) {
        SCOPED_TRACE(fileName(w->kind()).toStdString());
        const QImage picture = w->grab().toImage();
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(412, 233));
        for (int s = 0; s < kSlotCount; ++s)
            EXPECT_TRUE(containsColour(picture, SlotColour(s))) << "slot " << s;
        if (!dir.isEmpty()) {
            EXPECT_TRUE(picture.save(QDir(dir).filePath(fileName(w->kind()))));
        }
    }

    TParamForm param;
    param.setLines(QStringList { "Cms = 0.512 mm/N", "Mms = 42.7 g", "Rms = 1.9 kg/s", "Bl = 9.8 Tm",
                       "Qts = 0.37", "Qes = 0.41", "Qms = 4.2" },
        QStringList { "Hornvolumen = 96.2 l", "Portlänge = 12.3 cm", "Gesamtvolumen = 180 l" });
    const QImage paramPicture = param.grab().toImage();
    EXPECT_EQ(paramPicture.deviceIndependentSize().toSize(), QSize(321, 7 * 14 + 15));
    if (!dir.isEmpty()) {
        EXPECT_TRUE(paramPicture.save(QDir(dir).filePath(QStringLiteral("Param.png"))));
    }
}
