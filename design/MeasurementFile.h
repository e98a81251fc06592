#pragma once
// FRD (frequency, SPL, phase) and ZMA (frequency, |Z|, impedance phase) text
// files, the exchange formats of crossover and measurement tools.
//
// Reading accepts what those tools write:
// - a UTF-8 byte order mark; CR LF, LF or CR line ends; blank lines;
// - comment lines whose first non-blank character is "*", ";" or "#";
// - any lines of header text before the first data row (a line whose first
//   field is not a number, such as "Freq(Hz) SPL(dB) Phase(deg)");
// - fields separated by blanks, tabs, "," or ";", numbers in plain or
//   exponent form with a decimal point; two "," or ";" in a row leave an
//   empty field (refused), one at the end of a row is ignored;
// - a decimal comma only in rows that contain ";": there "," cannot be a
//   separator. In every other row "," separates fields;
// - 2 or 3 numbers per row (the phase is optional), the same count in every
//   row. More than 3 are refused: a decimal-comma file read with "," as
//   separator has 4 or 6 and would otherwise be misread without a word;
// - rows in any order (sorted by frequency); of rows with the same frequency
//   the last in the file counts, as a later band of a merged measurement.
// Refused, with a German message naming the line: a row with fewer than 2 or
// more than 3 numbers or another count than the rows before, a field that is
// not a number, a non-finite number, a frequency <= 0, text after the data,
// and a file without data rows.
//
// Writing gives what every reader above takes: the caller's comment lines as
// "* text" (line breaks inside become blanks; the text as given, UTF-8), then
// one row per point in ascending frequency: frequency, value and (with
// phase) phase, tab-separated, 9 significant digits with decimal point
// independent of the locale, LF line ends.

#include <string>
#include <string_view>
#include <vector>

namespace velumo {

enum class MeasurementKind { Frd, Zma };

// One curve: frequency in Hz (ascending, distinct, > 0), value in dB (FRD) or
// ohm (ZMA), phase in degrees (same length as frequency when hasPhase, else
// empty).
struct MeasuredCurve {
    std::vector<double> frequency;
    std::vector<double> value;
    std::vector<double> phase;
    bool hasPhase = false;
    bool operator==(const MeasuredCurve&) const = default;
};

// Parses the bytes of an FRD or ZMA file (both read alike). On failure
// returns false, leaves *curve untouched and sets *error ("Zeile 12: ...").
bool parseMeasurement(std::string_view bytes, MeasuredCurve* curve, std::string* error);

// Reads the file at `path` (at most kMaxMeasurementBytes) and parses it; the
// path is named in the messages of an unreadable or too large file.
constexpr size_t kMaxMeasurementBytes = 16u << 20;
bool readMeasurementFile(const std::string& path, MeasuredCurve* curve, std::string* error);

// The comment line saying what the columns are, e.g. for FRD
// "Frequenz [Hz], SPL [dB], Phase [Grad]" (ASCII).
std::string_view measurementColumnsComment(MeasurementKind kind);

// The file text of `curve` into *text (see above). False with a German *error
// for no points, unequal lengths, or a point with f <= 0 or a non-finite number.
bool formatMeasurement(const MeasuredCurve& curve, const std::vector<std::string>& comments,
    std::string* text, std::string* error);

} // namespace velumo
