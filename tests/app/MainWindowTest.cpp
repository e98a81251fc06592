// The main window driven as a user drives it: typing and leaving boxes,
// clicking, the start command, the colour squares, the file commands and
// closing. Boxes and dialogs are answered by FakeDialogs.

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include "About.h"
#include "AppTestSupport.h"
#include "GraphSet.h"
#include "IniFile.h"
#include "ParamWindow.h"
#include "ResultWindow.h"

// Qt's own entry for a key press that may be a short-cut, as its test
// library uses it; exported by QtGui.
bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                  const QString& text, bool autorep, ushort count);

namespace velumo {
namespace {

// A key pressed while `focus` has the keyboard: short-cuts first.
void pressKey(QWidget* focus, int key)
{
    if (!qt_sendShortcutOverrideEvent(focus, 0, key, Qt::NoModifier, QString(), false, 1)) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
    }
    QApplication::processEvents();
}

using test::WindowHarness;

void click(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }
QColor buttonFace() { return QApplication::palette().color(QPalette::Button); }
QColor windowColour() { return QApplication::palette().color(QPalette::Base); }

// The colour of the square's corner: only the selected square is filled
// up to its edge.
QColor corner(QLabel* square) { return square->pixmap().toImage().pixelColor(0, 0); }

TEST(MainWindow, freshStartHoldsTheDefaults)
{
    WindowHarness h;
    h.start();
    EXPECT_EQ(h.find<QComboBox>("CBKontur")->currentText(), "Parabolisch");
    EXPECT_EQ(h.find<QComboBox>("CBPosi")->currentText(), "Halbraum");
    EXPECT_EQ(h.find<QComboBox>("CBTyp")->currentText(), "Frontloaded");
    EXPECT_TRUE(h.find<QRadioButton>("RGTreiber2_0")->isChecked());
    EXPECT_EQ(h.find<QRadioButton>("RGTreiber2_0")->text(), "Ohne");
    EXPECT_EQ(h.text("EditRdc"), "8");
    EXPECT_EQ(h.text("EditQes"), "0.71");
    EXPECT_EQ(h.text("EditUe"), "2.83");
    EXPECT_EQ(h.text("EditLSInfo2"), "Info2");
    EXPECT_EQ(h.text("EditBrk"), "500");
    EXPECT_FALSE(h.find<QCheckBox>("CBT2SkizzeOben")->isEnabled());
    EXPECT_TRUE(h.find<QCheckBox>("CBAKSkizzeOben")->isChecked());
    // A fresh design raises no message at all.
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(h.form->windowTitle(), "Velumo");
}

TEST(MainWindow, startUpPreparesGridsButtonsAndFiles)
{
    WindowHarness h;
    TMainForm& form = h.start();
    auto* options = h.find<QTableWidget>("OptionGrid");
    EXPECT_EQ(options->item(0, 0)->text(), "Frequenzauflösung [Punkte]");
    EXPECT_EQ(options->item(2, 0)->text(), "Liniendicke [Pixel]");
    EXPECT_EQ(options->item(0, 1)->text(), "100");
    EXPECT_EQ(options->item(1, 1)->text(), "51");
    EXPECT_EQ(options->item(2, 1)->text(), "1");
    EXPECT_EQ(options->columnWidth(0), 4 * options->columnWidth(1));
    auto* minMax = h.find<QTableWidget>("MinMaxGrid");
    EXPECT_EQ(minMax->item(8, 1)->text(), "0");
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
    EXPECT_EQ(h.find<QWidget>("EditVas2")->toolTip(), "Äquivalentvolumen");
    EXPECT_EQ(h.find<QWidget>("EditStk2")->toolTip(), "Anzahl Treiber2");
    EXPECT_EQ(form.aboutBox().productName(), "Velumo 7.0.148\n");
    EXPECT_EQ(form.project().projectPath(), h.home.file("docs") + "/new.vlm");
    EXPECT_TRUE(form.project().noUnsavedChanges());
    EXPECT_TRUE(std::filesystem::exists(h.settingsDir() + "/contour.txt"));
    EXPECT_EQ(std::filesystem::file_size(h.settingsDir() + "/contour.txt"), 0u);
    EXPECT_EQ(form.pos(), QPoint(0, 0));
    EXPECT_TRUE(form.graphs().phia().isMinimized());
    EXPECT_EQ(form.paramForm().frameGeometry().top(), form.frameGeometry().bottom() + 1 + 2);
    const QRect spl = form.graphs().spl().frameGeometry();
    EXPECT_EQ(spl.topLeft(), QPoint(form.frameGeometry().right() + 1 + 2, 0));
    EXPECT_EQ(form.graphs().zel().frameGeometry().topLeft(), QPoint(spl.left(), spl.bottom() + 1 + 2));
}

TEST(MainWindow, outlineHasItsTabsAndFixedClientArea)
{
    WindowHarness h;
    TMainForm& form = h.start();
    EXPECT_EQ(form.centralWidget()->size(), QSize(559, 425));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    auto* pages = h.find<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 5);
    EXPECT_EQ(pages->toolTip(), "Dateneingabe");
    EXPECT_EQ(pages->tabText(0), "&Treiber");
    EXPECT_EQ(pages->tabText(1), "&Horn");
    EXPECT_FALSE(pages->isTabVisible(2));
    EXPECT_EQ(pages->tabText(3), "&Frequenzweiche");
    EXPECT_EQ(pages->tabText(4), "&Achsen");
    EXPECT_EQ(pages->tabToolTip(4), "Achsen");
    EXPECT_EQ(h.find<QPushButton>("BtnTreiber1Oeffnen")->text(), "Treiber1 öffnen");
    EXPECT_EQ(h.find<QPushButton>("BtnRefresh")->text(), "Aktualisieren");
    EXPECT_EQ(h.find<QPushButton>("ButtonStart")->text(), "&Start");
    EXPECT_EQ(h.find<QWidget>("Evo2Image")->size(), QSize(15, 15));
    EXPECT_EQ(h.find<QWidget>("Evo2Image")->toolTip(), "Nächste Simulation: grün");
    EXPECT_EQ(h.find<QWidget>("BtnClear")->toolTip(), "Alle Graphen löschen");
    // Black and red on top, green and blue below.
    EXPECT_EQ(h.find<QWidget>("Evo1Image")->y(), h.find<QWidget>("Evo0Image")->y());
    EXPECT_GT(h.find<QWidget>("Evo2Image")->y(), h.find<QWidget>("Evo0Image")->y());
}

