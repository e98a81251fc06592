#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "NumberText.h"

using velumo::formatGeneral;
using velumo::formatPattern;
using velumo::parseLenient;
using velumo::parseStrictInt;

TEST(NumberText, lenientReadingTakesLongestLeadingNumber)
{
    EXPECT_EQ(parseLenient("0,50"), 0.5);
    EXPECT_EQ(parseLenient("12abc"), 12.0);
    EXPECT_EQ(parseLenient("abc"), 0.0);
    EXPECT_EQ(parseLenient(""), 0.0);
    EXPECT_EQ(parseLenient("   -0,3"), -0.3);
    EXPECT_EQ(parseLenient("+4.7"), 4.7);
    EXPECT_EQ(parseLenient("2.5E20"), 2.5e20);
    EXPECT_EQ(parseLenient("1e-6x"), 1e-6);
    EXPECT_EQ(parseLenient("3e"), 3.0);   // an exponent without digits is not part of it
    EXPECT_EQ(parseLenient("3e+"), 3.0);
    EXPECT_EQ(parseLenient(".5"), 0.5);
    EXPECT_EQ(parseLenient("5."), 5.0);
    EXPECT_EQ(parseLenient("."), 0.0);
    EXPECT_EQ(parseLenient("-"), 0.0);
    EXPECT_EQ(parseLenient("1.2.3"), 1.2);
}

TEST(NumberText, lenientReadingRefusesWhatStrtodWouldAccept)
{
    EXPECT_EQ(parseLenient("inf"), 0.0);
    EXPECT_EQ(parseLenient("-infinity"), 0.0);
    EXPECT_EQ(parseLenient("nan"), 0.0);
    EXPECT_EQ(parseLenient("0x1p3"), 0.0); // reads the leading "0" only
    EXPECT_EQ(parseLenient("1e999"), 0.0); // no infinity enters a design
    EXPECT_EQ(parseLenient("1e-999"), 0.0);
}

