#pragma once
// The HTML report without a display: Qt's offscreen platform and the
// program's own painters, so a batch run writes the same page and the same
// 13 pictures as "HTML-Export".

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "ReportExport.h"

class QApplication;

namespace velumo {

// Exit statuses, as velumo-sim uses them.
enum HeadlessReportStatus {
    kReportOk = 0,
    kReportUnreadable = 1, // the project file cannot be read
    kReportInvalid = 2,    // the input check left the design invalid
    kReportRunFailed = 3,  // the run was refused or failed: no report is written
    kReportWriteFailed = 4 // a picture, the HTML file or a list could not be written
};

// What the headless report needs of the program: a project opened as
// "Öffnen" does and simulated, then the windows to capture.
class ReportProgram {
public:
    virtual ~ReportProgram() = default;
    // Loads and simulates, writing the lists into listFolder; kReportOk when
    // the run ended without a fault, kReportWriteFailed when it did but its
    // lists could not be written.
    virtual HeadlessReportStatus openAndSimulate(
        const std::string& projectPath, const std::string& listFolder)
        = 0;
    virtual ReportSources sources() = 0;
};

// Built once the application object exists; messages go to `err`.
using ReportProgramFactory = std::function<std::unique_ptr<ReportProgram>(std::ostream& err)>;

// The application object of a headless run: the offscreen platform without
// window frames, so a window's outer size is its client size. Its
// configuration file lives in a private temporary folder only while the
// application starts. Null when an application object exists already (it is
// used as it is).
std::unique_ptr<QApplication> makeOffscreenApplication();

// Opens and simulates the project (the lists go into listFolder), then
// writes the report to `reportPath` with its picture folder beside it; a run
// that fails leaves an existing report as it was. Does not ask "HTML
// anzeigen?" and leaves the program settings alone. Messages go to `err` as
// "Caption: text".
int writeHeadlessReport(const std::string& projectPath, const std::string& reportPath,
    const std::string& listFolder, std::ostream& err, const ReportProgramFactory& makeProgram);

// The ReportUi of a batch run: no dialog, every message to the stream,
// every question answered No.
class StreamReportUi : public ReportUi {
public:
    explicit StreamReportUi(std::ostream& err)
        : m_err(err)
    {
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    void message(const QString& caption, const QString& text) override;
    bool askYesNo(const QString&, const QString&) override { return false; }
    void openWithDesktop(const QString&) override { }

private:
    std::ostream& m_err;
};

} // namespace velumo