TEST(MainWindow, menuCarriesItsItemsAndShortCuts)
{
    WindowHarness h;
    TMainForm& form = h.start();
    EXPECT_EQ(form.action("DateiOeffnen")->text(), "Ö&ffnen");
    EXPECT_EQ(form.action("DateiSpeichernUnter")->text(), "Speichern &unter ...");
    EXPECT_EQ(form.action("Frequenzgnge1")->toolTip(), "Zeigt die Frequenzgänge numerisch an.");
    EXPECT_EQ(form.action("Start1")->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(form.action("Handbuch")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(form.action("DateiSpeichern")->shortcut(), QKeySequence(QKeySequence::Save));
    form.action("Handbuch")->trigger();
    form.action("Konturlisten1")->trigger();
    form.action("Frequenzgnge1")->trigger();
    ASSERT_EQ(h.dialogs.opened.size(), 3u);
    EXPECT_EQ(h.dialogs.opened[0], QString::fromStdString(h.home.file("bin") + "/Velumo7Handbuch.pdf"));
    EXPECT_EQ(h.dialogs.opened[1], QString::fromStdString(h.settingsDir() + "/contour.txt"));
    EXPECT_EQ(h.dialogs.opened[2], QString::fromStdString(h.settingsDir() + "/data.txt"));
}

TEST(MainWindow, leavingABoxWithACommaLeavesAPoint)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("EditQes", "0,71");
    EXPECT_EQ(h.text("EditQes"), "0.71");
    EXPECT_EQ(form.design().text("EditQes"), "0.71");
    h.typeAndLeave("EditVas", "12abc");
    EXPECT_EQ(h.text("EditVas"), "12");
    EXPECT_FALSE(form.project().noUnsavedChanges());
}

TEST(MainWindow, refusedDriverPositionShowsItsMessageAndBlocksTheStart)
{
    WindowHarness h;
    TMainForm& form = h.start();
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

TEST(MainWindow, colourAndHintsFollowTheCheck)
{
    WindowHarness h;
    h.start();
    EXPECT_EQ(base(h.find<QWidget>("EditRdc2")), buttonFace());
    click(h.find<QRadioButton>("RGTreiber2_2"));
    EXPECT_EQ(base(h.find<QWidget>("EditRdc2")), windowColour());
    EXPECT_TRUE(h.find<QCheckBox>("CBRK2")->isEnabled());

    auto* typ = h.find<QComboBox>("CBTyp");
    typ->setFocus(Qt::MouseFocusReason);
    typ->setCurrentIndex(1);
    emit typ->activated(1);
    h.leave();
    EXPECT_EQ(h.find<QWidget>("EditAbst")->toolTip(), "Abstand Mic -> Membran 1");
    EXPECT_EQ(base(h.find<QWidget>("EditVrk")), buttonFace());
}

TEST(MainWindow, startWithAValidDesignFillsSlotZeroAndWritesTheResultList)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    form.action("Start1")->trigger();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front().text.toStdString();
    EXPECT_TRUE(form.results().slot(0).isFilled());
    EXPECT_FALSE(form.results().slot(1).isFilled());
    const std::string data = test::readBytes(h.settingsDir() + "/data.txt");
    EXPECT_GT(std::count(data.begin(), data.end(), '\n'), 50);
    EXPECT_TRUE(h.find<QPushButton>("BtnClear")->isEnabled());
    EXPECT_TRUE(h.find<QPushButton>("BtnRefresh")->isEnabled());
    EXPECT_TRUE(h.find<QPushButton>("ButtonStart")->isEnabled());
    EXPECT_FALSE(form.paramForm().Memo1()->toPlainText().isEmpty());
    // The colour option is on by default: the next run is red.
    EXPECT_EQ(form.results().curveSlot(), 1);
    EXPECT_EQ(corner(h.find<QLabel>("Evo1Image")), QColor(255, 0, 0));
    EXPECT_NE(corner(h.find<QLabel>("Evo0Image")), QColor(0, 0, 0));
    EXPECT_EQ(h.find<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST(MainWindow, keysF9AndF1RunTheStartAndOpenTheManual)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    pressKey(h.find<QWidget>("EditQes"), Qt::Key_F9);
    EXPECT_TRUE(form.results().slot(0).isFilled());
    pressKey(h.find<QWidget>("EditQes"), Qt::Key_F1);
    ASSERT_EQ(h.dialogs.opened.size(), 1u);
    EXPECT_TRUE(h.dialogs.opened[0].endsWith("/Velumo7Handbuch.pdf"));
}

int pixelsOf(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

TEST(MainWindow, runDrawsTheCurvesAndClearLeavesOnlyTheGrid)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    form.action("Start1")->trigger();
    const QImage& plot = form.graphs().spl().plotView()->image();
    EXPECT_GT(pixelsOf(plot, Qt::black), 100);
    h.find<QPushButton>("BtnClear")->click();
    EXPECT_EQ(pixelsOf(form.graphs().spl().plotView()->image(), Qt::black), 0);

    // A second run in red, then "Aktualisieren" draws both stored runs again.
    h.find<QPushButton>("ButtonStart")->click();
    click(h.find<QLabel>("Evo1Image"));
    h.typeAndLeave("Editl1", "2");
    h.find<QPushButton>("ButtonStart")->click();
    form.graphs().NewGrids();
    EXPECT_EQ(pixelsOf(form.graphs().spl().plotView()->image(), Qt::red), 0);
    h.find<QPushButton>("BtnRefresh")->click();
    EXPECT_GT(pixelsOf(form.graphs().spl().plotView()->image(), Qt::red), 100);
    EXPECT_GT(pixelsOf(form.graphs().spl().plotView()->image(), Qt::black), 100);
}

TEST(MainWindow, tractrixThatMissesTheMouthRewritesTheMouthHeight)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("EditH", "100");
    h.typeAndLeave("EditB", "100");
    h.typeAndLeave("Editl1", "0.1");
    auto* kontur = h.find<QComboBox>("CBKontur");
    kontur->setCurrentIndex(6);
    emit kontur->activated(6);
    kontur->setFocus();
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

TEST(MainWindow, leavingTheCrossoverGridRunsTheCheck)
{
    WindowHarness h;
    TMainForm& form = h.start();
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

TEST(MainWindow, redSquareThenStartDrawsRedAndTheNextRunIsGreen)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    click(h.find<QLabel>("Evo1Image"));
    EXPECT_EQ(form.results().curveSlot(), 1);
    EXPECT_EQ(corner(h.find<QLabel>("Evo1Image")), QColor(255, 0, 0));
    h.find<QPushButton>("ButtonStart")->click();
    EXPECT_TRUE(form.results().slot(1).isFilled());
    EXPECT_FALSE(form.results().slot(0).isFilled());
    EXPECT_EQ(form.results().curveSlot(), 2);
    EXPECT_EQ(corner(h.find<QLabel>("Evo2Image")), QColor(0, 128, 0));

    h.find<QPushButton>("BtnClear")->click();
    EXPECT_EQ(form.results().curveSlot(), 0);
    EXPECT_EQ(corner(h.find<QLabel>("Evo0Image")), QColor(0, 0, 0));
    EXPECT_FALSE(form.results().slot(1).isFilled());
    EXPECT_FALSE(h.find<QPushButton>("BtnRefresh")->isEnabled());
}

TEST(MainWindow, optionsDialogWritesOnlyOnOkAndKeepsTheColour)
{
    WindowHarness h;
    TMainForm& form = h.start();
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

    h.typeAndLeave("Editl1", "1.5");
    form.action("Start1")->trigger();
    EXPECT_EQ(form.results().curveSlot(), 0);
    EXPECT_TRUE(form.results().slot(0).isFilled());
}

TEST(MainWindow, closingAfterTypingAsksAndCancelKeepsTheWindow)
{
    WindowHarness h;
    TMainForm& form = h.start();
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

TEST(MainWindow, closingWithYesButACancelledSaveKeepsTheWindow)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.answers.push_back(UserDialogs::Answer::Yes); // save, then no name given
    form.close();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "Datei speichern unter ...");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(h.text("EditQes"), "0.5");

    const std::string path = h.home.file("docs") + "/kept.vlm";
    h.dialogs.answers.push_back(UserDialogs::Answer::Yes);
    h.dialogs.files.push_back(QString::fromStdString(path));
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(IniFile::load(path).value("Lautsprecher", "elektrische Güte").value_or(""), "0.5");
}

TEST(MainWindow, failedSaveShowsAnErrorAndKeepsTheDesignUnsaved)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.files.push_back(QString::fromStdString(h.home.file("missing/folder/x.vlm")));
    form.action("DateiSpeichernUnter")->trigger();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Fehler");
    EXPECT_FALSE(form.project().noUnsavedChanges());
    EXPECT_EQ(form.windowTitle(), "Velumo");
}

