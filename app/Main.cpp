#include "Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "About.h"
#include "Application.h"
#include "GraphSet.h"
#include "InputTabs.h"
#include "LiveRunner.h"
#include "MeasurementFile.h"
#include "Optionen.h"
#include "ParamWindow.h"
#include "ReglerWindow.h"
#include "RunLists.h"
#include "ScopeGuards.h"
#include "Sinks.h"
#include "SkizzeWindow.h"
#include "StartDesign.h"
#include "UserDialogs.h"
#include "WindowPlacement.h"

namespace velumo {

namespace {

constexpr int kSquare = 15;

const char* const kEvoHints[kSlotCount] = {
    "Nächste Simulation: schwarz",
    "Nächste Simulation: rot",
    "Nächste Simulation: grün",
    "Nächste Simulation: blau",
};

// A sheet with a red cross: "clear all graphs".
QIcon clearPicture()
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 13, 17);
    p.setPen(QPen(Qt::darkGray, 1));
    for (int y = 5; y < 16; y += 3)
        p.drawLine(5, y, 14, y);
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(6, 6, 17, 17);
    p.drawLine(17, 6, 6, 17);
    return QIcon(pixmap);
}

Directories provisionalDirectories(const Environment& env)
{
    const std::string program = env.executablePath.empty() ? std::string(".") : folderOf(env.executablePath);
    return Directories { program, program, program };
}

} // namespace

TMainForm::TMainForm(Environment env, UserDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent)
    , m_env(std::move(env))
    , m_ownDialogs(dialogs ? nullptr : std::make_unique<QtUserDialogs>())
    , m_dialogs(dialogs ? dialogs : m_ownDialogs.get())
    , m_dirs(provisionalDirectories(m_env))
    , m_project(std::make_unique<ProjectState>(m_dirs))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Velumo"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    if (m_design.index("CBTyp") < 0)
        m_design.setIndex("CBTyp", 0);
    m_design.writeGridTitles();

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kInputClientWidth, kInputClientHeight);
    setCentralWidget(client);
    m_pages = makePageControl(client);
    m_inputs = new InputTabs(m_design, m_pages);
    buildBottomRow(client);
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_inputs, &InputTabs::checkRequested, this,
        [this] { runCommand([this] { CheckVariablesExecute(); }); });
    connect(m_inputs, &InputTabs::edited, this, &TMainForm::onUserEdit);
    connect(m_inputs, &InputTabs::committed, this, &TMainForm::recordStepLater);
    connect(qApp, &QApplication::focusChanged, m_inputs, &InputTabs::focusChanged);
    connect(m_inputs->driver1Button(), &QPushButton::clicked, this,
        [this] { runCommand([this] { Treiber1OeffnenClick(); }); });
    connect(m_inputs->driver2Button(), &QPushButton::clicked, this,
        [this] { runCommand([this] { Treiber2OeffnenClick(); }); });
    connect(m_inputs->refreshButton(), &QPushButton::clicked, this,
        [this] { runCommand([this] { BtnRefreshClick(); }); });

    // Sized and then placed before the window exists: the position is then
    // the frame's on every platform (a resize after showing would turn it
    // into the client area's), so its title bar is on the screen.
    ensurePolished();
    layout()->activate();
    move(0, 0);
    createWindows();
    acceptProjectDrops();
    catchEditKeys();
    m_results.ClearValues();
    m_inputs->refreshButton()->setEnabled(false);
    DrawEvoImages();
}

TMainForm::~TMainForm() = default;

