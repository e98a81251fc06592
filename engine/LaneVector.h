#pragma once
// Four lanes' values of one quantity as one vector, for the batch of points
// the solver and the stamps work on side by side. The operators work lane by
// lane with the same IEEE operation each, so a lane gets the bits it would
// get alone.

#include <cstdint>
#include <cstring>

// The vectors never cross a call boundary (every helper is inlined), so the
// ABI note about passing them does not apply.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace velumo::lanes {

constexpr int kVector = 4;
using V = double __attribute__((vector_size(kVector * sizeof(double))));
using VI = std::int64_t __attribute__((vector_size(kVector * sizeof(double))));

[[gnu::always_inline]] inline V load(const double* p)
{
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline void store(double* p, V v) { std::memcpy(p, &v, sizeof v); }
[[gnu::always_inline]] inline VI loadCounts(const std::int64_t* p)
{
    VI v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline void storeCounts(std::int64_t* p, VI v) { std::memcpy(p, &v, sizeof v); }

} // namespace velumo::lanes
