#include "IniFile.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "Encoding.h"
#include "NumberText.h"

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

// Lower-cases ASCII letters and the Latin-1 capitals U+00C0..U+00DE (but
// U+00D7) in a UTF-8 string; other characters are kept as they are.
std::string foldCase(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out.push_back(static_cast<char>(c + 32));
        } else if (c == 0xC3 && i + 1 < s.size()) {
            auto d = static_cast<unsigned char>(s[i + 1]);
            // U+00C0..U+00DE are C3 80..C3 9E; lower case is +0x20.
            if (d >= 0x80 && d <= 0x9E && d != 0x97)
                d = static_cast<unsigned char>(d + 0x20);
            out.push_back(static_cast<char>(c));
            out.push_back(static_cast<char>(d));
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
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

bool iniNamesEqual(std::string_view a, std::string_view b)
{
    return foldCase(trim(a)) == foldCase(trim(b));
}

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

IniFile IniFile::fromBytes(std::string_view bytes)
{
    IniFile ini;
    if (bytes.size() > kMaxFileBytes)
        return ini;
    std::string text = cp1252ToUtf8(bytes);
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        bool atEnd = i == text.size();
        if (!atEnd && text[i] != '\n' && text[i] != '\r')
            continue;
        if (!(atEnd && start == text.size()))
            ini.m_lines.push_back({ text.substr(start, i - start) });
        if (!atEnd && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return ini;
}

long IniFile::findSection(std::string_view section, size_t* end) const
{
    std::string wanted = foldCase(trim(section));
    for (size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view name;
        if (isSectionHeader(m_lines[i].text, &name) && foldCase(name) == wanted) {
            size_t j = i + 1;
            std::string_view other;
            while (j < m_lines.size() && !isSectionHeader(m_lines[j].text, &other))
                ++j;
            *end = j;
            return static_cast<long>(i);
        }
    }
    return -1;
}

long IniFile::findKey(size_t sectionHeader, size_t sectionEnd, std::string_view key) const
{
    std::string wanted = foldCase(trim(key));
    for (size_t i = sectionHeader + 1; i < sectionEnd; ++i) {
        std::string_view k, v;
        if (splitKeyLine(m_lines[i].text, &k, &v) && foldCase(k) == wanted)
            return static_cast<long>(i);
    }
    return -1;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    size_t end = 0;
    long s = findSection(section, &end);
    if (s < 0)
        return std::nullopt;
    long k = findKey(static_cast<size_t>(s), end, key);
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

bool IniFile::hasSection(std::string_view section) const
{
    size_t end = 0;
    return findSection(section, &end) >= 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(trim(key)) + "=" + std::string(value);
    size_t end = 0;
    long s = findSection(section, &end);
    if (s < 0) {
        if (!m_lines.empty() && !trim(m_lines.back().text).empty())
            m_lines.push_back({ std::string() });
        m_lines.push_back({ "[" + std::string(trim(section)) + "]" });
        m_lines.push_back({ line });
        return;
    }
    long k = findKey(static_cast<size_t>(s), end, key);
    if (k >= 0) {
        m_lines[static_cast<size_t>(k)].text = line;
        return;
    }
    // Append after the last non-blank line of the section, so the blank line
    // that separates it from the next section stays in place.
    size_t insertAt = end;
    while (insertAt > static_cast<size_t>(s) + 1 && trim(m_lines[insertAt - 1].text).empty())
        --insertAt;
    m_lines.insert(m_lines.begin() + static_cast<long>(insertAt), Line { line });
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
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && ::access(path.c_str(), W_OK) != 0)
        return fail("Die Datei ist schreibgeschützt.");
    std::random_device rd;
    std::string tmp = path + ".tmp" + std::to_string(rd());
    std::string bytes = toBytes();
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        return fail("Die Datei kann nicht angelegt werden.");
    if (::stat(path.c_str(), &st) == 0)
        ::fchmod(::fileno(f), st.st_mode & 07777); // keep the permissions of the file replaced
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(::fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        return fail("Die Datei kann nicht geschrieben werden.");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return fail("Die Datei kann nicht ersetzt werden.");
    }
    return true;
}

} // namespace velumo
