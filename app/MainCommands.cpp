// The file commands of the menu "&Datei", the options dialog, "Alle Graphen
// zeigen" and the window geometry a project stores.

#include <QPushButton>

#include <filesystem>

#include "GraphSet.h"
#include "InputTabs.h"
#include "Main.h"
#include "Optionen.h"
#include "ParamWindow.h"
#include "ProjectReport.h"
#include "ReportExport.h"
#include "RunExport.h"
#include "ScopeGuards.h"
#include "Sinks.h"
#include "SkizzeWindow.h"
#include "UserDialogs.h"
#include "WindowPlacement.h"

namespace velumo {

namespace {

int stateOf(const QWidget* w)
{
    if (w->windowState() & Qt::WindowMinimized)
        return kStateMinimised;
    if (w->windowState() & Qt::WindowMaximized)
        return kStateMaximised;
    return kStateNormal;
}

// Only a change of state is applied, so opening the same project twice
// leaves every window as the first opening did.
void applyState(ResultWindow* w, int state)
{
    const Qt::WindowStates now = w->windowState();
    if (state == kStateMinimised) {
        if (!(now & Qt::WindowMinimized))
            w->showMinimized();
    } else if (state == kStateMaximised) {
        if (!(now & Qt::WindowMaximized))
            w->showMaximized();
    } else if (now & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        w->showNormalPlaced();
    }
}

// The report asks through the same boxes and dialogs as the window.
class DialogsReportUi : public ReportUi {
public:
    DialogsReportUi(UserDialogs& dialogs, QWidget* parent)
        : m_dialogs(dialogs)
        , m_parent(parent)
    {
    }
    QString saveFileName(const QString& title, const QString& startFolder, const QString& filter,
        const QString& defaultSuffix) override
    {
        return m_dialogs.saveFileName(m_parent, title, startFolder, filter, defaultSuffix);
    }
    void message(const QString& caption, const QString& text) override
    {
        m_dialogs.message(m_parent, caption, text);
    }
    bool askYesNo(const QString& caption, const QString& text) override
    {
        return m_dialogs.question(m_parent, caption, text, false) == UserDialogs::Answer::Yes;
    }
    void openWithDesktop(const QString& path) override { m_dialogs.openWithDesktop(path); }

private:
    UserDialogs& m_dialogs;
    QWidget* m_parent;
};

} // namespace

ReportSources TMainForm::reportSources() const
{
    return reportSourcesOf(m_design, m_results, m_inputs->refreshButton()->isEnabled(), *m_sketch, *m_graphs,
        *m_param, m_project->projectPath());
}

void TMainForm::HTMLExport1Click()
{
    DialogsReportUi ui(*m_dialogs, this);
    velumo::HTMLExport1Click(reportSources(), m_project->settings(), ui);
}

bool TMainForm::askSaveCurrent()
{
    if (m_project->noUnsavedChanges())
        return true;
    switch (m_dialogs->question(
        this, QStringLiteral("Hinweis"), QStringLiteral("Aktuelle Datei speichern?"), true)) {
    case UserDialogs::Answer::Yes:
        DateiSpeichernClick();
        // The user wanted the design kept: a cancelled or failed save stops
        // the command rather than dropping the changes.
        return m_project->noUnsavedChanges();
    case UserDialogs::Answer::No:
        return true;
    case UserDialogs::Answer::Cancel:
        break;
    }
    return false;
}

void TMainForm::DateiNeuClick()
{
    if (!askSaveCurrent())
        return;
    m_project->newProject();
    updateCaption();
    resetHistory();
}

void TMainForm::DateiOeffnenClick()
{
    if (!askSaveCurrent())
        return;
    const QString path = m_dialogs->openFileName(this, QStringLiteral("Projekt öffnen"),
        QString::fromStdString(m_project->settings().currentFolder()), projectFilter());
    if (!path.isEmpty())
        loadProject(path);
}

void TMainForm::DateiSpeichernClick()
{
    if (m_project->saveNeedsDialog()) {
        DateiSpeichernUnterClick();
        return;
    }
    WindowCheckSink sink([this](const Message& m) { showMessage(m); }, [](std::string_view) {});
    m_project->save(m_design, collectGeometry(), sink);
    markSaved();
}

void TMainForm::DateiSpeichernUnterClick()
{
    const QString path = m_dialogs->saveFileName(this, QStringLiteral("Datei speichern unter ..."),
        QString::fromStdString(m_project->projectPath()), projectFilter(), QStringLiteral("vlm"));
    if (path.isEmpty())
        return;
    WindowCheckSink sink([this](const Message& m) { showMessage(m); }, [](std::string_view) {});
    if (m_project->saveAs(path.toStdString(), m_design, collectGeometry(), sink)) {
        markSaved();
        updateCaption();
        rememberRecent(path.toStdString());
    }
}

void TMainForm::exportRunCurve(MeasurementKind kind)
{
    if (!m_lastRun || m_lastRun->result.points.empty()) {
        showMessage({ "Hinweis",
            "Es liegt noch kein Simulationsergebnis vor.\nBitte zuerst die Simulation starten." });
        return;
    }
    const bool frd = kind == MeasurementKind::Frd;
    const std::string suffix = frd ? "frd" : "zma";
    // Named after the project, in its folder; an unsaved design in the last used one.
    std::filesystem::path preset = m_project->projectPath();
    if (preset.empty())
        preset = std::filesystem::path(m_project->settings().currentFolder()) / "Velumo";
    preset.replace_extension(suffix);
    const QString path = m_dialogs->saveFileName(this,
        frd ? QStringLiteral("Frequenzgang (FRD) exportieren") : QStringLiteral("Impedanz (ZMA) exportieren"),
        QString::fromStdString(preset.string()),
        frd ? QStringLiteral("Frequenzgang (*.frd)") : QStringLiteral("Impedanz (*.zma)"),
        QString::fromStdString(suffix));
    if (path.isEmpty())
        return;
    std::string error;
    if (!writeRunExport(path.toStdString(), m_lastRun->result, kind, m_project->projectPath(), &error))
        showMessage({ "Fehler", error });
}

void TMainForm::Treiber1OeffnenClick()
{
    openDriverFile(QStringLiteral("Treiber1 öffnen"), &ProjectState::openDriver1);
}

void TMainForm::Treiber2OeffnenClick()
{
    openDriverFile(QStringLiteral("Treiber2 öffnen"), &ProjectState::openDriver2);
}

// Both driver commands: a dialog from the remembered folder, then the load
// and the check with its messages and focus requests.
void TMainForm::openDriverFile(
    const QString& title, void (ProjectState::*load)(const std::string&, Design&, CheckSink&))
{
    const QString path = m_dialogs->openFileName(
        this, title, QString::fromStdString(m_project->settings().currentFolder()), projectFilter());
    if (path.isEmpty())
        return;
    {
        const FlagScope checking(m_checking);
        WindowCheckSink sink([this](const Message& m) { showMessage(m); },
            [this](std::string_view name) { focusControl(name); });
        ((*m_project).*load)(path.toStdString(), m_design, sink);
    }
    refreshInputs();
    recordStepLater();
    if (m_liveOn)
        runLive();
}

void TMainForm::OptionenClick()
{
    m_options->run(m_project->settings(), [this](QDialog& d) { return m_dialogs->execDialog(d); });
}

void TMainForm::AlleFensterzeigenClick()
{
    GraphSet& g = *m_graphs;
    const std::vector<ResultWindow*> order { &g.spl(), &g.splMax(), &g.zel(), &g.znorm(), &g.ausl(),
        m_sketch.get(), m_param.get(), &g.phia(), &g.pmax() };
    // Windows whose place lies on the main window move beside it, keeping
    // their cascade, so that showing them hides none of the inputs.
    const QRect main = outerFrame(this);
    int coveringLeft = main.right() + 1 + kWindowGap;
    for (const ResultWindow* w : order)
        if (w->normalFrame().intersects(main))
            coveringLeft = std::min(coveringLeft, w->normalFrame().left());
    const int shift = main.right() + 1 + kWindowGap - coveringLeft;
    for (ResultWindow* w : order) {
        QRect frame = w->normalFrame();
        if (frame.intersects(main)) {
            frame.translate(shift, 0);
            w->setNormalFrame(frame);
        }
        w->showNormalPlaced();
    }
}

ResultWindow* TMainForm::geometryWidget(WindowId w) const
{
    GraphSet& g = *m_graphs;
    switch (w) {
    case WindowId::Sketch:
        return m_sketch.get();
    case WindowId::Param:
        return m_param.get();
    case WindowId::Spl:
        return &g.spl();
    case WindowId::Zel:
        return &g.zel();
    case WindowId::Ausl:
        return &g.ausl();
    case WindowId::Pmax:
        return &g.pmax();
    case WindowId::SplMax:
        return &g.splMax();
    case WindowId::Phia:
        return &g.phia();
    case WindowId::Znorm:
        return &g.znorm();
    }
    return nullptr;
}

WindowGeometry TMainForm::collectGeometry() const
{
    WindowGeometry g;
    for (const WindowSpec& row : kWindows) {
        const WindowId w = row.id;
        const ResultWindow* window = geometryWidget(w);
        // A minimised window keeps its normal placement for the next start.
        const QRect outer = window->normalFrame();
        g.rect(w) = WindowRect { outer.left(), outer.top(), outer.height(), outer.width() };
        g.state(w) = stateOf(window);
    }
    const QRect main = outerFrame(this);
    g.mainLeft = main.left();
    g.mainTop = main.top();
    return g;
}

void TMainForm::applyGeometry(const WindowGeometry& geometry)
{
    for (WindowId w : kGeometryLoadOrder) {
        ResultWindow* window = geometryWidget(w);
        const WindowRect& r = geometry.rect(w);
        // Stored sizes are outer sizes; "Sonstiges" keeps its own.
        QSize outer(r.width, r.height);
        if (w == WindowId::Param || outer.isEmpty())
            outer = QSize();
        window->setNormalFrame(QRect(QPoint(r.left, r.top), outer));
    }
    placeFrame(this, QPoint(geometry.mainLeft, geometry.mainTop), size());
    for (WindowId w : kGeometryStateOrder)
        applyState(geometryWidget(w), geometry.state(w));
}

} // namespace velumo
