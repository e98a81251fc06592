// The live mode: every edit checked quietly and run off the window's thread,
// its curves in the current colour slot, no files, and a start command that
// is the same with it as without it.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "AppTestSupport.h"
#include "GraphSet.h"
#include "InputCheck.h"
#include "InputTabs.h"
#include "ParamWindow.h"
#include "ReglerWindow.h"
#include "RunInputAdapter.h"
#include "Simulation.h"
#include "WindowPlacement.h"

namespace velumo {
namespace {

// The SPL of a run of the design as it stands, checked as the live mode
// checks it.
std::vector<double> splOf(Design design)
{
    CollectingCheckSink quiet;
    CheckVariables(design, quiet);
    std::vector<double> spl;
    for (const PointResults& p : runSimulation(readRunInput(design)).points)
        spl.push_back(p.spl);
    return spl;
}

class MainLive : public ::testing::Test {
protected:
    TMainForm& startLive()
    {
        TMainForm& form = h.start();
        form.action("LiveSimulation1")->trigger();
        EXPECT_TRUE(form.liveSimulation());
        EXPECT_TRUE(test::waitForLive(form));
        return form;
    }
    // The current slot's SPL as far as `expected` goes, to compare with it.
    std::vector<double> drawnSpl(const std::vector<double>& expected) const
    {
        const ResultSlot& slot = h.form->results().slot(h.form->results().curveSlot());
        return { slot.spl.begin(), slot.spl.begin() + static_cast<std::ptrdiff_t>(expected.size()) };
    }

    test::WindowHarness h;
};

TEST_F(MainLive, typingRedrawsTheSplCurveWithoutABoxOrAFileAndTheModeIsRemembered)
{
    TMainForm& form = startLive();
    h.type("Editl1", "1.5");
    ASSERT_TRUE(test::waitForLive(form));
    const QImage before = form.graphs().spl().plotView()->image();
    h.type("Editl1", "2,5");
    ASSERT_TRUE(test::waitForLive(form));

    const std::vector<double> expected = splOf(form.design());
    ASSERT_GT(expected.size(), 10u);
    EXPECT_EQ(drawnSpl(expected), expected);
    EXPECT_NE(form.graphs().spl().plotView()->image(), before);
    // Still being typed: the box keeps its comma until it is left.
    EXPECT_EQ(h.text("Editl1"), "2,5");
    EXPECT_EQ(form.results().curveSlot(), 0);
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(h.settingsDir() + "/data.txt"));
    EXPECT_TRUE(form.statusText().isEmpty());