void TMainForm::createWindows()
{
    m_param = std::make_unique<TParamForm>();
    m_about = std::make_unique<TAboutBox>(this);
    m_graphs = std::make_unique<GraphSet>();
    m_sketch = std::make_unique<TSkizzeForm>();
    m_options = std::make_unique<TOptionenForm>(this);
    m_regler = std::make_unique<TReglerForm>(m_design, this);
    connect(m_regler.get(), &TReglerForm::valueMoved, this, &TMainForm::sliderMoved);
    connect(m_regler.get(), &TReglerForm::moveFinished, this,
        [this] { runCommand([this] { sliderReleased(); }); });
    connect(m_regler.get(), &TReglerForm::slidersChanged, this, [this] {
        m_project->setSliders(m_regler->sliders());
        m_project->setNoUnsavedChanges(false);
    });

    m_live = std::make_unique<LiveRunner>(
        [this](RunOutcome& outcome, const RunInput& in) {
            runCommand([this, &outcome, &in] { liveArrived(outcome, in); });
        },
        [this](const std::string& why) { showStatus(QString::fromStdString(why)); });
    // Typing waits for a short pause, so a number typed in one go runs once.
    m_liveDelay = new QTimer(this);
    m_liveDelay->setSingleShot(true);
    m_liveDelay->setInterval(50);
    connect(m_liveDelay, &QTimer::timeout, this, [this] { runCommand([this] { runLive(); }); });
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LiveStatus"));
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->hide();

    auto resultsExist = [this] { return m_inputs->refreshButton()->isEnabled(); };
    // A measurement alone is worth a redraw too.
    m_graphs->setRedrawHooks([this, resultsExist] { return resultsExist() || m_graphs->hasMeasurement(); },
        [this] { runCommand([this] { redrawGraphs(); }); });
    m_graphs->setProgress([this](int percent) {
        if (m_liveDrawing)
            return;
        m_progress->setValue(percent);
        m_progress->repaint();
    });
    m_sketch->setResultsExist(resultsExist);
    m_sketch->setRedrawSketch([this] { runCommand([this] { DrawSketch(false); }); });
    m_param->setResultsExist(resultsExist);
}

void TMainForm::buildBottomRow(QWidget* client)
{
    for (int s = 0; s < kSlotCount; ++s) {
        auto* square = new QLabel(client);
        square->setObjectName(QStringLiteral("Evo%1Image").arg(s));
        square->setGeometry(8 + (s % 2) * (kSquare + 2), 384 + (s / 2) * (kSquare + 2), kSquare, kSquare);
        square->setToolTip(QString::fromUtf8(kEvoHints[s]));
        square->setCursor(Qt::PointingHandCursor);
        square->installEventFilter(this);
        m_evoImages[static_cast<size_t>(s)] = square;
    }
    m_btnClear = new QPushButton(client);
    m_btnClear->setObjectName(QStringLiteral("BtnClear"));
    m_btnClear->setToolTip(QStringLiteral("Alle Graphen löschen"));
    m_btnClear->setIcon(clearPicture());
    m_btnClear->setIconSize(QSize(20, 20));
    m_btnClear->setGeometry(48, 384, 33, 33);
    connect(m_btnClear, &QPushButton::clicked, this, [this] { runCommand([this] { BtnClearClick(); }); });

    m_buttonStart = new QPushButton(QStringLiteral("&Start"), client);
    m_buttonStart->setObjectName(QStringLiteral("ButtonStart"));
    m_buttonStart->setGeometry(92, 388, 80, 26);
    connect(
        m_buttonStart, &QPushButton::clicked, this, [this] { runCommand([this] { ButtonStartClick(); }); });

    m_progress = new QProgressBar(client);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(184, 392, 365, 18);
}

