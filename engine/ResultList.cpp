#include "ResultList.h"

#include "NumberText.h"

namespace velumo {

std::array<std::string, 3> resultRowPieces(const PointResults& r)
{
    std::array<std::string, 3> p;
    p[0] = formatPattern(r.f, "0.00") + '\t' + formatPattern(r.spl, "0.00") + '\t'
        + formatPattern(r.zel, "0.000") + '\t' + formatPattern(r.x1, "0.00E+00") + '\t'
        + formatPattern(r.splMax, "0.00") + '\t' + formatPattern(r.pmax1, "0.000") + '\t'
        + formatPattern(r.zReal, "0.000") + '\t' + formatPattern(r.zImag, "0.000");
    if (r.hasDriver2)
        p[1] = '\t' + formatPattern(r.x2, "0.00E+00") + '\t' + formatPattern(r.pmax2, "0.000");
    else
        p[1] = "\t\t";
    p[2] = '\t' + formatPattern(r.phase, "0.000") + "\r\n";
    return p;
}

std::string resultRow(const PointResults& r)
{
    const auto p = resultRowPieces(r);
    return p[0] + p[1] + p[2];
}

} // namespace velumo
