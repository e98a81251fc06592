#pragma once
// Rows of the result list data.txt: eleven tab-separated columns per point.

#include <string>

#include "Results.h"

namespace velumo {

// Appends one row: columns 1–8, columns 9 and 10 (empty without driver 2),
// column 11, CR LF. Plain ASCII.
void appendResultRow(std::string& out, const PointResults& r);

// One row on its own.
std::string resultRow(const PointResults& r);

} // namespace velumo