void TMainForm::buildMenus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& text, auto slot,
                   const QKeySequence& key = QKeySequence(), const QString& hint = QString()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        if (!hint.isEmpty()) {
            a->setToolTip(hint);
            a->setStatusTip(hint);
        }
        connect(a, &QAction::triggered, this, [this, slot] {
            runCommand([this, slot] {
                if constexpr (std::is_member_function_pointer_v<decltype(slot)>)
                    (this->*slot)();
                else
                    slot();
            });
        });
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    file->setObjectName(QStringLiteral("Datei1"));
    add(file, "DateiNeu", QStringLiteral("&Neu"), &TMainForm::DateiNeuClick, QKeySequence::New,
        QStringLiteral("Datei erstellen"));
    add(file, "DateiOeffnen", QStringLiteral("Ö&ffnen"), &TMainForm::DateiOeffnenClick, QKeySequence::Open,
        QStringLiteral("Datei öffnen"));
    m_recent = file->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    m_recent->setObjectName(QStringLiteral("ZuletztGeoeffnet"));
    connect(file, &QMenu::aboutToShow, this, &TMainForm::rebuildRecentMenu);
    add(file, "Treiber1Oeffnen", QStringLiteral("&Treiber1 öffnen"), &TMainForm::Treiber1OeffnenClick);
    add(file, "Treiber2Oeffnen", QStringLiteral("Treiber2 öffnen"), &TMainForm::Treiber2OeffnenClick);
    add(file, "DateiSpeichern", QStringLiteral("&Speichern"), &TMainForm::DateiSpeichernClick,
        QKeySequence::Save);
    add(file, "DateiSpeichernUnter", QStringLiteral("Speichern &unter ..."),
        &TMainForm::DateiSpeichernUnterClick, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        QStringLiteral("Datei speichern unter ..."));
    file->addSeparator();
    add(file, "HTMLExport1", QStringLiteral("&HTML-Export"), &TMainForm::HTMLExport1Click);
    QMenu* exports = file->addMenu(QStringLiteral("&Exportieren"));
    exports->setObjectName(QStringLiteral("Exportieren1"));
    add(
        exports, "ExportFRD", QStringLiteral("Frequenzgang (FRD) …"),
        [this] { exportRunCurve(MeasurementKind::Frd); }, QKeySequence(),
        QStringLiteral("Frequenzgang der letzten Simulation für Weichen- und Messprogramme"));
    add(
        exports, "ExportZMA", QStringLiteral("Impedanz (ZMA) …"),
        [this] { exportRunCurve(MeasurementKind::Zma); }, QKeySequence(),
        QStringLiteral("Impedanz der letzten Simulation für Weichen- und Messprogramme"));
    add(file, "MessungLaden", QStringLiteral("&Messung laden …"), &TMainForm::MessungLadenClick,
        QKeySequence(),
        QStringLiteral("Gemessenen Frequenzgang (FRD) oder Impedanzgang (ZMA) unter den Kurven zeigen"));
    add(file, "MessungEntfernen", QStringLiteral("Messung entfernen"), &TMainForm::MessungEntfernenClick)
        ->setEnabled(false);
    file->addSeparator();
    add(
        file, "Beenden1", QStringLiteral("&Beenden"), [this] { close(); },
        QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    edit->setObjectName(QStringLiteral("Bearbeiten1"));
    QAction* undo = add(edit, "Rueckgaengig", QStringLiteral("&Rückgängig"), &TMainForm::RueckgaengigClick,
        QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = add(edit, "Wiederherstellen", QStringLiteral("&Wiederherstellen"),
        &TMainForm::WiederherstellenClick, QKeySequence(Qt::CTRL | Qt::Key_Y));
    redo->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    // Also from the Regler and the graph windows, where the tuning happens.
    undo->setShortcutContext(Qt::ApplicationShortcut);
    redo->setShortcutContext(Qt::ApplicationShortcut);

    QMenu* extras = menuBar()->addMenu(QStringLiteral("E&xtras"));
    extras->setObjectName(QStringLiteral("Extras1"));
    add(extras, "Konturlisten1", QStringLiteral("Kontur &listen"),
        [this] { m_dialogs->openWithDesktop(QString::fromStdString(m_dirs.settings + "/contour.txt")); });
    add(
        extras, "Frequenzgnge1", QStringLiteral("&Frequenzgänge"),
        [this] { m_dialogs->openWithDesktop(QString::fromStdString(m_dirs.settings + "/data.txt")); },
        QKeySequence(), QStringLiteral("Zeigt die Frequenzgänge numerisch an."));
    extras->addSeparator();
    add(extras, "Optionen1", QStringLiteral("&Optionen"), &TMainForm::OptionenClick);
    add(extras, "AlleFensterzeigen1", QStringLiteral("Alle Graphen zeigen"),
        &TMainForm::AlleFensterzeigenClick);
    add(extras, "Regler1", QStringLiteral("&Regler"), &TMainForm::ReglerClick, QKeySequence(),
        QStringLiteral("Schieberegler für ausgewählte Eingaben"));
    extras->addSeparator();
    QAction* live = extras->addAction(QStringLiteral("Li&ve-Simulation"));
    live->setObjectName(QStringLiteral("LiveSimulation1"));
    live->setCheckable(true);
    live->setToolTip(QStringLiteral("Jede Änderung sofort simulieren und zeichnen"));
    connect(live, &QAction::toggled, this,
        [this](bool on) { runCommand([this, on] { setLiveSimulation(on); }); });
    add(extras, "Start1", QStringLiteral("&Start"), &TMainForm::ButtonStartClick, QKeySequence(Qt::Key_F9));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("Hilfe1"));
    add(help, "Handbuch", QStringLiteral("&Handbuch"), &TMainForm::HandbuchClick, QKeySequence(Qt::Key_F1));
    add(help, "Info1", QStringLiteral("&Info"), [this] { m_dialogs->execDialog(*m_about); });
}

