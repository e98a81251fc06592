// The fast formatter against the first one (NumberTextReference), byte for
// byte, per pattern the program formats with: random bit patterns, random
// decimal-looking values (half of them ending in 5, the near-ties) and the
// boundary cases (exact ties at every digit position, powers of ten and the
// values that round up to them, the general format's switch points, zeros,
// subnormals, the largest doubles, NaN and infinities).
//
// Doubles per pattern: VELUMO_FORMAT_CHECKS from the environment, else
// 10 million (the sanitizer build: 20000, set in tests/CMakeLists.txt). Each
// pattern runs as two ctest entries of half the count. A longer run:
//   (cd build/test && VELUMO_FORMAT_CHECKS=100000000 ctest -R FormatterAgreement -j2 --timeout 0)

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "NumberText.h"
#include "NumberTextReference.h"

#ifndef VELUMO_FORMAT_CHECKS
#define VELUMO_FORMAT_CHECKS 10000000
#endif

namespace {

struct AgreementCase {
    const char* name;
    const char* pattern; // nullptr: formatGeneral
    int half;
};

long checksPerPattern()
{
    const char* text = std::getenv("VELUMO_FORMAT_CHECKS");
    return text ? std::atol(text) : VELUMO_FORMAT_CHECKS;
}

double fromText(const std::string& text)
{
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

void addAround(std::vector<double>& v, double x, int steps)
{
    v.push_back(x);
    double down = x;
    double up = x;
    for (int i = 0; i < steps; ++i) {
        down = std::nextafter(down, -std::numeric_limits<double>::infinity());
        up = std::nextafter(up, std::numeric_limits<double>::infinity());
        v.push_back(down);
        v.push_back(up);
    }
}

std::vector<double> boundaryValues(std::mt19937_64& rng)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::vector<double> v = { 0.0, kInf, std::numeric_limits<double>::quiet_NaN(), 1e-5, 1e15 };
    addAround(v, std::numeric_limits<double>::max(), 3);
    addAround(v, std::numeric_limits<double>::min(), 3); // smallest normal, largest subnormal
    for (int k = 1; k < 2000; k += 7)
        v.push_back(std::ldexp(k, -1074)); // subnormals from the smallest on
    // Powers of ten, and for every digit count the value 99..95 · 10^j that
    // rounds up to one: carries into "10.00", "1.00E+01" and "1E15".
    for (int k = -324; k <= 308; ++k) {
        addAround(v, fromText("1e" + std::to_string(k)), 3);
        for (int digits = 1; digits <= 17; ++digits)
            addAround(v,
                fromText(
                    std::string(static_cast<size_t>(digits - 1), '9') + "95e" + std::to_string(k - digits)),
                1);
    }
    // Exact ties (n + 1/2) · 10^r for n of every digit count and every r a
    // double can hold them at: 2n + 1 = t, value = t · 5^r · 2^(r-1), which
    // for r < 0 needs t = m · 5^-r, value = m · 2^(r-1).
    auto randomOdd = [&rng](std::uint64_t lo, std::uint64_t hi) { return (lo + rng() % (hi - lo)) | 1; };
    constexpr std::uint64_t kExact = std::uint64_t { 1 } << 53;
    for (int digits = 1; digits <= 17; ++digits) {
        const std::uint64_t tLo = 2 * static_cast<std::uint64_t>(std::pow(10.0, digits - 1));
        const std::uint64_t tHi = 10 * tLo;
        for (int r = -22; r <= 22; ++r) {
            const auto five = static_cast<std::uint64_t>(std::pow(5.0, std::abs(r)));
            const std::uint64_t lo = r < 0 ? (tLo + five - 1) / five : tLo;
            const std::uint64_t hi = r < 0 ? std::min(tHi / five, kExact) : std::min(tHi, kExact / five);
            for (int i = 0; lo + 1 < hi && i < 30; ++i) {
                const std::uint64_t m = r < 0 ? randomOdd(lo, hi) : randomOdd(lo, hi - 1) * five;
                addAround(v, std::ldexp(static_cast<double>(m), r - 1), 1);
            }
        }
    }
    for (int e = -64; e <= 8; ++e)
        for (int m = 1; m < 64; m += 2)
            v.push_back(std::ldexp(m, e)); // short binary fractions: 0.125, 2.5, ...
    const size_t n = v.size();
    for (size_t i = 0; i < n; ++i)
        v.push_back(-v[i]);
    return v;
}

// A random double: 1 % uniform bit patterns, the rest up to 17 decimal
// digits, 98 % of them within 1E-20..1E20, half of them ending in 5. (The
// reference needs ten times as long for the extremes, which the boundary
// values cover.)
double randomValue(std::mt19937_64& rng)
{
    const std::uint64_t choice = rng();
    if (choice % 100 == 0)
        return std::bit_cast<double>(rng());
    const int digits = 1 + static_cast<int>(rng() % 17);
    const auto low = static_cast<std::uint64_t>(std::pow(10.0, digits - 1));
    std::uint64_t mantissa = low + rng() % (9 * low);
    if ((choice >> 9) & 1)
        mantissa = mantissa / 10 * 10 + 5;
    const std::string text = ((choice >> 8) & 1 ? "-" : "") + std::to_string(mantissa);
    const int lead
        = (choice >> 10) % 50 == 0 ? static_cast<int>(rng() % 633) - 324 : static_cast<int>(rng() % 41) - 20;
    return fromText(text + "e" + std::to_string(lead - digits + 1));
}

// Names the ctest entries, e.g. "Patterns/FormatterAgreement.everyByteAsTheReference/fixed3_half0".
void PrintTo(const AgreementCase& c, std::ostream* os) { *os << c.name << "_half" << c.half; }

class FormatterAgreement : public testing::TestWithParam<AgreementCase> { };

TEST_P(FormatterAgreement, everyByteAsTheReference)
{
    const AgreementCase c = GetParam();
    std::mt19937_64 rng(std::hash<std::string> {}(c.name) + static_cast<unsigned>(c.half));
    std::vector<double> values;
    if (c.half == 0)
        values = boundaryValues(rng);
    const long total = checksPerPattern() / 2;
    long checked = 0;
    long mismatches = 0;
    auto check = [&](double v) {
        const std::string fast = c.pattern ? velumo::formatPattern(v, c.pattern) : velumo::formatGeneral(v);
        const std::string ref
            = c.pattern ? velumo::formatPatternReference(v, c.pattern) : velumo::formatGeneralReference(v);
        ++checked;
        if (fast != ref && ++mismatches <= 10) {
            char hex[40];
            std::snprintf(hex, sizeof hex, "%a", v);
            ADD_FAILURE() << hex << " (" << v << "): \"" << fast << "\", reference \"" << ref << '"';
        }
    };
    for (double v : values)
        check(v);
    while (checked < total)
        check(randomValue(rng));
    EXPECT_EQ(mismatches, 0) << "of " << checked;
}

INSTANTIATE_TEST_SUITE_P(Patterns, FormatterAgreement,
    testing::Values(AgreementCase { "fixed1", "0.0", 0 }, AgreementCase { "fixed1", "0.0", 1 },
        AgreementCase { "fixed2", "0.00", 0 }, AgreementCase { "fixed2", "0.00", 1 },
        AgreementCase { "fixed3", "0.000", 0 }, AgreementCase { "fixed3", "0.000", 1 },
        AgreementCase { "upTo1", "0.#", 0 }, AgreementCase { "upTo1", "0.#", 1 },
        AgreementCase { "upTo2", "0.##", 0 }, AgreementCase { "upTo2", "0.##", 1 },
        AgreementCase { "upTo3", "0.###", 0 }, AgreementCase { "upTo3", "0.###", 1 },
        AgreementCase { "upTo4", "0.####", 0 }, AgreementCase { "upTo4", "0.####", 1 },
        AgreementCase { "scientific", "0.00E+00", 0 }, AgreementCase { "scientific", "0.00E+00", 1 },
        AgreementCase { "general", nullptr, 0 }, AgreementCase { "general", nullptr, 1 }));

} // namespace
