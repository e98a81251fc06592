#pragma once
// Rows of the result list data.txt: eleven tab-separated columns per point,
// written in three pieces so that the file holds every finished row.

#include <array>
#include <string>

#include "Results.h"

namespace velumo {

// The three writes of one row: columns 1–8; then a tab, column 9, a tab,
// column 10 (two bare tabs without driver 2); then a tab, column 11, CR LF.
std::array<std::string, 3> resultRowPieces(const PointResults& r);

// The same into `pieces`, reusing their memory: after the first row no
// heap memory is needed.
void resultRowPieces(const PointResults& r, std::array<std::string, 3>& pieces);

// The whole row, the three pieces joined.
std::string resultRow(const PointResults& r);

} // namespace velumo