TEST(MainWindow, newGivesTheDesignTheUnsavedName)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.answers.push_back(UserDialogs::Answer::No);
    form.action("DateiNeu")->trigger();
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_EQ(form.windowTitle(), QString::fromStdString("Velumo  " + h.home.file("docs") + "/new.vlm"));
    EXPECT_EQ(h.text("EditQes"), "0.5");
}

TEST(MainWindow, showAllGraphsRestoresClosedWindows)
{
    WindowHarness h;
    TMainForm& form = h.start();
    form.graphs().spl().close();
    EXPECT_TRUE(form.graphs().spl().isMinimized());
    EXPECT_TRUE(form.graphs().spl().isVisible());
    form.action("AlleFensterzeigen1")->trigger();
    EXPECT_FALSE(form.graphs().spl().isMinimized());
    EXPECT_FALSE(form.graphs().phia().isMinimized());
}

TEST(MainWindow, openingAProjectPlacesTheWindowsItStores)
{
    WindowHarness h;
    TMainForm& form = h.start();
    const std::string path = h.home.file("docs") + "/placed.vlm";
    test::writeBytes(path, "[Plotoptionen]\r\nSPLLeft=700\r\nSPLTop=-50\r\nZelWS=1\r\n");
    h.dialogs.files.push_back(QString::fromStdString(path));
    form.action("DateiOeffnen")->trigger();
    EXPECT_EQ(form.graphs().spl().frameGeometry().topLeft(), QPoint(700, 0));
    EXPECT_TRUE(form.graphs().zel().isMinimized());
    const WindowGeometry stored = form.collectGeometry();
    EXPECT_EQ(stored.rect(GeometryWindow::SPL).left, 700);
    EXPECT_EQ(stored.state(GeometryWindow::Zel), kStateMinimised);
}

