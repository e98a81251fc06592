// The file commands and "Alle Graphen zeigen" on the test desktop: the
// question before a new or opened design, the window places and states a
// project stores, and commands whose dependency fails.

#include <QAction>
#include <QPushButton>

#include <stdexcept>
#include <utility>

#include "AppTestSupport.h"
#include "GraphSet.h"
#include "MeasurementFile.h"
#include "ParamWindow.h"
#include "SkizzeWindow.h"
#include "WindowPlacement.h"

namespace velumo {
namespace {

class MainCommands : public ::testing::Test {
protected:
    void open(const std::string& plotOptions)
    {
        const std::string path = h.home.file("docs") + "/p.vlm";
        test::writeBytes(path, "[Plotoptionen]\r\n" + plotOptions);
        h.dialogs.files.push_back(QString::fromStdString(path));
        form.action("DateiOeffnen")->trigger();
        test::settle();
    }

    test::WindowHarness h;
    TMainForm& form = h.start();
};

TEST_F(MainCommands, cancelAtTheSaveQuestionAbandonsNewAndOpen)
{
    h.typeAndLeave("EditQes", "0.5");
    for (const char* command : { "DateiNeu", "DateiOeffnen" }) {
        h.dialogs.answers.push_back(UserDialogs::Answer::Cancel);
        form.action(command)->trigger();
        EXPECT_TRUE(h.dialogs.questionsWithCancel.back()) << command;
        EXPECT_TRUE(h.dialogs.fileDialogs.empty()) << command;
        EXPECT_EQ(form.windowTitle(), "Velumo") << command;
        EXPECT_FALSE(form.project().noUnsavedChanges()) << command;
    }
}

TEST_F(MainCommands, openingAppliesTheStoredStatesTheSameWayEveryTime)
{
    GraphSet& g = form.graphs();
    for (int opening = 1; opening <= 2; ++opening) {
        // Excursion stays minimised at a new place; Pmax comes up, SPL goes down.
        open("AuslLeft=900\r\nAuslTop=50\r\nAuslWS=1\r\nPmaxWS=0\r\nSPLWS=1\r\n");
        EXPECT_TRUE(g.ausl().isMinimized() && !g.pmax().isMinimized() && g.spl().isMinimized()) << opening;
    }
    form.action("AlleFensterzeigen1")->trigger();
    test::settle();
    EXPECT_EQ(outerFrame(&g.ausl()).topLeft(), QPoint(900, 50));
}

TEST_F(MainCommands, windowsPlacedOffTheScreensComeOntoThem)
{
    // SPL partly beyond the small screen; Zel and the main window where no
    // screen is any more.
    open("SPLLeft=2200\r\nSPLTop=300\r\nSPLWidth=420\r\nSPLHeight=300\r\n"
         "ZelLeft=5000\r\nZelTop=5000\r\nZelWidth=420\r\nZelHeight=300\r\nMainLeft=-3000\r\n");
    EXPECT_EQ(outerFrame(&form.graphs().spl()), QRect(2400 - 420, 500 - 300, 420, 300));
    EXPECT_EQ(outerFrame(&form.graphs().zel()), QRect(1600 - 420, 1000 - 300, 420, 300));
    EXPECT_EQ(outerFrame(&form).topLeft(), QPoint(0, 0));
}

TEST_F(MainCommands, showAllGraphsPutsEveryWindowBesideTheInputs)
{
    form.action("AlleFensterzeigen1")->trigger();
    test::settle();
    std::vector<QWidget*> windows(form.graphs().windows().begin(), form.graphs().windows().end());
    windows.insert(windows.end(), { &form.sketchForm(), &form.paramForm() });
    for (QWidget* w : windows) {
        EXPECT_TRUE(w->isVisible() && !w->isMinimized()) << w->windowTitle().toStdString();
        EXPECT_FALSE(outerFrame(w).intersects(outerFrame(&form))) << w->windowTitle().toStdString();
    }
}

TEST_F(MainCommands, failureInsideACommandShowsFehlerAndLeavesTheWindowWorking)
{
    h.typeAndLeave("Editl1", "1.5");
    h.typeAndLeave("EditLrk", "0"); // the sketch at the end of a run brings a note
    const std::pair<const char*, std::string_view> cases[]
        = { { "DateiOeffnen", "open" }, { "HTMLExport1", "save" }, { "Start1", "message" } };
    for (const auto& [command, failingCall] : cases) {
        bool thrown = false;
        h.dialogs.before = [&, call = failingCall](std::string_view name) {
            if (name == call && !std::exchange(thrown, true))
                throw std::runtime_error("Datenträger nicht bereit");
        };
        h.dialogs.answers = { UserDialogs::Answer::No }; // no saving first
        EXPECT_NO_THROW(form.action(command)->trigger()) << command;
        ASSERT_TRUE(thrown && !h.dialogs.messages.empty()) << command;
        EXPECT_EQ(h.dialogs.messages.back().caption, "Fehler") << command;
        EXPECT_EQ(h.dialogs.messages.back().text, "Datenträger nicht bereit") << command;
    }
    h.dialogs.before = nullptr;
    EXPECT_EQ(h.text("Editl1"), "1.5");
    h.find<QPushButton>("ButtonStart")->click();
    EXPECT_TRUE(h.find<QPushButton>("ButtonStart")->isEnabled());
    EXPECT_EQ(form.results().curveSlot(), 1); // a run went through to its end
}

// Datei › Exportieren: a note before the first run, then the latest run's
// curve in the chosen file, and a file that cannot be written in "Fehler".
TEST_F(MainCommands, exportWritesTheLatestRunOrSaysWhyNot)
{
    form.action("ExportFRD")->trigger();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages.back().caption, "Hinweis");
    EXPECT_TRUE(h.dialogs.fileDialogs.empty());

    h.find<QPushButton>("ButtonStart")->click();
    ASSERT_TRUE(form.lastRun().has_value());
    const size_t points = form.lastRun()->result.points.size();
    const size_t shown = h.dialogs.messages.size();
    const std::string frd = h.home.file("docs") + "/r.frd";
    h.dialogs.files.push_back(QString::fromStdString(frd));
    form.action("ExportFRD")->trigger();
    ASSERT_FALSE(h.dialogs.fileDialogs.empty());
    EXPECT_EQ(h.dialogs.fileDialogs.back().filter, "Frequenzgang (*.frd)");
    EXPECT_EQ(h.dialogs.fileDialogs.back().suffix, "frd");
    EXPECT_EQ(h.dialogs.messages.size(), shown);
    MeasuredCurve curve;
    std::string error;
    ASSERT_TRUE(readMeasurementFile(frd, &curve, &error)) << error;
    EXPECT_EQ(curve.frequency.size(), points);

    const std::string zma = h.home.file("docs") + "/missing/r.zma";
    h.dialogs.files.push_back(QString::fromStdString(zma));
    form.action("ExportZMA")->trigger();
    ASSERT_EQ(h.dialogs.messages.size(), shown + 1);
    EXPECT_EQ(h.dialogs.messages.back().caption, "Fehler");
    EXPECT_TRUE(h.dialogs.messages.back().text.startsWith(QString::fromStdString(
        "Die Datei " + zma + " kann nicht geschrieben werden: Der Ordner existiert nicht")))
        << h.dialogs.messages.back().text.toStdString();
}

} // namespace
} // namespace velumo
