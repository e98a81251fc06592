#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QTabWidget>

#include <filesystem>
#include <memory>
#include <vector>

#include "GraphWindow.h"
#include "HtmlReport.h"
#include "IniFile.h"
#include "ParamWindow.h"
#include "ReportExport.h"
#include "ReportTestSupport.h"
#include "Settings.h"
#include "SkizzeWindow.h"
#include "TestUtil.h"

namespace velumo {
namespace {

namespace fs = std::filesystem;

struct Call {
    std::string kind;
    QString caption;
    QString text;
};

class RecordingUi : public ReportUi {
public:
    QString answerPath;
    bool answerYes = false;
    std::vector<Call> calls;
    QString dialogTitle, dialogFolder, dialogFilter, dialogSuffix;

    QString saveFileName(const QString& title, const QString& startFolder, const QString& filter,
        const QString& defaultSuffix) override
    {
        dialogTitle = title;
        dialogFolder = startFolder;
        dialogFilter = filter;
        dialogSuffix = defaultSuffix;
        calls.push_back({ "dialog", title, startFolder });
        return answerPath;
    }
    void message(const QString& caption, const QString& text) override
    {
        calls.push_back({ "message", caption, text });
    }
    bool askYesNo(const QString& caption, const QString& text) override
    {
        calls.push_back({ "question", caption, text });
        return answerYes;
    }
    void openWithDesktop(const QString& path) override { calls.push_back({ "open", QString(), path }); }

    int count(const std::string& kind) const
    {
        int n = 0;
        for (const Call& c : calls)
            n += c.kind == kind;
        return n;
    }
};

// The real result windows and a main-window client with five pages, the
// third one hidden, shown on the offscreen screen.
class ReportWindows {
public:
    ReportWindows()
    {
        test::ensureApplication();
        add(new TSkizzeForm);
        add(new TSPLForm);
        add(new TZelForm);
        add(new TAuslForm);
        add(new TPmaxForm);
        add(new TSPLmaxForm);
        add(new TPhiaForm);
        add(new TZnormForm);
        param = std::make_unique<TParamForm>();
        param->show();

        main = std::make_unique<QWidget>();
        main->resize(559, 425);
        // A window colour of its own, so that the white of the tab pictures
        // can only come from replacing it.
        QPalette palette = main->palette();
        palette.setColor(QPalette::Window, QColor(200, 220, 180));
        main->setPalette(palette);
        pages = new QTabWidget(main.get());
        pages->setGeometry(8, 8, 545, 340);
        const char* titles[] = { "&Treiber", "&Horn", "Erweitert", "&Frequenzweiche", "&Achsen" };
        for (const char* title : titles) {
            auto* page = new QWidget;
            auto* label = new QLabel(QStringLiteral("Inhalt ") + QString::fromUtf8(title), page);
            label->move(120, 120);
            pages->addTab(page, QString::fromUtf8(title));
        }
        pages->setTabVisible(2, false);
        main->show();
        QCoreApplication::processEvents();
    }

    ReportSources sources() const
    {
        ReportSources s;
        for (size_t i = 0; i < windows.size(); ++i)
            s.windows[i] = windows[i].get();
        s.paramWindow = param.get();
        s.paramColumns = { param->Memo1(), param->Memo2() };
        s.mainClient = main.get();
        s.pageControl = pages;
        s.typText = QStringLiteral("Frontloaded");
        s.konturText = QStringLiteral("Exponential");
        s.posiText = QStringLiteral("Halbraum");
        s.info = QStringLiteral("Horn Info");
        s.projectPath = QStringLiteral("/home/user/bass.vlm");
        return s;
    }

