#include "NumberTextReference.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace velumo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Exact decimal digits of |value| (no sign, no point) and the decimal exponent
// of the first digit: value = 0.d1d2d3... * 10^(exp10 + 1). glibc prints the
// exact binary value for any precision, so rounding decisions made on these
// digits are exact.
struct ExactDigits {
    char buf[1200]; // digits, leading digit non-zero unless the value is 0
    int len = 0;
    int exp10 = 0; // power of ten of the first digit
    std::string_view digits() const { return { buf, static_cast<size_t>(len) }; }
};

// Fills `r` in place: the digits live in a fixed buffer, so formatting a
// number needs no heap memory.
void exactDigits(double value, ExactDigits& r)
{
    r.exp10 = 0;
    value = std::fabs(value);
    if (value == 0.0 || !std::isfinite(value)) {
        r.buf[0] = '0';
        r.len = 1;
        return;
    }
    // value = M · 2^E with M odd has an exact expansion of at most as many
    // significant digits as M · 5^-E (E < 0) or as the integer value (E >= 0);
    // asking for just those keeps formatting cheap (a fixed 1100 digits made
    // every number cost a 1100-digit print). Two digits spare cover the
    // rounding of log10; the extra digits print as zeros and are dropped.
    int binExp = 0;
    const double frac = std::frexp(value, &binExp);
    auto mant = static_cast<unsigned long long>(std::ldexp(frac, 53));
    int e = binExp - 53;
    while ((mant & 1u) == 0) {
        mant >>= 1;
        ++e;
    }
    const double sigDigits
        = e >= 0 ? std::log10(value) : std::log10(static_cast<double>(mant)) - e * std::log10(5.0);
    const int precision = std::min(1100, static_cast<int>(sigDigits) + 2);
    char text[1200];
    int n = std::snprintf(text, sizeof text, "%.*e", precision, value);
    int ePos = 0;
    while (ePos < n && text[ePos] != 'e')
        ++ePos;
    const char* expText = text + ePos + 1;
    if (expText < text + n && *expText == '+')
        ++expText; // from_chars takes no "+"
    std::from_chars(expText, text + n, r.exp10);
    r.len = 0;
    for (int i = 0; i < ePos; ++i) {
        if (isDigit(text[i]))
            r.buf[r.len++] = text[i];
    }
    while (r.len > 1 && r.buf[r.len - 1] == '0')
        --r.len;
}

// Keeps the first `count` digits (count may be <= 0), rounding half away from
// zero on the next digit. Returns the kept digits; a carry adds a leading "1"
// and increments exp10.
std::string roundDigits(const ExactDigits& d, int count, int* exp10)
{
    *exp10 = d.exp10;
    if (count < 0)
        return std::string();
    std::string kept(d.digits().substr(0, std::min<size_t>(static_cast<size_t>(count), d.digits().size())));
    while (static_cast<int>(kept.size()) < count)
        kept.push_back('0');
    bool roundUp
        = static_cast<size_t>(count) < d.digits().size() && d.digits()[static_cast<size_t>(count)] >= '5';
    if (roundUp) {
        int i = count - 1;
        while (i >= 0 && kept[static_cast<size_t>(i)] == '9') {
            kept[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            kept[static_cast<size_t>(i)]++;
        } else {
            kept.insert(kept.begin(), '1');
            ++*exp10;
        }
    }
    return kept;
}

bool allZero(const std::string& s)
{
    for (char c : s)
        if (c != '0')
            return false;
    return true;
}

// Fixed notation with between minDec and maxDec decimals.
std::string formatFixed(double value, int minDec, int maxDec, int minIntDigits)
{
    ExactDigits d;
    exactDigits(value, d);
    std::string intPart;
    std::string fracPart;
    if (value == 0.0) {
        intPart = "0";
        fracPart = std::string(static_cast<size_t>(maxDec), '0');
    } else {
        // Number of digits to keep: those up to 10^-maxDec.
        int count = d.exp10 + 1 + maxDec;
        int exp10 = 0;
        std::string kept = roundDigits(d, count, &exp10);
        if (count < 0) {
            kept.clear();
        }
        // kept[0] has weight 10^exp10, kept holds digits down to 10^-maxDec.
        // Position of the decimal point inside kept: exp10 + 1 digits before it.
        int intLen = exp10 + 1;
        if (intLen > 0) {
            intPart
                = kept.substr(0, static_cast<size_t>(std::min<int>(intLen, static_cast<int>(kept.size()))));
            while (static_cast<int>(intPart.size()) < intLen)
                intPart.push_back('0');
            fracPart = static_cast<int>(kept.size()) > intLen ? kept.substr(static_cast<size_t>(intLen))
                                                              : std::string();
        } else {
            fracPart = std::string(static_cast<size_t>(-intLen), '0') + kept;
        }
        while (static_cast<int>(fracPart.size()) < maxDec)
            fracPart.push_back('0');
        fracPart = fracPart.substr(0, static_cast<size_t>(maxDec));
        size_t firstNonZero = intPart.find_first_not_of('0');
        intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
    }
    while (static_cast<int>(fracPart.size()) > minDec && !fracPart.empty() && fracPart.back() == '0')
        fracPart.pop_back();
    while (static_cast<int>(intPart.size()) < minIntDigits)
        intPart.insert(intPart.begin(), '0');
    bool isZero = allZero(intPart) && allZero(fracPart);
    std::string out;
    if (value < 0 && !isZero)
        out.push_back('-');
    out += intPart;
    if (!fracPart.empty()) {
        out.push_back('.');
        out += fracPart;
    }
    return out;
}

// Scientific notation: mantissa with minDec..maxDec decimals, exponent with
// at least expDigits digits; expSign forces "+" for non-negative exponents.
std::string formatScientific(double value, int minDec, int maxDec, int expDigits, bool expPlus)
{
    ExactDigits d;
    exactDigits(value, d);
    int exp10 = 0;
    std::string kept = value == 0.0 ? std::string(static_cast<size_t>(maxDec + 1), '0')
                                    : roundDigits(d, maxDec + 1, &exp10);
    if (value == 0.0)
        exp10 = 0;
    std::string frac = kept.substr(1);
    while (static_cast<int>(frac.size()) > minDec && !frac.empty() && frac.back() == '0')
        frac.pop_back();
    std::string out;
    if (value < 0 && !allZero(kept))
        out.push_back('-');
    out.push_back(kept[0]);
    if (!frac.empty()) {
        out.push_back('.');
        out += frac;
    }
    out.push_back('E');
    if (exp10 < 0)
        out.push_back('-');
    else if (expPlus)
        out.push_back('+');
    std::string e = std::to_string(std::abs(exp10));
    while (static_cast<int>(e.size()) < expDigits)
        e.insert(e.begin(), '0');
    out += e;
    return out;
}

} // namespace

