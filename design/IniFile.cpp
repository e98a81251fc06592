#include "IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "Encoding.h"
#include "NumberText.h"
#include "TextFiles.h"

namespace velumo {

namespace {

std::string_view trim(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    size_t e = s.size();
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

// Case folding of names: ASCII letters and the Latin-1 capitals
// U+00C0..U+00DE (but U+00D7, UTF-8 C3 80..C3 9E) fold to lower case; other
// characters are kept. Folding keeps the byte length, so names are compared
// and hashed byte by byte without building folded copies: look-ups run
// thousands of times per project.
unsigned char foldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// The byte after a C3 lead byte.
unsigned char foldLatin1Tail(unsigned char d)
{
    return d >= 0x80 && d <= 0x9E && d != 0x97 ? static_cast<unsigned char>(d + 0x20) : d;
}

template <typename Emit> void forEachFoldedByte(std::string_view s, Emit emit)
{
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c == 0xC3 && i + 1 < s.size()) {
            emit(c);
            emit(foldLatin1Tail(static_cast<unsigned char>(s[++i])));
        } else {
            emit(foldAscii(c));
        }
    }
}

bool foldedEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        // A C3 pair in one name against anything else in the other differs
        // already in its first byte.
        if (x == 0xC3 && y == 0xC3 && i + 1 < a.size()) {
            ++i;
            if (foldLatin1Tail(static_cast<unsigned char>(a[i]))
                != foldLatin1Tail(static_cast<unsigned char>(b[i])))
                return false;
        } else if (foldAscii(x) != foldAscii(y)) {
            return false;
        }
    }
    return true;
}

// FNV-1a over the folded bytes of the trimmed name.
size_t nameHash(std::string_view name)
{
    uint64_t h = 14695981039346656037ull;
    forEachFoldedByte(trim(name), [&](unsigned char c) {
        h ^= c;
        h *= 1099511628211ull;
    });
    return static_cast<size_t>(h);
}

bool isSectionHeader(std::string_view line, std::string_view* name)
{
    std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    *name = trim(t.substr(1, close - 1));
    return true;
}

bool isComment(std::string_view line)
{
    std::string_view t = trim(line);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

// Splits a key line; false for lines without "=".
bool splitKeyLine(std::string_view line, std::string_view* key, std::string_view* value)
{
    if (isComment(line))
        return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    *key = trim(line.substr(0, eq));
    *value = trim(line.substr(eq + 1));
    return true;
}

std::string unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return std::string(v.substr(1, v.size() - 2));
    return std::string(v);
}

} // namespace

bool iniNamesEqual(std::string_view a, std::string_view b) { return foldedEqual(trim(a), trim(b)); }

IniFile IniFile::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return IniFile();
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > kMaxFileBytes)
        return IniFile();
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), size);
    if (!in)
        return IniFile();
    return fromBytes(bytes);
}

size_t IniFile::lineCount(std::string_view bytes)
{
    size_t lines = 0;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        ++lines;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return start < bytes.size() ? lines + 1 : lines;
}

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace

bool IniFile::readsAsUtf8(std::string_view bytes)
{
    const bool nonAscii = std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return nonAscii && isValidUtf8(bytes);
}

