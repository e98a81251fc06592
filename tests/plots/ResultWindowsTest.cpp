#include <gtest/gtest.h>

#include <QCoreApplication>

#include "ParamWindow.h"
#include "PlotsTestSupport.h"
#include "SkizzeWindow.h"

using namespace velumo;

namespace {

QStringList numbered(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << QStringLiteral("Zeile %1").arg(i);
    return lines;
}

} // namespace

TEST(ParamWindow, layoutOfTheTwoColumns)
{
    test::guiApp();
    TParamForm param;
    EXPECT_EQ(param.windowTitle(), "Sonstiges");
    EXPECT_EQ(param.size(), QSize(321, 177));
    EXPECT_EQ(param.Memo1()->geometry(), QRect(4, 4, 152, 169));
    EXPECT_EQ(param.Memo2()->geometry(), QRect(164, 3, 152, 169));
    EXPECT_TRUE(param.Memo1()->isReadOnly() && param.Memo2()->isReadOnly());
    EXPECT_EQ(param.Memo1()->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(param.placement().left, 0);
    EXPECT_EQ(param.placement().top, 360);
}

TEST(ParamWindow, heightFollowsLeftLineCount)
{
    test::guiApp();
    TParamForm param;
    param.setLines(numbered(11), numbered(4));
    EXPECT_EQ(param.height(), 14 * 11 + 15);
    EXPECT_EQ(param.width(), 321);
    EXPECT_EQ(param.Memo1()->toPlainText(), numbered(11).join('\n'));
    EXPECT_EQ(param.Memo2()->toPlainText(), numbered(4).join('\n'));
    param.setLines(std::vector<std::string> { "Cms = 1 mm/N", "Mms = 20 g" }, {});
    EXPECT_EQ(param.height(), 43);
    EXPECT_EQ(param.Memo1()->toPlainText(), "Cms = 1 mm/N\nMms = 20 g");
    param.clearLines();
    EXPECT_TRUE(param.Memo1()->toPlainText().isEmpty());
    EXPECT_EQ(param.height(), 43);
}

TEST(SkizzeWindow, whiteClientWithPictureInside)
{
    test::guiApp();
    TSkizzeForm sketch;
    EXPECT_EQ(sketch.windowTitle(), "Prinzipskizze");
    EXPECT_EQ(sketch.size(), QSize(412, 233));
    EXPECT_EQ(sketch.Im1()->geometry(), QRect(5, 5, 405, 225));
    EXPECT_EQ(sketch.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(sketch.minimumSize(), QSize(50, 50));
    EXPECT_EQ(sketch.placement().fileKey, "Area");
}

TEST(SkizzeWindow, resizeSnapsAndRedrawsOnlyWithResults)
{
    test::guiApp();
    TSkizzeForm sketch;
    bool results = false;
    int redraws = 0;
    sketch.setResultsExist([&] { return results; });
    sketch.setRedrawSketch([&] { ++redraws; });
    sketch.show();
    test::settle();
    test::setOuterSize(sketch, QSize(409, 249));
    EXPECT_EQ(sketch.frameGeometry().size(), QSize(400, 240));
    EXPECT_EQ(redraws, 0);
    // The picture keeps its margins: 5 left and top, 2 right, 3 below.
    EXPECT_EQ(sketch.Im1()->size(), sketch.size() - QSize(7, 8));
    results = true;
    test::setOuterSize(sketch, QSize(411, 250));
    EXPECT_EQ(sketch.frameGeometry().size(), QSize(420, 260));
    EXPECT_GE(redraws, 1);
}
