// The start command from the keyboard, and the sketch a run draws.

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>

#include "AppTestSupport.h"
#include "SkizzeWindow.h"

namespace velumo {
namespace {

double loudest(const ResultSlot& slot) { return *std::max_element(slot.spl.begin(), slot.spl.begin() + 50); }

TEST(MainRun, startFromTheKeyboardTakesTheEntryBeingTyped)
{
    test::WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    test::pressKey(h.find<QWidget>("ButtonStart"), Qt::Key_F9);
    // 100 Ohm typed into R1 of the crossover, the cell still open.
    h.find<QTabWidget>("PageControl1")->setCurrentIndex(3);
    auto* grid = h.find<QTableWidget>("FWGrid");
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->setText("100");
    test::pressKey(cell, Qt::Key_F9);
    EXPECT_LT(loudest(form.results().slot(1)), loudest(form.results().slot(0)) - 10.0);
    // A driver position beyond the horn typed, not left: refused, no run.
    h.find<QTabWidget>("PageControl1")->setCurrentIndex(0);
    h.type("EditxT1", "9");
    form.action("Start1")->trigger();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Eingabe PositionTreiber1 nicht erlaubt!");
    EXPECT_FALSE(form.results().slot(2).isFilled());
}

TEST(MainRun, sketchNotesComeOncePerDrawingCommand)
{
    test::WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    h.typeAndLeave("EditLrk", "0");
    auto notes = [&] {
        return std::count_if(h.dialogs.messages.begin(), h.dialogs.messages.end(),
            [](const auto& m) { return m.text == "Rückkammerlänge ist 0!"; });
    };
    h.find<QPushButton>("ButtonStart")->click();
    EXPECT_EQ(notes(), 1);
    // Resized on the small screen at scale factor 2: drawn at its density,
    // 10 logical pixels smaller than the client each way, as in the report.
    TSkizzeForm& sketch = form.sketchForm();
    sketch.setNormalFrame(QRect(1700, 20, 600, 400));
    test::settle();
    EXPECT_EQ(sketch.image().devicePixelRatio(), 2.0);
    EXPECT_EQ(sketch.image().deviceIndependentSize().toSize(), sketch.size() - QSize(10, 10));
    h.dialogs.files.push_back(QString::fromStdString(h.home.file("docs") + "/r.html"));
    form.action("HTMLExport1")->trigger();
    EXPECT_EQ(notes(), 1);
    h.find<QPushButton>("BtnRefresh")->click();
    EXPECT_EQ(notes(), 2);
}

} // namespace
} // namespace velumo
