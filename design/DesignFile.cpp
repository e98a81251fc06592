#include "DesignFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "DesignTable.h"
#include "ProjectFile.h"

namespace velumo {

namespace {

using KeyList = std::vector<std::pair<std::string, std::string>>;

// Every key loading reads: those saving writes, and the numbered crossover
// keys that the four named ones override.
const KeyList& projectKeys()
{
    static const KeyList keys = [] {
        IniFile saved;
        saveValues(Design(), WindowGeometry(), saved);
        KeyList list = saved.keys();
        for (int p = 1; p < kFwCols; ++p)
            for (int row = 1; row < kFwRows; ++row)
                list.emplace_back(std::string(kSectionCrossover), crossoverNumberedKey(p, row));
        return list;
    }();
    return keys;
}

bool holdsKnownKey(const IniFile& ini, DesignFileScope scope)
{
    auto holds = [&](std::string_view section, std::string_view key) {
        return (scope != DesignFileScope::Driver || section == kSectionDriver)
            && ini.value(section, key).has_value();
    };
    // A design file names a control's key early in the table; the whole list
    // (saved once to learn it) is for the files that do not.
    const auto& table = designTable();
    return std::any_of(table.begin(), table.end(), [&](const ControlSpec& e) {
        return e.form != ValueForm::GridCells && holds(e.section, e.key);
    }) || std::any_of(projectKeys().begin(), projectKeys().end(), [&](const auto& entry) {
        return holds(entry.first, entry.second);
    });
}

bool looksLikeWideText(std::string_view bytes)
{
    const auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
    return starts("\xFF\xFE") || starts("\xFE\xFF") || starts(std::string_view("\0\0\xFE\xFF", 4))
        || bytes.find('\0') != std::string_view::npos;
}

} // namespace

DesignFile designFromBytes(std::string_view bytes, DesignFileScope scope)
{
    DesignFile file;
    if (bytes.empty())
        file.problem = DesignFileProblem::Empty;
    else if (bytes.size() > IniFile::kMaxFileBytes)
        file.problem = DesignFileProblem::TooLarge;
    else if (IniFile::lineCount(bytes) > IniFile::kMaxLines)
        file.problem = DesignFileProblem::TooManyLines;
    if (file.problem != DesignFileProblem::None)
        return file;
    file.ini = IniFile::fromBytes(bytes);
    if (!holdsKnownKey(file.ini, scope))
        file.problem = looksLikeWideText(bytes) ? DesignFileProblem::NotText : DesignFileProblem::NoKnownKey;
    return file;
}

DesignFile readDesignFile(const std::string& path, DesignFileScope scope)
{
    // Plain system calls: a file stream's locale and buffer set-up is a good
    // part of what a fresh velumo-sim spends before its run.
    DesignFile file;
    // Non-blocking, so that a FIFO named by mistake is refused, not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st { };
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        file.problem = DesignFileProblem::Unreadable;
        return file;
    }
    if (static_cast<unsigned long long>(st.st_size) > IniFile::kMaxFileBytes) {
        ::close(fd);
        file.problem = DesignFileProblem::TooLarge;
        return file;
    }
    std::string bytes(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fd);
    if (done != bytes.size()) {
        file.problem = DesignFileProblem::Unreadable;
        return file;
    }
    return designFromBytes(bytes, scope);
}

std::string designFileProblemText(DesignFileProblem problem)
{
    switch (problem) {
    case DesignFileProblem::None:
        return {};
    case DesignFileProblem::Unreadable:
        return "die Datei kann nicht gelesen werden";
    case DesignFileProblem::Empty:
        return "die Datei ist leer";
    case DesignFileProblem::TooLarge:
        return "die Datei ist größer als 16 MiB";
    case DesignFileProblem::TooManyLines:
        return "die Datei hat mehr als 65536 Zeilen";
    case DesignFileProblem::NotText:
        return "die Datei ist kein Text in Windows-1252 oder UTF-8";
    case DesignFileProblem::NoKnownKey:
        return "kein bekannter Abschnitt mit Schlüssel";
    }
    return {};
}

std::string noDesignText(const std::string& path, DesignFileScope scope, DesignFileProblem problem)
{
    const char* what = scope == DesignFileScope::Driver ? " enthält keine Treiberdaten ("
                                                        : " enthält kein Velumo-Projekt (";
    return "Die Datei " + path + what + designFileProblemText(problem) + ").";
}

Message noDesignMessage(const std::string& path, DesignFileScope scope, DesignFileProblem problem)
{
    return { "Hinweis", noDesignText(path, scope, problem) + "\nEs werden die Vorgabewerte geladen." };
}

} // namespace velumo