    std::vector<std::unique_ptr<QWidget>> windows;
    std::unique_ptr<TParamForm> param;
    std::unique_ptr<QWidget> main;
    QTabWidget* pages = nullptr;

private:
    void add(QWidget* w)
    {
        windows.emplace_back(w);
        w->show();
        // A size the windows' own rule keeps: 400 × 240 outside.
        w->resize(QSize(400, 240) - (w->frameGeometry().size() - w->size()));
    }
};

Directories settingsIn(const test::TempDir& dir)
{
    Directories d;
    d.program = dir.path().string();
    d.documents = dir.path().string() + "/docs";
    d.settings = dir.path().string() + "/settings";
    fs::create_directories(d.documents);
    fs::create_directories(d.settings);
    return d;
}

std::string maskDateLine(std::string html)
{
    const std::string head = "<div style=\"text-align: right; font-family: MS Sans Serif;\">\r\n";
    const size_t at = html.find(head);
    if (at == std::string::npos)
        return html;
    const size_t start = at + head.size();
    const size_t end = html.find("<br></div>\r\n", start);
    return html.replace(start, end - start, "DATE");
}

// Pixels darker than mid-grey in a rectangle of a picture.
int darkPixels(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// The windows, a temp folder and a recording UI; exports go into the folder.
class ReportExport : public ::testing::Test {
protected:
    ReportOutcome exportTo(const std::string& name, const ReportSources& s)
    {
        return exportHtmlReport(QString::fromStdString(dir.file(name)), s, nullptr, ui);
    }
    ReportOutcome exportTo(const std::string& name) { return exportTo(name, w.sources()); }
    QImage picture(const std::string& rel) const { return QImage(QString::fromStdString(dir.file(rel))); }

    ReportWindows w;
    test::TempDir dir;
    RecordingUi ui;
};

TEST_F(ReportExport, writesThirteenPicturesOfTheStatedSizes)
{
    const ReportOutcome outcome = exportTo("report.html");
    ASSERT_TRUE(outcome.written) << outcome.error.toStdString();
    // 421 × 260 outside snaps to 420 × 260; the picture is the client area
    // inside whatever frame the platform draws (none in the headless report).
    const QSize frame = w.windows[static_cast<size_t>(WindowId::Spl)]->frameGeometry().size()
        - w.windows[static_cast<size_t>(WindowId::Spl)]->size();
    const QSize graph = QSize(420, 260) - frame;
    const std::vector<std::pair<std::string, QSize>> expected
        = { { "Skizze.jpg", graph }, { "SPL.jpg", graph }, { "Zel.jpg", graph }, { "Ausl.jpg", graph },
              { "Pmax.jpg", graph }, { "SPLmax.jpg", graph }, { "Phia.jpg", graph }, { "Znorm.jpg", graph },
              { "Param.jpg", w.param->size() } };
    const fs::path folder = dir.path() / "report-Files";
    for (const auto& [name, size] : expected) {
        QImage picture;
        ASSERT_TRUE(picture.load(QString::fromStdString((folder / name).string()), "JPG")) << name;
        EXPECT_EQ(picture.size(), size) << name;
    }
    // A tab picture is at least the stated crop and grows to hold its page.
    const std::pair<std::string, QSize> tabs[] = { { "TreiberTab.jpg", { 500, 340 } },
        { "HornTab.jpg", { 530, 340 } }, { "FWTab.jpg", { 530, 340 } }, { "AchsenTab.jpg", { 530, 340 } } };
    const QRect page(w.pages->widget(0)->mapTo(w.main.get(), QPoint(0, 0)), w.pages->widget(0)->size());
    for (const auto& [name, least] : tabs) {
        const QImage picture(QString::fromStdString((folder / name).string()));
        EXPECT_EQ(picture.size(), least.expandedTo(QSize(page.right() + 1 - 12, page.bottom() + 1 - 32)))
            << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 13);
}

TEST_F(ReportExport, htmlFileMatchesTheSixtyTextsWithDateMasked)
{
    ASSERT_TRUE(exportTo("bass.html").written);
    EXPECT_EQ(maskDateLine(test::readBytes(dir.file("bass.html"))),
        test::expectedReport("Horn Info", "DATE", "/home/user/bass.vlm", "bass-Files"));
}

TEST_F(ReportExport, pageTakesTheCurrentCaptionsAndEscapesTheInfo)
{
    w.windows[static_cast<size_t>(WindowId::Ausl)]->setWindowTitle(QStringLiteral("Membranamplitude1 [mm]"));
    w.windows[static_cast<size_t>(WindowId::Pmax)]->setWindowTitle(QStringLiteral("Pmax2 [W]"));
    ReportSources s = w.sources();
    s.info = QStringLiteral("<b>&");
    ASSERT_TRUE(exportTo("r.html", s).written);
    const std::string html = test::readBytes(dir.file("r.html"));
    EXPECT_NE(html.find("<td>Membranamplitude1 [mm]</td>\r\n<td>Pmax2 [W]</td>"), std::string::npos);
    EXPECT_NE(html.find("<title>&lt;b&gt;&amp;</title>"), std::string::npos);
    EXPECT_EQ(html.find("<b>&"), std::string::npos);
}

TEST_F(ReportExport, answeringNoOpensNothingAndYesOpensTheReport)
{
    ASSERT_TRUE(exportTo("r.html").written);
    ASSERT_EQ(ui.count("question"), 1);
    EXPECT_EQ(ui.calls.back().caption, QStringLiteral("HTML"));
    EXPECT_EQ(ui.calls.back().text, QStringLiteral("HTML anzeigen?"));
    EXPECT_EQ(ui.count("open"), 0);
    EXPECT_TRUE(fs::exists(dir.file("r.html")));

    ui.answerYes = true;
    ASSERT_TRUE(exportTo("r.html").written);
    ASSERT_EQ(ui.count("open"), 1);
    EXPECT_EQ(ui.calls.back().text, QString::fromStdString(dir.file("r.html")));
}

// Counts the state changes of the windows it watches.
struct StateChanges : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        return (count += e->type() == QEvent::WindowStateChange, false);
    }
};

TEST_F(ReportExport, windowsPlacesSizesStatesColoursAndTabAreRestored)
{
    QWidget* spl = w.windows[static_cast<size_t>(WindowId::Spl)].get();
    w.windows[static_cast<size_t>(WindowId::Zel)]->resize(500, 300);
    spl->showMinimized();
    w.pages->setCurrentIndex(3);
    // What the windows show once the desktop has placed them.
    QCoreApplication::processEvents();
    std::vector<QSize> sizes;
    std::vector<Qt::WindowStates> states;
    std::vector<QPoint> places;
    StateChanges changes;
    for (const auto& win : w.windows) {
        sizes.push_back(win->size());
        states.push_back(win->windowState());
        places.push_back(win->frameGeometry().topLeft());
        win->installEventFilter(&changes);
    }
    const QColor splBackground = spl->palette().color(QPalette::Window);
    const QColor memoBase = w.param->Memo1()->palette().color(QPalette::Base);
    const QSize paramSize = w.param->size();

    ASSERT_TRUE(exportTo("r.html").written);
    for (size_t i = 0; i < w.windows.size(); ++i) {
        EXPECT_EQ(w.windows[i]->size(), sizes[i]) << i;
        EXPECT_EQ(w.windows[i]->windowState(), states[i]) << i;
        EXPECT_EQ(w.windows[i]->frameGeometry().topLeft(), places[i]) << i;
    }
    // A minimised window is never restored for its picture: a window
    // manager would place it anew when it is minimised again.
    EXPECT_EQ(changes.count, 0);
    EXPECT_TRUE(spl->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(spl->palette().color(QPalette::Window), splBackground);
    EXPECT_NE(splBackground, QColor(Qt::white));
    EXPECT_EQ(w.param->Memo1()->palette().color(QPalette::Base), memoBase);
    EXPECT_EQ(w.param->size(), paramSize);
    EXPECT_EQ(w.pages->currentIndex(), 3);
}

TEST_F(ReportExport, picturesHaveWhiteBackground)
{
    ASSERT_TRUE(exportTo("r.html").written);
    for (const char* name : { "SPL.jpg", "Znorm.jpg", "Param.jpg", "TreiberTab.jpg", "AchsenTab.jpg" }) {
        const QImage p = picture(std::string("r-Files/") + name);
        ASSERT_FALSE(p.isNull()) << name;
        // A corner away from any text or frame.
        EXPECT_GE(qGray(p.pixel(p.width() - 3, p.height() - 3)), 250) << name;
    }
    // Below the page control the client shows only its window colour.
    for (const char* name : { "TreiberTab.jpg", "HornTab.jpg", "FWTab.jpg", "AchsenTab.jpg" }) {
        const QColor below = picture(std::string("r-Files/") + name).pixelColor(250, 330);
        EXPECT_GE(below.red(), 250) << name;
        EXPECT_GE(below.blue(), 250) << name;
    }
    // The tab picture keeps what the page shows: its label text is dark.
    const QImage driverTab = picture("r-Files/TreiberTab.jpg");
    EXPECT_GT(darkPixels(driverTab, driverTab.rect()), 20);
}

TEST_F(ReportExport, hornTabCarriesTheDropDownTextsUnlessSwitchedOff)
{
    ReportSources s = w.sources();
    ASSERT_TRUE(exportTo("with.html", s).written);
    s.writeDropDownTexts = false; // the capture shows the lists itself
    ASSERT_TRUE(exportTo("off.html", s).written);
    s.writeDropDownTexts = true;
    s.typText.clear();
    s.konturText.clear();
    s.posiText.clear();
    ASSERT_TRUE(exportTo("without.html", s).written);
    const QImage with = picture("with-Files/HornTab.jpg");
    const QImage off = picture("off-Files/HornTab.jpg");
    const QImage without = picture("without-Files/HornTab.jpg");
    ASSERT_FALSE(with.isNull() || off.isNull() || without.isNull());
    for (const QRect& area : { QRect(25, 34, 60, 12), QRect(25, 59, 60, 12), QRect(415, 184, 50, 12) }) {
        SCOPED_TRACE(std::to_string(area.x()) + "," + std::to_string(area.y()));
        EXPECT_GT(darkPixels(with, area), 10);
        EXPECT_EQ(darkPixels(off, area), 0);
        EXPECT_EQ(darkPixels(without, area), 0);
    }
}

TEST_F(ReportExport, pictureFolderUnderRegularFileReportsErrorAndWritesNoHtml)
{
    QWidget* spl = w.windows[static_cast<size_t>(WindowId::Spl)].get();
    spl->showMinimized();
    const QSize before = spl->size();
    test::writeBytes(dir.file("plain"), "x");
    EXPECT_FALSE(exportTo("plain/sub/r.html").written);
    ASSERT_EQ(ui.count("message"), 1);
    EXPECT_EQ(ui.calls.front().caption, QStringLiteral("Fehler"));
    EXPECT_TRUE(ui.calls.front().text.contains(QStringLiteral("Skizze.jpg")));
    EXPECT_EQ(ui.count("question"), 0);
    EXPECT_FALSE(fs::exists(dir.file("plain/sub/r.html")));
    EXPECT_EQ(test::readBytes(dir.file("plain")), "x");
    EXPECT_TRUE(spl->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(spl->size(), before);
}

TEST_F(ReportExport, htmlWriteErrorReportsErrorAndLeavesNoFile)
{
    // A folder where the report should go: the pictures succeed, the page cannot.
    fs::create_directories(dir.file("taken.html"));
    EXPECT_FALSE(exportTo("taken.html").written);
    ASSERT_EQ(ui.count("message"), 1);
    EXPECT_EQ(ui.calls.front().caption, QStringLiteral("Fehler"));
    EXPECT_EQ(ui.count("question"), 0);
    EXPECT_TRUE(fs::is_directory(dir.file("taken.html")));
    EXPECT_TRUE(fs::is_empty(dir.file("taken.html")));
    // No temporary page is left beside it either.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().filename() == "taken.html" || entry.path().filename() == "taken-Files")
            << entry.path();
}

TEST_F(ReportExport, menuCommandAsksForPathAndRemembersItsFolder)
{
    const Settings settings(settingsIn(dir));
    fs::create_directories(dir.file("out"));
    ui.answerPath = QString::fromStdString(dir.file("out") + "/x.html");
    HTMLExport1Click(w.sources(), settings, ui);
    EXPECT_EQ(ui.dialogTitle, QStringLiteral("HTML-Export"));
    EXPECT_EQ(ui.dialogFolder, QString::fromStdString(dir.path().string() + "/docs/"));
    EXPECT_EQ(ui.dialogFilter, QStringLiteral("HTML-Bericht (*.html)"));
    EXPECT_EQ(ui.dialogSuffix, QStringLiteral("html"));
    EXPECT_TRUE(fs::exists(dir.file("out") + "/x-Files/AchsenTab.jpg"));
    EXPECT_TRUE(fs::exists(dir.file("out") + "/x.html"));
    EXPECT_EQ(settings.htmlFolder(), dir.file("out") + "/");

    RecordingUi again;
    HTMLExport1Click(w.sources(), settings, again);
    EXPECT_EQ(again.dialogFolder, QString::fromStdString(dir.file("out") + "/"));
}

TEST_F(ReportExport, cancelledDialogDoesNothing)
{
    const Settings settings(settingsIn(dir));
    HTMLExport1Click(w.sources(), settings, ui); // answers with an empty path
    EXPECT_EQ(ui.calls.size(), 1u);
    EXPECT_FALSE(fs::exists(settings.directories().settingsFile()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "docs"), fs::directory_iterator()), 0);
}

} // namespace
} // namespace velumo
