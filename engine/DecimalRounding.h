#pragma once
// Exact decimal rounding of doubles, halves away from zero: the digits every
// number text of the program is made of. Exact means on the binary value
// itself, so 0.125 rounds to 0.13 and 2.675 (stored as 2.67499999...) to 2.67.

#include <cstdint>

namespace velumo {

// Most decimals roundToDecimals takes and most digits roundToSignificant gives.
constexpr int kMaxRoundedDecimals = 17;
constexpr int kMaxRoundedDigits = 17;

// Buffer size of the digit form of roundToDecimals: the 309 integer digits
// of the largest double plus the decimals.
constexpr int kRoundedDecimalsBuffer = 309 + kMaxRoundedDecimals + 1;

// N = round(|value| · 10^decimals) into *n when N < 2^64, else false.
// value finite, decimals in 0..kMaxRoundedDecimals.
bool roundToDecimals(double value, int decimals, std::uint64_t* n);

// Writes N = round(|value| · 10^decimals) as decimal digits without leading
// zeros to `digits` (kRoundedDecimalsBuffer chars) and returns their count,
// 0 when N = 0. value finite, decimals in 0..kMaxRoundedDecimals.
int roundToDecimals(double value, int decimals, char* digits);

// |value| rounded to `count` significant digits: |value| ≈ n · 10^(exp10 - count + 1)
// with 10^(count-1) <= n < 10^count, so exp10 is the power of ten of the first
// digit after rounding (9.996 to 3 digits gives n = 100, exp10 = 1).
// value finite and non-zero, count in 1..kMaxRoundedDigits.
struct SignificantDigits {
    std::uint64_t n = 0;
    int exp10 = 0;
};
SignificantDigits roundToSignificant(double value, int count);

} // namespace velumo
