#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "NumberText.h"

using velumo::appendGeneral;
using velumo::appendPattern;
using velumo::formatGeneral;
using velumo::formatPattern;
using velumo::parseLenient;
using velumo::parseStrictInt;

namespace {

struct Formatted {
    double value;
    const char* pattern;
    const char* text;
};

void expectPatterns(std::initializer_list<Formatted> cases)
{
    for (const Formatted& c : cases)
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.text) << c.value << " as " << c.pattern;
}

} // namespace

TEST(NumberText, lenientReadingTakesLongestLeadingNumber)
{
    // An exponent without digits is not part of the number; what strtod
    // would read as infinity, NaN or hex is refused, and so is an overflow:
    // no infinity enters a design.
    const std::pair<const char*, double> cases[]
        = { { "0,50", 0.5 }, { "12abc", 12.0 }, { "abc", 0.0 }, { "", 0.0 }, { "   -0,3", -0.3 },
              { "+4.7", 4.7 }, { "2.5E20", 2.5e20 }, { "1e-6x", 1e-6 }, { "3e", 3.0 }, { "3e+", 3.0 },
              { ".5", 0.5 }, { "5.", 5.0 }, { ".", 0.0 }, { "-", 0.0 }, { "1.2.3", 1.2 }, { "inf", 0.0 },
              { "-infinity", 0.0 }, { "nan", 0.0 }, { "0x1p3", 0.0 }, { "1e999", 0.0 }, { "1e-999", 0.0 } };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseLenient(text), value) << '"' << text << '"';
}

TEST(NumberText, strictIntegers)
{
    const std::pair<const char*, int> good[] = { { "42", 42 }, { "-7", -7 }, { "2147483647", 2147483647 },
        { "-2147483648", std::numeric_limits<int>::min() } };
    for (const auto& [text, value] : good) {
        int v = 0;
        EXPECT_TRUE(parseStrictInt(text, &v)) << text;
        EXPECT_EQ(v, value);
    }
    int v = 0;
    for (const char* bad : { "2147483648", "1.5", "abc", "", "-", " 1" })
        EXPECT_FALSE(parseStrictInt(bad, &v)) << '"' << bad << '"';
}

TEST(NumberText, generalFormatKeepsFifteenSignificantDigits)
{
    // 0.1 + 0.2 = 0.3000000000000000444...; 2^-1074 = 4.9406564584124654e-324;
    // 2^70 = 1180591620717411303424; 2^53 + 2 is exact and needs its last digit.
    const std::pair<double, const char*> cases[] = { { 0.5, "0.5" }, { 4.7, "4.7" }, { 12, "12" },
        { 0.00001, "0.00001" }, { 1e-6, "1E-6" }, { 2.5e20, "2.5E20" }, { -2.5e-20, "-2.5E-20" },
        { -0.0, "0" }, { 0.1 + 0.2, "0.3" }, { 1e15, "1E15" }, { 999999999999999.0, "999999999999999" },
        { 4.7e-6 * 1e6, "4.7" }, { -1234.5, "-1234.5" }, { 8e9, "8000000000" },
        { std::ldexp(1.0, -1074), "4.94065645841247E-324" }, { std::ldexp(1.0, 70), "1.18059162071741E21" },
        { 9007199254740994.0, "9.00719925474099E15" }, { 123456789012345.0, "123456789012345" } };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatGeneral(value), text) << value;
}

TEST(NumberText, upToPatternsDropTrailingZerosExactPatternsKeepTheirDecimals)
{
    expectPatterns({ { 0.42445, "0.#", "0.4" }, { 42.44, "0.#", "42.4" }, { 1.0, "0.##", "1" },
        { 1.46, "0.##", "1.46" }, { 0.72361, "0.####", "0.7236" }, { 0.0004, "0.###", "0" },
        { 0.0006, "0.###", "0.001" }, { 2500.0 / 1000.0, "0.###", "2.5" }, { 10, "0.00", "10.00" },
        { 19999.999, "0.00", "20000.00" }, { 4.648, "0.000", "4.648" }, { 0.5, "0.0", "0.5" },
        { -90.0, "0.000", "-90.000" }, { 0.05, "0.0", "0.1" } });
}

TEST(NumberText, roundingIsOnTheExactValueWithHalvesAwayFromZero)
{
    expectPatterns({ { 0.125, "0.00", "0.13" }, { -0.125, "0.00", "-0.13" },
        { 0.375, "0.00", "0.38" }, // exactly halfway
        { 0.5, "0", "1" }, { 2.5, "0", "3" }, { 99.5, "0.#", "99.5" }, { 9.96, "0.#", "10" },
        // stored as 2.67499999..., 1.00499999..., 9.99499999...
        { 2.675, "0.00", "2.67" }, { 1.005, "0.00", "1.00" }, { 1.005, "0.##", "1" },
        { 9.995, "0.00", "9.99" },
        // values rounding to zero have no minus sign
        { -0.0004, "0.000", "0.000" }, { -0.0004, "0.###", "0" }, { -0.0, "0.00", "0.00" },
        { -0.001, "0.00E+00", "-1.00E-03" } });
}

TEST(NumberText, scientificPattern)
{
    expectPatterns({ { 2.5, "0.00E+00", "2.50E+00" }, { 0.0123, "0.00E+00", "1.23E-02" },
        { 9.996, "0.00E+00", "1.00E+01" }, { 0.0, "0.00E+00", "0.00E+00" },
        { 1.7e-120, "0.00E+00", "1.70E-120" }, { 123456.0, "0.00E+00", "1.23E+05" } });
}

TEST(NumberText, patternsCarryTheirOwnText)
{
    expectPatterns({ { 0.1458, "Cms = 0.### mm/N", "Cms = 0.146 mm/N" },
        { 141.2512, "Mms = 0.### g", "Mms = 141.251 g" }, { 22.09, "BxL = 0.## N/A", "BxL = 22.09 N/A" },
        { 380.616, " = 0.### l", " = 380.616 l" }, { 42.44, "LBR = 0.# cm", "LBR = 42.4 cm" },
        { 0.327, "Qts = 0.###", "Qts = 0.327" } });
}

TEST(NumberText, nonFiniteValuesAndLongPatterns)
{
    // 0.1 is stored as 0.1000000000000000055511...: more decimals than the
    // fast formatter takes still come out exact.
    expectPatterns({ { std::numeric_limits<double>::quiet_NaN(), "0.00", "NAN" },
        { -std::numeric_limits<double>::infinity(), "Pe = 0.## W", "Pe = -INF W" },
        { 0.1, "0.00000000000000000000", "0.10000000000000000555" },
        { 0.1, "0.00000000000000000E+00", "1.00000000000000006E-01" } });
}

TEST(NumberText, appendingAddsToTheText)
{
    std::string text = "f\t";
    appendPattern(text, 2.5, "0.00");
    text += '\t';
    appendGeneral(text, 1e-6);
    appendPattern(text, 0.5, " = 0.# l");
    EXPECT_EQ(text, "f\t2.50\t1E-6 = 0.5 l");
}
