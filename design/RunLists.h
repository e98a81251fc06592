#pragma once
// The two text lists of a run, contour.txt and data.txt: their texts, built
// whole in memory from a run's result, and their writing into a folder.

#include <string>

#include "RunResult.h"

namespace velumo {

inline constexpr const char* kContourFileName = "contour.txt";
inline constexpr const char* kDataFileName = "data.txt";

// Header line of the contour list, UTF-8, ended by CR LF.
std::string contourHeader();
// The two title lines of the result list (names, units), UTF-8, CR LF each.
std::string dataHeader();

// One row of the contour list, "x\tA\tH\tr" ended by CR LF.
std::string contourRow(const ContourPoint& p);

// The bytes of each list as stored (Latin-1): its header, then one row per
// contour point ("x\tA\tH\tr") or computed frequency point, each ended by
// CR LF.
std::string contourListBytes(const RunResult& result);
std::string dataListBytes(const RunResult& result);

// Why the lists of a run are not in place: the list that failed and the
// errno value; error 0 when both lists were written.
struct ListWriteError {
    std::string path;
    int error = 0;
};

// Writes both lists of a run into dir, each in one write, while the folder is
// locked, and puts them in place together once both are complete; the
// previous lists become contour.bak and data.bak. A list that cannot be
// written leaves both previous lists as they were.
ListWriteError writeRunLists(const std::string& dir, const RunResult& result);

// Empties contour.txt in dir (creating it when missing), as a new design
// does; a file that cannot be opened is left as it is.
void clearContourList(const std::string& dir);

} // namespace velumo