QAction* TMainForm::action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TMainForm::FormShow()
{
    WindowCheckSink boxes([this](const Message& m) { showMessage(m); }, [](std::string_view) {});
    m_dirs = resolveDirectories(m_env, boxes);
    m_project = std::make_unique<ProjectState>(m_dirs);
    m_about->setProductName(productNameText());
    const QString executable = QString::fromStdString(m_env.executablePath);
    m_about->setManual(findManual(executable), manualCandidates(executable));
    placeWindows();
    Translate();
    CheckVariablesExecute();
    DrawEvoImages();
    m_btnClear->setEnabled(false);
    m_inputs->refreshButton()->setEnabled(false);
    setStartValues(m_design);
    refreshInputs();
    m_project->setNoUnsavedChanges(true);
    resetHistory();
    // Remembered on: the next edit runs; the start-up draws nothing new.
    if (m_project->settings().liveSimulation()) {
        QAction* live = action("LiveSimulation1");
        const QSignalBlocker block(live);
        live->setChecked(true);
        m_liveOn = true;
        setStatusLineVisible(true);
    }
    m_graphs->phia().showMinimized();
    clearContourList(m_dirs.settings);
    rebuildRecentMenu();
    m_formShown = true;
    openPendingStartFile();
}

void TMainForm::placeWindows()
{
    // The main window stands at (0, 0) since its creation; the others line up
    // below and beside its frame, which an X11 window manager draws only
    // some time after the window is shown.
    whenFramed(this, [this] { placeResultWindows(); });
}

void TMainForm::placeResultWindows()
{
    if (!isVisible()) // closed before the desktop framed it
        return;
    auto place = [](ResultWindow& w, QPoint at) {
        w.setNormalFrame(QRect(at, w.openingOuterSize()));
        return w.normalFrame();
    };
    for (GraphWindow* w : m_graphs->windows())
        if (w->placement().minimised)
            place(*w, QPoint(w->placement().left, w->placement().top));
    // Where a platform took the position given at creation for the client
    // area's, the frame is put right now that it is known.
    if (outerFrame(this).topLeft() != QPoint(0, 0))
        placeFrame(this, QPoint(0, 0), size());
    const QRect main = outerFrame(this);
    place(*m_param, QPoint(main.left(), main.bottom() + 1 + kWindowGap));
    const QRect spl = place(m_graphs->spl(), QPoint(main.right() + 1 + kWindowGap, main.top()));
    const QRect zel = place(m_graphs->zel(), QPoint(spl.left(), spl.bottom() + 1 + kWindowGap));
    place(*m_sketch, QPoint(spl.left(), spl.top() + spl.height() + zel.height() + 2 * kWindowGap));
    for (ResultWindow* w : resultWindows()) {
        if (w->placement().minimised)
            w->showMinimized();
        else
            w->show();
    }
    raise();
    activateWindow();
    m_placed = true;
    openPendingStartFile();
}

std::vector<ResultWindow*> TMainForm::resultWindows() const
{
    std::vector<ResultWindow*> all(m_graphs->windows().begin(), m_graphs->windows().end());
    all.push_back(m_sketch.get());
    all.push_back(m_param.get());
    return all;
}

void TMainForm::Translate()
{
    writeOptionTitles(m_design);
    refreshInputs();
}