TEST(NumberText, strictIntegers)
{
    int v = 0;
    EXPECT_TRUE(parseStrictInt("42", &v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(parseStrictInt("-7", &v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(parseStrictInt("2147483647", &v));
    EXPECT_TRUE(parseStrictInt("-2147483648", &v));
    EXPECT_EQ(v, std::numeric_limits<int>::min());
    EXPECT_FALSE(parseStrictInt("2147483648", &v));
    EXPECT_FALSE(parseStrictInt("1.5", &v));
    EXPECT_FALSE(parseStrictInt("abc", &v));
    EXPECT_FALSE(parseStrictInt("", &v));
    EXPECT_FALSE(parseStrictInt("-", &v));
    EXPECT_FALSE(parseStrictInt(" 1", &v));
}

TEST(NumberText, generalFormat)
{
    EXPECT_EQ(formatGeneral(0.5), "0.5");
    EXPECT_EQ(formatGeneral(4.7), "4.7");
    EXPECT_EQ(formatGeneral(12), "12");
    EXPECT_EQ(formatGeneral(0.00001), "0.00001");
    EXPECT_EQ(formatGeneral(1e-6), "1E-6");
    EXPECT_EQ(formatGeneral(2.5e20), "2.5E20");
    EXPECT_EQ(formatGeneral(-2.5e-20), "-2.5E-20");
    EXPECT_EQ(formatGeneral(-0.0), "0");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3"); // 15 significant digits
    EXPECT_EQ(formatGeneral(1e15), "1E15");
    EXPECT_EQ(formatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatGeneral(4.7e-6 * 1e6), "4.7");
    EXPECT_EQ(formatGeneral(-1234.5), "-1234.5");
    EXPECT_EQ(formatGeneral(8e9), "8000000000");
}

TEST(NumberText, upToPatternsDropTrailingZeros)
{
    EXPECT_EQ(formatPattern(0.42445, "0.#"), "0.4");
    EXPECT_EQ(formatPattern(42.44, "0.#"), "42.4");
    EXPECT_EQ(formatPattern(1.0, "0.##"), "1");
    EXPECT_EQ(formatPattern(1.46, "0.##"), "1.46");
    EXPECT_EQ(formatPattern(0.72361, "0.####"), "0.7236");
    EXPECT_EQ(formatPattern(0.0004, "0.###"), "0");
    EXPECT_EQ(formatPattern(0.0006, "0.###"), "0.001");
    EXPECT_EQ(formatPattern(2500.0 / 1000.0, "0.###"), "2.5");
}

TEST(NumberText, exactPatternsKeepTheirDecimals)
{
    EXPECT_EQ(formatPattern(10, "0.00"), "10.00");
    EXPECT_EQ(formatPattern(19999.999, "0.00"), "20000.00");
    EXPECT_EQ(formatPattern(4.648, "0.000"), "4.648");
    EXPECT_EQ(formatPattern(0.5, "0.0"), "0.5");
    EXPECT_EQ(formatPattern(-90.0, "0.000"), "-90.000");
    EXPECT_EQ(formatPattern(0.05, "0.0"), "0.1");
}

TEST(NumberText, roundingIsOnTheExactValueWithHalvesAwayFromZero)
{
    EXPECT_EQ(formatPattern(0.125, "0.00"), "0.13");   // exactly halfway
    EXPECT_EQ(formatPattern(-0.125, "0.00"), "-0.13");
    EXPECT_EQ(formatPattern(0.375, "0.00"), "0.38");
    EXPECT_EQ(formatPattern(2.675, "0.00"), "2.67");   // 2.67499999... in binary
    EXPECT_EQ(formatPattern(1.005, "0.00"), "1.00");   // 1.00499999...
    EXPECT_EQ(formatPattern(0.5, "0"), "1");
    EXPECT_EQ(formatPattern(9.995, "0.00"), "9.99");   // 9.99499999...
    EXPECT_EQ(formatPattern(99.5, "0.#"), "99.5");
    EXPECT_EQ(formatPattern(9.96, "0.#"), "10");
}

TEST(NumberText, valuesRoundingToZeroHaveNoMinusSign)
{
    EXPECT_EQ(formatPattern(-0.0004, "0.000"), "0.000");
    EXPECT_EQ(formatPattern(-0.0004, "0.###"), "0");
    EXPECT_EQ(formatPattern(-0.0, "0.00"), "0.00");
    EXPECT_EQ(formatPattern(-0.001, "0.00E+00"), "-1.00E-03");
}

TEST(NumberText, scientificPattern)
{
    EXPECT_EQ(formatPattern(2.5, "0.00E+00"), "2.50E+00");
    EXPECT_EQ(formatPattern(0.0123, "0.00E+00"), "1.23E-02");
    EXPECT_EQ(formatPattern(9.996, "0.00E+00"), "1.00E+01");
    EXPECT_EQ(formatPattern(0.0, "0.00E+00"), "0.00E+00");
    EXPECT_EQ(formatPattern(1.7e-120, "0.00E+00"), "1.70E-120");
    EXPECT_EQ(formatPattern(123456.0, "0.00E+00"), "1.23E+05");
}

TEST(NumberText, patternsCarryTheirOwnText)
{
    EXPECT_EQ(formatPattern(0.1458, "Cms = 0.### mm/N"), "Cms = 0.146 mm/N");
    EXPECT_EQ(formatPattern(141.2512, "Mms = 0.### g"), "Mms = 141.251 g");
    EXPECT_EQ(formatPattern(22.09, "BxL = 0.## N/A"), "BxL = 22.09 N/A");
    EXPECT_EQ(formatPattern(380.616, " = 0.### l"), " = 380.616 l");
    EXPECT_EQ(formatPattern(42.44, "LBR = 0.# cm"), "LBR = 42.4 cm");
    EXPECT_EQ(formatPattern(0.327, "Qts = 0.###"), "Qts = 0.327");
}
