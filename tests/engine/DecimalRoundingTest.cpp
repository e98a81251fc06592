#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "DecimalRounding.h"

using velumo::roundToDecimals;
using velumo::roundToSignificant;

TEST(DecimalRounding, decimalsRoundTheExactValueHalvesAwayFromZero)
{
    // 0.125 and 2.5 are exact ties; 2.675 is stored as 2.67499999...,
    // 0.0005 as 0.00050000000000000001..., 1234.5678 as 1234.56779999...
    const struct {
        double value;
        int decimals;
        std::uint64_t n;
    } cases[] = { { 0.125, 2, 13 }, { -0.125, 2, 13 }, { 2.5, 0, 3 }, { 2.675, 2, 267 }, { 0.0005, 3, 1 },
        { 0.0004, 3, 0 }, { 1234.5678, 3, 1234568 }, { 1e-300, 3, 0 }, { 0x1p-1074, 17, 0 },
        { 0x1p63, 0, 9223372036854775808ull } };
    for (const auto& c : cases) {
        std::uint64_t n = 99;
        EXPECT_TRUE(roundToDecimals(c.value, c.decimals, &n)) << c.value;
        EXPECT_EQ(n, c.n) << c.value << " to " << c.decimals;
    }
    std::uint64_t n = 0;
    EXPECT_FALSE(roundToDecimals(0x1p64, 0, &n));
    EXPECT_FALSE(roundToDecimals(1e16, 4, &n));
}

TEST(DecimalRounding, largeValuesGiveTheirExactIntegerDigits)
{
    // 1E23 is stored as 99999999999999991611392; the largest double has 309 digits.
    char digits[velumo::kRoundedDecimalsBuffer];
    EXPECT_EQ(std::string(digits, roundToDecimals(0x1p70, 2, digits)), "118059162071741130342400");
    EXPECT_EQ(std::string(digits, roundToDecimals(1e23, 0, digits)), "99999999999999991611392");
    EXPECT_EQ(roundToDecimals(std::numeric_limits<double>::max(), 0, digits), 309);
}

TEST(DecimalRounding, significantDigitsCarryIntoTheExponent)
{
    // 2^-22 = 2.384185791015625E-7 is a tie at 15 digits, too small for the
    // 128-bit path; 999999999999999.5 is one that carries.
    const struct {
        double value;
        int count;
        std::uint64_t n;
        int exp10;
    } cases[] = { { 9.996, 3, 100, 1 }, { 0.0123, 3, 123, -2 }, { -0.0123, 3, 123, -2 },
        { 0x1p-22, 15, 238418579101563, -7 }, { 999999999999999.5, 15, 100000000000000, 15 },
        { 1e15, 15, 100000000000000, 15 }, { 0x1p-1074, 3, 494, -324 }, { 1e-300, 1, 1, -300 },
        { std::numeric_limits<double>::max(), 17, 17976931348623157, 308 } };
    for (const auto& c : cases) {
        const velumo::SignificantDigits d = roundToSignificant(c.value, c.count);
        EXPECT_EQ(d.n, c.n) << c.value;
        EXPECT_EQ(d.exp10, c.exp10) << c.value;
    }
}
