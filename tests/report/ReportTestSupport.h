#pragma once
// Shared pieces of the report tests: the application object and the report
// text as it must read.

#include <QApplication>
#include <QString>

#include <string>
#include <utility>

#include "TestUtil.h"

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

// The report text as it must read: tests/report/expected-report.html (Latin-1
// bytes, CRLF) with `info`, `date`, `path` and the picture folder `folder`
// put in as they must appear (escaped, encoded).
inline std::string expectedReport(
    const std::string& info, const std::string& date, const std::string& path, const std::string& folder)
{
    std::string html = readBytes(std::string(VELUMO_SOURCE_DIR) + "/tests/report/expected-report.html");
    const std::pair<std::string, std::string> marks[]
        = { { "@INFO@", info }, { "@DATE@", date }, { "@PATH@", path }, { "@FILES@", folder } };
    for (const auto& [mark, text] : marks)
        for (size_t at = html.find(mark); at != std::string::npos; at = html.find(mark, at + text.size()))
            html.replace(at, mark.size(), text);
    return html;
}

} // namespace velumo::test
