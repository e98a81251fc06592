#include "DecimalRounding.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace velumo {

namespace {

// The value times a power of ten is formed exactly as an integer quotient;
// 128 bits hold it for every magnitude of the result lists.
__extension__ typedef unsigned __int128 U128;

constexpr std::uint64_t kPow10[20] = { 1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull,
    10000000ull, 100000000ull, 1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull,
    10000000000000ull, 100000000000000ull, 1000000000000000ull, 10000000000000000ull, 100000000000000000ull,
    1000000000000000000ull, 10000000000000000000ull };

// value = m · 2^e with m odd; m = 0 for zero.
struct Binary {
    std::uint64_t m = 0;
    int e = 0;
};

Binary decompose(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    Binary b { bits & ((std::uint64_t { 1 } << 52) - 1), -1074 };
    if (biased != 0) {
        b.m |= std::uint64_t { 1 } << 52;
        b.e = biased - 1075;
    }
    if (b.m != 0) {
        const int zeros = std::countr_zero(b.m);
        b.m >>= zeros;
        b.e += zeros;
    }
    return b;
}

// floor(e2 · log10(2)), exact for |e2| < 2600.
int floorLog10Pow2(int e2) { return (e2 * 315653) >> 20; }

// Digits of n without leading zeros, none for 0; returns their count.
int writeDigits(U128 n, char* out)
{
    if (n >> 64 == 0) {
        if (n == 0)
            return 0;
        return static_cast<int>(std::to_chars(out, out + 20, static_cast<std::uint64_t>(n)).ptr - out);
    }
    const int len = writeDigits(n / kPow10[19], out);
    char low[20];
    const int lowLen = static_cast<int>(
        std::to_chars(low, low + sizeof low, static_cast<std::uint64_t>(n % kPow10[19])).ptr - low);
    std::memset(out + len, '0', static_cast<size_t>(19 - lowLen));
    std::memcpy(out + len + 19 - lowLen, low, static_cast<size_t>(lowLen));
    return len + 19;
}

// floor(m · 2^e · 10^q) and whether the rest is at least one half, for a
// result below 10^18. False where 128 bits do not hold the operands.
bool scaledFloor(Binary b, int q, std::uint64_t* floor, bool* halfOrMore)
{
    if (q >= 0) {
        if (q > 19)
            return false;
        const U128 t = U128 { b.m } * kPow10[q]; // < 2^117
        if (b.e >= 0) {
            *floor = static_cast<std::uint64_t>(t << b.e);
            *halfOrMore = false;
            return true;
        }
        const int s = -b.e;
        if (s > 127)
            return false;
        *floor = static_cast<std::uint64_t>(t >> s);
        *halfOrMore = ((t >> (s - 1)) & 1) != 0;
        return true;
    }
    const int p = -q;
    if (p > 38)
        return false;
    const U128 d = p <= 19 ? U128 { kPow10[p] } : U128 { kPow10[19] } * kPow10[p - 19];
    U128 num = b.m;
    U128 den = d;
    if (b.e >= 0) {
        if (b.e > 64 + std::countl_zero(b.m))
            return false;
        num <<= b.e;
    } else {
        const int s = -b.e;
        if (s > 127 || (d >> (127 - s)) != 0)
            return false;
        den <<= s;
    }
    U128 quot = 0;
    U128 rem = 0;
    if ((num >> 64) == 0 && (den >> 64) == 0) {
        // The common case, and a 64-bit division is several times quicker.
        const auto n64 = static_cast<std::uint64_t>(num);
        const auto d64 = static_cast<std::uint64_t>(den);
        quot = n64 / d64;
        rem = n64 % d64;
    } else {
        quot = num / den;
        rem = num % den;
    }
    *floor = static_cast<std::uint64_t>(quot);
    *halfOrMore = rem >= den - rem;
    return true;
}

// Magnitudes beyond 128 bits (3 digits below about 1E-17, 15 digits below
// 1E-5, any above about 1E38): to_chars rounds correctly to nearest, which
// differs from halves away from zero only on an exact tie. A tie at the last
// kept digit means value = (n + 1/2) · 10^r; with value = m · 2^e (m odd) that
// needs r = e + 1 and t = 2 · value / 10^r (m · 5^-r, or m / 5^r) an odd
// integer, and n = (t - 1) / 2 must have `count` digits.
SignificantDigits significantViaToChars(double a, Binary b, int count)
{
    constexpr std::uint64_t kPow5[28] = { 1ull, 5ull, 25ull, 125ull, 625ull, 3125ull, 15625ull, 78125ull,
        390625ull, 1953125ull, 9765625ull, 48828125ull, 244140625ull, 1220703125ull, 6103515625ull,
        30517578125ull, 152587890625ull, 762939453125ull, 3814697265625ull, 19073486328125ull,
        95367431640625ull, 476837158203125ull, 2384185791015625ull, 11920928955078125ull,
        59604644775390625ull, 298023223876953125ull, 1490116119384765625ull, 7450580596923828125ull };
    const int r = b.e + 1;
    U128 twice = 0; // 2 · value / 10^r when that is an integer
    if (r <= 0 && -r < 28)
        twice = U128 { b.m } * kPow5[-r];
    else if (r > 0 && r < 28 && b.m % kPow5[r] == 0)
        twice = b.m / kPow5[r];
    SignificantDigits d;
    if (twice > 2 * kPow10[count - 1] && twice < 2 * kPow10[count]) {
        d.n = static_cast<std::uint64_t>(twice / 2 + 1);
        d.exp10 = r + count - 1;
    } else {
        char text[40];
        const char* end
            = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, count - 1).ptr;
        const char* c = text;
        for (; c < end && *c != 'e'; ++c) {
            if (*c != '.')
                d.n = d.n * 10 + static_cast<std::uint64_t>(*c - '0');
        }
        ++c; // 'e'
        if (c < end && *c == '+')
            ++c; // from_chars takes no "+"
        std::from_chars(c, end, d.exp10);
    }
    if (d.n == kPow10[count]) {
        d.n = kPow10[count - 1];
        ++d.exp10;
    }
    return d;
}

} // namespace

