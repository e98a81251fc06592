// Renders of the horn sketch and the crossover tab. They always check that
// something sensible was drawn; with VELUMO_RENDER_DIR set they also write
// the pictures there as PNG for a person to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>

#include <cmath>

#include "CrossoverEditor.h"
#include "Design.h"
#include "PlotsTestSupport.h"
#include "SketchPainter.h"

using namespace velumo;

namespace {

class ListSink : public MessageSink {
public:
    void message(const Message& m) override { messages.push_back(m); }
    std::vector<Message> messages;
};

// Exponential flare from ah to am over length l (n = 1).
void exponentialHorn(SketchInput& in, double ah, double am, double l)
{
    in.ah = ah;
    in.am = am;
    in.l = l;
    in.dx = l * 0.01;
    for (int i = 0; i < kHornNodes; ++i)
        in.a[static_cast<size_t>(i)] = ah * std::exp(std::log(am / ah) * i / 100.0);
}

// Side elements switched off hold the run's substitute sizes.
void switchedOffSides(SketchInput& in, double vas)
{
    in.aat = in.aet = in.sd * 1e-6;
    in.lat = std::sqrt(in.sd) * 0.001;
    in.vak = vas * 1e-6;
    in.xAK = in.xET = in.let = 0.0;
    in.iAK = in.iET = 1;
}

// 12" driver at the throat of a 1.2 m exponential horn, 1 l front chamber,
// 30 l rear chamber with a 50 cm² port.
SketchInput frontLoadedWithPort()
{
    SketchInput in;
    exponentialHorn(in, 0.01, 0.2, 1.2);
    in.sd = 0.05;
    in.vvk = 0.001;
    in.lvk = in.lvkText = 0.05;
    in.vrk = 0.03;
    in.lrk = 0.25;
    in.abr = 0.005;
    in.lbr = 0.2;
    switchedOffSides(in, 0.1);
    return in;
}

// 8" driver feeding a 2 m horn from its back through a 6 l chamber; the
// front radiates through an opening of its own area.
SketchInput rearLoaded()
{
    SketchInput in;
    exponentialHorn(in, 0.01, 0.12, 2.0);
    in.rearLoaded = true;
    in.sd = 0.02;
    in.vvk = 0.006;
    in.lvk = in.lvkText = 0.15;
    in.vrk = 0.05 * 1e-6;
    in.lrk = 0.0;
    in.abr = in.sd;
    in.lbr = std::sqrt(in.sd) * 0.001;
    switchedOffSides(in, 0.05);
    return in;
}

// Driver 1 on the lower wall of a conical horn, driver 2 with its own rear
// chamber on the upper wall, an absorber chamber below and an extra tunnel
// above.
SketchInput driver2AbsorberTunnel()
{
    SketchInput in;
    in.l = 1.6;
    in.dx = 0.016;
    in.ah = 0.015;
    in.am = 0.25;
    const double r0 = std::sqrt(in.ah), r1 = std::sqrt(in.am);
    for (int i = 0; i < kHornNodes; ++i) {
        const double r = r0 + (r1 - r0) * i / 100.0;
        in.a[static_cast<size_t>(i)] = r * r;
    }
    in.sd = 0.035;
    in.xT1 = 0.25;
    in.iT1 = 15;
    in.vvk = 0.002;
    in.lvk = in.lvkText = 0.06;
    in.vrk = 0.025;
    in.lrk = 0.2;
    in.abr = 0.004;
    in.lbr = 0.15;

    in.akShown = true;
    in.xAK = 0.6;
    in.iAK = 37;
    in.aat = 0.003;
    in.lat = 0.12;
    in.vak = 0.008;

    in.etShown = in.etTop = true;
    in.xET = 1.25;
    in.iET = 78;
    in.aet = 0.006;
    in.let = 0.18;

    in.driver2 = in.t2Top = in.rk2 = true;
    in.sd2 = 0.02;
    in.xT2 = 0.7;
    in.iT2 = 43;
    in.vrk2 = 0.01;
    return in;
}

int blackPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 64)
                ++count;
    return count;
}

