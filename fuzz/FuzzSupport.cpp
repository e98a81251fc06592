#include "FuzzSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "DesignTable.h"

namespace velumo::fuzz {

void fail(std::string_view what, std::string_view detail)
{
    std::fprintf(stderr, "\nFUZZ FINDING: %.*s\n%.*s\n", static_cast<int>(what.size()), what.data(),
        static_cast<int>(detail.size()), detail.data());
    std::abort();
}

uint8_t ByteReader::byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

size_t ByteReader::pick(size_t n)
{
    size_t v = byte();
    if (n > 256)
        v = v << 8 | byte();
    return v % n;
}

std::string ByteReader::bytes(size_t maxLength)
{
    size_t n = pick(maxLength + 1);
    n = std::min(n, m_size - std::min(m_pos, m_size));
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return s;
}

bool sameInputs(const Design& a, const Design& b, std::string* diff)
{
    for (const ControlSpec& s : designTable()) {
        if (s.kind == ControlKind::Grid)
            continue;
        const ControlState& x = a.control(s.name);
        const ControlState& y = b.control(s.name);
        if (x.text != y.text || x.index != y.index || x.checked != y.checked) {
            *diff = std::string(s.name) + ": \"" + x.text + "\"/" + std::to_string(x.index) + "/"
                + std::to_string(x.checked) + " vs \"" + y.text + "\"/" + std::to_string(y.index) + "/"
                + std::to_string(y.checked);
            return false;
        }
    }
    auto cell = [&](const char* grid, int col, int row, const std::string& x, const std::string& y) {
        if (x == y)
            return true;
        *diff = std::string(grid) + "(" + std::to_string(col) + "," + std::to_string(row) + "): \"" + x
            + "\" vs \"" + y + "\"";
        return false;
    };
    for (int row = 1; row < kFwRows; ++row)
        for (int col = 1; col < kFwCols; ++col)
            if (!cell("FWGrid", col, row, a.fwCell(col, row), b.fwCell(col, row)))
                return false;
    for (int row = 0; row < kMinMaxRows; ++row) {
        for (int col = 0; col < kMinMaxCols; ++col)
            if (!cell("MinMaxGrid", col, row, a.minMaxCell(col, row), b.minMaxCell(col, row)))
                return false;
        if (a.axisAuto(row) != b.axisAuto(row)) {
            *diff = "CheckListAuto row " + std::to_string(row);
            return false;
        }
    }
    for (int row = 0; row < kOptionRows; ++row)
        if (!cell("OptionGrid", 1, row, a.optionCell(1, row), b.optionCell(1, row)))
            return false;
    return true;
}

std::string firstNonFiniteField(const std::string& file, int headerLines)
{
    size_t pos = 0;
    for (int i = 0; i < headerLines && pos < file.size(); ++i) {
        size_t nl = file.find('\n', pos);
        pos = nl == std::string::npos ? file.size() : nl + 1;
    }
    while (pos < file.size()) {
        size_t end = file.find_first_of("\t\r\n", pos);
        if (end == std::string::npos)
            end = file.size();
        std::string field = file.substr(pos, end - pos);
        if (!field.empty()) {
            char* stop = nullptr;
            double v = std::strtod(field.c_str(), &stop);
            if (*stop != '\0' || !std::isfinite(v))
                return field;
        }
        pos = end + 1;
    }
    return {};
}

} // namespace velumo::fuzz
