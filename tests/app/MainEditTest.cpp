// "Bearbeiten": every kind of edit taken back and done again exactly, the
// unsaved state following; and the sliders of the "Regler" window.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>

#include "AppTestSupport.h"
#include "IniFile.h"
#include "ReglerWindow.h"

namespace velumo {
namespace {

// Ctrl + key while `focus` has the keyboard: short-cuts first.
void pressCtrl(QWidget* focus, int key)
{
    if (!qt_sendShortcutOverrideEvent(focus, 0, key, Qt::ControlModifier, QString(), false, 1)) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(focus, &press);
    }
    QApplication::processEvents();
}

class MainEdit : public ::testing::Test {
protected:
    // Does the edit, then checks that undo gives back the design before it
    // bit for bit and redo the design after it, the unsaved state with them.
    void undoRedo(const char* what, const std::function<void()>& edit)
    {
        SCOPED_TRACE(what);
        test::settle();
        const Design before = form.design();
        const bool savedBefore = form.project().noUnsavedChanges();
        edit();
        test::settle();
        const Design after = form.design();
        ASSERT_FALSE(sameInputs(before, after));
        EXPECT_FALSE(form.project().noUnsavedChanges());
        form.action("Rueckgaengig")->trigger();
        EXPECT_TRUE(form.design() == before);
        EXPECT_EQ(form.project().noUnsavedChanges(), savedBefore);
        form.action("Wiederherstellen")->trigger();
        EXPECT_TRUE(form.design() == after);
        EXPECT_FALSE(form.project().noUnsavedChanges());
    }
    TReglerForm& slider(int row, const char* box)
    {
        form.action("Regler1")->trigger();
        auto* chooser = form.reglerForm().chooser(row);
        const int item = chooser->findData(QString::fromLatin1(box));
        EXPECT_GT(item, 0);
        chooser->setCurrentIndex(item);
        emit chooser->activated(item);
        return form.reglerForm();
    }
    void save(const std::string& path)
    {
        h.dialogs.files.push_back(QString::fromStdString(path));
        form.action("DateiSpeichernUnter")->trigger();
    }