TEST(MainWindow, closingAFreshStartAsksNothing)
{
    WindowHarness h;
    TMainForm& form = h.start();
    form.close();
    EXPECT_TRUE(h.dialogs.questions.empty());
    EXPECT_FALSE(form.isVisible());
}

TEST(MainWindow, saveThenOpenRoundTripsTheDesign)
{
    WindowHarness h;
    TMainForm& form = h.start();
    const QString path = QString::fromStdString(h.home.file("docs") + "/horn.vlm");
    h.typeAndLeave("EditQes", "0.42");
    h.typeAndLeave("Editl1", "2.5");
    h.find<QComboBox>("CBKontur")->setCurrentIndex(2);
    emit h.find<QComboBox>("CBKontur")->activated(2);
    h.find<QCheckBox>("CBMundGeschl")->click();

    // "Speichern" of the new design asks for a name first.
    h.dialogs.files.push_back(path);
    form.action("DateiSpeichern")->trigger();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "Datei speichern unter ...");
    EXPECT_EQ(h.dialogs.fileDialogs[0].suffix, "vlm");
    EXPECT_TRUE(std::filesystem::exists(path.toStdString()));
    EXPECT_EQ(form.windowTitle(), "Velumo  " + path);
    EXPECT_TRUE(form.project().noUnsavedChanges());
    const IniFile ini = IniFile::load(path.toStdString());
    EXPECT_EQ(ini.value("Horn", "Kontur").value_or(""), "3");

    h.typeAndLeave("EditQes", "0.9");
    h.find<QComboBox>("CBKontur")->setCurrentIndex(0);
    emit h.find<QComboBox>("CBKontur")->activated(0);
    h.find<QCheckBox>("CBMundGeschl")->click();
    h.leave();

    h.dialogs.answers.push_back(UserDialogs::Answer::No); // do not save the changes
    h.dialogs.files.push_back(path);
    form.action("DateiOeffnen")->trigger();
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(h.dialogs.fileDialogs[1].title, "Projekt öffnen");
    EXPECT_EQ(h.dialogs.fileDialogs[1].filter, "*.vlm (*.vlm)");
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
    EXPECT_EQ(h.dialogs.fileDialogs[2].folderOrPreset, QString::fromStdString(h.home.file("docs") + "/"));
}