void TMainForm::CheckVariablesExecute()
{
    // A box left because a message of the check took the focus is not a
    // new edit: one check at a time.
    if (m_checking)
        return;
    const FlagScope checking(m_checking);
    WindowCheckSink sink(
        [this](const Message& m) { showMessage(m); }, [this](std::string_view name) { focusControl(name); });
    m_project->runCheck(m_design, sink);
    refreshInputs();
    recordStepLater();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A run repaints through the event loop; it is never cut off halfway.
    if (m_running) {
        event->ignore();
        return;
    }
    m_inputs->refreshButton()->setEnabled(false);
    if (!m_project->noUnsavedChanges()) {
        const auto answer = m_dialogs->question(
            this, QStringLiteral("Hinweis"), QStringLiteral("Aktuelle Datei speichern?"), true);
        bool keepOpen = answer == UserDialogs::Answer::Cancel;
        if (answer == UserDialogs::Answer::Yes) {
            runCommand([this] { DateiSpeichernClick(); });
            // A cancelled or failed save keeps the window, as Cancel does, so
            // the changes the user wanted kept are not lost.
            keepOpen = !m_project->noUnsavedChanges();
        }
        if (keepOpen) {
            event->ignore();
            m_inputs->refreshButton()->setEnabled(true);
            return;
        }
    }
    GraphSet& g = *m_graphs;
    for (ResultWindow* w : std::initializer_list<ResultWindow*> {
             &g.ausl(), &g.phia(), &g.pmax(), &g.spl(), &g.splMax(), &g.zel(), &g.znorm() })
        w->closeForGood();
    // The program ends with its main window: the sketch and "Sonstiges" go too.
    m_sketch->closeForGood();
    m_param->closeForGood();
    m_regler->close();
    m_live->supersede();
    event->accept();
    emit programEnds();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int s = 0; s < kSlotCount; ++s)
            if (watched == m_evoImages[static_cast<size_t>(s)]) {
                runCommand([this, s] { EvoImageClick(s); });
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::EvoImageClick(int slot)
{
    m_results.setCurveSlot(slot);
    DrawEvoImages();
}

void TMainForm::DrawEvoImages()
{
    const QColor background = palette().color(QPalette::Window);
    velumo::DrawEvoImages(m_evoPictures, m_results.curveSlot(), background, kSquare, devicePixelRatioF());
    for (int s = 0; s < kSlotCount; ++s)
        m_evoImages[static_cast<size_t>(s)]->setPixmap(
            QPixmap::fromImage(m_evoPictures[static_cast<size_t>(s)]));
}

void TMainForm::refreshInputs()
{
    m_inputs->refreshFromDesign();
    if (m_regler)
        m_regler->refreshFromDesign();
}

void TMainForm::updateCaption() { setWindowTitle(QString::fromStdString(m_project->caption())); }

void TMainForm::showMessage(const Message& m)
{
    m_dialogs->message(this, QString::fromStdString(m.caption), QString::fromStdString(m.text));
}

void TMainForm::focusControl(std::string_view name)
{
    QWidget* w = m_inputs->widget(name);
    if (!w)
        return;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        const int page = m_pages->indexOf(p);
        if (page >= 0) {
            m_pages->setCurrentIndex(page);
            break;
        }
    }
    w->setFocus(Qt::OtherFocusReason);
}

void TMainForm::runCommand(const std::function<void()>& command)
{
    QString failure;
    try {
        command();
        return;
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
    }
    if (failure.isEmpty())
        failure = QStringLiteral("Unbekannter Fehler");
    m_progress->setValue(0);
    refreshInputs();
    try {
        m_dialogs->message(this, QStringLiteral("Fehler"), failure);
    } catch (...) {
        // Nothing is left to tell the user with; the window carries on.
    }
}

int runProgram(TMainForm& window)
{
    QObject::connect(&window, &TMainForm::programEnds, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}

void TMainForm::onUserEdit(bool typing)
{
    // A change that was typed but not yet checked still counts as unsaved,
    // so closing right after typing asks before the change is lost.
    m_project->setNoUnsavedChanges(false);
    if (!m_liveOn)
        return;
    if (typing) {
        m_liveDelay->start();
    } else {
        m_liveDelay->stop();
        runLive();
    }
}

} // namespace velumo
