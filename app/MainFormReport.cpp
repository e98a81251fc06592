#include "MainFormReport.h"

#include <QCoreApplication>
#include <QDialog>

#include <ostream>

#include "GraphSet.h"
#include "HeadlessReport.h"
#include "InputTabs.h"
#include "Main.h"
#include "UserDialogs.h"

namespace velumo {

namespace {

// The dialogs of a batch run: the open dialog answers with the project,
// every box goes to the stream, every question is answered No.
class BatchDialogs : public UserDialogs {
public:
    BatchDialogs(std::ostream& err, QString project)
        : m_ui(err)
        , m_project(std::move(project))
    {
    }

    void message(QWidget*, const QString& caption, const QString& text) override
    {
        m_ui.message(caption, text);
    }
    Answer question(QWidget*, const QString&, const QString&, bool) override { return Answer::No; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return m_project;
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void openWithDesktop(const QString&) override { }
    int execDialog(QDialog&) override { return QDialog::Rejected; }

    void setProject(const QString& project) { m_project = project; }

private:
    StreamReportUi m_ui;
    QString m_project;
};

class MainFormProgram : public ReportProgram {
public:
    explicit MainFormProgram(std::ostream& err)
        : m_dialogs(err, QString())
        , m_main(Environment::fromProcess(nullptr), &m_dialogs)
    {
    }

    HeadlessReportStatus openAndSimulate(
        const std::string& projectPath, const std::string& listFolder) override
    {
        m_main.setListFolder(listFolder);
        m_main.show();
        QCoreApplication::processEvents();
        m_dialogs.setProject(QString::fromStdString(projectPath));
        m_main.DateiOeffnenClick();
        if (!m_main.project().inputsValid())
            return kReportInvalid;
        m_main.ButtonStartClick();
        QCoreApplication::processEvents();
        const std::optional<RunOutcome>& run = m_main.lastRun();
        if (!run || run->status != RunStatus::Ok)
            return kReportRunFailed;
        return run->lists.error != 0 ? kReportWriteFailed : kReportOk;
    }

    ReportSources sources() override { return m_main.reportSources(); }

private:
    BatchDialogs m_dialogs;
    TMainForm m_main;
};

} // namespace

int writeMainFormReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err)
{
    return writeHeadlessReport(projectPath, reportPath, listFolder, err,
        [](std::ostream& e) { return std::make_unique<MainFormProgram>(e); });
}

} // namespace velumo