    h.form.reset();
    EXPECT_TRUE(h.start().action("LiveSimulation1")->isChecked());
    EXPECT_TRUE(h.form->liveSimulation());
}

TEST_F(MainLive, aBurstOfEditsDrawsOnlyTheLastOnesResult)
{
    TMainForm& form = startLive();
    // A horn whose flare law matters: longer than 0, its mouth wider than
    // its throat.
    h.typeAndLeave("Editl1", "1.5");
    h.typeAndLeave("EditH", "60");
    ASSERT_TRUE(test::waitForLive(form));
    const Design before = form.design();
    const int drawn = form.liveDraws();
    // Selections run at once, each superseding the one before.
    auto* contour = h.find<QComboBox>("CBKontur");
    for (int item : { 2, 4, 5, 0, 1 }) {
        contour->setCurrentIndex(item);
        emit contour->activated(item);
    }
    ASSERT_TRUE(test::waitForLive(form));
    EXPECT_EQ(form.liveDraws(), drawn + 1);
    const std::vector<double> expected = splOf(form.design());
    EXPECT_EQ(drawnSpl(expected), expected);

    // Undone in the live mode: the design exactly as before, drawn again.
    form.action("Rueckgaengig")->trigger();
    ASSERT_TRUE(test::waitForLive(form));
    EXPECT_TRUE(form.design() == before);
    const std::vector<double> restored = splOf(before);
    EXPECT_EQ(drawnSpl(restored), restored);
    EXPECT_NE(restored, expected);
}

TEST_F(MainLive, anInvalidValueIsTintedNamedInTheStatusLineAndKeepsTheCurves)
{
    TMainForm& form = startLive();
    h.type("Editl1", "1.5");
    ASSERT_TRUE(test::waitForLive(form));
    const auto valid = form.results().slot(0).spl;
    ASSERT_TRUE(form.results().slot(0).isFilled());

    h.type("EditxT1", "9");
    ASSERT_TRUE(test::waitForLive(form));
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(form.statusText(), "Eingabe PositionTreiber1 nicht erlaubt!");
    EXPECT_EQ(h.find<QLineEdit>("EditxT1")->palette().color(QPalette::Base), flaggedColour());
    EXPECT_EQ(form.results().slot(0).spl, valid);

    h.type("EditxT1", "0.5");
    ASSERT_TRUE(test::waitForLive(form));
    EXPECT_TRUE(form.statusText().isEmpty());
    EXPECT_EQ(h.find<QLineEdit>("EditxT1")->palette().color(QPalette::Base), boxColour(BoxColour::Window));
    EXPECT_NE(form.results().slot(0).spl, valid);
}

// The status line makes the main window taller: "Sonstiges" below it and
// the "Regler" window must stay clear of it, switched on or remembered.
TEST_F(MainLive, theStatusLineCoversNoWindowBelowTheInputs)
{
    auto clearOfMain = [this](const QWidget& w) {
        test::settle();
        return !outerFrame(&w).intersects(outerFrame(h.form.get()));
    };
    TMainForm& form = h.start();
    test::settle();
    const int plainBottom = outerFrame(&form).bottom();
    form.action("LiveSimulation1")->trigger();
    ASSERT_GT(outerFrame(&form).bottom(), plainBottom);
    EXPECT_TRUE(clearOfMain(form.paramForm()));

    h.form.reset();
    TMainForm& again = h.start();
    ASSERT_TRUE(again.liveSimulation());
    EXPECT_TRUE(clearOfMain(again.paramForm()));
    again.action("Regler1")->trigger();
    EXPECT_TRUE(clearOfMain(again.reglerForm()));
    EXPECT_FALSE(outerFrame(&again.reglerForm()).intersects(outerFrame(&again.paramForm())));
}

// The same edits with and without the live mode, then Start.
TEST(MainLiveStart, startAfterLiveEditsWritesTheSameFilesAndSlotAsWithout)
{
    struct Outcome {
        std::string contour, data;
        ResultSlot slot;
        int curveSlot = 0;
        size_t messages = 0;
    };
    auto run = [](bool live) {
        test::WindowHarness h;
        TMainForm& form = h.start();
        if (live)
            form.action("LiveSimulation1")->trigger();
        // Live: the last box is still being typed in when Start is pressed.
        for (auto [box, text] : { std::pair { "Editl1", "1,5" }, { "EditVrk", "35" }, { "EditAh", "150" } }) {
            h.type(box, text);
            if (live)
                EXPECT_TRUE(test::waitForLive(form));
            else
                h.leave();
        }
        h.find<QPushButton>("ButtonStart")->click();
        test::settle();
        return Outcome { test::readBytes(h.settingsDir() + "/contour.txt"),
            test::readBytes(h.settingsDir() + "/data.txt"), form.results().slot(0),
            form.results().curveSlot(), h.dialogs.messages.size() };
    };
    const Outcome plain = run(false);
    const Outcome live = run(true);
    ASSERT_GT(plain.data.size(), 1000u);
    EXPECT_EQ(live.data, plain.data);
    EXPECT_EQ(live.contour, plain.contour);
    EXPECT_EQ(live.curveSlot, 1);
    EXPECT_EQ(live.curveSlot, plain.curveSlot);
    EXPECT_EQ(live.messages, plain.messages);
    for (auto field : { &ResultSlot::frequency, &ResultSlot::spl, &ResultSlot::zel, &ResultSlot::x1,
             &ResultSlot::splMax, &ResultSlot::pmax1, &ResultSlot::phase })
        EXPECT_EQ(live.slot.*field, plain.slot.*field);
    EXPECT_EQ(live.slot.contourA, plain.slot.contourA);
}

} // namespace
} // namespace velumo
