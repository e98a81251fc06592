#include "MeasurementFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <numeric>

#include "StrictNumber.h"

namespace velumo {

namespace {

constexpr int kMinColumns = 2;
constexpr int kMaxColumns = 3;
constexpr int kSignificantDigits = 9;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }

struct Row {
    double f = 0.0;
    double value = 0.0;
    double phase = 0.0;
};

std::string linePrefix(int line) { return "Zeile " + std::to_string(line) + ": "; }

// A field as the message quotes it: at most 20 bytes, not cut inside a
// UTF-8 character.
std::string quoted(std::string_view field)
{
    if (field.size() > 20) {
        size_t cut = 20;
        while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80)
            --cut;
        return "\"" + std::string(field.substr(0, cut)) + "…\"";
    }
    return "\"" + std::string(field) + "\"";
}

// Splits a data row into fields; see the header for the separator rule.
std::vector<std::string> splitFields(std::string_view s)
{
    const char sep = s.find(';') != std::string_view::npos ? ';' : ',';
    std::vector<std::string> fields;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && isBlank(s[i]))
            ++i;
    };
    skipBlanks();
    while (i < s.size()) {
        if (s[i] == sep) {
            fields.emplace_back();
            ++i;
            skipBlanks();
            continue;
        }
        size_t start = i;
        while (i < s.size() && !isBlank(s[i]) && s[i] != sep)
            ++i;
        std::string field(s.substr(start, i - start));
        if (sep == ';' && field.find('.') == std::string::npos)
            std::replace(field.begin(), field.end(), ',', '.');
        fields.push_back(std::move(field));
        skipBlanks();
        if (i < s.size() && s[i] == sep) {
            ++i;
            skipBlanks();
        }
    }
    return fields;
}

// Column `column` (from 1) as a number, or a message.
bool fieldNumber(const std::string& field, int line, int column, double* v, std::string* error)
{
    switch (checkNumber(field, v)) {
    case NumberCheck::Ok:
        return true;
    case NumberCheck::NotFinite:
        *error = linePrefix(line) + "Spalte " + std::to_string(column) + " ist keine endliche Zahl.";
        return false;
    case NumberCheck::NotANumber:
        *error = linePrefix(line)
            + (field.empty() ? "Spalte " + std::to_string(column) + " ist leer."
                             : "keine Zahl in Spalte " + std::to_string(column) + ": " + quoted(field) + ".");
        return false;
    }
    return false;
}

// Reads one data row; `columns` is the count of the first row (0 before it).
bool readRow(const std::vector<std::string>& fields, int line, int columns, Row* row, std::string* error)
{
    const int n = static_cast<int>(fields.size());
    if (n < kMinColumns || n > kMaxColumns) {
        *error = linePrefix(line)
            + (n < kMinColumns
                    ? std::string("nur 1 Spalte; erwartet werden Frequenz, Wert und wahlweise Phase.")
                    : std::to_string(n)
                        + " Spalten; erwartet werden 2 oder 3 (Frequenz, Wert, Phase). Ein Dezimalkomma ist "
                          "nur "
                          "mit \";\" als Trennzeichen erlaubt.");
        return false;
    }
    if (columns != 0 && n != columns) {
        *error = linePrefix(line) + std::to_string(n) + " Spalten, die Zeilen davor haben "
            + std::to_string(columns) + ".";
        return false;
    }
    double* targets[kMaxColumns] = { &row->f, &row->value, &row->phase };
    for (int c = 1; c < n; ++c)
        if (!fieldNumber(fields[static_cast<size_t>(c)], line, c + 1, targets[c], error))
            return false;
    if (row->f <= 0.0) {
        *error = linePrefix(line) + "die Frequenz muss größer als 0 Hz sein.";
        return false;
    }
    return true;
}

std::string formatNumber(double v)
{
    char buf[40];
    if (v == 0.0)
        v = 0.0; // no "-0"
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, kSignificantDigits);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

} // namespace

