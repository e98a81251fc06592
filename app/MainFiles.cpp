// Projects that come from outside the open dialog: the command line, a file
// dropped on any of Velumo's windows and "Zuletzt geöffnet"; and "Handbuch".

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include "Application.h"
#include "InputTabs.h"
#include "Main.h"
#include "ReglerWindow.h"
#include "ResultWindow.h"
#include "ScopeGuards.h"
#include "Sinks.h"
#include "UserDialogs.h"

namespace velumo {

namespace {

// The first local .vlm file among the dragged URLs; empty when there is none.
QString projectIn(const QMimeData& data)
{
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()
            && QFileInfo(url.toLocalFile()).suffix().compare(QStringLiteral("vlm"), Qt::CaseInsensitive) == 0)
            return url.toLocalFile();
    return QString();
}

bool holdsLocalFiles(const QMimeData& data)
{
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            return true;
    return false;
}

// Sits on the application, so a drag reaches it before an edit box under
// the mouse could take a file's name as text. Other files are refused on
// Velumo's windows; drags of plain text pass.
class ProjectDropFilter : public QObject {
public:
    ProjectDropFilter(std::function<bool(const QWidget*)> ours, std::function<bool()> canOpen,
        std::function<void(const QString&)> open, QObject* parent)
        : QObject(parent)
        , m_ours(std::move(ours))
        , m_canOpen(std::move(canOpen))
        , m_open(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* drop = static_cast<QDropEvent*>(event);
        const QMimeData* data = drop->mimeData();
        if (!widget || !m_ours(widget->window()) || !data || !holdsLocalFiles(*data))
            return false;
        const QString path = projectIn(*data);
        if (path.isEmpty() || !m_canOpen()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Opened after the drop has ended, so the file manager that started
        // the drag is not kept waiting by the question or a message.
        if (type == QEvent::Drop)
            QTimer::singleShot(0, this, [this, path] { m_open(path); });
        return true;
    }

private:
    std::function<bool(const QWidget*)> m_ours;
    std::function<bool()> m_canOpen;
    std::function<void(const QString&)> m_open;
};

} // namespace

void TMainForm::acceptProjectDrops()
{
    auto ours = [this](const QWidget* w) {
        if (w == this)
            return true;
        for (const ResultWindow* r : resultWindows())
            if (w == r)
                return true;
        return false;
    };
    auto canOpen = [this] { return !m_running && !QApplication::activeModalWidget(); };
    auto open = [this](const QString& path) { runCommand([this, path] { openProjectFile(path); }); };
    setAcceptDrops(true);
    for (ResultWindow* w : resultWindows())
        w->setAcceptDrops(true);
    qApp->installEventFilter(new ProjectDropFilter(ours, canOpen, open, this));
}

void TMainForm::openAtStart(const QString& path)
{
    m_startFile = path;
    openPendingStartFile();
}

void TMainForm::openPendingStartFile()
{
    // The project's window places win over the start-up layout, so the file
    // waits for both the start-up and the placing of the windows.
    if (m_startFile.isEmpty() || !m_formShown || !m_placed)
        return;
    const QString path = m_startFile;
    m_startFile.clear();
    QTimer::singleShot(0, this, [this, path] { runCommand([this, path] { openProjectFile(path); }); });
}

bool TMainForm::reportUnreadable(const QString& path)
{
    const QFileInfo file(path);
    QString problem;
    if (!file.exists())
        problem = QStringLiteral("Die Datei %1 existiert nicht.");
    else if (!file.isFile() || !file.isReadable())
        problem = QStringLiteral("Die Datei %1 kann nicht gelesen werden.");
    else
        return false;
    m_project->settings().removeRecentProject(path.toStdString());
    rebuildRecentMenu();
    m_dialogs->message(this, QStringLiteral("Fehler"), problem.arg(path));
    return true;
}

void TMainForm::openProjectFile(const QString& path)
{
    if (m_running || reportUnreadable(path) || !askSaveCurrent())
        return;
    loadProject(path);
}

void TMainForm::loadProject(const QString& path)
{
    // Checked again after the dialog or the question: the file may have gone
    // meanwhile, and the design is kept rather than replaced by defaults.
    if (reportUnreadable(path))
        return;
    m_inputs->refreshButton()->setEnabled(false);
    WindowGeometry geometry = collectGeometry();
    {
        const FlagScope checking(m_checking);
        WindowCheckSink sink([this](const Message& m) { showMessage(m); },
            [this](std::string_view name) { focusControl(name); });
        m_project->open(path.toStdString(), m_design, geometry, sink);
    }
    m_regler->setSliders(m_project->sliders());
    updateCaption();
    refreshInputs();
    resetHistory();
    applyGeometry(geometry);
    rememberRecent(path.toStdString());
    loadProjectMeasurements();
    if (m_liveOn)
        runLive();
}

void TMainForm::rememberRecent(const std::string& path)
{
    m_project->settings().addRecentProject(path);
    rebuildRecentMenu();
}

void TMainForm::rebuildRecentMenu()
{
    m_recent->clear();
    const std::vector<std::string> paths = m_project->settings().recentProjects();
    for (size_t i = 0; i < paths.size(); ++i) {
        const QString path = QString::fromStdString(paths[i]);
        QString shown = path;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = m_recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        a->setObjectName(QStringLiteral("Zuletzt%1").arg(i + 1));
        a->setData(path);
        connect(a, &QAction::triggered, this,
            [this, path] { runCommand([this, path] { openProjectFile(path); }); });
    }
    m_recent->setEnabled(!paths.empty());
}

void TMainForm::HandbuchClick()
{
    const QString executable = QString::fromStdString(m_env.executablePath);
    const QString manual = findManual(executable);
    if (manual.isEmpty()) {
        m_dialogs->message(this, QStringLiteral("Hinweis"),
            QStringLiteral("Das Handbuch wurde nicht gefunden. Gesucht in:\n")
                + manualCandidates(executable).join(QLatin1Char('\n')));
        return;
    }
    m_dialogs->openWithDesktop(manual);
}

} // namespace velumo
