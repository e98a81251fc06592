#include "RunLists.h"

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "Encoding.h"
#include "NumberText.h"
#include "ResultList.h"
#include "TextFiles.h"

namespace velumo {

std::string contourHeader() { return "x [m]\tA [cm²]\tH [cm]\tr [cm]\r\n"; }

std::string dataHeader()
{
    return "f\tSPL\tZel\tx1\tSPLmax\tPmax\tZreal\tZimag\tx2\tPmax2\tPhi_a\r\n"
           "[Hz]\t[dB]\t[Ohm]\t[mm]\t[dB]\t[W]\t\t\t[mm]\t[W]\t[°]\r\n";
}

namespace {

// Widest rows: four fields of a contour row, eleven of a result row.
constexpr size_t kContourRowBytes = 4 * 24;
constexpr size_t kDataRowBytes = 11 * 24;

void appendContourRow(std::string& text, const ContourPoint& p)
{
    static const NumberFormat thousandths("0.000"), hundredths("0.00"), tenths("0.0");
    thousandths.append(text, p.x);
    text += '\t';
    hundredths.append(text, p.area);
    text += '\t';
    tenths.append(text, p.height);
    text += '\t';
    tenths.append(text, p.radius);
    text += "\r\n";
}

} // namespace

std::string contourRow(const ContourPoint& p)
{
    std::string row;
    appendContourRow(row, p);
    return row;
}

std::string contourListBytes(const RunResult& result)
{
    static const std::string header = utf8ToLatin1(contourHeader());
    std::string text;
    text.reserve(header.size() + result.contour.size() * kContourRowBytes);
    text += header;
    for (const ContourPoint& p : result.contour)
        appendContourRow(text, p);
    return text;
}

std::string dataListBytes(const RunResult& result)
{
    static const std::string header = utf8ToLatin1(dataHeader());
    std::string text;
    text.reserve(header.size() + result.points.size() * kDataRowBytes);
    text += header;
    for (const PointResults& r : result.points)
        appendResultRow(text, r);
    return text;
}

ListWriteError writeRunLists(const std::string& dir, const RunResult& result)
{
    const std::string contourBytes = contourListBytes(result);
    const std::string dataBytes = dataListBytes(result);
    // Only writes while the folder is locked: runs into one folder take turns.
    FolderLock lock(dir);
    const std::filesystem::path base(dir);
    TextFileWriter contour;
    TextFileWriter data;
    contour.begin((base / kContourFileName).string());
    data.begin((base / kDataFileName).string());
    contour.writeBytes(contourBytes);
    data.writeBytes(dataBytes);
    // Both complete before either replaces its predecessor.
    for (TextFileWriter* list : { &contour, &data }) {
        if (!list->finish()) {
            contour.discard();
            data.discard();
            return { list->path(), list->error() };
        }
    }
    for (TextFileWriter* list : { &contour, &data }) {
        if (!list->commit()) {
            data.discard();
            return { list->path(), list->error() };
        }
    }
    return {};
}

void clearContourList(const std::string& dir)
{
    const std::string path = (std::filesystem::path(dir) / kContourFileName).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0)
        ::close(fd);
}

} // namespace velumo
