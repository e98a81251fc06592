#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "DecimalRounding.h"
#include "NumberTextReference.h"

namespace velumo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The largest number part: a sign, the 309 integer digits of the largest
// double, the point and the decimals.
constexpr int kNumberText = kRoundedDecimalsBuffer + 2;
// Wider patterns go to the reference formatter; no text of the program comes near.
constexpr int kMaxIntDigits = 32;
constexpr int kMaxExpDigits = 8;

NumberPattern parsePattern(std::string_view pattern)
{
    NumberPattern p;
    // The numeric part: from the first '0' or '#' through the run of '0',
    // '#' and '.' that follows (including a '.' directly before it); the
    // first '.' in it is the decimal point.
    size_t begin = 0;
    while (begin < pattern.size() && pattern[begin] != '0' && pattern[begin] != '#')
        ++begin;
    if (begin == pattern.size())
        return p;
    p.hasNumber = true;
    bool afterPoint = false;
    if (begin > 0 && pattern[begin - 1] == '.') {
        --begin;
        afterPoint = true;
    }
    size_t end = afterPoint ? begin + 1 : begin;
    for (; end < pattern.size(); ++end) {
        const char c = pattern[end];
        if (c == '0') {
            ++(afterPoint ? p.minDec : p.minInt);
            p.maxDec += afterPoint ? 1 : 0;
        } else if (c == '#') {
            p.maxDec += afterPoint ? 1 : 0;
        } else if (c == '.') {
            afterPoint = true;
        } else {
            break;
        }
    }
    // Optional exponent part "E+00" / "E-00".
    if (end + 1 < pattern.size() && (pattern[end] == 'E' || pattern[end] == 'e')
        && (pattern[end + 1] == '+' || pattern[end + 1] == '-')) {
        size_t j = end + 2;
        while (j < pattern.size() && pattern[j] == '0') {
            ++j;
            ++p.expDigits;
        }
        if (p.expDigits > 0) {
            p.scientific = true;
            p.expPlus = pattern[end + 1] == '+';
            end = j;
        }
    }
    p.head = pattern.substr(0, begin);
    p.tail = pattern.substr(end);
    return p;
}

bool withinLimits(const NumberPattern& p)
{
    return p.minInt <= kMaxIntDigits && p.expDigits <= kMaxExpDigits
        && p.maxDec <= (p.scientific ? kMaxRoundedDigits - 1 : kMaxRoundedDecimals);
}

char* writeZeros(char* w, int count)
{
    if (count <= 0)
        return w;
    std::memset(w, '0', static_cast<size_t>(count));
    return w + count;
}

char* writeChars(char* w, const char* text, int count)
{
    std::memcpy(w, text, static_cast<size_t>(count));
    return w + count;
}

