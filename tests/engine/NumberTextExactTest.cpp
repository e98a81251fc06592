// Rounding works on the exact binary value, whatever its size; these cases
// need every digit of the expansion (halfway cases, subnormals, integers
// beyond 2^53).

#include <gtest/gtest.h>

#include <cmath>

#include "NumberText.h"

using velumo::formatGeneral;
using velumo::formatPattern;

TEST(NumberTextExact, halfwayCasesFollowTheExactBinaryValue)
{
    EXPECT_EQ(formatPattern(2.675, "0.00"), "2.67");  // stored as 2.67499999...
    EXPECT_EQ(formatPattern(1.005, "0.00"), "1.00");  // stored as 1.00499999...
    EXPECT_EQ(formatPattern(1.005, "0.##"), "1");
    EXPECT_EQ(formatPattern(2.5, "0"), "3");          // exactly halfway: away from zero
    // 0.1 + 0.2 = 0.3000000000000000444...: fifteen digits give 0.3.
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3");
}

TEST(NumberTextExact, subnormalsAndHugeNumbersKeepFifteenDigits)
{
    // 2^-1074 = 4.9406564584124654...e-324
    EXPECT_EQ(formatGeneral(std::ldexp(1.0, -1074)), "4.94065645841247E-324");
    // 2^70 = 1180591620717411303424
    EXPECT_EQ(formatGeneral(std::ldexp(1.0, 70)), "1.18059162071741E21");
    // 2^53 + 2 is exact and needs its last digit.
    EXPECT_EQ(formatGeneral(9007199254740994.0), "9.00719925474099E15");
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
}
