// The main window driven as a user drives it: typing and leaving boxes,
// clicking, the start command, the colour squares, the file commands and
// closing. Boxes and dialogs are answered by FakeDialogs.

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include "About.h"
#include "AppTestSupport.h"
#include "GraphSet.h"
#include "IniFile.h"
#include "InputPagesView.h"
#include "ParamWindow.h"
#include "ResultWindow.h"

namespace velumo {
namespace {

using test::pressKey;
using test::WindowHarness;

void click(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(
        QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

int pixelsOf(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

// A window started in its temporary home for every case.
class MainWindow : public ::testing::Test {
protected:
    static QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }
    static QColor buttonFace() { return QApplication::palette().color(QPalette::Button); }
    static QColor windowColour() { return QApplication::palette().color(QPalette::Base); }
    // The colour of the square's corner: only the selected square is filled
    // up to its edge.
    static QColor corner(QLabel* square) { return square->pixmap().toImage().pixelColor(0, 0); }
    QString docs(const std::string& name) const
    {
        return QString::fromStdString(h.home.file("docs") + "/" + name);
    }
    void choose(const char* combo, int index)
    {
        auto* box = h.find<QComboBox>(combo);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // A valid design (the default one with a real horn) run once.
    void runOnce()
    {
        h.typeAndLeave("Editl1", "1.5");
        form.action("Start1")->trigger();
    }
    int splPixels(const QColor& colour) { return pixelsOf(form.graphs().spl().plotView()->image(), colour); }

    WindowHarness h;
    TMainForm& form = h.start();
};

TEST_F(MainWindow, freshStartShowsTheDesignGridsAndFiles)
{
    for (auto [box, item] :
        { std::pair { "CBKontur", "Parabolisch" }, { "CBPosi", "Halbraum" }, { "CBTyp", "Frontloaded" } })
        EXPECT_EQ(h.find<QComboBox>(box)->currentText(), item) << box;
    EXPECT_TRUE(h.find<QRadioButton>("RGTreiber2_0")->isChecked());
    EXPECT_EQ(h.find<QRadioButton>("RGTreiber2_0")->text(), "Ohne");
    EXPECT_EQ(h.text("EditRdc"), "8");
    EXPECT_FALSE(h.find<QCheckBox>("CBT2SkizzeOben")->isEnabled());
    EXPECT_TRUE(h.find<QCheckBox>("CBAKSkizzeOben")->isChecked());
    EXPECT_TRUE(h.dialogs.messages.empty()); // a fresh design raises no message at all
    EXPECT_EQ(form.windowTitle(), "Velumo");

    auto* options = h.find<QTableWidget>("OptionGrid");
    EXPECT_EQ(options->item(0, 0)->text(), "Frequenzauflösung [Punkte]");
    EXPECT_EQ(options->item(1, 1)->text(), "51");
    EXPECT_EQ(options->columnWidth(0), 4 * options->columnWidth(1));
    EXPECT_EQ(h.find<QTableWidget>("MinMaxGrid")->item(8, 1)->text(), "0");
    auto* autoList = h.find<QListWidget>("CheckListAuto");
    ASSERT_EQ(autoList->count(), 9);
    EXPECT_EQ(autoList->item(7)->text(), "Frequenzachse [Hz]");
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(autoList->item(r)->checkState(), Qt::Checked) << r;
    auto* fw = h.find<QTableWidget>("FWGrid");
    EXPECT_EQ(fw->item(0, 14)->text(), "14");
    EXPECT_EQ(fw->item(3, 0)->text(), "L [mH]");
    EXPECT_FALSE(h.find<QPushButton>("BtnClear")->isEnabled());
    EXPECT_FALSE(h.find<QPushButton>("BtnRefresh")->isEnabled());
    EXPECT_EQ(form.aboutBox().productName(), "Velumo 7.0.148\n");
    EXPECT_EQ(form.project().projectPath(), h.home.file("docs") + "/new.vlm");
    EXPECT_TRUE(form.project().noUnsavedChanges());
    EXPECT_TRUE(std::filesystem::exists(h.settingsDir() + "/contour.txt"));
    EXPECT_EQ(std::filesystem::file_size(h.settingsDir() + "/contour.txt"), 0u);
}

TEST_F(MainWindow, windowsStartAtTheirPlaces)
{
    EXPECT_EQ(form.pos(), QPoint(0, 0));
    EXPECT_TRUE(form.graphs().phia().isMinimized());
    EXPECT_EQ(form.paramForm().frameGeometry().top(), form.frameGeometry().bottom() + 1 + 2);
    const QRect spl = form.graphs().spl().frameGeometry();
    EXPECT_EQ(spl.topLeft(), QPoint(form.frameGeometry().right() + 1 + 2, 0));
    EXPECT_EQ(form.graphs().zel().frameGeometry().topLeft(), QPoint(spl.left(), spl.bottom() + 1 + 2));
}

TEST_F(MainWindow, outlineHasItsTabsFixedClientAreaAndMenuTexts)
{
    EXPECT_EQ(form.centralWidget()->size(), QSize(559, 425));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    auto* pages = h.find<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 5);
    const char* tabs[] = { "&Treiber", "&Horn", "", "&Frequenzweiche", "&Achsen" };
    for (int i : { 0, 1, 3, 4 })
        EXPECT_EQ(pages->tabText(i), tabs[i]);
    EXPECT_FALSE(pages->isTabVisible(2));
    EXPECT_EQ(pages->tabToolTip(4), "Achsen");
    for (auto [button, text] : { std::pair { "BtnTreiber1Oeffnen", "Treiber1 öffnen" },
             { "BtnRefresh", "Aktualisieren" }, { "ButtonStart", "&Start" } })
        EXPECT_EQ(h.find<QPushButton>(button)->text(), text) << button;
    for (auto [widget, tip] :
        { std::pair { "PageControl1", "Dateneingabe" }, { "EditVas2", "Äquivalentvolumen" },
            { "Evo2Image", "Nächste Simulation: grün" }, { "BtnClear", "Alle Graphen löschen" } })
        EXPECT_EQ(h.find<QWidget>(widget)->toolTip(), tip) << widget;
    EXPECT_EQ(h.find<QWidget>("Evo2Image")->size(), QSize(15, 15));
    // Black and red on top, green and blue below.
    EXPECT_EQ(h.find<QWidget>("Evo1Image")->y(), h.find<QWidget>("Evo0Image")->y());
    EXPECT_GT(h.find<QWidget>("Evo2Image")->y(), h.find<QWidget>("Evo0Image")->y());

    EXPECT_EQ(form.action("DateiOeffnen")->text(), "Ö&ffnen");
    EXPECT_EQ(form.action("DateiSpeichernUnter")->text(), "Speichern &unter ...");
    EXPECT_EQ(form.action("Frequenzgnge1")->toolTip(), "Zeigt die Frequenzgänge numerisch an.");
    for (auto [action, key] : { std::pair { "Start1", QKeySequence(Qt::Key_F9) },
             { "Handbuch", QKeySequence(Qt::Key_F1) }, { "DateiSpeichern", QKeySequence(QKeySequence::Save) },
             { "DateiSpeichernUnter", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) },
             { "Beenden1", QKeySequence(Qt::CTRL | Qt::Key_Q) } })
        EXPECT_EQ(form.action(action)->shortcut(), key) << action;
}

TEST_F(MainWindow, menuHandsListsToTheDesktopAndShowsTheAboutBox)
{
    form.action("Konturlisten1")->trigger();
    form.action("Frequenzgnge1")->trigger();
    ASSERT_EQ(h.dialogs.opened.size(), 2u);
    EXPECT_EQ(h.dialogs.opened[0], QString::fromStdString(h.settingsDir() + "/contour.txt"));
    EXPECT_EQ(h.dialogs.opened[1], QString::fromStdString(h.settingsDir() + "/data.txt"));
    form.action("Info1")->trigger();
    ASSERT_EQ(h.dialogs.dialogTitles.size(), 1u);
    EXPECT_EQ(h.dialogs.dialogTitles[0], "Info");
}

TEST_F(MainWindow, axesTabShowsEveryCaptionInFullAndNamesMinAndMax)
{
    h.find<QTabWidget>("PageControl1")->setCurrentIndex(4);
    test::settle();
    auto* list = h.find<QListWidget>("CheckListAuto");
    const int box = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    for (int r = 0; r < list->count(); ++r)
        EXPECT_LT(
            list->fontMetrics().horizontalAdvance(list->item(r)->text()) + box, list->viewport()->width());
    auto* options = h.find<QTableWidget>("OptionGrid");
    for (int r = 0; r < options->rowCount(); ++r)
        EXPECT_LT(
            options->fontMetrics().horizontalAdvance(options->item(r, 0)->text()), options->columnWidth(0));
    auto* minMax = h.find<QTableWidget>("MinMaxGrid");
    EXPECT_TRUE(minMax->horizontalHeader()->isVisible());
    EXPECT_EQ(minMax->horizontalHeaderItem(0)->text(), "Min");
    EXPECT_EQ(minMax->horizontalHeaderItem(1)->text(), "Max");
    // The list's rows stand beside the grid's rows.
    EXPECT_EQ(list->viewport()->mapTo(&form, list->visualItemRect(list->item(8)).topLeft()).y(),
        minMax->viewport()->mapTo(&form, minMax->visualItemRect(minMax->item(8, 0)).topLeft()).y());
}

TEST_F(MainWindow, leavingABoxWithACommaLeavesAPoint)
{
    h.typeAndLeave("EditQes", "0,71");
    EXPECT_EQ(h.text("EditQes"), "0.71");
    EXPECT_EQ(form.design().text("EditQes"), "0.71");
    EXPECT_FALSE(form.project().noUnsavedChanges());
}

TEST_F(MainWindow, refusedDriverPositionShowsItsMessageAndBlocksTheStart)
{
    h.typeAndLeave("Editl1", "0.5");
    h.typeAndLeave("EditxT1", "0.6");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "");
    EXPECT_EQ(h.dialogs.messages[0].text, "Eingabe PositionTreiber1 nicht erlaubt!");
    EXPECT_EQ(QApplication::focusWidget(), h.find<QWidget>("EditxT1"));
    EXPECT_EQ(h.text("EditxT1"), "0.6");
    form.action("Start1")->trigger();
    // The start only checks again: the same refusal, no run.
    EXPECT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_FALSE(form.results().slot(0).isFilled());
    EXPECT_FALSE(std::filesystem::exists(h.settingsDir() + "/data.txt"));
}

TEST_F(MainWindow, colourAndHintsFollowTheCheck)
{
    EXPECT_EQ(base(h.find<QWidget>("EditRdc2")), buttonFace());
    click(h.find<QRadioButton>("RGTreiber2_2"));
    EXPECT_EQ(base(h.find<QWidget>("EditRdc2")), windowColour());
    EXPECT_TRUE(h.find<QCheckBox>("CBRK2")->isEnabled());

    h.find<QComboBox>("CBTyp")->setFocus(Qt::MouseFocusReason);
    choose("CBTyp", 1);
    h.leave();
    EXPECT_EQ(h.find<QWidget>("EditAbst")->toolTip(), "Abstand Mic -> Membran 1");
    EXPECT_EQ(base(h.find<QWidget>("EditVrk")), buttonFace());
}

TEST_F(MainWindow, startWithAValidDesignFillsSlotZeroAndWritesTheResultList)
{
    runOnce();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front().text.toStdString();
    EXPECT_TRUE(form.results().slot(0).isFilled());
    EXPECT_FALSE(form.results().slot(1).isFilled());
    const std::string data = test::readBytes(h.settingsDir() + "/data.txt");
    EXPECT_GT(std::count(data.begin(), data.end(), '\n'), 50);
    EXPECT_TRUE(h.find<QPushButton>("BtnClear")->isEnabled());
    EXPECT_TRUE(h.find<QPushButton>("BtnRefresh")->isEnabled());
    EXPECT_TRUE(h.find<QPushButton>("ButtonStart")->isEnabled());
    EXPECT_FALSE(form.paramForm().Memo1()->toPlainText().isEmpty());
    EXPECT_GT(splPixels(Qt::black), 100);
    // The colour option is on by default: the next run is red.
    EXPECT_EQ(form.results().curveSlot(), 1);
    EXPECT_EQ(corner(h.find<QLabel>("Evo1Image")), QColor(255, 0, 0));
    EXPECT_NE(corner(h.find<QLabel>("Evo0Image")), QColor(0, 0, 0));
    EXPECT_EQ(h.find<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(MainWindow, listsThatCannotBeWrittenAreNamedInAHinweisWhileTheRunStillDraws)
{
    {
        const test::FileSizeLimit diskFull(100);
        runOnce();
    }
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, QStringLiteral("Hinweis"));
    EXPECT_EQ(h.dialogs.messages[0].text.toStdString(),
        "Die Liste " + h.settingsDir()
            + "/contour.txt konnte nicht geschrieben werden: Die Datei wird zu "
              "groß.\nDie vorigen Listen bleiben unverändert.");
    EXPECT_TRUE(form.results().slot(0).isFilled());
    EXPECT_GT(splPixels(Qt::black), 100);
    EXPECT_FALSE(std::filesystem::exists(h.settingsDir() + "/data.txt"));
}

TEST_F(MainWindow, keyF9RunsTheStart)
{
    h.typeAndLeave("Editl1", "1.5");
    pressKey(h.find<QWidget>("EditQes"), Qt::Key_F9);
    EXPECT_TRUE(form.results().slot(0).isFilled());
}

TEST_F(MainWindow, colourSquareChoosesTheRunClearEmptiesAndRefreshRedraws)
{
    h.typeAndLeave("Editl1", "1.5");
    click(h.find<QLabel>("Evo1Image"));
    EXPECT_EQ(form.results().curveSlot(), 1);
    EXPECT_EQ(corner(h.find<QLabel>("Evo1Image")), QColor(255, 0, 0));
    h.find<QPushButton>("ButtonStart")->click();
    EXPECT_TRUE(form.results().slot(1).isFilled());
    EXPECT_FALSE(form.results().slot(0).isFilled());
    EXPECT_GT(splPixels(Qt::red), 100);
    EXPECT_EQ(form.results().curveSlot(), 2);
    EXPECT_EQ(corner(h.find<QLabel>("Evo2Image")), QColor(0, 128, 0));

    // Clearing leaves only the grid and starts again with black.
    h.find<QPushButton>("BtnClear")->click();
    EXPECT_EQ(splPixels(Qt::red), 0);
    EXPECT_EQ(form.results().curveSlot(), 0);
    EXPECT_EQ(corner(h.find<QLabel>("Evo0Image")), QColor(0, 0, 0));
    EXPECT_FALSE(form.results().slot(1).isFilled());
    EXPECT_FALSE(h.find<QPushButton>("BtnRefresh")->isEnabled());

    // A black and a red run, then "Aktualisieren" draws both again.
    h.find<QPushButton>("ButtonStart")->click();
    click(h.find<QLabel>("Evo1Image"));
    h.typeAndLeave("Editl1", "2");
    h.find<QPushButton>("ButtonStart")->click();
    form.graphs().NewGrids();
    EXPECT_EQ(splPixels(Qt::red), 0);
    h.find<QPushButton>("BtnRefresh")->click();
    EXPECT_GT(splPixels(Qt::red), 100);
    EXPECT_GT(splPixels(Qt::black), 100);
}

TEST_F(MainWindow, tractrixThatMissesTheMouthRewritesTheMouthHeight)
{
    h.typeAndLeave("EditH", "100");
    h.typeAndLeave("EditB", "100");
    h.typeAndLeave("Editl1", "0.1");
    choose("CBKontur", 6);
    h.find<QComboBox>("CBKontur")->setFocus();
    h.leave();
    ASSERT_TRUE(h.dialogs.messages.empty());
    form.action("Start1")->trigger();
    ASSERT_GE(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Mundfläche kann durch Traktrixfunktion\nnicht erreicht werden.");
    const double height = h.text("EditH").toDouble();
    EXPECT_GT(height, 0.0);
    EXPECT_LT(height, 100.0);
    EXPECT_EQ(form.design().text("EditH"), h.text("EditH").toStdString());
}

TEST_F(MainWindow, leavingTheCrossoverGridRunsTheCheck)
{
    auto* grid = h.find<QTableWidget>("FWGrid");
    h.find<QTabWidget>("PageControl1")->setCurrentIndex(3);
    grid->setFocus();
    grid->setCurrentCell(2, 1);
    grid->editItem(grid->item(2, 1));
    QApplication::processEvents();
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->setText("4,7");
    h.leave();
    EXPECT_EQ(grid->item(2, 1)->text(), "4.7");
    test::expectNearRel(form.design().crossover().C[1], 4.7e-6, 1e-12);
    EXPECT_FALSE(form.project().noUnsavedChanges());
}

TEST_F(MainWindow, optionsDialogWritesOnlyOnOkAndKeepsTheColour)
{
    h.dialogs.onDialog = [](QDialog& d) {
        d.findChild<QCheckBox*>("CBFarbeWechseln")->setChecked(false);
        return int(QDialog::Rejected); // "Abbrechen"
    };
    form.action("Optionen1")->trigger();
    EXPECT_TRUE(form.project().settings().changeColourAfterRun());
    h.dialogs.onDialog = [](QDialog& d) {
        EXPECT_TRUE(d.findChild<QCheckBox*>("CBFarbeWechseln")->isChecked());
        d.findChild<QCheckBox*>("CBFarbeWechseln")->setChecked(false);
        return int(QDialog::Accepted);
    };
    form.action("Optionen1")->trigger();
    EXPECT_FALSE(form.project().settings().changeColourAfterRun());
    ASSERT_EQ(h.dialogs.dialogTitles.size(), 2u);
    EXPECT_EQ(h.dialogs.dialogTitles[0], "Optionen");

    runOnce();
    EXPECT_EQ(form.results().curveSlot(), 0);
    EXPECT_TRUE(form.results().slot(0).isFilled());
}

TEST_F(MainWindow, closingAFreshStartAsksNothing)
{
    form.close();
    EXPECT_TRUE(h.dialogs.questions.empty());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindow, closingAfterTypingAsksAndCancelKeepsTheWindow)
{
    bool ended = false;
    QObject::connect(&form, &TMainForm::programEnds, [&] { ended = true; });
    h.type("EditQes", "0.5"); // typed, not yet left
    h.dialogs.answers.push_back(UserDialogs::Answer::Cancel);
    form.close();
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_EQ(h.dialogs.questions[0].caption, "Hinweis");
    EXPECT_EQ(h.dialogs.questions[0].text, "Aktuelle Datei speichern?");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(ended);
    EXPECT_TRUE(h.find<QPushButton>("BtnRefresh")->isEnabled());

    h.dialogs.answers.push_back(UserDialogs::Answer::No);
    form.close();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindow, quittingEndsTheEventLoopAndClosesEveryWindow)
{
    h.type("EditQes", "0.5");
    h.dialogs.answers.push_back(UserDialogs::Answer::No);
    QTimer::singleShot(0, &form, [this] { form.action("Beenden1")->trigger(); });
    // A program that keeps running is stopped here with another exit code.
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    stillRunning.start(5000);
    EXPECT_EQ(runProgram(form), 0);
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

TEST_F(MainWindow, closingWithYesButACancelledSaveKeepsTheWindow)
{
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.answers.push_back(UserDialogs::Answer::Yes); // save, then no name given
    form.close();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "Datei speichern unter ...");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(h.text("EditQes"), "0.5");

    h.dialogs.answers.push_back(UserDialogs::Answer::Yes);
    h.dialogs.files.push_back(docs("kept.vlm"));
    form.close();
    EXPECT_FALSE(form.isVisible());
    const IniFile ini = IniFile::load(docs("kept.vlm").toStdString());
    EXPECT_EQ(ini.value("Lautsprecher", "elektrische Güte").value_or(""), "0.5");
}

TEST_F(MainWindow, failedSaveShowsAnErrorAndKeepsTheDesignUnsaved)
{
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.files.push_back(QString::fromStdString(h.home.file("missing/folder/x.vlm")));
    form.action("DateiSpeichernUnter")->trigger();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Fehler");
    EXPECT_FALSE(form.project().noUnsavedChanges());
    EXPECT_EQ(form.windowTitle(), "Velumo");
}

TEST_F(MainWindow, newGivesTheDesignTheUnsavedName)
{
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.answers.push_back(UserDialogs::Answer::No);
    form.action("DateiNeu")->trigger();
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_EQ(form.windowTitle(), "Velumo  " + docs("new.vlm"));
    EXPECT_EQ(h.text("EditQes"), "0.5");
}

TEST_F(MainWindow, showAllGraphsRestoresClosedWindows)
{
    form.graphs().spl().close();
    EXPECT_TRUE(form.graphs().spl().isMinimized());
    EXPECT_TRUE(form.graphs().spl().isVisible());
    form.action("AlleFensterzeigen1")->trigger();
    EXPECT_FALSE(form.graphs().spl().isMinimized());
    EXPECT_FALSE(form.graphs().phia().isMinimized());
}

TEST_F(MainWindow, openingAProjectPlacesTheWindowsItStores)
{
    test::writeBytes(
        docs("placed.vlm").toStdString(), "[Plotoptionen]\r\nSPLLeft=700\r\nSPLTop=-50\r\nZelWS=1\r\n");
    h.dialogs.files.push_back(docs("placed.vlm"));
    form.action("DateiOeffnen")->trigger();
    EXPECT_EQ(form.graphs().spl().frameGeometry().topLeft(), QPoint(700, 0));
    EXPECT_TRUE(form.graphs().zel().isMinimized());
    const WindowGeometry stored = form.collectGeometry();
    EXPECT_EQ(stored.rect(WindowId::Spl).left, 700);
    EXPECT_EQ(stored.state(WindowId::Zel), kStateMinimised);
}

TEST_F(MainWindow, saveThenOpenRoundTripsTheDesign)
{
    const QString path = docs("horn.vlm");
    h.typeAndLeave("EditQes", "0.42");
    h.typeAndLeave("Editl1", "2.5");
    choose("CBKontur", 2);
    h.find<QCheckBox>("CBMundGeschl")->click();

    // "Speichern" of the new design asks for a name first.
    h.dialogs.files.push_back(path);
    form.action("DateiSpeichern")->trigger();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "Datei speichern unter ...");
    EXPECT_EQ(h.dialogs.fileDialogs[0].suffix, "vlm");
    EXPECT_EQ(form.windowTitle(), "Velumo  " + path);
    EXPECT_TRUE(form.project().noUnsavedChanges());
    EXPECT_EQ(IniFile::load(path.toStdString()).value("Horn", "Kontur").value_or(""), "3");

    h.typeAndLeave("EditQes", "0.9");
    choose("CBKontur", 0);
    h.find<QCheckBox>("CBMundGeschl")->click();
    h.leave();

    h.dialogs.answers.push_back(UserDialogs::Answer::No); // do not save the changes
    h.dialogs.files.push_back(path);
    form.action("DateiOeffnen")->trigger();
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(h.dialogs.fileDialogs[1].title, "Projekt öffnen");
    EXPECT_EQ(h.dialogs.fileDialogs[1].filter, "Velumo-Projekt (*.vlm)");
    EXPECT_EQ(h.text("EditQes"), "0.42");
    EXPECT_EQ(h.text("Editl1"), "2.5");
    EXPECT_EQ(h.find<QComboBox>("CBKontur")->currentText(), "Exponentiell");
    EXPECT_TRUE(h.find<QCheckBox>("CBMundGeschl")->isChecked());
    EXPECT_TRUE(form.project().noUnsavedChanges());
    EXPECT_FALSE(h.find<QPushButton>("BtnRefresh")->isEnabled());

    // The folder of the opened project is where the next dialog starts.
    form.action("Treiber1Oeffnen")->trigger();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 3u);
    EXPECT_EQ(h.dialogs.fileDialogs[2].title, "Treiber1 öffnen");
    EXPECT_EQ(h.dialogs.fileDialogs[2].folderOrPreset, docs(""));
}

TEST_F(MainWindow, driverTwoButtonLoadsTheDriverSectionIntoTheSecondColumn)
{
    const std::string driver = h.home.file("driver.vlm");
    test::writeBytes(driver, "[Lautsprecher]\r\nGleichstromwiderstand=4\r\nFreiluftresonanzfrequenz=33\r\n");
    h.dialogs.files.push_back(QString::fromStdString(driver));
    h.find<QPushButton>("BtnTreiber2Oeffnen")->click();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "Treiber2 öffnen");
    EXPECT_EQ(h.text("EditRdc2"), "4");
    EXPECT_EQ(h.text("Editfs2"), "33");
    EXPECT_EQ(h.text("EditRdc"), "8");
    EXPECT_EQ(h.text("EditZ1k2"), "8"); // the impedances default to driver 1's Rdc here
    EXPECT_TRUE(h.find<QRadioButton>("RGTreiber2_0")->isChecked());
    EXPECT_EQ(form.project().driverFilePath(), driver);
}

TEST_F(MainWindow, htmlExportWritesTheReportOfTheCurrentWindows)
{
    runOnce();
    const std::string report = docs("bericht.html").toStdString();
    h.dialogs.files.push_back(QString::fromStdString(report));
    h.dialogs.answers.push_back(UserDialogs::Answer::No); // do not show it
    form.action("HTMLExport1")->trigger();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "HTML-Export");
    EXPECT_EQ(h.dialogs.fileDialogs[0].folderOrPreset, docs(""));
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front().text.toStdString();
    ASSERT_TRUE(std::filesystem::exists(report));
    EXPECT_NE(test::readBytes(report).find("SPL"), std::string::npos);
    EXPECT_TRUE(h.dialogs.opened.empty());
    // Each tab picture, cut from (12, 32) of the client, holds its whole page
    // as the pages lay out on their own.
    const InputPagesView view(form.design(), true);
    QTabWidget* pages = view.pages();
    for (auto [page, name] :
        { std::pair { 0, "TreiberTab" }, { 1, "HornTab" }, { 3, "FWTab" }, { 4, "AchsenTab" } }) {
        const QImage picture(docs("bericht-Files/") + name + ".jpg");
        pages->setCurrentIndex(page);
        QCoreApplication::processEvents();
        const QPoint end
            = pages->widget(page)->mapTo(view.client(), pages->widget(page)->rect().bottomRight());
        EXPECT_GE(picture.width(), end.x() + 1 - 12) << name;
        EXPECT_GE(picture.height(), end.y() + 1 - 32) << name;
    }
}

TEST(MainWindowStart, unusableSettingsFolderReportsError0xA1AndCarriesOn)
{
    WindowHarness h;
    Environment env = h.environment();
    // A file where the configuration folder should be: nothing can be created.
    test::writeBytes(h.home.file("blocked"), "x");
    env.xdgConfigHome = h.home.file("blocked");
    TMainForm& form = h.start(env);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Hinweis");
    EXPECT_EQ(h.dialogs.messages[0].text, "Error 0xA1");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(h.text("EditRdc"), "8");
}

} // namespace
} // namespace velumo
