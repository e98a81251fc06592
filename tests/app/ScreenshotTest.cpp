// Pictures of the main window and the SPL window after a run of the default
// design with a real horn length, for the documentation. Runs only when
// VELUMO_SCREENSHOT_DIR names the folder to write into (normally under a
// virtual X display); otherwise skipped.

#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include "AppTestSupport.h"
#include "GraphSet.h"
#include "ParamWindow.h"
#include "SkizzeWindow.h"

namespace velumo {
namespace {

TEST(MainWindowScreens, capturesMainAndSplWindowAfterARun)
{
    const QString folder = qEnvironmentVariable("VELUMO_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VELUMO_SCREENSHOT_DIR not set";
    test::WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    form.action("Start1")->trigger();
    ASSERT_TRUE(form.results().slot(0).isFilled());
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    QDir().mkpath(folder);
    const QPixmap main = form.grab();
    const QPixmap spl = form.graphs().spl().grab();
    EXPECT_TRUE(main.save(folder + "/main-window.png"));
    EXPECT_TRUE(spl.save(folder + "/spl-window.png"));
    EXPECT_TRUE(form.sketchForm().grab().save(folder + "/sketch-window.png"));
    EXPECT_TRUE(form.graphs().zel().grab().save(folder + "/zel-window.png"));
    EXPECT_TRUE(form.paramForm().grab().save(folder + "/param-window.png"));
    // Every input page, to check the layout by eye.
    auto* pages = h.find<QTabWidget>("PageControl1");
    for (int page : { 1, 3, 4 }) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        EXPECT_TRUE(form.grab().save(folder + QStringLiteral("/main-page%1.png").arg(page)));
    }
    pages->setCurrentIndex(0);
}

} // namespace
} // namespace velumo
