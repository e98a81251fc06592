#pragma once
// Profile (INI) files as the project and settings files use them: Windows-1252
// bytes on disk (a file that is valid UTF-8 with non-ASCII bytes is read as
// UTF-8), CR LF lines, UTF-8 text inside the program. Reading and
// writing work key by key and keep every line the program does not write
// (foreign keys, comments, blank lines) where it was.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velumo {

class IniFile {
public:
    IniFile() = default;

    // A missing or unreadable file gives an empty profile; so does a file
    // larger than kMaxFileBytes or with more than kMaxLines lines (no hang,
    // and memory of a few times the file size at most).
    static IniFile load(const std::string& path);
    static IniFile fromBytes(std::string_view bytes);
    static constexpr size_t kMaxFileBytes = 16u << 20;
    static constexpr size_t kMaxLines = 65536;
    // Lines of the bytes as fromBytes splits them (CR, LF or CR LF end a line).
    static size_t lineCount(std::string_view bytes);
    // Whether fromBytes reads the bytes as UTF-8: valid UTF-8 with at least
    // one non-ASCII byte (Windows-1252 text with umlauts practically never
    // is); a UTF-8 byte-order mark is then skipped.
    static bool readsAsUtf8(std::string_view bytes);

    // Section and key names compare case-insensitively; only the first
    // section of a name is read and within it the first key of a name.
    // Names and values are trimmed and one pair of enclosing quotes is
    // removed from a value. A line without "=" is no key.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
    // A whole decimal integer in the 32-bit range, else the default.
    int readInt(std::string_view section, std::string_view key, int def) const;
    // An integer; non-zero is true. Anything else gives the default.
    bool readBool(std::string_view section, std::string_view key, bool def) const;
    bool hasSection(std::string_view section) const;
    // Every key that value() can read, as (section, key), in file order.
    std::vector<std::pair<std::string, std::string>> keys() const;

    // Updates the key in place, appends a missing key at the end of its
    // section and a missing section at the end of the file.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // The file as Windows-1252 bytes with CR LF line ends; a character that
    // cannot be encoded becomes "?".
    std::string toBytes() const;

    // Writes atomically (temporary file beside it, then rename), so a failed
    // write leaves the old file as it was. Returns false with a reason on
    // failure (also for an existing file that is not writable).
    bool save(const std::string& path, std::string* error = nullptr) const;

private:
    struct Line {
        std::string text; // UTF-8, without line end
    };
    // The first section of each name with its key lines, built on the first
    // look-up and kept up to date by the writes: look-ups in a large file
    // must not scan it again and again. Names are held as hashes of their
    // folded form and checked against the line on a hit.
    struct Section {
        size_t header = 0;                           // line of "[name]"
        size_t end = 0;                              // one past its last line
        std::vector<std::pair<size_t, size_t>> keys; // (hash, line - header), sorted
    };
    struct Index {
        std::unordered_multimap<size_t, size_t> names; // hash -> section
        std::vector<Section> sections;                 // in file order
        long open = -1;                                // the section the last line belongs to, if indexed
    };
    std::vector<Line> m_lines;
    mutable std::shared_ptr<Index> m_index; // null: not built yet; shared by copies

    const Index& index() const;
    // The index for a write: built, and this file's own copy.
    Index& ownIndex();
    // Adds lines [from, end of file) to the index as they are appended.
    void indexLines(Index& idx, size_t from, bool sortedInsert) const;
    std::string_view sectionName(size_t headerLine) const;
    const Section* findSection(std::string_view section) const;
    // Line of the first key named `key` in the section, or -1.
    long findKey(const Section& section, std::string_view key) const;
};

// Case-insensitive comparison of UTF-8 names (ASCII and Latin-1 letters).
bool iniNamesEqual(std::string_view a, std::string_view b);

} // namespace velumo
