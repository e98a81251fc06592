// Datei › "Messung laden …" and "Messung entfernen" in the window: where a
// measurement is drawn, what a bad file leaves, and what the project keeps.

#include <QAction>
#include <QPushButton>

#include <filesystem>

#include "AppTestSupport.h"
#include "GraphDrawing.h"
#include "GraphSet.h"
#include "MeasurementFile.h"
#include "RunExport.h"

namespace velumo {
namespace {

int greyPixels(GraphWindow& window)
{
    const QImage& image = window.plotView()->image();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == measurementColour().rgb();
    return count;
}

class MeasurementOverlay : public ::testing::Test {
protected:
    // The first run's curve moved by `shift`, written as a file of the
    // given name: it lies in the run's axes but not under its line.
    MeasuredCurve writeShifted(MeasurementKind kind, const std::string& name, double shift)
    {
        const RunResult& run = form.lastRun()->result;
        MeasuredCurve c = kind == MeasurementKind::Frd ? runFrequencyResponse(run) : runImpedance(run);
        for (double& v : c.value)
            v += shift;
        std::string text, error;
        EXPECT_TRUE(formatMeasurement(c, { "Messung" }, &text, &error)) << error;
        test::writeBytes(file(name), text);
        MeasuredCurve read;
        EXPECT_TRUE(readMeasurementFile(file(name), &read, &error)) << error;
        return read;
    }
    void load(const std::string& name)
    {
        h.dialogs.files.push_back(QString::fromStdString(file(name)));
        form.action("MessungLaden")->trigger();
        test::settle();
    }
    std::string file(const std::string& name) const { return h.home.file("docs") + "/" + name; }
    const std::optional<MeasuredCurve>& shown(MeasurementKind kind)
    {
        return form.graphs().measurement(kind);
    }

    test::WindowHarness h;
    TMainForm& form = h.start();
    bool ran = (h.find<QPushButton>("ButtonStart")->click(), form.lastRun().has_value());
};

// An FRD goes to the SPL and phase graphs, a ZMA to the impedance graph,
// under the runs and through the next run; removing takes both away.
TEST_F(MeasurementOverlay, loadDrawsTheCurveInItsGraphsAndRemoveTakesItAway)
{
    ASSERT_TRUE(ran);
    GraphSet& g = form.graphs();
    EXPECT_EQ(greyPixels(g.spl()), 0);
    EXPECT_FALSE(form.action("MessungEntfernen")->isEnabled());

    const MeasuredCurve frd = writeShifted(MeasurementKind::Frd, "front.frd", -6.0);
    load("front.frd");
    EXPECT_EQ(shown(MeasurementKind::Frd), frd);
    EXPECT_FALSE(shown(MeasurementKind::Zma).has_value());
    EXPECT_GT(greyPixels(g.spl()), 50);
    EXPECT_GT(greyPixels(g.phia()), 50);
    EXPECT_EQ(greyPixels(g.zel()), 0);
    EXPECT_FALSE(form.project().noUnsavedChanges());
    EXPECT_EQ(form.project().measurements().frd, file("front.frd"));
    EXPECT_TRUE(form.action("MessungEntfernen")->isEnabled());

    const MeasuredCurve zma = writeShifted(MeasurementKind::Zma, "imp.ZMA", 1.0);
    load("imp.ZMA");
    EXPECT_EQ(shown(MeasurementKind::Zma), zma);
    EXPECT_EQ(shown(MeasurementKind::Frd), frd); // one of each at a time

    // A new run and "Alle Graphen löschen" clear the runs, not the measurement.
    const int slot = form.results().curveSlot();
    h.find<QPushButton>("ButtonStart")->click();
    EXPECT_NE(form.results().curveSlot(), slot);
    h.find<QPushButton>("BtnClear")->click();
    EXPECT_GT(greyPixels(g.spl()), 50);
    EXPECT_GT(greyPixels(g.zel()), 50);

    form.action("MessungEntfernen")->trigger();
    EXPECT_FALSE(g.hasMeasurement());
    EXPECT_EQ(form.project().measurements(), MeasurementPaths {});
    EXPECT_EQ(greyPixels(g.spl()) + greyPixels(g.phia()) + greyPixels(g.zel()), 0);
    EXPECT_FALSE(form.action("MessungEntfernen")->isEnabled());
}

// A malformed file is named with its line in a "Fehler" and changes
// nothing; a name without .frd or .zma is asked about.
TEST_F(MeasurementOverlay, badFileChangesNothingAndAnUnknownNameIsAsked)
{
    ASSERT_TRUE(ran);
    const MeasuredCurve frd = writeShifted(MeasurementKind::Frd, "good.frd", -6.0);
    load("good.frd");
    test::writeBytes(file("bad.frd"), "* Messung\n20 90 10\n30 9O 12\n");
    load("bad.frd");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const test::ShownMessage& m = h.dialogs.messages.back();
    EXPECT_EQ(m.caption, "Fehler");
    EXPECT_TRUE(m.text.contains(QString::fromStdString(file("bad.frd")))) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains(QStringLiteral("Zeile 3: "))) << m.text.toStdString();
    EXPECT_EQ(shown(MeasurementKind::Frd), frd);
    EXPECT_EQ(form.project().measurements().frd, file("good.frd"));

    const MeasuredCurve other = writeShifted(MeasurementKind::Zma, "rew.txt", 0.5);
    h.dialogs.answers.push_back(UserDialogs::Answer::Cancel);
    load("rew.txt");
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_FALSE(shown(MeasurementKind::Zma).has_value());
    h.dialogs.answers.push_back(UserDialogs::Answer::No);
    load("rew.txt");
    EXPECT_EQ(shown(MeasurementKind::Zma), other);
    EXPECT_EQ(shown(MeasurementKind::Frd), frd);
}

// Saved and opened again, the project shows its measurement; one whose
// file is gone is reported, the project opens and keeps naming it.
TEST_F(MeasurementOverlay, theProjectKeepsThePathAndOpensWithoutTheFile)
{
    ASSERT_TRUE(ran);
    const MeasuredCurve frd = writeShifted(MeasurementKind::Frd, "m.frd", -6.0);
    load("m.frd");
    const std::string project = file("box.vlm");
    h.dialogs.files.push_back(QString::fromStdString(project));
    form.action("DateiSpeichernUnter")->trigger();
    form.action("MessungEntfernen")->trigger();
    h.dialogs.answers.push_back(UserDialogs::Answer::No); // do not save the removal
    form.openProjectFile(QString::fromStdString(project));
    test::settle();
    EXPECT_EQ(shown(MeasurementKind::Frd), frd);
    EXPECT_TRUE(form.project().noUnsavedChanges());

    std::filesystem::remove(file("m.frd"));
    form.openProjectFile(QString::fromStdString(project));
    test::settle();
    EXPECT_EQ(form.windowTitle().toStdString(), "Velumo  " + project);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages.back().caption, "Hinweis");
    EXPECT_TRUE(h.dialogs.messages.back().text.contains(QString::fromStdString(file("m.frd"))));
    EXPECT_FALSE(form.graphs().hasMeasurement());
    EXPECT_EQ(form.project().measurements().frd, file("m.frd"));
}

} // namespace
} // namespace velumo