IniFile IniFile::fromBytes(std::string_view bytes)
{
    IniFile ini;
    if (bytes.size() > kMaxFileBytes)
        return ini;
    const size_t lines = lineCount(bytes);
    if (lines > kMaxLines)
        return ini;
    const bool utf8 = readsAsUtf8(bytes);
    if (utf8 && bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        bytes.remove_prefix(kUtf8Bom.size());
    // Line by line, so no second copy of the whole text is ever held.
    ini.m_lines.reserve(lines);
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        const bool atEnd = i == bytes.size();
        if (!atEnd && bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        if (!(atEnd && start == bytes.size())) {
            const std::string_view line = bytes.substr(start, i - start);
            ini.m_lines.push_back({ utf8 ? std::string(line) : cp1252ToUtf8(line) });
        }
        if (!atEnd && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return ini;
}

void IniFile::indexLines(Index& idx, size_t from, bool sortedInsert) const
{
    for (size_t i = from; i < m_lines.size(); ++i) {
        std::string_view name;
        std::string_view key, value;
        if (isSectionHeader(m_lines[i].text, &name)) {
            idx.open = -1;
            const size_t h = nameHash(name);
            auto [first, last] = idx.names.equal_range(h);
            // Later sections of a name are never read; they only end the one before.
            if (std::any_of(first, last, [&](const auto& e) {
                    return iniNamesEqual(sectionName(idx.sections[e.second].header), name);
                }))
                continue;
            idx.sections.push_back(Section { i, i + 1, {} });
            idx.open = static_cast<long>(idx.sections.size() - 1);
            idx.names.emplace(h, idx.sections.size() - 1);
            continue;
        }
        if (idx.open < 0)
            continue;
        Section& sec = idx.sections[static_cast<size_t>(idx.open)];
        sec.end = i + 1;
        if (!splitKeyLine(m_lines[i].text, &key, &value))
            continue;
        const std::pair<size_t, size_t> entry { nameHash(key), i - sec.header };
        if (sortedInsert)
            sec.keys.insert(std::upper_bound(sec.keys.begin(), sec.keys.end(), entry), entry);
        else
            sec.keys.push_back(entry);
    }
    if (!sortedInsert)
        for (Section& sec : idx.sections)
            std::sort(sec.keys.begin(), sec.keys.end());
}

const IniFile::Index& IniFile::index() const
{
    if (!m_index) {
        auto idx = std::make_shared<Index>();
        indexLines(*idx, 0, false);
        m_index = std::move(idx);
    }
    return *m_index;
}

IniFile::Index& IniFile::ownIndex()
{
    index();
    if (m_index.use_count() > 1)
        m_index = std::make_shared<Index>(*m_index);
    return *m_index;
}

std::string_view IniFile::sectionName(size_t line) const
{
    std::string_view name;
    isSectionHeader(m_lines[line].text, &name);
    return name;
}

const IniFile::Section* IniFile::findSection(std::string_view section) const
{
    const Index& idx = index();
    const Section* found = nullptr;
    auto [first, last] = idx.names.equal_range(nameHash(trim(section)));
    for (auto it = first; it != last; ++it) {
        const Section& s = idx.sections[it->second];
        if ((!found || s.header < found->header) && iniNamesEqual(sectionName(s.header), section))
            found = &s;
    }
    return found;
}

long IniFile::findKey(const Section& section, std::string_view key) const
{
    const std::pair<size_t, size_t> from { nameHash(trim(key)), 0 };
    // Entries of one hash are in line order, so the first real match is the first key of its name.
    for (auto it = std::lower_bound(section.keys.begin(), section.keys.end(), from);
         it != section.keys.end() && it->first == from.first; ++it) {
        const size_t line = section.header + it->second;
        std::string_view k, v;
        if (splitKeyLine(m_lines[line].text, &k, &v) && iniNamesEqual(k, key))
            return static_cast<long>(line);
    }
    return -1;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    long k = findKey(*s, key);
    if (k < 0)
        return std::nullopt;
    std::string_view kk, v;
    splitKeyLine(m_lines[static_cast<size_t>(k)].text, &kk, &v);
    return unquote(v);
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const
{
    auto v = value(section, key);
    return v ? *v : std::string(def);
}

int IniFile::readInt(std::string_view section, std::string_view key, int def) const
{
    auto v = value(section, key);
    int result = 0;
    if (v && parseStrictInt(*v, &result))
        return result;
    return def;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const
{
    auto v = value(section, key);
    int result = 0;
    if (v && parseStrictInt(*v, &result))
        return result != 0;
    return def;
}

bool IniFile::hasSection(std::string_view section) const { return findSection(section) != nullptr; }

std::vector<std::pair<std::string, std::string>> IniFile::keys() const
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const Section& sec : index().sections) {
        const std::string name(sectionName(sec.header));
        for (size_t line = sec.header + 1; line < sec.end; ++line) {
            std::string_view k, v;
            // Only the first key of a name is read.
            if (splitKeyLine(m_lines[line].text, &k, &v) && findKey(sec, k) == static_cast<long>(line))
                out.emplace_back(name, std::string(k));
        }
    }
    return out;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(trim(key)) + "=" + std::string(value);
    const Section* s = findSection(section);
    if (!s) {
        const size_t from = m_lines.size();
        if (!m_lines.empty() && !trim(m_lines.back().text).empty())
            m_lines.push_back({ std::string() });
        m_lines.push_back({ "[" + std::string(trim(section)) + "]" });
        m_lines.push_back({ line });
        indexLines(ownIndex(), from, true);
        return;
    }
    long k = findKey(*s, key);
    if (k >= 0) {
        // The line keeps its key name, so the index stays valid.
        m_lines[static_cast<size_t>(k)].text = line;
        return;
    }
    // Append after the last non-blank line of the section, so the blank line
    // that separates it from the next section stays in place.
    size_t insertAt = s->end;
    while (insertAt > s->header + 1 && trim(m_lines[insertAt - 1].text).empty())
        --insertAt;
    const size_t sectionNo = static_cast<size_t>(s - index().sections.data());
    m_lines.insert(m_lines.begin() + static_cast<long>(insertAt), Line { line });

    std::string_view name, newKey, newValue;
    if (isSectionHeader(line, &name)) {
        // A key that reads as a section header reorders the sections: start over.
        m_index.reset();
        return;
    }
    Index& idx = ownIndex();
    Section& sec = idx.sections[sectionNo];
    ++sec.end;
    // Lines below the new one move down; keys are held relative to their header.
    for (size_t i = sectionNo + 1; i < idx.sections.size(); ++i) {
        ++idx.sections[i].header;
        ++idx.sections[i].end;
    }
    if (splitKeyLine(line, &newKey, &newValue)) {
        const std::pair<size_t, size_t> entry { nameHash(newKey), insertAt - sec.header };
        sec.keys.insert(std::upper_bound(sec.keys.begin(), sec.keys.end(), entry), entry);
    }
}

void IniFile::writeInt(std::string_view section, std::string_view key, int value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::toBytes() const
{
    std::string text;
    for (const Line& l : m_lines) {
        text += l.text;
        text += "\r\n";
    }
    return utf8ToCp1252(text);
}

bool IniFile::save(const std::string& path, std::string* error) const
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    struct stat st { };
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && ::access(path.c_str(), W_OK) != 0)
        return fail("Die Datei ist schreibgeschützt.");
    std::string tmp;
    const int fd = createFileBeside(path, 0666, &tmp);
    if (fd < 0)
        return fail("Die Datei kann nicht angelegt werden.");
    if (exists)
        ::fchmod(fd, st.st_mode & 07777); // keep the permissions of the file replaced
    const std::string bytes = toBytes();
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else
            ok = n < 0 && errno == EINTR;
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(tmp.c_str());
        return fail("Die Datei kann nicht geschrieben werden.");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return fail("Die Datei kann nicht ersetzt werden.");
    }
    return true;
}

} // namespace velumo
