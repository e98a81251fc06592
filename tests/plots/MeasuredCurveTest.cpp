// A measured FRD in the phase graph, which shows Phi_a: drawn negated, and
// not joined across the plot where the phase wraps around.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "GraphDrawing.h"
#include "PlotsTestSupport.h"

using namespace velumo;

namespace {

// The rows of a 400 × 360 phase graph that the curve of these phases (at
// 20 Hz, 200 Hz, ...) touches.
std::vector<int> phaseRows(const std::vector<double>& phase)
{
    MeasuredCurve c;
    c.hasPhase = true;
    for (size_t i = 0; i < phase.size(); ++i) {
        c.frequency.push_back(20.0 * std::pow(10.0, static_cast<double>(i)));
        c.value.push_back(90.0);
        c.phase.push_back(phase[i]);
    }
    AxisLimits limits {};
    limits[kAxisFrequency] = { 10.0, 100000.0 };
    QImage image(400, 360, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintMeasuredCurve(painter, image.size(), WindowId::Phia, c, limits);
    painter.end();
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == measurementColour()) {
                rows.push_back(y);
                break;
            }
    return rows;
}

} // namespace

TEST(MeasuredCurve, phaseGraphShowsTheNegatedPhaseAndBreaksAtTheWrap)
{
    test::guiApp();
    // +90° of the pressure is Phi_a = -90°: three quarters down the plot.
    const std::vector<int> flat = phaseRows({ 90.0, 90.0, 90.0 });
    ASSERT_FALSE(flat.empty());
    EXPECT_GE(flat.front(), mapPhaseY(-90.0, 360) - 1);
    EXPECT_LE(flat.back(), mapPhaseY(-90.0, 360) + 1);

    // 170° then -170°: the line stays near the top and bottom edges instead
    // of crossing the plot; 10° then -10° is joined through the middle.
    const std::vector<int> wrapped = phaseRows({ 170.0, 170.0, -170.0, -170.0 });
    EXPECT_FALSE(wrapped.empty());
    EXPECT_EQ(std::count_if(wrapped.begin(), wrapped.end(),
                  [](int y) { return y > mapPhaseY(150.0, 360) && y < mapPhaseY(-150.0, 360); }),
        0);
    const std::vector<int> small = phaseRows({ 10.0, -10.0 });
    EXPECT_NE(std::find(small.begin(), small.end(), mapPhaseY(0.0, 360)), small.end());
}
