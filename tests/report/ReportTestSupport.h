#pragma once
// Shared pieces of the report tests: the application object and the report
// text as it must read, typed out line by line.

#include <QApplication>
#include <QString>

#include <string>

namespace velumo::test {

inline void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "velumo_report_tests";
    static char* argv[] = { name, nullptr };
    // Never destroyed: at exit Qt's own globals may already be gone.
    new QApplication(argc, argv);
}

struct ExpectedCaptions {
    std::string sketch = "Prinzipskizze";
    std::string spl = "SPL [dB]";
    std::string zel = "El. Impedanz [Ohm]";
    std::string ausl = "Membranamplitude [mm]";
    std::string pmax = "Pmax [W]";
    std::string splMax = "SPLmax [dB]";
    std::string phia = "Akustische Phase [\xB0]"; // Latin-1 degree sign
    std::string znorm = "Akustische Impedanz der Membran";
    std::string param = "Sonstiges";
};

// The 60 texts of the report, already as Latin-1 bytes; `info`, `path` and
// `date` are given as they must appear (escaped, encoded).
inline std::string expectedReport(const std::string& info, const std::string& date, const std::string& path,
    const std::string& d, const ExpectedCaptions& c = {})
{
    const std::string table
        = "<table style=\"text-align: center; font-family: MS Sans Serif; margin-left: auto; "
          "margin-right: auto;\"border=\"0\" cellpadding=\"2\" cellspacing=\"2\">\r\n";
    std::string h;
    h += "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n";
    h += "<html>\r\n<head>\r\n";
    h += "<meta content=\"text/html; charset=ISO-8859-1\" http-equiv=\"content-type\">\r\n";
    h += "<style>\r\n";
    h += "@media print {.np { min-height: 1px; page-break-before: always; }}\r\n";
    h += "</style>\r\n";
    h += "<title>" + info + "</title>\r\n</head>\r\n";
    h += "<body>\r\n";
    h += "<div style=\"text-align: right; font-family: MS Sans Serif;\">\r\n";
    h += date + "<br></div>\r\n";
    h += "<div style=\"text-align: center; font-family: MS Sans Serif;\">\r\n";
    h += "<big><big>Velumo Projekt " + info + "<br>\r\n";
    h += "</big></big>" + path + "<br><br>\r\n";
    h += "<big><span style=\"font-weight: bold;\">";
    h += c.sketch + "<br></span></big>\r\n";
    h += "<img alt=\"Skizze.jpg\" src=\"" + d + "/Skizze.jpg\"><br><br></div>\r\n";
    h += table;
    h += "<tbody>\r\n";
    h += "<tr>\r\n";
    h += "<td>" + c.spl + "</td>\r\n<td>" + c.zel + "</td>\r\n";
    h += "</tr><tr>\r\n";
    h += "<td><img alt=\"SPL.jpg\" src=\"" + d + "/SPL.jpg\"></td>\r\n";
    h += "<td><img alt=\"Zel.jpg\" src=\"" + d + "/Zel.jpg\"></td>\r\n";
    h += "</tr><tr><td></td><td></td></tr><tr>\r\n";
    h += "<td>" + c.ausl + "</td>\r\n<td>" + c.pmax + "</td>\r\n";
    h += "</tr><tr>\r\n";
    h += "<td><img alt=\"Ausl.jpg\" src=\"" + d + "/Ausl.jpg\"></td>\r\n";
    h += "<td><img alt=\"Pmax.jpg\" src=\"" + d + "/Pmax.jpg\"></td>\r\n";
    h += "</tr><tr><td></td><td></td></tr><tr>\r\n";
    h += "<td>" + c.splMax + "</td>\r\n<td>" + c.phia + "</td>\r\n";
    h += "</tr><tr>\r\n";
    h += "<td><img alt=\"SPLmax.jpg\" src=\"" + d + "/SPLmax.jpg\"></td>\r\n";
    h += "<td><img alt=\"Phia.jpg\" src=\"" + d + "/Phia.jpg\"></td>\r\n";
    h += "</tr></tbody></table>\r\n";
    h += "<div class=\"np\"></div>\r\n";
    h += table;
    h += "<tbody>\r\n<tr>\r\n</tr><tr><td></td><td></td></tr><tr>\r\n";
    h += "<td>" + c.znorm + "</td>\r\n<td>" + c.param + "</td>\r\n";
    h += "</tr><tr>\r\n";
    h += "<td style=\"text-align: center; width: 50%;\"><img alt=\"Znorm.jpg\" src=\"" + d
        + "/Znorm.jpg\"></td>\r\n";
    h += "<td style=\"text-align: center; width: 50%;\"><img alt=\"Param.jpg\" src=\"" + d
        + "/Param.jpg\"></td>\r\n";
    h += "</tr><tr><td></td><td></td>\r\n";
    h += "</tr></tbody></table>\r\n";
    h += "<div style=\"text-align: center; font-family: MS Sans Serif;\">\r\n";
    h += "<br><br>\r\n";
    h += "<big><span style=\"font-weight: bold; text-align: center; font-family: MS Sans Serif;\">\r\n";
    h += "Dateneingabe<br><br>\r\n";
    h += "</span></big>\r\n";
    h += "Treiber<br>\r\n";
    h += "<img alt=\"TreiberTab\" src=\"" + d + "/TreiberTab.jpg\"><br><br>\r\n";
    h += "Horn<br>\r\n";
    h += "<img alt=\"HornTab\" src=\"" + d + "/HornTab.jpg\"><br><br>\r\n";
    h += "<div style=\"text-align: center; font-family: MS Sans Serif;\" class=\"np\">\r\n";
    h += "<br><br>\r\n";
    h += "Frequenzweiche<br>\r\n";
    h += "<img alt=\"FWTab\" src=\"" + d + "/FWTab.jpg\"><br><br>\r\n";
    h += "Achsen<br>\r\n";
    h += "<img alt=\"AchsenTab\" src=\"" + d + "/AchsenTab.jpg\"><br><br>\r\n";
    h += "<br></div></body></html>\r\n";
    return h;
}

} // namespace velumo::test