std::string formatGeneralReference(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0.0)
        return "0";
    ExactDigits d;
    exactDigits(value, d);
    int exp10 = 0;
    std::string kept = roundDigits(d, 15, &exp10);
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    std::string out = value < 0 ? "-" : "";
    if (exp10 >= -5 && exp10 < 15) {
        if (exp10 < 0) {
            out += "0.";
            out += std::string(static_cast<size_t>(-exp10 - 1), '0');
            out += kept;
        } else {
            int intLen = exp10 + 1;
            if (static_cast<int>(kept.size()) <= intLen) {
                out += kept + std::string(static_cast<size_t>(intLen) - kept.size(), '0');
            } else {
                out += kept.substr(0, static_cast<size_t>(intLen)) + "."
                    + kept.substr(static_cast<size_t>(intLen));
            }
        }
    } else {
        out.push_back(kept[0]);
        if (kept.size() > 1)
            out += "." + kept.substr(1);
        out += "E" + std::to_string(exp10);
    }
    return out;
}

std::string formatPatternReference(double value, std::string_view pattern)
{
    // Locate the numeric part: from the first '0' or '#' through the run of
    // '0', '#' and '.' that follows (including a '.' directly before it).
    size_t begin = pattern.find_first_of("0#");
    if (begin == std::string_view::npos)
        return std::string(pattern);
    if (begin > 0 && pattern[begin - 1] == '.')
        --begin;
    size_t end = begin;
    while (end < pattern.size() && (pattern[end] == '0' || pattern[end] == '#' || pattern[end] == '.'))
        ++end;
    // Optional exponent part "E+00" / "E-00".
    bool scientific = false;
    bool expPlus = false;
    int expDigits = 0;
    if (end + 1 < pattern.size() && (pattern[end] == 'E' || pattern[end] == 'e')
        && (pattern[end + 1] == '+' || pattern[end + 1] == '-')) {
        size_t j = end + 2;
        while (j < pattern.size() && pattern[j] == '0') {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0) {
            scientific = true;
            expPlus = pattern[end + 1] == '+';
            end = j;
        }
    }
    std::string_view numeric = pattern.substr(begin, end - begin);
    size_t point = numeric.find('.');
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    for (size_t i = 0; i < numeric.size(); ++i) {
        char c = numeric[i];
        if (c == 'E' || c == 'e')
            break;
        bool afterPoint = point != std::string_view::npos && i > point;
        if (c == '0') {
            if (afterPoint) {
                ++minDec;
                ++maxDec;
            } else {
                ++minInt;
            }
        } else if (c == '#' && afterPoint) {
            ++maxDec;
        }
    }
    std::string number;
    if (std::isnan(value) || std::isinf(value))
        number = formatGeneralReference(value);
    else if (scientific)
        number = formatScientific(value, minDec, maxDec, expDigits, expPlus);
    else
        number = formatFixed(value, minDec, maxDec, minInt);
    return std::string(pattern.substr(0, begin)) + number + std::string(pattern.substr(end));
}

} // namespace velumo