bool roundToDecimals(double value, int decimals, std::uint64_t* n)
{
    const Binary b = decompose(std::fabs(value));
    const U128 t = U128 { b.m } * kPow10[decimals];
    U128 rounded = 0;
    if (b.e >= 0) {
        if (b.e >= 64 || (t >> (64 - b.e)) != 0)
            return false;
        rounded = t << b.e;
    } else {
        // t < 2^110, so from 2^111 on the quotient is below one half.
        const int s = -b.e;
        if (s <= 110)
            rounded = (t >> s) + ((t >> (s - 1)) & 1);
    }
    if ((rounded >> 64) != 0)
        return false;
    *n = static_cast<std::uint64_t>(rounded);
    return true;
}

int roundToDecimals(double value, int decimals, char* digits)
{
    const double a = std::fabs(value);
    const Binary b = decompose(a);
    if (b.m == 0)
        return 0;
    if (b.e >= 0) {
        // A whole number: its digits, then zeros for the decimals.
        int len = 0;
        if (b.e < std::countl_zero(b.m))
            len = writeDigits(b.m << b.e, digits);
        else
            len = static_cast<int>(
                std::to_chars(digits, digits + kRoundedDecimalsBuffer, a, std::chars_format::fixed, 0).ptr
                - digits);
        std::memset(digits + len, '0', static_cast<size_t>(decimals));
        return len + decimals;
    }
    const int s = -b.e;
    if (s > 110)
        return 0;
    const U128 t = U128 { b.m } * kPow10[decimals];
    const U128 n = (t >> s) + ((t >> (s - 1)) & 1);
    return writeDigits(n, digits);
}

SignificantDigits roundToSignificant(double value, int count)
{
    const double a = std::fabs(value);
    const Binary b = decompose(a);
    // 10^exp10 <= a < 10^(exp10 + 2): scaled to count digits the value has
    // count or count + 1 integer digits.
    int exp10 = floorLog10Pow2(b.e + 63 - std::countl_zero(b.m));
    std::uint64_t n = 0;
    bool up = false;
    if (!scaledFloor(b, count - 1 - exp10, &n, &up))
        return significantViaToChars(a, b, count);
    if (n >= kPow10[count]) {
        // One digit too many: the dropped digit alone decides, as the rest
        // below it is less than one.
        up = n % 10 >= 5;
        n /= 10;
        ++exp10;
    }
    n += up ? 1 : 0;
    if (n == kPow10[count]) {
        n = kPow10[count - 1];
        ++exp10;
    }
    return { n, exp10 };
}

} // namespace velumo
