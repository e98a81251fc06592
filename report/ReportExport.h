#pragma once
// The command "&HTML-Export" (HTMLExport1Click): a picture of every graph
// window, the sketch, the derived-parameter window and four input tabs, and
// the HTML text that shows them. The windows and texts come in through
// ReportSources and every question to the user through ReportUi, so the main
// window, the headless report and the tests drive the same code.

#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

#include "Windows.h"

class QTabWidget;
class QWidget;

namespace velumo {

class Design;
class ResultSlots;
class Settings;

// The windows captured as graph pictures: the table's windows before the
// derived-parameter window, indexed by WindowId.
constexpr int kReportWindowCount = static_cast<int>(WindowId::Param);

struct ReportSources {
    // Captured at 421 × 260 outer size (their resize rule snaps that to
    // 420 × 260), on white; their captions head the pictures.
    std::array<QWidget*, kReportWindowCount> windows {};
    // Captured at its own size with the window and both columns on white.
    QWidget* paramWindow = nullptr;
    std::vector<QWidget*> paramColumns; // Memo1, Memo2
    // The design whose input pages the tab pictures show, drawn on their own
    // (InputPagesView) with "Aktualisieren" enabled when results exist; with
    // results, the graph pictures are drawn on their own too (GraphsView),
    // in place of the graph windows above.
    const Design* design = nullptr;
    const ResultSlots* results = nullptr;
    bool resultsExist = false;
    // Without a design: a client area like the main window's (below the
    // menu bar), whose (12, 32) is the top left of every tab picture, and
    // the page control in it.
    QWidget* mainClient = nullptr;
    QTabWidget* pageControl = nullptr;
    // Page indices of "&Treiber", "&Horn", "&Frequenzweiche", "&Achsen";
    // the hidden page 2 is left out. A tab picture grows beyond its stated
    // crop where its page reaches further.
    std::array<int, 4> tabPages { 0, 1, 3, 4 };
    // Current texts of CBTyp, CBKontur and CBPosi, written onto the horn tab
    // picture at (25, 34), (25, 59) and (415, 184) for captures that do not
    // show drop-down lists. Qt's capture shows them where they are, so the
    // program's own windows switch the writing off rather than cover other
    // inputs with a second copy.
    bool writeDropDownTexts = true;
    QString typText;
    QString konturText;
    QString posiText;
    QString info;        // EditInfo
    QString projectPath; // the current project file
    QString pageHint = QStringLiteral("Dateneingabe");
    QString driverHint = QStringLiteral("Treiber");
    QString hornCaption = QStringLiteral("Horn");
    QString crossoverHint = QStringLiteral("Frequenzweiche");
    QString axesHint = QStringLiteral("Achsen");
};

class ReportUi {
public:
    virtual ~ReportUi() = default;
    // The chosen file, or an empty text when the dialog was cancelled.
    virtual QString saveFileName(
        const QString& title, const QString& startFolder, const QString& filter, const QString& defaultSuffix)
        = 0;
    virtual void message(const QString& caption, const QString& text) = 0;
    // A Yes/No question; true on Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // Hands a file to the desktop's default application.
    virtual void openWithDesktop(const QString& path) = 0;
};

// Qt's dialogs, message boxes and desktop services, parented to `parent`.
class QtReportUi : public ReportUi {
public:
    explicit QtReportUi(QWidget* parent)
        : m_parent(parent)
    {
    }
    QString saveFileName(const QString& title, const QString& startFolder, const QString& filter,
        const QString& defaultSuffix) override;
    void message(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    void openWithDesktop(const QString& path) override;

private:
    QWidget* m_parent;
};

struct ReportOutcome {
    bool written = false; // the HTML file and all pictures are on disk
    QString error;        // the text shown under "Fehler" when not written
};

// Everything after the save dialog: remembers the folder (when `settings` is
// given), writes the pictures and the HTML file, then asks "HTML anzeigen?".
// A failed picture or HTML write shows "Fehler" and leaves no HTML file;
// window sizes, colours and the active tab are restored in every case, and
// no window changes its state or place (a minimised one stays minimised).
ReportOutcome exportHtmlReport(const QString& reportPath, const ReportSources& sources,
    const Settings* settings, ReportUi& ui, const QDateTime& now = QDateTime::currentDateTime());

// Only the 13 pictures, into `folder` (which must exist). False with the
// reason at the first picture that cannot be written.
bool writeReportPictures(const QString& folder, const ReportSources& sources, QString* error);

// The menu command: the save dialog ("HTML-Export", start folder
// "Verzeichnis"/"html"), then exportHtmlReport. A cancelled dialog does
// nothing.
void HTMLExport1Click(const ReportSources& sources, const Settings& settings, ReportUi& ui);

} // namespace velumo