TEST(MainWindow, driverTwoButtonLoadsTheDriverSectionIntoTheSecondColumn)
{
    WindowHarness h;
    TMainForm& form = h.start();
    const std::string driver = h.home.file("driver.vlm");
    test::writeBytes(driver, "[Lautsprecher]\r\nGleichstromwiderstand=4\r\nFreiluftresonanzfrequenz=33\r\n");
    h.dialogs.files.push_back(QString::fromStdString(driver));
    h.find<QPushButton>("BtnTreiber2Oeffnen")->click();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "Treiber2 öffnen");
    EXPECT_EQ(h.text("EditRdc2"), "4");
    EXPECT_EQ(h.text("Editfs2"), "33");
    EXPECT_EQ(h.text("EditRdc"), "8");
    // The impedances default to driver 1's Rdc here.
    EXPECT_EQ(h.text("EditZ1k2"), "8");
    EXPECT_TRUE(h.find<QRadioButton>("RGTreiber2_0")->isChecked());
    EXPECT_EQ(form.project().driverFilePath(), driver);
}

TEST(MainWindow, unusableSettingsFolderReportsError0xA1AndCarriesOn)
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

TEST(MainWindow, htmlExportWritesTheReportOfTheCurrentWindows)
{
    WindowHarness h;
    TMainForm& form = h.start();
    h.typeAndLeave("Editl1", "1.5");
    form.action("Start1")->trigger();
    const std::string report = h.home.file("docs") + "/bericht.html";
    h.dialogs.files.push_back(QString::fromStdString(report));
    h.dialogs.answers.push_back(UserDialogs::Answer::No); // do not show it
    form.action("HTMLExport1")->trigger();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].title, "HTML-Export");
    EXPECT_EQ(h.dialogs.fileDialogs[0].folderOrPreset, QString::fromStdString(h.home.file("docs") + "/"));
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front().text.toStdString();
    ASSERT_TRUE(std::filesystem::exists(report));
    EXPECT_NE(test::readBytes(report).find("SPL"), std::string::npos);
    EXPECT_TRUE(h.dialogs.opened.empty());
}

TEST(MainWindow, aboutBoxIsShownModallyFromTheMenu)
{
    WindowHarness h;
    TMainForm& form = h.start();
    form.action("Info1")->trigger();
    ASSERT_EQ(h.dialogs.dialogTitles.size(), 1u);
    EXPECT_EQ(h.dialogs.dialogTitles[0], "Info");
}

} // namespace
} // namespace velumo
