#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include <utility>

#include "HtmlReport.h"
#include "ReportTestSupport.h"

namespace velumo {
namespace {

std::string bytes(const QByteArray& a) { return std::string(a.constData(), static_cast<size_t>(a.size())); }

ReportTexts knownTexts()
{
    ReportTexts t;
    t.info = QStringLiteral("Horn Info");
    t.dateTime = QStringLiteral("08.12.2026 01:02:03");
    t.projectPath = QStringLiteral("/home/user/Velumo/bass.vlm");
    t.folderRef = QStringLiteral("bass-Files");
    t.sketchCaption = QStringLiteral("Prinzipskizze");
    t.splCaption = QStringLiteral("SPL [dB]");
    t.zelCaption = QStringLiteral("El. Impedanz [Ohm]");
    t.auslCaption = QStringLiteral("Membranamplitude [mm]");
    t.pmaxCaption = QStringLiteral("Pmax [W]");
    t.splMaxCaption = QStringLiteral("SPLmax [dB]");
    t.phiaCaption = QStringLiteral("Akustische Phase [°]");
    t.znormCaption = QStringLiteral("Akustische Impedanz der Membran");
    t.paramCaption = QStringLiteral("Sonstiges");
    return t;
}

TEST(HtmlReport, pictureFolderIsTheFileNameWithoutItsExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        { "/data/P/bass.html", "/data/P/bass-Files" },
        { "report.html", "report-Files" },
        // Dropping five characters would give "F/-Files", shared by every .htm report.
        { "F/x.htm", "F/x-Files" },
        { "F/y.htm", "F/y-Files" },
        // Dots outside the file name's extension stay.
        { "/a.b/report", "/a.b/report-Files" },
        { "/a/.hidden", "/a/.hidden-Files" },
        { "/a/v1.2.html", "/a/v1.2-Files" },
    };
    for (const auto& [report, folder] : cases)
        EXPECT_EQ(pictureFolderFor(QString::fromUtf8(report)), QString::fromUtf8(folder)) << report;
}

TEST(HtmlReport, escapesTheFourMarkupCharacters)
{
    EXPECT_EQ(htmlEscape(QStringLiteral("<b>&\"x\"")), QStringLiteral("&lt;b&gt;&amp;&quot;x&quot;"));
    EXPECT_EQ(htmlEscape(QStringLiteral("Horn 'A' & B")), QStringLiteral("Horn 'A' &amp; B"));
    EXPECT_EQ(htmlEscape(QStringLiteral("äöü")), QStringLiteral("äöü"));
}

TEST(HtmlReport, textMatchesTheSixtyPartsByteForByte)
{
    const std::string expected = test::expectedReport(
        "Horn Info", "08.12.2026 01:02:03", "/home/user/Velumo/bass.vlm", "bass-Files");
    EXPECT_EQ(bytes(buildReportHtml(knownTexts())), expected);
}

TEST(HtmlReport, userTextsAreEscapedWhereverTheyAppear)
{
    ReportTexts t = knownTexts();
    t.info = QStringLiteral("<b>&");
    t.projectPath = QStringLiteral("/p/a&b/\"q\".vlm");
    t.splCaption = QStringLiteral("SPL <x>");
    const std::string html = bytes(buildReportHtml(t));
    EXPECT_NE(html.find("<title>&lt;b&gt;&amp;</title>"), std::string::npos);
    EXPECT_NE(html.find("Velumo Projekt &lt;b&gt;&amp;<br>"), std::string::npos);
    EXPECT_NE(html.find("</big></big>/p/a&amp;b/&quot;q&quot;.vlm<br><br>"), std::string::npos);
    EXPECT_NE(html.find("<td>SPL &lt;x&gt;</td>"), std::string::npos);
    EXPECT_EQ(html.find("<b>&"), std::string::npos);
}

TEST(HtmlReport, folderReferenceIsPercentEncodedUtf8AndRelative)
{
    ReportTexts t = knownTexts();
    t.folderRef = QStringLiteral("a&b #1 €:ä-Files");
    const std::string html = bytes(buildReportHtml(t));
    EXPECT_NE(html.find("src=\"./a%26b%20%231%20%E2%82%AC%3A%C3%A4-Files/SPL.jpg\""), std::string::npos);
    EXPECT_NE(
        html.find("src=\"./a%26b%20%231%20%E2%82%AC%3A%C3%A4-Files/AchsenTab.jpg\""), std::string::npos);
}

TEST(HtmlReport, textIsLatin1WithQuestionMarkForOtherCharacters)
{
    ReportTexts t = knownTexts();
    t.info = QStringLiteral("Größe 5€ 😀");
    const std::string html = bytes(buildReportHtml(t));
    EXPECT_NE(html.find("<title>Gr\xF6\xDF"
                        "e 5? ?</title>"),
        std::string::npos);
    // The degree sign of the phase caption is one byte.
    EXPECT_NE(html.find("<td>Akustische Phase [\xB0]</td>"), std::string::npos);
}

TEST(HtmlReport, dateLineUsesShortDateAndLongTime)
{
    const QDateTime when(QDate(2026, 12, 8), QTime(1, 2, 3), Qt::UTC);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QString text = reportDateTime(when, german);
    EXPECT_TRUE(text.startsWith(QStringLiteral("08.12.26 01:02:03"))) << text.toStdString();
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_TRUE(reportDateTime(when, us).startsWith(QStringLiteral("12/8/26 1:02:03")))
        << reportDateTime(when, us).toStdString();
}

} // namespace
} // namespace velumo