bool parseMeasurement(std::string_view bytes, MeasuredCurve* curve, std::string* error)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::vector<Row> rows;
    int columns = 0;
    int line = 0;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view text = bytes.substr(pos, end - pos);
        pos = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
        ++line;
        size_t first = 0;
        while (first < text.size() && isBlank(text[first]))
            ++first;
        if (first == text.size() || text[first] == '*' || text[first] == ';' || text[first] == '#')
            continue;
        std::vector<std::string> fields = splitFields(text);
        Row row;
        const NumberCheck leading = checkNumber(fields.front(), &row.f);
        if (leading != NumberCheck::Ok) {
            if (rows.empty() && leading == NumberCheck::NotANumber)
                continue; // header text
            return fieldNumber(fields.front(), line, 1, &row.f, error);
        }
        if (!readRow(fields, line, columns, &row, error))
            return false;
        columns = static_cast<int>(fields.size());
        rows.push_back(row);
    }
    if (rows.empty()) {
        *error = "Die Datei enthält keine Messwerte.";
        return false;
    }
    // Stable, so that of equal frequencies the last row of the file ends last
    // and overwrites the others below.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.f < b.f; });
    MeasuredCurve c;
    c.hasPhase = columns == kMaxColumns;
    for (const Row& r : rows) {
        if (!c.frequency.empty() && c.frequency.back() == r.f) {
            c.value.back() = r.value;
            if (c.hasPhase)
                c.phase.back() = r.phase;
            continue;
        }
        c.frequency.push_back(r.f);
        c.value.push_back(r.value);
        if (c.hasPhase)
            c.phase.push_back(r.phase);
    }
    *curve = std::move(c);
    return true;
}

bool readMeasurementFile(const std::string& path, MeasuredCurve* curve, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in) {
        // Read one byte past the limit: special files report no size.
        bytes.resize(kMaxMeasurementBytes + 1);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<size_t>(in.gcount()));
    }
    if (!in && !in.eof()) {
        *error = "Die Datei " + path + " kann nicht gelesen werden.";
        return false;
    }
    if (bytes.size() > kMaxMeasurementBytes) {
        *error = "Die Datei " + path + " ist größer als 16 MiB und wird nicht gelesen.";
        return false;
    }
    return parseMeasurement(bytes, curve, error);
}

std::string_view measurementColumnsComment(MeasurementKind kind)
{
    return kind == MeasurementKind::Frd ? "Frequenz [Hz], SPL [dB], Phase [Grad]"
                                        : "Frequenz [Hz], |Z| [Ohm], Phase [Grad]";
}

bool formatMeasurement(const MeasuredCurve& curve, const std::vector<std::string>& comments,
    std::string* text, std::string* error)
{
    const size_t n = curve.frequency.size();
    if (n == 0) {
        *error = "Keine Punkte zum Schreiben.";
        return false;
    }
    if (curve.value.size() != n || (curve.hasPhase && curve.phase.size() != n)) {
        *error = "Frequenz, Wert und Phase haben verschieden viele Punkte.";
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        bool finite = std::isfinite(curve.frequency[i]) && std::isfinite(curve.value[i])
            && (!curve.hasPhase || std::isfinite(curve.phase[i]));
        if (!finite || curve.frequency[i] <= 0.0) {
            *error = "Punkt " + std::to_string(i + 1)
                + (finite ? ": die Frequenz muss größer als 0 Hz sein." : ": keine endliche Zahl.");
            return false;
        }
    }
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t { 0 });
    std::stable_sort(order.begin(), order.end(),
        [&](size_t a, size_t b) { return curve.frequency[a] < curve.frequency[b]; });
    std::string out;
    for (const std::string& comment : comments) {
        std::string line = comment;
        std::replace(line.begin(), line.end(), '\r', ' ');
        std::replace(line.begin(), line.end(), '\n', ' ');
        out += "* " + line + "\n";
    }
    for (size_t i : order) {
        out += formatNumber(curve.frequency[i]) + "\t" + formatNumber(curve.value[i]);
        if (curve.hasPhase)
            out += "\t" + formatNumber(curve.phase[i]);
        out += "\n";
    }
    *text = std::move(out);
    return true;
}

} // namespace velumo