// Writes the lowest `count` digits of n right to left, ending before *start,
// moves *start to the first of them and returns n without them.
std::uint64_t prependDigits(char** start, std::uint64_t n, int count)
{
    char* s = *start;
    for (int i = 0; i < count; ++i) {
        *--s = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    *start = s;
    return n;
}

// All digits of n right to left, ending before `start`; none for 0.
char* prependNumber(char* start, std::uint64_t n)
{
    while (n != 0) {
        *--start = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return start;
}

// Fixed notation with minDec..maxDec decimals and at least minInt integer
// digits; a value that rounds to zero has no sign. Zero itself shows its "0"
// even where the pattern asks for no integer digit.
std::string_view writeFixed(char* text, double value, const NumberPattern& p)
{
    std::uint64_t n = 0;
    if (roundToDecimals(value, p.maxDec, &n)) {
        // Every value below about 1E16: right to left from n's last digit.
        char* const end = text + kNumberText;
        char* s = end;
        const bool negative = value < 0.0 && n != 0;
        int fracLen = p.maxDec;
        while (fracLen > p.minDec && n % 10 == 0) {
            n /= 10;
            --fracLen;
        }
        n = prependDigits(&s, n, fracLen);
        if (fracLen > 0)
            *--s = '.';
        char* const intEnd = s;
        s = prependNumber(s, n);
        if (value == 0.0)
            *--s = '0';
        while (intEnd - s < p.minInt)
            *--s = '0';
        if (negative)
            *--s = '-';
        return { s, static_cast<size_t>(end - s) };
    }
    char digits[kRoundedDecimalsBuffer];
    const int len = roundToDecimals(value, p.maxDec, digits); // > 0: the value is large
    const int intLen = len - p.maxDec;
    const char* frac = digits + intLen;
    int fracLen = p.maxDec;
    while (fracLen > p.minDec && frac[fracLen - 1] == '0')
        --fracLen;
    char* w = text;
    if (value < 0.0)
        *w++ = '-';
    w = writeZeros(w, p.minInt - intLen);
    w = writeChars(w, digits, intLen);
    if (fracLen > 0) {
        *w++ = '.';
        w = writeChars(w, frac, fracLen);
    }
    return { text, static_cast<size_t>(w - text) };
}

// Scientific notation: maxDec + 1 significant digits, trailing zeros down to
// minDec decimals, the exponent with at least expDigits digits. Right to left.
std::string_view writeScientific(char* text, double value, const NumberPattern& p)
{
    SignificantDigits d;
    if (value != 0.0)
        d = roundToSignificant(value, p.maxDec + 1);
    char* const end = text + kNumberText;
    char* s = end;
    s = prependNumber(s, static_cast<std::uint64_t>(std::abs(d.exp10)));
    while (end - s < std::max(p.expDigits, 1))
        *--s = '0';
    if (d.exp10 < 0)
        *--s = '-';
    else if (p.expPlus)
        *--s = '+';
    *--s = 'E';
    int fracLen = p.maxDec;
    while (fracLen > p.minDec && d.n % 10 == 0) {
        d.n /= 10;
        --fracLen;
    }
    d.n = prependDigits(&s, d.n, fracLen);
    if (fracLen > 0)
        *--s = '.';
    *--s = static_cast<char>('0' + d.n);
    if (value < 0.0)
        *--s = '-';
    return { s, static_cast<size_t>(end - s) };
}

// See formatGeneral; at most 24 chars, left to right.
char* writeGeneralFrom(char* w, double value)
{
    if (std::isnan(value))
        return writeChars(w, "NAN", 3);
    if (std::isinf(value))
        return value > 0 ? writeChars(w, "INF", 3) : writeChars(w, "-INF", 4);
    if (value == 0.0)
        return writeZeros(w, 1);
    constexpr int kDigits = 15;
    const SignificantDigits d = roundToSignificant(value, kDigits);
    char digits[24];
    std::to_chars(digits, digits + sizeof digits, d.n);
    int len = kDigits;
    while (len > 1 && digits[len - 1] == '0')
        --len;
    if (value < 0.0)
        *w++ = '-';
    if (d.exp10 < -5 || d.exp10 >= kDigits) {
        *w++ = digits[0];
        if (len > 1) {
            *w++ = '.';
            w = writeChars(w, digits + 1, len - 1);
        }
        *w++ = 'E';
        return std::to_chars(w, w + 8, d.exp10).ptr;
    }
    const int intLen = d.exp10 + 1;
    if (intLen <= 0) {
        w = writeChars(w, "0.", 2);
        w = writeZeros(w, -intLen);
        return writeChars(w, digits, len);
    }
    if (len <= intLen) {
        w = writeChars(w, digits, len);
        return writeZeros(w, intLen - len);
    }
    w = writeChars(w, digits, intLen);
    *w++ = '.';
    return writeChars(w, digits + intLen, len - intLen);
}

} // namespace

double parseLenient(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        if (c == ',')
            c = '.';
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t mantStart = i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t expDigits = 0;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            end = j;
    }
    // from_chars takes no leading "+"; the sign is applied afterwards.
    bool negative = s[start] == '-';
    const char* first = s.data() + mantStart;
    const char* last = s.data() + end;
    double value = 0.0;
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as 0 (from_chars leaves value untouched); an
        // overflow would be infinity, which no input may hold: also 0.
        return 0.0;
    }
    if (res.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

bool parseStrictInt(std::string_view text, int* value)
{
    if (text.empty())
        return false;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i >= text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    *value = static_cast<int>(v);
    return true;
}

void appendGeneral(std::string& out, double value)
{
    char text[24];
    out.append(text, writeGeneralFrom(text, value));
}

std::string formatGeneral(double value)
{
    char text[24];
    return std::string(text, writeGeneralFrom(text, value));
}

namespace {

// The number part for `p`, written somewhere into `text` (kNumberText chars).
std::string_view patternNumber(char* text, double value, const NumberPattern& p)
{
    if (!std::isfinite(value))
        return { text, static_cast<size_t>(writeGeneralFrom(text, value) - text) };
    return p.scientific ? writeScientific(text, value, p) : writeFixed(text, value, p);
}

} // namespace

NumberFormat::NumberFormat(std::string_view pattern)
    : m_pattern(pattern)
    , m_parts(parsePattern(pattern))
    , m_direct(withinLimits(m_parts))
{
}

void NumberFormat::append(std::string& out, double value) const
{
    if (!m_parts.hasNumber) {
        out += m_pattern;
        return;
    }
    if (!m_direct) {
        out += formatPatternReference(value, m_pattern);
        return;
    }
    char text[kNumberText];
    const std::string_view number = patternNumber(text, value, m_parts);
    out.append(m_parts.head).append(number).append(m_parts.tail);
}

void appendPattern(std::string& out, double value, std::string_view pattern)
{
    NumberFormat(pattern).append(out, value);
}

std::string formatPattern(double value, std::string_view pattern)
{
    std::string out; // a list's number fits the string itself: no heap memory
    NumberFormat(pattern).append(out, value);
    return out;
}

} // namespace velumo
