#include "HeadlessReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <ostream>

namespace velumo {

namespace {

// Offscreen windows get a 2-pixel frame unless the platform is told
// otherwise; the report's sizes are meant for the client area.
QString offscreenConfigFile()
{
    const QString path = QDir::temp().filePath(
        QStringLiteral("velumo-offscreen-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write("{ \"windowFrameMargins\": false,\n"
                   "  \"screens\": [ { \"name\": \"Report\", \"x\": 0, \"y\": 0, \"width\": 1920,"
                   " \"height\": 1200, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n");
    return path;
}

} // namespace

std::unique_ptr<QApplication> makeOffscreenApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 1;
    static char name[] = "velumo-sim";
    static char* argv[] = { name, nullptr };
    const QString config = offscreenConfigFile();
    qputenv("QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=%1").arg(config).toLocal8Bit());
    auto app = std::make_unique<QApplication>(argc, argv);
    QFile::remove(config);
    return app;
}

void StreamReportUi::message(const QString& caption, const QString& text)
{
    if (caption.isEmpty())
        m_err << text.toStdString() << '\n';
    else
        m_err << caption.toStdString() << ": " << text.toStdString() << '\n';
}

int writeHeadlessReport(const std::string& projectPath, const std::string& reportPath, std::ostream& err,
    const ReportProgramFactory& makeProgram)
{
    if (!QFileInfo(QString::fromStdString(projectPath)).isFile()) {
        err << "Die Projektdatei " << projectPath << " kann nicht gelesen werden.\n";
        return kReportUnreadable;
    }
    const std::unique_ptr<QApplication> app = makeOffscreenApplication();
    std::unique_ptr<ReportProgram> program = makeProgram(err);
    const HeadlessReportStatus status = program->openAndSimulate(projectPath);
    if (status != kReportOk)
        return status;
    StreamReportUi ui(err);
    const QString path = QFileInfo(QString::fromStdString(reportPath)).absoluteFilePath();
    const ReportOutcome outcome = exportHtmlReport(path, program->sources(), nullptr, ui);
    return outcome.written ? kReportOk : kReportWriteFailed;
}

} // namespace velumo
