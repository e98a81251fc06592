#include "Encoding.h"

#include <cstdint>

namespace velumo {

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252 (0 where undefined).
constexpr char32_t kHighTable[32] = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 character at text[i]; returns false on an invalid
// sequence (then i advances by one byte).
bool nextCodePoint(std::string_view text, size_t& i, char32_t& cp)
{
    auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    }
    int len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + static_cast<size_t>(len) > text.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k < len; ++k) {
        uint8_t b = byte(i + static_cast<size_t>(k));
        if ((b & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += static_cast<size_t>(len);
    return true;
}

template <typename Encode> std::string encodeWith(std::string_view utf8, Encode encode)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!nextCodePoint(utf8, i, cp)) {
            out.push_back('?');
            continue;
        }
        out.push_back(encode(cp));
    }
    return out;
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        auto b = static_cast<uint8_t>(c);
        char32_t cp = b;
        if (b >= 0x80 && b < 0xA0 && kHighTable[b - 0x80] != 0)
            cp = kHighTable[b - 0x80];
        appendUtf8(out, cp);
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8)
{
    return encodeWith(utf8, [](char32_t cp) -> char {
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
            return static_cast<char>(cp);
        for (int k = 0; k < 32; ++k)
            if (kHighTable[k] == cp)
                return static_cast<char>(0x80 + k);
        if (cp >= 0x80 && cp < 0xA0 && kHighTable[cp - 0x80] == 0)
            return static_cast<char>(cp); // undefined bytes round-trip
        return '?';
    });
}

bool isValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    char32_t cp = 0;
    while (i < bytes.size()) {
        if (!nextCodePoint(bytes, i, cp))
            return false;
    }
    return true;
}

std::string utf8ToLatin1(std::string_view utf8)
{
    return encodeWith(utf8, [](char32_t cp) -> char { return cp <= 0xFF ? static_cast<char>(cp) : '?'; });
}

} // namespace velumo
