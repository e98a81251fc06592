#include <gtest/gtest.h>

#include "ResultList.h"

using velumo::PointResults;
using velumo::resultRow;

namespace {

PointResults sample(bool driver2)
{
    PointResults r;
    r.f = 19999.999;
    r.spl = 96.456;
    r.zel = 7.1234;
    r.x1 = 2.5;
    r.splMax = 110.0;
    r.pmax1 = 350.0;
    r.zReal = 0.5;
    r.zImag = -0.25;
    r.x2 = 0.0123;
    r.pmax2 = 12.3456;
    r.phase = -90.0;
    r.hasDriver2 = driver2;
    return r;
}

} // namespace

TEST(ResultList, rowHasElevenColumns)
{
    EXPECT_EQ(resultRow(sample(true)),
        "20000.00\t96.46\t7.123\t2.50E+00\t110.00\t350.000\t0.500\t-0.250\t1.23E-02\t12.346\t-90.000\r\n");
    // Without driver 2 columns 9 and 10 stay empty.
    EXPECT_EQ(resultRow(sample(false)),
        "20000.00\t96.46\t7.123\t2.50E+00\t110.00\t350.000\t0.500\t-0.250\t\t\t-90.000\r\n");
    // Rows follow one another in one text.
    std::string two;
    velumo::appendResultRow(two, sample(false));
    velumo::appendResultRow(two, sample(true));
    EXPECT_EQ(two, resultRow(sample(false)) + resultRow(sample(true)));
}

TEST(ResultList, smallValuesKeepTheirPatterns)
{
    PointResults r = sample(false);
    r.f = 10.0;
    r.x1 = 0.0123;
    r.zReal = -0.0001;
    r.phase = 0.0;
    const std::string row = resultRow(r);
    EXPECT_EQ(row.substr(0, 6), "10.00\t");
    EXPECT_NE(row.find("\t1.23E-02\t"), std::string::npos);
    EXPECT_NE(row.find("\t0.000\t"), std::string::npos);
    EXPECT_EQ(row.substr(row.size() - 8), "\t0.000\r\n");
}
