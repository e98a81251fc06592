#pragma once
// The loop network as the program solves it: only the entries that the
// stamps of one model write, plus the fill-in of the elimination, are kept,
// and the solver replays the work of the dense solver on those entries
// alone. Every flow comes out bit for bit as the dense solver gives it.
//
// Use: beginPattern(), one pass of the stamps (values are ignored, the
// positions are recorded), endPattern(); then per frequency point clear(),
// stamps, solve(). The layout depends only on which positions the stamps
// write, so it holds for a whole run.

#include <array>
#include <cstdint>
#include <vector>

#include "Complex.h"
#include "LoopNetwork.h"

namespace velumo {

// Frequency points solved side by side at most.
inline constexpr int kSolveBatch = 2;

class SparseNetwork {
public:
    // M[r][c] as in LoopNetwork, for the stamps; (r, c) must lie in the
    // pattern recorded for the current model.
    class RowRef {
    public:
        Cx& operator[](int c) const { return m_net->entry(m_row, c); }

        RowRef(SparseNetwork* net, int row) : m_net(net), m_row(row) {}

    private:
        SparseNetwork* m_net;
        int m_row;
    };
    class Matrix {
    public:
        RowRef operator[](int r) const { return {m_net, r}; }

        explicit Matrix(SparseNetwork* net) : m_net(net) {}

    private:
        SparseNetwork* m_net;
    };

    SparseNetwork() { m_farIndex.fill(-1); }
    SparseNetwork(const SparseNetwork&) = delete;
    SparseNetwork& operator=(const SparseNetwork&) = delete;

    Matrix M{this};
    std::array<Cx, kLoops> b{};
    std::array<Cx, kLoops> x{};

    // Recording: every M[r][c] the stamps touch until endPattern() becomes
    // part of the pattern; the written values are thrown away.
    void beginPattern();
    // Adds the fill-in, lays out the entries and plans the elimination.
    void endPattern();

    // Uses the layout and elimination plan of a prepared network (same
    // model), so `other` must stay alive and unchanged.
    void adoptPattern(const SparseNetwork& other);

    // Sets every stored entry of M and all of b to zero.
    void clear();

    // Number of stored entries (for tests and benchmarks).
    int storedEntries() const { return static_cast<int>(m_values.size()); }
    // Planned elimination work: pivot steps and entry updates per solve.
    int plannedPivots() const { return static_cast<int>(m_plan->m_steps.size()); }
    int plannedUpdates() const
    {
        return static_cast<int>(m_plan->m_ops.size() + m_plan->m_zeroOps.size());
    }

    // The flows of M·x = b, bit-identical to solve(LoopNetwork&) on the same
    // stamps. False when the dense solver would meet a zero pivot or when a
    // quotient or flow is not finite (the dense solver then yields a
    // non-finite flow, which a run treats as the same failure).
    friend bool solve(SparseNetwork& net);
    // nets[0..count−1] (count <= kSolveBatch), networks of one pattern at
    // different frequencies, solved side by side; ok[n] is what solve() would
    // return for each. Faster than one by one, the same bits.
    friend void solveBatch(SparseNetwork* nets, int count, bool* ok);

    // True when a stamp wrote outside the recorded pattern since clear();
    // solve() then refuses.
    bool patternMissed() const { return m_missed; }

private:
    struct Bits {
        std::array<std::uint64_t, (kLoops + 63) / 64> w{};
        bool test(int c) const { return (w[c >> 6] >> (c & 63)) & 1u; }
        void set(int c) { w[c >> 6] |= std::uint64_t{1} << (c & 63); }
        int next(int from) const; // first set bit >= from, kLoops if none
    };
    struct RowLayout {
        int lo = 0, hi = -1; // window of columns stored contiguously
        int base = 0;        // slot of column lo
        int farBase = 0;     // first far slot of this row
    };
    struct Step {
        int k = 0;           // pivot row
        int lower = 0;       // slot of M[i][k]
        int opBegin = 0, opEnd = 0;     // updates from the pivot row
        int zeroBegin = 0, zeroEnd = 0; // updates whose pivot-row entry is (+0, +0)
    };
    struct Op {
        int src = 0; // slot in the pivot row
        int dst = 0; // slot in the eliminated row
    };
    struct BackEntry {
        int c = 0;
        int slot = 0;
    };

    Cx& entry(int r, int c)
    {
        if (m_recording) {
            m_pattern[r].set(c);
            return m_scratch;
        }
        const SparseNetwork& plan = *m_plan;
        const RowLayout& L = plan.m_rows[r];
        if (c >= L.lo && c <= L.hi)
            return m_values[L.base + c - L.lo];
        const int f = plan.m_farIndex[c];
        const int slot = f < 0 ? -1 : plan.m_farSlots[L.farBase + f];
        if (slot < 0) {
            m_missed = true;
            return m_trash;
        }
        return m_values[slot];
    }
    int slotOf(int r, int c) const;
    template <int N>
    static void solveLanes(SparseNetwork* const* nets, bool* ok);

    const SparseNetwork* m_plan = this; // owner of the elimination plan
    bool m_recording = false;
    bool m_missed = false;
    Cx m_scratch;
    Cx m_trash;
    std::vector<Bits> m_pattern; // only while the pattern is built
    std::array<RowLayout, kLoops> m_rows{};
    std::array<int, kLoops> m_farIndex{};
    std::vector<int> m_farSlots;
    std::vector<Cx> m_values;
    std::array<int, kLoops> m_diag{};
    std::vector<Step> m_steps;
    std::array<int, kLoops + 1> m_stepBegin{};
    std::vector<Op> m_ops;
    std::vector<int> m_zeroOps; // target slots
    std::vector<int> m_chainRows; // rows with many pivot steps
    std::vector<BackEntry> m_back;
    std::array<int, kLoops + 1> m_backBegin{};
};

bool solve(SparseNetwork& net);
void solveBatch(SparseNetwork* nets, int count, bool* ok);

} // namespace velumo
