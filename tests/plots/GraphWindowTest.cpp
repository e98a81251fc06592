#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

#include "GraphDrawing.h"
#include "GraphSet.h"
#include "PlotsTestSupport.h"

using namespace velumo;

namespace {

const QColor kGrey(160, 160, 160);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

QColor pixel(GraphWindow& w, int x, int y) { return w.plotView()->image().pixelColor(x, y); }

struct Px {
    int x, y;
    QColor colour;
};

void expectPixels(GraphWindow& w, std::initializer_list<Px> expected)
{
    for (const Px& p : expected)
        EXPECT_EQ(pixel(w, p.x, p.y), p.colour)
            << w.windowTitle().toStdString() << " at " << p.x << "," << p.y;
}

int countRow(GraphWindow& w, int y, const QColor& colour)
{
    int n = 0;
    for (int x = 1; x <= 347; ++x)
        n += pixel(w, x, y) == colour ? 1 : 0;
    return n;
}

int countColour(GraphWindow& w, const QColor& colour)
{
    const QImage& image = w.plotView()->image();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

void flat93(ResultSlot& s) { test::fillFlat(s, 93.0, 12.0); }

class GraphWindows : public ::testing::Test {
protected:
    // A run as the simulation does it: fill slot CurveSlot, draw, advance.
    template <typename Fill> bool run(Fill fill)
    {
        fill(results->beginRun());
        const bool ok = graphs.DrawGraphs(design, *results);
        results->advanceCurveSlot();
        return ok;
    }

    QApplication& app = test::guiApp();
    Design design;
    std::unique_ptr<ResultSlots> results = std::make_unique<ResultSlots>();
    GraphSet graphs;
};

} // namespace

TEST_F(GraphWindows, gridHasGreyFrameDecadeLineAndDivisions)
{
    graphs.NewGrids();
    ASSERT_EQ(graphs.spl().plotView()->image().size(), QSize(349, 175));
    // Frame; 1 kHz at trunc(349 · 2 / log10(2000)) = 211; ten divisions: a
    // line at 175 · 1 div 10 = 17, none at 21.
    expectPixels(graphs.spl(),
        { { 0, 100, kGrey }, { 348, 100, kGrey }, { 100, 0, kGrey }, { 100, 174, kGrey }, { 211, 100, kGrey },
            { 212, 100, kWhite }, { 210, 100, kWhite }, { 120, 17, kGrey }, { 120, 21, kWhite } });
    // The phase graph has eight: 175 · i div 8 = 21, 43, 65, ...
    expectPixels(graphs.phia(), { { 120, 21, kGrey }, { 120, 65, kGrey }, { 120, 17, kWhite } });
    EXPECT_EQ(graphs.phia().valueLabelCount(), 5);
}

TEST_F(GraphWindows, firstRunDrawsBlackSecondRunRed)
{
    ASSERT_TRUE(run(flat93));
    GraphWindow& spl = graphs.spl();
    // Axis 60..110 dB: 93 dB at trunc(175 · 17 / 50) = 59.
    EXPECT_EQ(spl.valueLabel(0)->text(), "60");
    EXPECT_EQ(spl.valueLabel(5)->text(), "110");
    expectPixels(spl, { { 230, 59, kBlack }, { 230, 58, kWhite }, { 0, 100, kGrey } });
    ASSERT_TRUE(run([](ResultSlot& s) { test::fillFlat(s, 77.0, 12.0); }));
    // Same axis; 77 dB at trunc(175 · 33 / 50) = 115.
    expectPixels(spl, { { 230, 115, kRed }, { 230, 59, kBlack }, { 211, 100, kGrey } });
}

TEST_F(GraphWindows, slotZeroLiesOnTop)
{
    ASSERT_TRUE(run(flat93));
    ASSERT_TRUE(run(flat93));
    EXPECT_EQ(pixel(graphs.spl(), 230, 59), kBlack);
}

TEST_F(GraphWindows, everyGraphShowsTheCurve)
{
    ASSERT_TRUE(run([](ResultSlot& s) { test::fillBandPass(s, 95.0, 60.0, 3000.0); }));
    for (GraphWindow* w : graphs.windows()) {
        SCOPED_TRACE(w->windowTitle().toStdString());
        EXPECT_EQ(pixel(*w, 0, 50), kGrey);
        EXPECT_GT(countColour(*w, kBlack), 100);
    }
}

TEST_F(GraphWindows, curveEndsAtTheUpperLimit)
{
    ASSERT_TRUE(run([](ResultSlot& s) {
        flat93(s);
        s.upperLimit = 998.7;
    }));
    // Points lie 2000^(1/99) apart; the last one not above 998.7 Hz maps to
    // trunc(349 · log10(f / 10) / log10(2000)) = 208, short of the 1 kHz line.
    expectPixels(graphs.spl(), { { 205, 59, kBlack }, { 214, 59, kWhite } });
}

TEST_F(GraphWindows, normalisedImaginaryPartIsDashed)
{
    ASSERT_TRUE(run([](ResultSlot& s) {
        flat93(s);
        s.zReal.fill(0.27);
        s.zImag.fill(-0.35);
    }));
    GraphWindow& znorm = graphs.znorm();
    // Axis: 1.5 · NiceCeiling(0.35) = 0.6, minimum −0.4. Real part at
    // trunc(175 · 0.33) = 57, imaginary part at trunc(175 · 0.95) = 166.
    EXPECT_EQ(znorm.valueLabel(0)->text(), "-0.4");
    EXPECT_EQ(znorm.valueLabel(5)->text(), "0.6");
    EXPECT_GT(countRow(znorm, 57, kBlack), 340);
    const int dashed = countRow(znorm, 166, kBlack);
    EXPECT_GT(dashed, 100);
    EXPECT_LT(dashed, 250);
}

TEST_F(GraphWindows, driverTwoSwitchesCurveAndCaption)
{
    EXPECT_EQ(graphs.ausl().windowTitle(), "Membranamplitude [mm]");
    EXPECT_EQ(graphs.pmax().windowTitle(), "Pmax [W]");
    graphs.DrawGraphs(design, *results);
    EXPECT_EQ(graphs.ausl().windowTitle(), "Membranamplitude [mm]"); // no slot filled: the captions stay

    design.setChecked("CBAmplTreiber2", true);
    ASSERT_TRUE(run(flat93));
    EXPECT_EQ(graphs.ausl().windowTitle(), "Membranamplitude2 [mm]");
    EXPECT_EQ(graphs.pmax().windowTitle(), "Pmax1 [W]");
    // Axis 0..2 mm from driver 1; driver 2's 1 mm at trunc(175 · 0.5) = 87.
    EXPECT_EQ(pixel(graphs.ausl(), 230, 87), kBlack);
    // Pmax of driver 1, 50 W on 0..50 W, runs along the top edge.
    EXPECT_EQ(pixel(graphs.pmax(), 230, 0), kBlack);

    design.setChecked("CBAmplTreiber2", false);
    graphs.DrawGraphs(design, *results);
    EXPECT_EQ(graphs.ausl().windowTitle(), "Membranamplitude1 [mm]");
    EXPECT_EQ(pixel(graphs.ausl(), 230, 87), kGrey);
}

TEST_F(GraphWindows, penWidthComesFromOptionGridAndMustBeAnInteger)
{
    design.optionCell(1, 2) = "1.5";
    EXPECT_FALSE(run(flat93)); // only the grid is drawn
    EXPECT_EQ(pixel(graphs.spl(), 0, 100), kGrey);
    EXPECT_EQ(countColour(graphs.spl(), kBlack), 0);

    design.optionCell(1, 2) = "3";
    results->setCurveSlot(0);
    ASSERT_TRUE(run(flat93));
    expectPixels(graphs.spl(), { { 230, 58, kBlack }, { 230, 60, kBlack } });
}

TEST_F(GraphWindows, progressRunsToHundredAndBack)
{
    std::vector<int> steps;
    graphs.setProgress([&](int p) { steps.push_back(p); });
    graphs.DrawGraphs(design, *results);
    EXPECT_EQ(steps, (std::vector<int> { 100, 0 }));
}

TEST_F(GraphWindows, clearingLeavesOnlyGrids)
{
    ASSERT_TRUE(run(flat93));
    results->setCurveSlot(0);
    graphs.NewGrids();
    results->ClearValues();
    EXPECT_FALSE(results->anyFilled());
    EXPECT_EQ(countColour(graphs.spl(), kBlack), 0);
    EXPECT_EQ(pixel(graphs.spl(), 211, 100), kGrey);
}

TEST_F(GraphWindows, initialCaptionsAndLabels)
{
    const std::pair<GraphWindow*, const char*> titles[] = { { &graphs.spl(), "SPL [dB]" },
        { &graphs.zel(), "El. Impedanz [Ohm]" }, { &graphs.splMax(), "SPLmax [dB]" },
        { &graphs.znorm(), "Akustische Impedanz der Membran" }, { &graphs.phia(), "Akustische Phase [°]" } };
    for (const auto& [w, title] : titles)
        EXPECT_EQ(w->windowTitle(), title);
    EXPECT_EQ(graphs.spl().valueLabel(0)->text(), "60");
    EXPECT_EQ(graphs.spl().valueLabel(5)->text(), "110");
    EXPECT_EQ(graphs.phia().valueLabel(0)->text(), "-180");
    EXPECT_EQ(graphs.phia().valueLabel(4)->text(), "180");
    EXPECT_EQ(graphs.spl().axisCaption()->text(), "Frequenz [Hz]");
    // Label1 centred on the bottom edge (185), Label6 on the top edge (10).
    EXPECT_EQ(graphs.spl().valueLabel(0)->y(), 179);
    EXPECT_EQ(graphs.spl().valueLabel(5)->y(), 4);
    EXPECT_EQ(graphs.phia().valueLabel(2)->y(), 91);
    EXPECT_TRUE(graphs.phia().placement().minimised);
    EXPECT_FALSE(graphs.spl().placement().minimised);
}

TEST_F(GraphWindows, resizeNeverGoesBelowTheMinimumOuterSize)
{
    // Snapping to twenty is the result windows' own resize; see SkizzeWindow.
    TSPLForm& spl = graphs.spl();
    spl.show();
    test::settle();
    test::setOuterSize(spl, QSize(250, 150));
    EXPECT_EQ(spl.frameGeometry().size(), QSize(300, 200));
}

TEST_F(GraphWindows, resizeBeforeAnyRunOnlyChangesTheSize)
{
    int redraws = 0;
    graphs.setRedrawHooks([&] { return results->anyFilled(); }, [&] { ++redraws; });
    TSPLForm& spl = graphs.spl();
    spl.show();
    test::settle();
    const int label2Top = spl.valueLabel(1)->y();
    test::setOuterSize(spl, QSize(520, 300));
    EXPECT_EQ(redraws, 0);
    EXPECT_TRUE(spl.plotView()->image().isNull());
    EXPECT_EQ(spl.valueLabel(1)->y(), label2Top);
    // Label1 keeps its distance of 233 − 179 = 54 to the bottom.
    EXPECT_EQ(spl.valueLabel(0)->y(), spl.height() - 54);
}

TEST_F(GraphWindows, resizeAfterRunRedrawsAllAndPlacesLabels)
{
    int redraws = 0;
    graphs.setRedrawHooks([&] { return results->anyFilled(); },
        [&] {
            ++redraws;
            graphs.DrawGraphs(design, *results);
        });
    ASSERT_TRUE(run(flat93));
    TSPLForm& spl = graphs.spl();
    spl.show();
    test::settle();
    redraws = 0;
    test::setOuterSize(spl, QSize(520, 300));
    EXPECT_GE(redraws, 1);
    ASSERT_EQ(spl.frameGeometry().size(), QSize(520, 300));
    // Plot keeps its margins of 48 + 15 across and 10 + 48 down.
    const int w = spl.width() - 63, h = spl.height() - 58;
    EXPECT_EQ(spl.plotView()->image().size(), QSize(w, h));
    // 93 dB on 60..110 at trunc(H · 17 / 50).
    EXPECT_EQ(pixel(spl, 300, static_cast<int>(h * 17 / 50.0)), kBlack);
    EXPECT_GT(countColour(graphs.zel(), kBlack), 100); // the other windows were redrawn as well
    // Label k at trunc(T − H · 0.2 · (k − 1)), T the top of Label1.
    const int t = spl.height() - 54;
    EXPECT_EQ(spl.valueLabel(0)->y(), t);
    EXPECT_EQ(spl.valueLabel(1)->y(), static_cast<int>(t - h * 0.2));
    EXPECT_EQ(spl.valueLabel(5)->y(), t - h);
    EXPECT_EQ(spl.axisStrip()->geometry(), QRect(40, spl.height() - 37, spl.width() - 38, 13));
    EXPECT_EQ(spl.axisCaption()->y(), spl.height() - 21);
}

TEST_F(GraphWindows, valueLabelsSitOnTheirGridLinesAfterAResizeBeforeTheRun)
{
    // As opening a project does: the sizes change while no results exist,
    // the run draws afterwards.
    graphs.setRedrawHooks([&] { return results->anyFilled(); }, [&] { graphs.DrawGraphs(design, *results); });
    int step = 0;
    for (GraphWindow* w : graphs.windows()) {
        w->show();
        test::settle();
        test::setOuterSize(*w, step++ % 2 ? QSize(420, 300) : QSize(360, 220));
    }
    ASSERT_TRUE(run(flat93));
    for (GraphWindow* w : graphs.windows()) {
        const QRect plot = w->plotView()->geometry();
        const int last = w->valueLabelCount() - 1;
        for (int k = 0; k <= last; ++k) {
            const QLabel* label = w->valueLabel(k);
            const double centre = label->y() + label->height() / 2.0;
            EXPECT_NEAR(centre, plot.y() + plot.height() * (1.0 - double(k) / last), 1.5)
                << w->windowTitle().toStdString() << " label " << k;
        }
    }
}

TEST_F(GraphWindows, closingOnlyMinimises)
{
    // The close handling of every result window (Sonstiges, Prinzipskizze too).
    TSPLForm& spl = graphs.spl();
    spl.show();
    test::settle();
    EXPECT_FALSE(spl.close());
    test::settle();
    EXPECT_TRUE(spl.isVisible());
    EXPECT_TRUE(spl.isMinimized());
    spl.showNormal();
    test::settle();
    EXPECT_FALSE(spl.isMinimized());
}

TEST(GraphPainting, highDensityImageKeepsLogicalGeometry)
{
    test::guiApp();
    QImage image(698, 350, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    QPainter painter(&image);
    paintGrid(painter, QSize(349, 175), 10.0, 20000.0, 10);
    painter.end();
    // The 1 kHz line (logical 211) lands on device column 422 or its
    // neighbour, the frame on the outermost device pixels.
    EXPECT_TRUE(image.pixelColor(422, 200) == kGrey || image.pixelColor(421, 200) == kGrey);
    EXPECT_EQ(image.pixelColor(430, 200), kWhite);
    EXPECT_EQ(image.pixelColor(0, 200), kGrey);
    EXPECT_EQ(image.pixelColor(697, 200), kGrey);
}
