#pragma once
// Number texts as the whole program reads and writes them: "." as the
// decimal separator everywhere, independent of the system locale.

#include <string>
#include <string_view>

namespace velumo {

// Lenient reading of a typed number: "," counts as ".", leading blanks are
// skipped, then an optional sign, digits with an optional point and an
// optional exponent. The longest leading number is converted and the rest
// ignored; text without a leading number (also "inf", "nan", "0x1p3") gives 0.
// A number too large for a double also gives 0, so no infinity ever enters.
double parseLenient(std::string_view text);

// True when the text is a whole decimal integer (optional sign, digits, nothing
// else) within the 32-bit range; the value goes to *value.
bool parseStrictInt(std::string_view text, int* value);

// Shortest text with at most 15 significant digits, "." as separator; fixed
// notation for 1E-5 <= |v| < 1E15, otherwise "2.5E20" / "1E-6". -0 gives "0".
std::string formatGeneral(double value);
// The same text added to the end of `out`.
void appendGeneral(std::string& out, double value);

// Pattern formatting: the numeric part is a run of '0', '#' and one '.', as in
// "0.###" (at most 3 decimals, trailing zeros dropped) or "0.000" (exactly 3);
// "0.00E+00" gives scientific form. Text before and after the numeric part is
// copied, so "Cms = 0.### mm/N" works. Rounding is on the exact binary value,
// halves away from zero; a result that rounds to zero has no minus sign.
// NaN and infinity are written as formatGeneral writes them. Tens of
// nanoseconds a number (a result list has a few thousand); patterns with more
// than 17 decimals take microseconds.
std::string formatPattern(double value, std::string_view pattern);
// The same text added to the end of `out`.
void appendPattern(std::string& out, double value, std::string_view pattern);

// A pattern taken apart, see formatPattern.
struct NumberPattern {
    std::string_view head; // text before the numeric part
    std::string_view tail; // text after it
    bool hasNumber = false;
    bool scientific = false;
    bool expPlus = false; // "E+00": "+" also for exponents >= 0
    int expDigits = 0;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
};

// appendPattern for the thousands of numbers of a list: the pattern is
// taken apart once. It must outlive the format (a literal does).
class NumberFormat {
public:
    explicit NumberFormat(std::string_view pattern);
    void append(std::string& out, double value) const;

private:
    std::string_view m_pattern;
    NumberPattern m_parts;
    bool m_direct; // within the limits of the fast formatter
};

} // namespace velumo
