#include "ResultList.h"

#include "NumberText.h"

namespace velumo {

void resultRowPieces(const PointResults& r, std::array<std::string, 3>& p)
{
    auto column = [](std::string& out, char before, double v, std::string_view pattern) {
        if (before)
            out += before;
        out += formatPattern(v, pattern); // short texts: no heap memory
    };
    for (std::string& piece : p)
        piece.clear();
    column(p[0], 0, r.f, "0.00");
    column(p[0], '\t', r.spl, "0.00");
    column(p[0], '\t', r.zel, "0.000");
    column(p[0], '\t', r.x1, "0.00E+00");
    column(p[0], '\t', r.splMax, "0.00");
    column(p[0], '\t', r.pmax1, "0.000");
    column(p[0], '\t', r.zReal, "0.000");
    column(p[0], '\t', r.zImag, "0.000");
    if (r.hasDriver2) {
        column(p[1], '\t', r.x2, "0.00E+00");
        column(p[1], '\t', r.pmax2, "0.000");
    } else {
        p[1] += "\t\t";
    }
    column(p[2], '\t', r.phase, "0.000");
    p[2] += "\r\n";
}

std::array<std::string, 3> resultRowPieces(const PointResults& r)
{
    std::array<std::string, 3> p;
    resultRowPieces(r, p);
    return p;
}

std::string resultRow(const PointResults& r)
{
    const auto p = resultRowPieces(r);
    return p[0] + p[1] + p[2];
}

} // namespace velumo
