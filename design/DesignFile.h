#pragma once
// Whether a file holds a design. A file of another kind still opens in the
// window (as all defaults, which stored files may rely on), but the user is
// told; velumo-sim refuses it.
//
// The rule: a file holds a design when it can be read, has 1 byte to 16 MiB
// and at most 65536 lines, and at least one key that loading reads is
// present in its section (any key of the project, for the driver commands a
// key of section "Lautsprecher"). Empty files, random bytes and UTF-16 text
// have no such key; the size limits bound the memory of reading.

#include <string>
#include <string_view>

#include "IniFile.h"
#include "Messages.h"

namespace velumo {

enum class DesignFileScope {
    Project, // "Öffnen", velumo-sim
    Driver,  // "Treiber1 öffnen", "Treiber2 öffnen"
};

// Why a file holds no design; the verdict itself is the rule above.
enum class DesignFileProblem {
    None,
    Unreadable,   // missing, a folder, no read permission
    Empty,        // 0 bytes
    TooLarge,     // more than IniFile::kMaxFileBytes
    TooManyLines, // more than IniFile::kMaxLines
    NotText,      // UTF-16 or UTF-32 text, or bytes with NUL characters
    NoKnownKey,   // text without any key that loading reads
};

struct DesignFile {
    IniFile ini; // the profile loading reads; empty unless the size limits hold
    DesignFileProblem problem = DesignFileProblem::None;
    bool holdsDesign() const { return problem == DesignFileProblem::None; }
};

// The file's bytes judged by the rule (the bytes of an unreadable file
// cannot be given here).
DesignFile designFromBytes(std::string_view bytes, DesignFileScope scope);

// Reads and judges the file at `path`; a file beyond the size limit is not
// read at all.
DesignFile readDesignFile(const std::string& path, DesignFileScope scope);

// The reason in German, lower case, as it follows the file name
// ("die Datei ist leer").
std::string designFileProblemText(DesignFileProblem problem);

// "Die Datei … enthält kein Velumo-Projekt (…)." (for the driver commands
// "… keine Treiberdaten …"), one line.
std::string noDesignText(const std::string& path, DesignFileScope scope, DesignFileProblem problem);

// The window's note: the text above and that the defaults are loaded,
// caption "Hinweis".
Message noDesignMessage(const std::string& path, DesignFileScope scope, DesignFileProblem problem);

} // namespace velumo