void saveIfWanted(const QImage& image, const char* name)
{
    const QByteArray dir = qgetenv("VELUMO_RENDER_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    const QString path = QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
}

} // namespace

TEST(SketchRender, everyKindOfDesignIsDrawnFramedByWhiteWithoutNotes)
{
    velumo::test::guiApp();
    const std::pair<SketchInput, const char*> cases[]
        = { { frontLoadedWithPort(), "sketch-frontloaded.png" }, { rearLoaded(), "sketch-rearloaded.png" },
              { driver2AbsorberTunnel(), "sketch-driver2-absorber-tunnel.png" } };
    for (const auto& [in, name] : cases) {
        SCOPED_TRACE(name);
        ListSink sink;
        const QImage image = renderSketch(QSize(812, 452), in, sink);
        EXPECT_EQ(image.size(), QSize(802, 442));
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_GT(blackPixels(image), 1500);
        EXPECT_EQ(image.pixel(image.width() - 1, 0), qRgb(255, 255, 255));
        saveIfWanted(image, name);
    }
}

TEST(SketchRender, highDensityPictureShowsTheSameSketchSharper)
{
    velumo::test::guiApp();
    ListSink sink;
    QImage plain(402, 223, QImage::Format_RGB32);
    QImage dense(804, 446, QImage::Format_RGB32);
    dense.setDevicePixelRatio(2.0);
    // Laid out in logical pixels: the ink spans twice the columns and rows,
    // within the widths of the strokes.
    auto inkBox = [&](QImage& image) {
        drawSketch(image, frontLoadedWithPort(), sink);
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                box |= qGray(image.pixel(x, y)) < 64 ? QRect(x, y, 1, 1) : QRect();
        return box;
    };
    const QRect a = inkBox(plain);
    const QRect b = inkBox(dense);
    for (auto [logical, device] : { std::pair { a.left(), b.left() }, { a.top(), b.top() },
             { a.right(), b.right() }, { a.bottom(), b.bottom() } })
        EXPECT_NEAR(device, 2 * logical, 4);
}

TEST(SketchRender, whiteStrokesEraseTheWallUnderTheFrontChamber)
{
    velumo::test::guiApp();
    SketchInput in = driver2AbsorberTunnel();
    in.akShown = in.etShown = in.driver2 = in.rk2 = false;
    ListSink sink;
    QImage image(802, 442, QImage::Format_RGB32);
    drawSketch(image, in, sink);
    const SketchGeometry g = computeSketch(in, image.width(), image.height());
    // Front chamber face 1/30 m², half width 0.0913 m around 0.25 m: the
    // lower wall at 0.25 m is open, while it is drawn at 0.05 m.
    const int column = static_cast<int>((0.25 + g.L0) * g.S);
    const int openRow = static_cast<int>((g.Y0 + sketchHalfWidth(in.a[15], 1)) * g.S);
    EXPECT_EQ(image.pixel(column, openRow), qRgb(255, 255, 255));
    const int wallColumn = static_cast<int>((0.048 + g.L0) * g.S);
    const int wallRow = static_cast<int>((g.Y0 + sketchHalfWidth(in.a[3], 1)) * g.S);
    EXPECT_EQ(image.pixel(wallColumn, wallRow), qRgb(0, 0, 0));
}

TEST(SketchRender, crossoverTab)
{
    velumo::test::guiApp();
    Design design;
    // A two-way filter: series L and shunt C for driver 1, series C and a
    // shunt L for driver 2, an L-pad on position 3/4.
    design.fwCell(1, 3) = "1.5";
    design.fwCell(2, 2) = "22";
    design.fwCell(3, 1) = "2.2";
    design.fwCell(4, 1) = "10";
    design.fwCell(11, 2) = "6.8";
    design.fwCell(12, 3) = "0.47";
    CrossoverEditor editor(design);
    editor.resize(500, 336);
    const QImage image = editor.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(blackPixels(image), 800);
    saveIfWanted(image, "crossover-tab.png");
}
