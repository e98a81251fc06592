#pragma once
// Pieces the fuzz targets share: sinks that keep what they are told, a
// reader that takes values out of the fuzz bytes, and the checks that a
// finding must fail loudly (abort, so libFuzzer stores the input).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Design.h"
#include "InputCheck.h"

namespace velumo::fuzz {

// Prints the reason and aborts; libFuzzer then saves the crashing input.
[[noreturn]] void fail(std::string_view what, std::string_view detail = {});

inline void require(bool ok, std::string_view what, std::string_view detail = {})
{
    if (!ok)
        fail(what, detail);
}

class KeepingCheckSink : public CheckSink {
public:
    void message(const Message& m) override { messages.push_back(m); }
    void focus(std::string_view) override { }
    std::vector<Message> messages;
};

// Consumes the fuzz bytes front to back; past the end everything reads 0.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool empty() const { return m_pos >= m_size; }
    uint8_t byte();
    // A value in [0, n) (n > 0).
    size_t pick(size_t n);
    // Up to maxLength raw bytes.
    std::string bytes(size_t maxLength);

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Every text, index and check state and every grid cell of the design: what
// the user can change. Hints, colours and the crossover arrays are left out.
bool sameInputs(const Design& a, const Design& b, std::string* firstDifference);

// The first tab-separated field of a result or contour file, after its
// header lines, that is not a finite number; empty when all are finite.
std::string firstNonFiniteField(const std::string& fileBytes, int headerLines);

} // namespace velumo::fuzz
