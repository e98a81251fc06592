#include "HeadlessReport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <ostream>

namespace velumo {

std::unique_ptr<QApplication> makeOffscreenApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 1;
    static char name[] = "velumo-sim";
    static char* argv[] = { name, nullptr };
    // Offscreen windows get a 2-pixel frame unless the platform is told
    // otherwise; the report's sizes are meant for the client area. The file
    // goes into a folder only this user can enter (mkdtemp), never under a
    // name someone else could plant a link at.
    QTemporaryDir folder;
    if (folder.isValid()) {
        QFile file(folder.filePath(QStringLiteral("offscreen.json")));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.write("{ \"windowFrameMargins\": false,\n"
                       "  \"screens\": [ { \"name\": \"Report\", \"x\": 0, \"y\": 0, \"width\": 1920,"
                       " \"height\": 1200, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n");
        qputenv(
            "QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=%1").arg(file.fileName()).toLocal8Bit());
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QApplication>(argc, argv);
}

void StreamReportUi::message(const QString& caption, const QString& text)
{
    if (caption.isEmpty())
        m_err << text.toStdString() << '\n';
    else
        m_err << caption.toStdString() << ": " << text.toStdString() << '\n';
}

int writeHeadlessReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err, const ReportProgramFactory& makeProgram)
{
    if (!QFileInfo(QString::fromStdString(projectPath)).isFile()) {
        err << "Die Projektdatei " << projectPath << " kann nicht gelesen werden.\n";
        return kReportUnreadable;
    }
    const std::unique_ptr<QApplication> app = makeOffscreenApplication();
    std::unique_ptr<ReportProgram> program = makeProgram(err);
    const HeadlessReportStatus status = program->openAndSimulate(projectPath, listFolder);
    if (status != kReportOk && status != kReportWriteFailed)
        return status;
    StreamReportUi ui(err);
    const QString path = QFileInfo(QString::fromStdString(reportPath)).absoluteFilePath();
    const ReportOutcome outcome = exportHtmlReport(path, program->sources(), nullptr, ui);
    return outcome.written ? status : kReportWriteFailed;
}

} // namespace velumo
