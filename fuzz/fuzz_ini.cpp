// Random bytes as a profile: load, save, reload must give the same bytes and
// the same values; writing one key keeps every other value and reads back.
// Saving writes Windows-1252: the reload checks hold for text that
// Windows-1252 can hold and whose saved bytes do not read as UTF-8.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Encoding.h"
#include "FuzzSupport.h"
#include "IniFile.h"

using namespace velumo;
using velumo::fuzz::require;

namespace {

constexpr size_t kMaxCheckedKeys = 64;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Section and key names of the profile text, in file order. Keys of a later
// section with the name of an earlier one are left out: only the first
// section of a name is read.
std::vector<std::pair<std::string, std::string>> namesIn(const std::string& utf8)
{
    std::vector<std::pair<std::string, std::string>> names;
    std::vector<std::string> sections;
    std::string section;
    bool inSection = false;
    size_t pos = 0;
    while (pos <= utf8.size() && names.size() < kMaxCheckedKeys) {
        size_t end = utf8.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = utf8.size();
        std::string_view line = trimmed(std::string_view(utf8).substr(pos, end - pos));
        size_t close = line.find(']');
        if (line.size() >= 2 && line.front() == '[' && close != std::string_view::npos) {
            section = std::string(trimmed(line.substr(1, close - 1)));
            inSection = std::none_of(sections.begin(), sections.end(),
                [&](const std::string& seen) { return iniNamesEqual(seen, section); });
            sections.push_back(section);
        } else if (inSection && !line.empty() && line.front() != ';' && line.front() != '#') {
            size_t eq = line.find('=');
            if (eq != std::string_view::npos)
                names.emplace_back(section, std::string(trimmed(line.substr(0, eq))));
        }
        pos = end + 1;
    }
    return names;
}

// A name the writer can store: one line, no "=", no brackets, not a comment,
// no blanks at its ends.
std::string storableName(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '=' && c != '[' && c != ']')
            out.push_back(c);
    out = std::string(trimmed(out));
    while (!out.empty()
        && (out.front() == ';' || out.front() == '#' || out.front() == ' ' || out.front() == '\t'))
        out.erase(0, 1);
    return out;
}

// A value that reads back as written: one line, no blanks at its ends and not
// enclosed in a pair of quotes.
std::string storableValue(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n')
            out.push_back(c);
    out = std::string(trimmed(out));
    while (out.size() >= 2 && (out.front() == '"' || out.front() == '\'') && out.back() == out.front()) {
        out.pop_back();
        out = std::string(trimmed(out));
    }
    return out;
}

// The text of the bytes as fromBytes reads it.
std::string textOf(std::string_view bytes)
{
    if (!IniFile::readsAsUtf8(bytes))
        return cp1252ToUtf8(bytes);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return std::string(bytes);
}

bool survivesSaving(const std::string& text, const std::string& savedBytes)
{
    return cp1252ToUtf8(utf8ToCp1252(text)) == text && !IniFile::readsAsUtf8(savedBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The last bytes, when there are enough, name the key to write.
    fuzz::ByteReader tail(data, size);
    size_t fileSize = size;
    std::string section, key, value;
    if (size > 8) {
        size_t nameBytes = data[size - 1] % 32;
        if (nameBytes + 1 < size) {
            fileSize = size - nameBytes - 1;
            fuzz::ByteReader r(data + fileSize, nameBytes);
            section = storableName(cp1252ToUtf8(r.bytes(10)));
            key = storableName(cp1252ToUtf8(r.bytes(10)));
            value = storableValue(cp1252ToUtf8(r.bytes(20)));
        }
    }
    const std::string_view file(reinterpret_cast<const char*>(data), fileSize);

    const IniFile first = IniFile::fromBytes(file);
    const std::string saved = first.toBytes();
    const IniFile reloaded = IniFile::fromBytes(saved);
    const std::string text = textOf(file);
    const bool stable = survivesSaving(text, saved);
    if (stable)
        require(reloaded.toBytes() == saved, "load, save, reload changed the bytes");

    const auto names = namesIn(text);
    std::vector<std::optional<std::string>> before;
    for (const auto& [s, k] : names) {
        before.push_back(first.value(s, k));
        require(before.back().has_value(), "a key of the file is not found", s + " / " + k);
        require(!stable || reloaded.value(s, k) == before.back(), "reload changed a value", s + " / " + k);
        require(first.hasSection(s), "a section of the file is not found", s);
    }

    if (section.empty() || key.empty())
        return 0;
    IniFile written = first;
    written.writeString(section, key, value);
    require(written.value(section, key) == value, "a written key does not read back",
        section + " / " + key + " = " + value + " -> " + written.value(section, key).value_or("(none)"));
    const IniFile writtenReloaded = IniFile::fromBytes(written.toBytes());
    if (!survivesSaving(text, written.toBytes()))
        return 0;
    require(writtenReloaded.toBytes() == written.toBytes(), "a write does not survive save and reload");
    require(writtenReloaded.value(section, key) == value, "a written key does not survive reload",
        section + " / " + key);
    for (size_t i = 0; i < names.size(); ++i) {
        const auto& [s, k] = names[i];
        if (iniNamesEqual(s, section) && iniNamesEqual(k, key))
            continue;
        require(writtenReloaded.value(s, k) == before[i], "a write changed another key", s + " / " + k);
    }
    return 0;
}
