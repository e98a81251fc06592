#pragma once
// The command-line grammar of sweeps and optimisation, parsed into typed
// values; no I/O. Every parse function returns false with a one-line German
// *error that quotes the option and its argument, and then leaves its output
// untouched. Keys are checked against a list the caller passes (normally
// projectFileKeys()), compared as the file compares names (case-insensitive);
// the parsed key takes the list's spelling.
//
// "Section/Key=..." is split at the first "/" and at the first "=" after it;
// section and key are trimmed, the value is not. Key names hold blanks and
// umlauts ("Lautsprecher/el. Belastbarkeit=100").
//
// Sweep values: "from:to:count" gives count values from `from` to `to` in
// equal steps (from <= to; count 1 gives from), "from:to:count:log" equal
// ratios (from > 0), "v1,v2,..." a list whose texts are kept as typed (each
// a number with decimal point). Generated values are exact at both ends and
// written with formatGeneral (15 significant digits), as the program writes
// numbers; count is a whole number 1..kMaxSweepCount.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ProjectKeys.h"

namespace velumo {

// One key's text, applied as if the project file held it.
struct KeyValue {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const KeyValue&) const = default;
};

// --set "Section/Key=value": the value text as it is (any text, even empty;
// no line break, which would end the file's line).
bool parseSet(std::string_view arg, const std::vector<ProjectKey>& known, KeyValue* set, std::string* error);

enum class SweepKind { Linear, Log, List };

// One swept key with its value texts, in sweep order.
struct Sweep {
    std::string section;
    std::string key;
    SweepKind kind = SweepKind::List;
    std::vector<std::string> values;
    bool operator==(const Sweep&) const = default;
};
constexpr int kMaxSweepCount = 1000000;

// --sweep "Section/Key=from:to:count", "...=from:to:count:log" or
// "...=v1,v2,v3" (see above).
bool parseSweep(std::string_view arg, const std::vector<ProjectKey>& known, Sweep* sweep, std::string* error);

// The product of all sweeps. Design index i (0 <= i < designCount) takes
// value (i / stride_s) % count_s of sweep s, where stride_s is the product of
// the counts of the sweeps after s: the first sweep changes slowest, like
// nested loops written in command-line order. No sweep: one design.
struct SweepPlan {
    std::vector<Sweep> sweeps;
    std::uint64_t designCount = 1;
};
constexpr std::uint64_t kMaxDesigns = 1000000000000u; // 1e12

// Refuses a key that `option` ("--sweep", "--vary") names twice or that is
// also set (`sets`); the message names the option and the key.
bool checkNamedOnce(std::string_view option, const std::vector<ProjectKey>& named,
    const std::vector<KeyValue>& sets, std::string* error);

// Refuses a key swept twice or both set (`sets`) and swept, and more than
// kMaxDesigns designs.
bool makeSweepPlan(
    std::vector<Sweep> sweeps, const std::vector<KeyValue>& sets, SweepPlan* plan, std::string* error);

// The values of design `index` (< designCount), one per sweep in sweep order.
std::vector<KeyValue> designValues(const SweepPlan& plan, std::uint64_t index);

// --shard "K/N": the K-th (1..N) of N contiguous slices of the design
// indices. The first designCount % N slices hold one design more, so sizes
// differ by at most one; the slices in order 1..N cover 0..designCount-1
// exactly once, and concatenating their summaries in that order keeps the
// global order. N may exceed the design count (some slices are empty).
struct Shard {
    std::uint64_t k = 1;
    std::uint64_t n = 1;
};
bool parseShard(std::string_view arg, Shard* shard, std::string* error);

// Design indices [begin, end) of a shard (k in 1..n).
struct IndexRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};
IndexRange shardRange(std::uint64_t designCount, const Shard& shard);

// --vary "Section/Key=lo:hi": bounds of a free value, lo < hi, both finite.
struct VaryBound {
    std::string section;
    std::string key;
    double low = 0.0;
    double high = 0.0;
};
bool parseVary(
    std::string_view arg, const std::vector<ProjectKey>& known, VaryBound* vary, std::string* error);

// --band "F1:F2" in Hz, 0 < F1 < F2.
struct Band {
    double low = 0.0;
    double high = 0.0;
};
bool parseBand(std::string_view arg, Band* band, std::string* error);

// --jobs N: threads, 1..kMaxJobs (the caller's default is all cores).
constexpr int kMaxJobs = 1024;
bool parseJobs(std::string_view arg, int* jobs, std::string* error);

// --seed S: a whole number 0..2^64-1.
bool parseSeed(std::string_view arg, std::uint64_t* seed, std::string* error);

} // namespace velumo
