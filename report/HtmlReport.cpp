#include "HtmlReport.h"

#include <QFileInfo>

#include "Encoding.h"

namespace velumo {

QString pictureFolderFor(const QString& reportPath)
{
    const QFileInfo info(reportPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A leading dot starts a hidden name, not an extension.
    const qsizetype cut = dot > 0 ? reportPath.size() - (name.size() - dot) : reportPath.size();
    return reportPath.left(cut) + QStringLiteral("-Files");
}

QString folderReference(const QString& pictureFolder) { return QFileInfo(pictureFolder).fileName(); }

QString htmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString reportDateTime(const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(when.time(), QLocale::LongFormat);
}

namespace {

// A picture reference inside src="": the folder's UTF-8 bytes
// percent-encoded (all but letters, digits and "-._~"), so the reference is
// plain ASCII whatever the page's encoding, and "./" in front, so no folder
// name reads as a scheme ("a:b") or anything but a relative path.
// The table's names are literals, so their text ends in a NUL.
const char* pictureOf(WindowId w) { return windowSpec(w).picture.data(); }

QString pictureSource(const QString& folderRef, const char* picture)
{
    QString ref = QStringLiteral("./");
    for (const char c : folderRef.toUtf8()) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')
            || b == '-' || b == '.' || b == '_' || b == '~';
        if (plain)
            ref += QLatin1Char(c);
        else
            ref += QStringLiteral("%%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    return ref + QLatin1Char('/') + QLatin1String(picture);
}

QString tableStart()
{
    return QStringLiteral("<table style=\"text-align: center; font-family: MS Sans Serif; margin-left: "
                          "auto; margin-right: auto;")
        + QStringLiteral("\"border=\"0\" cellpadding=\"2\" cellspacing=\"2\">\r\n");
}

QString captionCell(const QString& caption)
{
    return QStringLiteral("<td>") + htmlEscape(caption) + QStringLiteral("</td>\r\n");
}

QString imageCell(const QString& folderRef, const char* picture)
{
    const QString name = QLatin1String(picture);
    return QStringLiteral("<td><img alt=\"") + name + QStringLiteral("\" src=\"")
        + pictureSource(folderRef, picture) + QStringLiteral("\"></td>\r\n");
}

QString wideImageCell(const QString& folderRef, const char* picture)
{
    const QString name = QLatin1String(picture);
    return QStringLiteral("<td style=\"text-align: center; width: 50%;\"><img alt=\"") + name
        + QStringLiteral("\" src=\"") + pictureSource(folderRef, picture) + QStringLiteral("\"></td>\r\n");
}

QString tabImage(const QString& folderRef, const char* alt, const char* picture)
{
    return QStringLiteral("<img alt=\"") + QLatin1String(alt) + QStringLiteral("\" src=\"")
        + pictureSource(folderRef, picture) + QStringLiteral("\"><br><br>\r\n");
}

} // namespace

QByteArray buildReportHtml(const ReportTexts& t)
{
    const QString& d = t.folderRef;
    const QString info = htmlEscape(t.info);
    const QString emptyRow = QStringLiteral("</tr><tr><td></td><td></td></tr><tr>\r\n");
    QString h;
    h += QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n");
    h += QStringLiteral("<html>\r\n<head>\r\n");
    h += QStringLiteral("<meta content=\"text/html; charset=ISO-8859-1\" http-equiv=\"content-type\">\r\n");
    h += QStringLiteral("<style>\r\n");
    h += QStringLiteral("@media print {.np { min-height: 1px; page-break-before: always; }}\r\n");
    h += QStringLiteral("</style>\r\n");
    h += QStringLiteral("<title>") + info + QStringLiteral("</title>\r\n</head>\r\n");
    h += QStringLiteral("<body>\r\n");
    h += QStringLiteral("<div style=\"text-align: right; font-family: MS Sans Serif;\">\r\n");
    h += htmlEscape(t.dateTime) + QStringLiteral("<br></div>\r\n");
    h += QStringLiteral("<div style=\"text-align: center; font-family: MS Sans Serif;\">\r\n");
    h += QStringLiteral("<big><big>Velumo Projekt ") + info + QStringLiteral("<br>\r\n");
    h += QStringLiteral("</big></big>") + htmlEscape(t.projectPath) + QStringLiteral("<br><br>\r\n");
    h += QStringLiteral("<big><span style=\"font-weight: bold;\">");
    h += htmlEscape(t.sketchCaption) + QStringLiteral("<br></span></big>\r\n");
    h += QStringLiteral("<img alt=\"") + QLatin1String(pictureOf(WindowId::Sketch))
        + QStringLiteral("\" src=\"") + pictureSource(d, pictureOf(WindowId::Sketch))
        + QStringLiteral("\"><br><br></div>\r\n");
    h += tableStart();
    h += QStringLiteral("<tbody>\r\n");
    h += QStringLiteral("<tr>\r\n");
    h += captionCell(t.splCaption) + captionCell(t.zelCaption);
    h += QStringLiteral("</tr><tr>\r\n");
    h += imageCell(d, pictureOf(WindowId::Spl)) + imageCell(d, pictureOf(WindowId::Zel));
    h += emptyRow;
    h += captionCell(t.auslCaption) + captionCell(t.pmaxCaption);
    h += QStringLiteral("</tr><tr>\r\n");
    h += imageCell(d, pictureOf(WindowId::Ausl)) + imageCell(d, pictureOf(WindowId::Pmax));
    h += emptyRow;
    h += captionCell(t.splMaxCaption) + captionCell(t.phiaCaption);
    h += QStringLiteral("</tr><tr>\r\n");
    h += imageCell(d, pictureOf(WindowId::SplMax)) + imageCell(d, pictureOf(WindowId::Phia));
    h += QStringLiteral("</tr></tbody></table>\r\n");
    h += QStringLiteral("<div class=\"np\"></div>\r\n");
    // The second table opens with an empty row pair before its captions.
    h += tableStart();
    h += QStringLiteral("<tbody>\r\n") + QStringLiteral("<tr>\r\n") + emptyRow;
    h += captionCell(t.znormCaption) + captionCell(t.paramCaption);
    h += QStringLiteral("</tr><tr>\r\n");
    h += wideImageCell(d, pictureOf(WindowId::Znorm)) + wideImageCell(d, pictureOf(WindowId::Param));
    h += QStringLiteral("</tr><tr><td></td><td></td>\r\n");
    h += QStringLiteral("</tr></tbody></table>\r\n");
    h += QStringLiteral("<div style=\"text-align: center; font-family: MS Sans Serif;\">\r\n");
    h += QStringLiteral("<br><br>\r\n");
    h += QStringLiteral("<big><span style=\"font-weight: bold; text-align: center; font-family: MS Sans "
                        "Serif;\">\r\n");
    h += htmlEscape(t.pageHint) + QStringLiteral("<br><br>\r\n");
    h += QStringLiteral("</span></big>\r\n");
    h += htmlEscape(t.driverHint) + QStringLiteral("<br>\r\n");
    h += tabImage(d, "TreiberTab", kTabPictures[0]);
    h += htmlEscape(t.hornCaption) + QStringLiteral("<br>\r\n");
    h += tabImage(d, "HornTab", kTabPictures[1]);
    h += QStringLiteral("<div style=\"text-align: center; font-family: MS Sans Serif;\" class=\"np\">\r\n");
    h += QStringLiteral("<br><br>\r\n");
    h += htmlEscape(t.crossoverHint) + QStringLiteral("<br>\r\n");
    h += tabImage(d, "FWTab", kTabPictures[2]);
    h += htmlEscape(t.axesHint) + QStringLiteral("<br>\r\n");
    h += tabImage(d, "AchsenTab", kTabPictures[3]);
    h += QStringLiteral("<br></div></body></html>\r\n");
    const std::string latin1 = utf8ToLatin1(h.toStdString());
    return QByteArray(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

} // namespace velumo