    test::WindowHarness h;
    TMainForm& form = h.start();
};

TEST_F(MainEdit, everyKindOfEditIsUndoneAndRedoneExactly)
{
    test::settle();
    const Design start = form.design();
    undoRedo("typed", [&] { h.typeAndLeave("Editl1", "1,5"); });
    undoRedo("combo", [&] {
        auto* c = h.find<QComboBox>("CBKontur");
        c->setCurrentIndex(1);
        emit c->activated(1);
    });
    undoRedo("check box", [&] { h.find<QCheckBox>("CBAK")->click(); });
    undoRedo("radio", [&] { h.find<QRadioButton>("RGTreiber2_2")->click(); });
    undoRedo("crossover cell", [&] {
        h.find<QTabWidget>("PageControl1")->setCurrentIndex(3);
        auto* grid = h.find<QTableWidget>("FWGrid");
        grid->setFocus();
        grid->item(2, 3)->setText("4,7");
        h.leave();
    });
    undoRedo("slider", [&] {
        QSlider* s = slider(0, "EditVrk").slider(0);
        s->setSliderDown(true);
        for (int p : { 600, 700, 800, 900 })
            s->setValue(p);
        s->setSliderDown(false);
    });
    const std::string driver = h.home.file("driver.vlm");
    test::writeBytes(driver, "[Lautsprecher]\r\nGleichstromwiderstand=4\r\nFreiluftresonanzfrequenz=33\r\n");
    undoRedo("driver file", [&] {
        h.dialogs.files.push_back(QString::fromStdString(driver));
        form.action("Treiber1Oeffnen")->trigger();
    });
    EXPECT_TRUE(h.dialogs.messages.empty());

    // One step each, all the way back to the saved start.
    for (int i = 0; i < 7; ++i)
        form.action("Rueckgaengig")->trigger();
    EXPECT_FALSE(form.action("Rueckgaengig")->isEnabled());
    EXPECT_TRUE(form.project().noUnsavedChanges());
    EXPECT_TRUE(form.design() == start);
    // A new edit drops the steps ahead.
    form.action("Wiederherstellen")->trigger();
    h.find<QCheckBox>("CBAK")->click();
    test::settle();
    EXPECT_FALSE(form.action("Wiederherstellen")->isEnabled());
}

TEST_F(MainEdit, ctrlZInABoxTakesBackTheTypingAndOpeningAProjectClearsTheHistory)
{
    h.typeAndLeave("EditB", "12");
    h.type("EditH", "33");
    pressCtrl(h.find<QLineEdit>("EditH"), Qt::Key_Z);
    EXPECT_EQ(h.text("EditH"), "20");
    EXPECT_EQ(h.text("EditB"), "12");
    pressCtrl(h.find<QLineEdit>("EditH"), Qt::Key_Y);
    EXPECT_EQ(h.text("EditH"), "33");

    const std::string project = h.home.file("docs") + "/p.vlm";
    save(project);
    h.typeAndLeave("EditB", "14");
    form.action("Rueckgaengig")->trigger();
    EXPECT_TRUE(form.project().noUnsavedChanges()); // back at what was saved

    h.dialogs.files.push_back(QString::fromStdString(project));
    form.action("DateiOeffnen")->trigger();
    test::settle();
    EXPECT_FALSE(form.action("Rueckgaengig")->isEnabled());
    EXPECT_FALSE(form.action("Wiederherstellen")->isEnabled());
}

TEST_F(MainEdit, slidersWriteTheBoxAndAreStoredWithTheProject)
{
    h.typeAndLeave("EditVrk", "20");
    TReglerForm& regler = slider(1, "EditVrk");
    regler.maxBox(1)->setText("60");
    emit regler.maxBox(1)->editingFinished();
    regler.slider(1)->setValue(kSliderSteps);
    test::settle();
    EXPECT_EQ(h.text("EditVrk"), "60");
    EXPECT_EQ(form.design().text("EditVrk"), "60");
    EXPECT_EQ(regler.valueLabel(1)->text(), "60");
    // The keys work where the sliders are.
    regler.slider(1)->setFocus();
    pressCtrl(regler.slider(1), Qt::Key_Z);
    EXPECT_EQ(h.text("EditVrk"), "20");
    EXPECT_EQ(regler.slider(1)->value(), kSliderSteps / 5);
    pressCtrl(regler.slider(1), Qt::Key_Y);
    EXPECT_EQ(h.text("EditVrk"), "60");
    // Typing moves the slider.
    form.activateWindow();
    test::settle();
    h.typeAndLeave("EditVrk", "35");
    EXPECT_EQ(regler.slider(1)->value(), kSliderSteps / 2);

    const std::string project = h.home.file("docs") + "/regler.vlm";
    save(project);
    h.form.reset();
    TMainForm& again = h.start();
    h.dialogs.files.push_back(QString::fromStdString(project));
    again.action("DateiOeffnen")->trigger();
    EXPECT_EQ(again.reglerForm().sliders(), (std::vector<SliderSetting> { { "EditVrk", 10.0, 60.0 } }));
}

TEST(ReglerValues, rangesPositionsAndTextsOfASlider)
{
    EXPECT_EQ(defaultSlider("EditVrk", -8.0), (SliderSetting { "EditVrk", -12.0, -4.0 }));
    EXPECT_EQ(defaultSlider("Editl1", 0.0), (SliderSetting { "Editl1", 0.0, 1.0 }));
    const SliderSetting s { "Editl1", 0.5, 2.5 };
    EXPECT_EQ(sliderPosition(s, 9.0), kSliderSteps);
    EXPECT_EQ(sliderPosition(s, -9.0), 0);
    // A step of 0.002 needs three decimals; trailing zeros go.
    EXPECT_EQ(sliderText(s, sliderValue(s, 1)), "0.502");
    EXPECT_EQ(sliderText(s, 1.5), "1.5");
    EXPECT_EQ(sliderText({ "EditVrk", -1, 1 }, -0.0001), "0");
}

} // namespace
} // namespace velumo
