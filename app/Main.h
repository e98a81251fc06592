#pragma once
// TMainForm: the program's input window. It owns the design, the file state,
// the four result slots and the other windows, and turns menu commands and
// buttons into calls of the design, the input check, the project file, the
// engine and the plot code.

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Design.h"
#include "DesignHistory.h"
#include "Directories.h"
#include "Model.h"
#include "ProjectFile.h"
#include "ProjectState.h"
#include "ResultSlots.h"
#include "RunInput.h"
#include "RunPresentation.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;

namespace velumo {

class GraphSet;
class InputTabs;
class LiveRunner;
struct ReportSources;
enum class MeasurementKind;
class ResultWindow;
class TAboutBox;
class TOptionenForm;
class TParamForm;
class TReglerForm;
class TSkizzeForm;
class UserDialogs;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers every box and dialog (null: the real Qt ones); the
    // environment decides the folders, found when the window is first shown.
    explicit TMainForm(Environment env, UserDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    Design& design() { return m_design; }
    ResultSlots& results() { return m_results; }
    const ProjectState& project() const { return *m_project; }
    InputTabs& inputs() { return *m_inputs; }
    GraphSet& graphs() { return *m_graphs; }
    TParamForm& paramForm() { return *m_param; }
    TSkizzeForm& sketchForm() { return *m_sketch; }
    TAboutBox& aboutBox() { return *m_about; }
    TOptionenForm& optionsForm() { return *m_options; }
    TReglerForm& reglerForm() { return *m_regler; }
    const Directories& directories() const { return m_dirs; }
    QAction* action(const char* name) const;

    // The folder runs write contour.txt and data.txt into; empty (the
    // default): the settings folder.
    void setListFolder(std::string folder) { m_listFolder = std::move(folder); }
    // The last run that was not refused, once there was one.
    const std::optional<RunOutcome>& lastRun() const { return m_lastRun; }

    // A project named on the command line, opened once the window is up and
    // the other windows are placed.
    void openAtStart(const QString& path);
    // A project from outside the open dialog (command line, a drop, "Zuletzt
    // geöffnet"): a file that is missing or unreadable is reported and the
    // design stays; otherwise the question "Aktuelle Datei speichern?" and
    // then the opening, as "Öffnen" does.
    void openProjectFile(const QString& path);
    // "Zuletzt geöffnet" in "&Datei", rebuilt whenever the menu opens.
    QMenu* recentMenu() const { return m_recent; }

    // Actions and commands, named as the menu and the buttons call them.
    void CheckVariablesExecute();
    void SimulateExecute();
    void ButtonStartClick();
    void DrawEvoImages();
    void DrawGraphs();
    void EvoImageClick(int slot);
    void BtnClearClick();
    void BtnRefreshClick();
    void DateiNeuClick();
    void DateiOeffnenClick();
    void DateiSpeichernClick();
    void DateiSpeichernUnterClick();
    void HandbuchClick();
    void Treiber1OeffnenClick();
    void Treiber2OeffnenClick();
    void OptionenClick();
    void AlleFensterzeigenClick();
    void Translate();
    void HTMLExport1Click();
    // Datei › Exportieren: the latest run's frequency response (FRD) or
    // impedance (ZMA) into a file the user chooses.
    void exportRunCurve(MeasurementKind kind);
    // Datei › "Messung laden …" and "Messung entfernen": a measured FRD or
    // ZMA drawn under the runs' curves, its path kept in the project.
    void MessungLadenClick();
    void MessungEntfernenClick();
    // What the report shows: the result windows, the input pages and the
    // texts; the menu command and velumo-report both take it from here.
    ReportSources reportSources() const;
    // The sketch of the last run; the notes about zero chamber lengths come
    // with the drawing command only, not with every redraw after a resize.
    void DrawSketch(bool withNotes = true);

    // Extras › "Live-Simulation": every edit is checked quietly and, when
    // valid, simulated off this thread; the result replaces the current
    // colour slot's curves and every window is redrawn. No files are written.
    bool liveSimulation() const { return m_liveOn; }
    void setLiveSimulation(bool on);
    // No live run waiting, in flight or held back by the typing pause.
    bool liveIdle() const;
    // Live results drawn so far.
    int liveDraws() const;
    // The status line: the live check's or run's message, empty when none.
    QString statusText() const;

    // "Bearbeiten": the design as it was before the last completed edit,
    // and back again.
    void RueckgaengigClick();
    void WiederherstellenClick();
    const DesignHistory& history() const { return m_history; }
    void ReglerClick();

    // The graph, sketch and parameter windows' positions, sizes and states;
    // positions are those of the outer frames.
    WindowGeometry collectGeometry() const;
    void applyGeometry(const WindowGeometry& geometry);

    // Runs a command of a menu item, button or key: a failure inside it is
    // shown as "Fehler" with its text, and the design and the window stay
    // usable.
    void runCommand(const std::function<void()>& command);

signals:
    // The close sequence let the window close: the program ends.
    void programEnds();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWindows();
    void buildBottomRow(QWidget* client);
    void buildMenus();
    void FormShow();
    void placeWindows();
    void placeResultWindows();
    std::vector<ResultWindow*> resultWindows() const;
    void refreshInputs();
    void updateCaption();
    void showMessage(const Message& m);
    bool askSaveCurrent();
    void focusControl(std::string_view name);
    // Loads the chosen project unless it cannot be read (then a "Fehler").
    void loadProject(const QString& path);
    // The measurements a just opened project names; a file that cannot be
    // read is reported and its path kept.
    void loadProjectMeasurements();
    void showMeasurement(MeasurementKind kind, std::optional<MeasuredCurve> curve);
    // The graphs with the slots' curves once a slot is filled, else grids
    // and measurements alone.
    void redrawGraphs();
    bool reportUnreadable(const QString& path);
    void rebuildRecentMenu();
    void rememberRecent(const std::string& path);
    void acceptProjectDrops();
    void openPendingStartFile();
    void openDriverFile(
        const QString& title, void (ProjectState::*load)(const std::string&, Design&, CheckSink&));
    void onUserEdit(bool typing);
    void runLive();
    void liveArrived(RunOutcome& outcome, const RunInput& in);
    void showStatus(const QString& text);
    // Shows or hides the live status line below the inputs; the windows
    // lined up below the main window keep their distance to it.
    void setStatusLineVisible(bool on);
    void recordStepLater();
    void recordStep();
    void restoreStep(const DesignStep& step);
    void moveInHistory(const DesignStep* (DesignHistory::*step)());
    void resetHistory();
    void markSaved();
    void updateUndoActions();
    void sliderMoved(const std::string& control, const QString& text);
    void sliderReleased();
    void catchEditKeys();
    void finishRun(const RunOutcome& outcome, const RunInput& in);
    void enableStart(bool on);
    ResultWindow* geometryWidget(WindowId w) const;

    Environment m_env;
    std::unique_ptr<UserDialogs> m_ownDialogs;
    UserDialogs* m_dialogs;
    Design m_design;
    Directories m_dirs;
    std::unique_ptr<ProjectState> m_project;
    ResultSlots m_results;
    std::optional<RunInput> m_lastRunInput;
    std::optional<RunOutcome> m_lastRun;
    std::string m_listFolder;

    QTabWidget* m_pages = nullptr;
    InputTabs* m_inputs = nullptr;
    std::array<QLabel*, kSlotCount> m_evoImages {};
    std::array<QImage, kSlotCount> m_evoPictures;
    QPushButton* m_btnClear = nullptr;
    QPushButton* m_buttonStart = nullptr;
    QProgressBar* m_progress = nullptr;
    QMenu* m_recent = nullptr;
    QString m_startFile;
    bool m_formShown = false;
    bool m_placed = false;

    std::unique_ptr<TParamForm> m_param;
    std::unique_ptr<TAboutBox> m_about;
    std::unique_ptr<GraphSet> m_graphs;
    std::unique_ptr<TSkizzeForm> m_sketch;
    std::unique_ptr<TOptionenForm> m_options;
    std::unique_ptr<TReglerForm> m_regler;

    std::unique_ptr<LiveRunner> m_live;
    QTimer* m_liveDelay = nullptr;
    QLabel* m_status = nullptr;
    bool m_liveOn = false;
    bool m_liveDrawing = false;
    bool m_reglerPlaced = false;
    DesignHistory m_history;
    bool m_stepPending = false;

    bool m_shown = false;
    bool m_checking = false;
    bool m_running = false;
};

// Shows the window and runs the program until the close sequence ends it;
// the exit code of the event loop.
int runProgram(TMainForm& window);

} // namespace velumo
