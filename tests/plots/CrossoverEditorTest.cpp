#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QInputDevice>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "CrossoverEditor.h"
#include "Design.h"
#include "InputCheck.h"
#include "PlotsTestSupport.h"

using namespace velumo;

namespace {

// The test program's QApplication is a function-local static, destroyed at
// exit; Qt's list of input devices (filled by the first mouse event) must
// outlive it, so it is created before any test runs.
const bool inputDevicesFirst = (QInputDevice::devices(), true);

class RecordingCheckSink : public CheckSink {
public:
    void message(const Message& m) override { messages.push_back(m); }
    void focus(std::string_view) override { }
    std::vector<Message> messages;
};

void click(QWidget* w)
{
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(local);
    QMouseEvent press(
        QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

// The editor inside a window with one more input to move the focus to.
struct EditorWindow {
    bool appReady = (velumo::test::guiApp(), true); // before any widget
    Design design;
    QWidget window;
    CrossoverEditor* editor;
    QLineEdit* other;
    int handlerCalls = 0;
    RecordingCheckSink sink;

    EditorWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        editor = new CrossoverEditor(design);
        other = new QLineEdit;
        layout->addWidget(editor);
        layout->addWidget(other);
        editor->setInputLeftHandler([this] {
            ++handlerCalls;
            CheckVariables(design, sink);
        });
    }

    // The offscreen platform activates a window when it is shown, so the
    // focus moves as on a desktop; a platform that does not fails here.
    void showActive()
    {
        window.show();
        window.activateWindow();
        for (int i = 0; i < 50 && !window.isActiveWindow(); ++i)
            QApplication::processEvents();
        ASSERT_TRUE(window.isActiveWindow()) << "the window did not get the focus";
    }

    // Types text into a cell the way a user does: open the cell editor
    // (selecting another cell opens it already) and replace its text;
    // typeAndLeave then leaves the grid.
    void typeInto(int row, int col, const QString& text)
    {
        QTableWidget* grid = editor->grid();
        grid->setFocus();
        QApplication::processEvents();
        grid->setCurrentCell(row, col);
        if (!qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            grid->editItem(grid->item(row, col));
        QApplication::processEvents();
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(line, nullptr) << "no cell editor open";
        line->setText(text);
    }

    void typeAndLeave(int row, int col, const QString& text)
    {
        typeInto(row, col, text);
        other->setFocus();
        QApplication::processEvents();
    }
};

} // namespace

TEST(CrossoverEditor, gridHasItsSizeColumnsAndTitlesAndShowsTheDesign)
{
    velumo::test::guiApp();
    Design design;
    CrossoverEditor editor(design);
    QTableWidget* grid = editor.grid();
    EXPECT_EQ(grid->objectName(), "FWGrid");
    EXPECT_EQ(grid->columnCount(), 15);
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->size(), QSize(483, 79));
    EXPECT_EQ(grid->columnWidth(1), 29);
    EXPECT_EQ(grid->columnWidth(0), 58);
    EXPECT_EQ(grid->rowHeight(2), 18);
    const struct {
        int row, col;
        const char* text;
    } titles[]
        = { { 1, 0, "R [Ohm]" }, { 2, 0, "C [uF]" }, { 3, 0, "L [mH]" }, { 0, 1, "1" }, { 0, 14, "14" } };
    for (const auto& t : titles)
        EXPECT_EQ(grid->item(t.row, t.col)->text(), t.text);
    // Titles are fixed, values editable.
    EXPECT_FALSE(grid->item(0, 3)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(grid->item(2, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->item(2, 3)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(editor.ignoreBox()->text(), "Frequenzweiche ignorieren");

    design.fwCell(5, 3) = "2.2";
    design.setChecked("CBohneFW", true);
    editor.refreshFromDesign();
    EXPECT_EQ(grid->item(3, 5)->text(), "2.2");
    EXPECT_TRUE(editor.ignoreBox()->isChecked());
    EXPECT_EQ(design.fwCell(5, 3), "2.2"); // showing the design is no edit of it
}

TEST(CrossoverEditor, everyElementIsAClickablePictureWithItsHint)
{
    velumo::test::guiApp();
    Design design;
    CrossoverEditor editor(design);
    for (int n = 1; n <= 14; ++n) {
        for (const char* e : { "R", "C", "L" }) {
            const QString hint = QString::fromLatin1(e) + QString::number(n);
            CrossoverElementPicture* p = editor.picture(hint);
            ASSERT_NE(p, nullptr) << hint.toStdString();
            EXPECT_EQ(p->cursor().shape(), Qt::PointingHandCursor);
        }
    }
    ASSERT_NE(editor.picture("Treiber1"), nullptr);
    ASSERT_NE(editor.picture("Treiber2"), nullptr);
    // Shunt positions (R2, C14) stand upright.
    const std::pair<const char*, QRect> places[]
        = { { "L13", QRect(375, 242, 29, 9) }, { "C1", QRect(60, 136, 15, 13) },
              { "R2", QRect(112, 143, 9, 29) }, { "C14", QRect(414, 276, 13, 15) } };
    for (const auto& [hint, rect] : places)
        EXPECT_EQ(editor.picture(hint)->geometry(), rect) << hint;
    EXPECT_EQ(editor.picture("Treiber2")->pos(), QPoint(444, 265));
}

TEST(CrossoverEditor, clickOnAnElementSelectsItsCell)
{
    EditorWindow w;
    w.showActive();
    const Design before = w.design;
    // The drivers only carry hints: Treiber1 leaves the cell of R7.
    const struct {
        const char* hint;
        int row, col;
    } cases[] = { { "L13", 3, 13 }, { "R1", 1, 1 }, { "C10", 2, 10 }, { "R7", 1, 7 }, { "Treiber1", 1, 7 } };
    for (const auto& c : cases) {
        click(w.editor->picture(c.hint));
        EXPECT_EQ(w.editor->grid()->currentRow(), c.row) << c.hint;
        EXPECT_EQ(w.editor->grid()->currentColumn(), c.col) << c.hint;
    }
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == w.editor->grid() || w.editor->grid()->isAncestorOf(focus));
    EXPECT_TRUE(w.design == before); // a click only selects
}

TEST(CrossoverEditor, leavingTheGridConvertsTheEntries)
{
    EditorWindow w;
    w.showActive();
    w.typeAndLeave(2, 1, "10");
    EXPECT_EQ(w.handlerCalls, 1);
    EXPECT_EQ(w.editor->grid()->item(2, 1)->text(), "10");
    EXPECT_EQ(w.design.fwCell(1, 2), "10");
    EXPECT_DOUBLE_EQ(w.design.crossover().C[1], 1e-5);
    EXPECT_DOUBLE_EQ(w.design.crossover().invC[1], 1e5);

    w.typeAndLeave(2, 1, "0");
    EXPECT_EQ(w.handlerCalls, 2);
    EXPECT_EQ(w.editor->grid()->item(2, 1)->text(), "");
    EXPECT_EQ(w.design.crossover().C[1], 0.0);
    EXPECT_EQ(w.design.crossover().invC[1], 0.0);

    w.typeAndLeave(3, 4, "4,7");
    EXPECT_EQ(w.editor->grid()->item(3, 4)->text(), "4.7");
    EXPECT_DOUBLE_EQ(w.design.crossover().L[4], 4.7e-3);
}

TEST(CrossoverEditor, runFromTheKeyboardTakesTheOpenCellAsLeavingWould)
{
    EditorWindow w;
    w.showActive();
    w.other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(w.editor->commitPendingEdit()); // the grid has no focus
    w.typeInto(1, 6, "8,2");
    EXPECT_EQ(w.design.fwCell(6, 1), "");
    const int calls = w.handlerCalls;
    EXPECT_TRUE(w.editor->commitPendingEdit());
    EXPECT_EQ(w.handlerCalls, calls + 1);
    EXPECT_EQ(w.editor->grid()->item(1, 6)->text(), "8.2");
    EXPECT_DOUBLE_EQ(w.design.crossover().R[6], 8.2);
}

TEST(CrossoverEditor, ignoreSwitchWritesTheDesignAndRunsTheCheck)
{
    EditorWindow w;
    for (int calls = 1; calls <= 2; ++calls) {
        w.editor->ignoreBox()->click();
        EXPECT_EQ(w.design.checked("CBohneFW"), calls == 1);
        EXPECT_EQ(w.handlerCalls, calls);
    }
}
