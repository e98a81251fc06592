#pragma once
// The pure parts of the HTML report: the picture folder beside the report,
// the escaping of user texts and the HTML text itself.

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>

#include "Windows.h"

namespace velumo {

// The pictures of the input tabs "&Treiber", "&Horn", "&Frequenzweiche" and
// "&Achsen".
inline constexpr std::array<const char*, 4> kTabPictures
    = { "TreiberTab.jpg", "HornTab.jpg", "FWTab.jpg", "AchsenTab.jpg" };
inline constexpr int kReportPictureCount = kWindowCount + 4;

// The 13 pictures in the order they are captured: the windows, then the tabs.
inline constexpr std::array<const char*, kReportPictureCount> kReportPictures = [] {
    std::array<const char*, kReportPictureCount> names {};
    for (size_t i = 0; i < kWindows.size(); ++i)
        names[i] = kWindows[i].picture.data();
    for (size_t i = 0; i < kTabPictures.size(); ++i)
        names[kWindows.size() + i] = kTabPictures[i];
    return names;
}();

// Everything the HTML text shows besides its fixed parts. Texts are taken as
// they stand; buildReportHtml escapes them.
struct ReportTexts {
    QString info;        // project info text (EditInfo)
    QString dateTime;    // see reportDateTime
    QString projectPath; // full path of the current project file
    QString folderRef;   // last component of the picture folder (the page refers to "./" + it, encoded)
    QString sketchCaption;
    QString splCaption;
    QString zelCaption;
    QString auslCaption;
    QString pmaxCaption;
    QString splMaxCaption;
    QString phiaCaption;
    QString znormCaption;
    QString paramCaption;
    QString pageHint = QStringLiteral("Dateneingabe");
    QString driverHint = QStringLiteral("Treiber");
    QString hornCaption = QStringLiteral("Horn");
    QString crossoverHint = QStringLiteral("Frequenzweiche");
    QString axesHint = QStringLiteral("Achsen");
};

// The report path without its extension, followed by "-Files" ("a/b.html"
// gives "a/b-Files"; "x.htm" gives "x-Files" so that .htm reports in one
// folder do not share a picture folder). A name without extension keeps its
// whole name.
QString pictureFolderFor(const QString& reportPath);

// The last component of the picture folder, as the HTML refers to it.
QString folderReference(const QString& pictureFolder);

// Replaces &, <, > and " by their entities.
QString htmlEscape(const QString& text);

// The date and time line: the locale's short date and long time format.
QString reportDateTime(const QDateTime& when, const QLocale& locale = QLocale::system());

// The report text with CR LF line ends, as ISO-8859-1 bytes (a character
// outside Latin-1 becomes "?").
QByteArray buildReportHtml(const ReportTexts& texts);

} // namespace velumo
