#include <gtest/gtest.h>

#include "DesignHistory.h"
#include "InputCheck.h"

namespace velumo {
namespace {

struct QuietCheck : CheckSink {
    void message(const Message&) override { }
    void focus(std::string_view) override { }
};

TEST(DesignHistory, sameInputsSeesValuesButNotWhatFollowsFromThem)
{
    Design a;
    Design b = a;
    // Colours and hints are the check's, the limits of an automatic axis
    // the drawing's.
    b.control("EditVrk").colour = BoxColour::ButtonFace;
    b.control("EditAbst").hint = "anders";
    ASSERT_TRUE(b.axisAuto(0));
    b.minMaxCell(1, 0) = "123";
    EXPECT_TRUE(sameInputs(a, b));
    EXPECT_FALSE(a == b);

    // Every kind of input counts, the limits of an axis set by hand too.
    a.setAxisAuto(4, false);
    for (auto change :
        std::initializer_list<void (*)(Design&)> { [](Design& d) { d.setText("Editl1", "1.5"); },
            [](Design& d) { d.setIndex("CBKontur", d.index("CBKontur") + 1); },
            [](Design& d) { d.setChecked("CBAK", !d.checked("CBAK")); },
            [](Design& d) { d.fwCell(3, 2) = "4.7"; }, [](Design& d) { d.optionCell(1, 0) = "99"; },
            [](Design& d) { d.setAxisAuto(2, false); }, [](Design& d) { d.minMaxCell(0, 4) = "7"; } }) {
        Design changed = a;
        change(changed);
        EXPECT_FALSE(sameInputs(a, changed));
    }
}

// Besides what the window's undo tests see: a record without a change of
// inputs keeps the new colours in its step, a new edit drops the redo steps,
// and a reset design that was never saved matches nothing.
TEST(DesignHistory, recordKeepsColoursANewEditDropsRedoAndAnUnsavedResetMatchesNothing)
{
    Design d;
    DesignHistory h;
    h.reset(d, true);
    EXPECT_EQ(h.undo(), nullptr);
    const Design start = d;
    d.setText("Editl1", "1.5");
    EXPECT_TRUE(h.record(d, true));
    d.control("EditVrk").colour = BoxColour::ButtonFace;
    EXPECT_FALSE(h.record(d, false));
    const Design coloured = d;
    d.setText("EditVrk", "30");
    EXPECT_TRUE(h.record(d, true));
    const DesignStep* step = h.undo();
    ASSERT_NE(step, nullptr);
    EXPECT_TRUE(step->design == coloured);
    EXPECT_FALSE(step->inputsValid);

    Design other = coloured;
    other.setText("EditH", "40");
    EXPECT_TRUE(h.record(other, true));
    EXPECT_FALSE(h.canRedo());
    EXPECT_TRUE(h.undo()->design == coloured);
    EXPECT_TRUE(h.undo()->design == start);
    EXPECT_FALSE(h.canUndo());
    EXPECT_TRUE(h.matchesSaved(start));
    h.forgetSaved();
    EXPECT_FALSE(h.matchesSaved(start));
}

TEST(DesignHistory, keepsOnlyTheNewestSteps)
{
    Design d;
    DesignHistory h;
    h.reset(d, true);
    for (size_t i = 0; i < DesignHistory::kMaxSteps + 10; ++i) {
        d.setText("EditB", std::to_string(i));
        h.record(d, true);
    }
    size_t undos = 0;
    while (h.undo())
        ++undos;
    EXPECT_EQ(undos, DesignHistory::kMaxSteps - 1);
}

// The check leaves nothing for a second record to take as a new step.
TEST(DesignHistory, aSecondCheckIsNoNewStep)
{
    Design d;
    d.setText("Editl1", "1,5");
    QuietCheck sink;
    CheckVariables(d, sink);
    DesignHistory h;
    h.reset(d, true);
    CheckVariables(d, sink);
    EXPECT_FALSE(h.record(d, true));
}

} // namespace
} // namespace velumo
