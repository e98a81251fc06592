#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QTabWidget>

#include <filesystem>
#include <memory>
#include <sstream>

#include "GraphSet.h"
#include "HeadlessReport.h"
#include "HtmlReport.h"
#include "ParamWindow.h"
#include "ReportTestSupport.h"
#include "SkizzeWindow.h"
#include "TestUtil.h"

namespace velumo {
namespace {

namespace fs = std::filesystem;

// A main window shaped like the program's: a client area with the page
// control "PageControl1" and the three drop-down lists on the horn page.
class FakeMainWindow {
public:
    FakeMainWindow()
    {
        main = std::make_unique<QMainWindow>();
        auto* client = new QWidget;
        client->setFixedSize(559, 425);
        main->setCentralWidget(client);
        pages = new QTabWidget(client);
        pages->setObjectName(QStringLiteral("PageControl1"));
        pages->setToolTip(QStringLiteral("Dateneingabe"));
        pages->setGeometry(8, 8, 545, 362);
        const char* titles[] = { "&Treiber", "&Horn", "Erweitert", "&Frequenzweiche", "&Achsen" };
        const char* tips[] = { "Treiber", "Horn", "", "Frequenzweiche", "Achsen" };
        for (int i = 0; i < 5; ++i) {
            auto* page = new QWidget;
            new QLabel(QString::fromUtf8(titles[i]), page);
            pages->addTab(page, QString::fromUtf8(titles[i]));
            pages->setTabToolTip(i, QString::fromUtf8(tips[i]));
        }
        pages->setTabVisible(2, false);
        QWidget* horn = pages->widget(1);
        addCombo(horn, "CBTyp", { "Frontloaded", "Backloaded" }, 1);
        addCombo(horn, "CBKontur", { "Konisch", "Exponentiell" }, 1);
        addCombo(horn, "CBPosi", { "Vollraum", "Halbraum" }, 0);
        param.show();
        sketch.show();
        for (GraphWindow* g : graphs.windows())
            g->show();
        main->show();
    }

    // Before any widget member is built.
    bool applicationReady = (test::ensureApplication(), true);
    std::unique_ptr<QMainWindow> main;
    QTabWidget* pages = nullptr;
    GraphSet graphs;
    TSkizzeForm sketch;
    TParamForm param;

private:
    static void addCombo(QWidget* page, const char* name, const QStringList& items, int index)
    {
        auto* box = new QComboBox(page);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems(items);
        box->setCurrentIndex(index);
    }
};

ReportSources sourcesOf(FakeMainWindow& w)
{
    ReportSources s;
    s.windows = { &w.sketch, &w.graphs.spl(), &w.graphs.zel(), &w.graphs.ausl(), &w.graphs.pmax(),
        &w.graphs.splMax(), &w.graphs.phia(), &w.graphs.znorm() };
    s.paramWindow = &w.param;
    s.paramColumns = { w.param.Memo1(), w.param.Memo2() };
    s.mainClient = w.main->centralWidget();
    s.pageControl = w.pages;
    s.writeDropDownTexts = false;
    s.info = QStringLiteral("Info");
    s.projectPath = QStringLiteral("/p/a.vlm");
    return s;
}

// Opens nothing: records the path and answers with a set status.
class FakeProgram : public ReportProgram {
public:
    FakeProgram(FakeMainWindow& w, HeadlessReportStatus status, std::string& opened)
        : m_w(w)
        , m_status(status)
        , m_opened(opened)
    {
    }
    HeadlessReportStatus openAndSimulate(
        const std::string& projectPath, const std::string& listFolder) override
    {
        m_opened = projectPath + " > " + listFolder;
        return m_status;
    }
    ReportSources sources() override { return sourcesOf(m_w); }

private:
    FakeMainWindow& m_w;
    HeadlessReportStatus m_status;
    std::string& m_opened;
};

// A project file "a.vlm" in a temp folder and a program that answers `status`.
class HeadlessReport : public ::testing::Test {
protected:
    HeadlessReport() { test::writeBytes(dir.file("a.vlm"), "[Lautsprecher]\r\n"); }
    int report(const std::string& project, const std::string& page, HeadlessReportStatus status)
    {
        return writeHeadlessReport(project, page, dir.file("lists"), err,
            [this, status](std::ostream&) { return std::make_unique<FakeProgram>(w, status, opened); });
    }
    bool nothingWritten() const
    {
        return !fs::exists(dir.file("a.html")) && !fs::exists(dir.file("a-Files"));
    }

    FakeMainWindow w;
    test::TempDir dir;
    std::string opened;
    std::ostringstream err;
};

TEST_F(HeadlessReport, writesPageAndPicturesWithoutAsking)
{
    EXPECT_EQ(report(dir.file("a.vlm"), dir.file("a.html"), kReportOk), kReportOk) << err.str();
    EXPECT_EQ(opened, dir.file("a.vlm") + " > " + dir.file("lists"));
    EXPECT_TRUE(fs::exists(dir.file("a.html")));
    for (const char* name : kReportPictures)
        EXPECT_TRUE(fs::exists(dir.path() / "a-Files" / name)) << name;
    EXPECT_EQ(err.str(), "");
}

TEST_F(HeadlessReport, unreadableProjectOrFailedRunWritesNothing)
{
    EXPECT_EQ(report(dir.file("missing.vlm"), dir.file("a.html"), kReportOk), kReportUnreadable);
    EXPECT_EQ(opened, "");
    EXPECT_TRUE(nothingWritten());
    // A failed run passes its status on.
    EXPECT_EQ(report(dir.file("a.vlm"), dir.file("a.html"), kReportRunFailed), kReportRunFailed);
    EXPECT_TRUE(nothingWritten());
}

TEST_F(HeadlessReport, listsThatCouldNotBeWrittenStillGiveTheReportAndStatus4)
{
    EXPECT_EQ(report(dir.file("a.vlm"), dir.file("a.html"), kReportWriteFailed), kReportWriteFailed);
    EXPECT_TRUE(fs::exists(dir.file("a.html")));
}

TEST_F(HeadlessReport, writeErrorIsPrintedUnderFehler)
{
    test::writeBytes(dir.file("plain"), "x");
    const std::string page = dir.file("plain") + "/a.html";
    EXPECT_EQ(report(dir.file("a.vlm"), page, kReportOk), kReportWriteFailed);
    EXPECT_EQ(err.str().rfind("Fehler: ", 0), 0u) << err.str();
    EXPECT_FALSE(fs::exists(page));
}

} // namespace
} // namespace velumo
