#pragma once
// Numbers that must be exactly a number: command-line arguments and the data
// fields of measurement files. Lenient reading (engine/NumberText.h) is for
// what the user types into boxes; here a typo must be refused, not read as 0.

#include <string_view>

namespace velumo {

enum class NumberCheck { Ok, NotANumber, NotFinite };

// Ok when the whole text is one finite decimal number: optional sign, digits
// with an optional "." and an optional exponent ("-1.5", "+2e3", ".5"); the
// value goes to *value. NotFinite for "inf", "nan" and numbers beyond the
// double range; NotANumber for anything else (blanks, ",", hex, empty).
// Locale-independent.
NumberCheck checkNumber(std::string_view text, double* value);

inline bool parseStrictNumber(std::string_view text, double* value)
{
    return checkNumber(text, value) == NumberCheck::Ok;
}

} // namespace velumo
