#include "ResultList.h"

#include "NumberText.h"

namespace velumo {

void appendResultRow(std::string& out, const PointResults& r)
{
    static const NumberFormat hundredths("0.00"), thousandths("0.000"), scientific("0.00E+00");
    auto column = [&out](char before, double v, const NumberFormat& format) {
        if (before)
            out += before;
        format.append(out, v);
    };
    column(0, r.f, hundredths);
    column('\t', r.spl, hundredths);
    column('\t', r.zel, thousandths);
    column('\t', r.x1, scientific);
    column('\t', r.splMax, hundredths);
    column('\t', r.pmax1, thousandths);
    column('\t', r.zReal, thousandths);
    column('\t', r.zImag, thousandths);
    if (r.hasDriver2) {
        column('\t', r.x2, scientific);
        column('\t', r.pmax2, thousandths);
    } else {
        out += "\t\t";
    }
    column('\t', r.phase, thousandths);
    out += "\r\n";
}

std::string resultRow(const PointResults& r)
{
    std::string row;
    appendResultRow(row, r);
    return row;
}

} // namespace velumo
