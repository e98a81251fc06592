#include "ResultList.h"

#include "NumberText.h"

namespace velumo {

void appendResultRow(std::string& out, const PointResults& r)
{
    auto column = [&out](char before, double v, std::string_view pattern) {
        if (before)
            out += before;
        out += formatPattern(v, pattern); // short texts: no heap memory
    };
    column(0, r.f, "0.00");
    column('\t', r.spl, "0.00");
    column('\t', r.zel, "0.000");
    column('\t', r.x1, "0.00E+00");
    column('\t', r.splMax, "0.00");
    column('\t', r.pmax1, "0.000");
    column('\t', r.zReal, "0.000");
    column('\t', r.zImag, "0.000");
    if (r.hasDriver2) {
        column('\t', r.x2, "0.00E+00");
        column('\t', r.pmax2, "0.000");
    } else {
        out += "\t\t";
    }
    column('\t', r.phase, "0.000");
    out += "\r\n";
}

std::string resultRow(const PointResults& r)
{
    std::string row;
    appendResultRow(row, r);
    return row;
}

} // namespace velumo
