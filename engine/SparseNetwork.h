#pragma once
// The loop network as the program solves it: only the entries that the
// stamps of one model write, plus the fill-in of the elimination, are kept,
// and the solver replays the work of the dense solver on those entries
// alone. Every flow comes out bit for bit as the dense solver gives it.
//
// One SparseNetwork holds kSolveBatch networks of the same pattern (lanes,
// one frequency point each), stored lane beside lane so that one solve works
// on all of them with the same instructions.
//
// Use: beginPattern(), one pass of the stamps on lane 0 (values are ignored,
// the positions are recorded), endPattern(); then per batch of points
// clear(), the stamps of each lane, solveBatch(). The layout depends only on
// which positions the stamps write, so it holds for a whole run.

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "Complex.h"
#include "LoopNetwork.h"

namespace velumo {

// Frequency points solved side by side.
inline constexpr int kSolveBatch = 8;

struct ChainBatch;

class SparseNetwork {
    // Re parts of one entry in every lane, then its im parts.
    struct alignas(kSolveBatch * sizeof(double)) Slot {
        double re[kSolveBatch];
        double im[kSolveBatch];
    };

public:
    // One lane's value of an entry: M[r][c] reads and assigns as a Cx.
    class EntryRef {
    public:
        explicit EntryRef(double* re)
            : m_re(re)
        {
        }
        operator Cx() const { return { m_re[0], m_re[kSolveBatch] }; }
        EntryRef& operator=(Cx v)
        {
            m_re[0] = v.re;
            m_re[kSolveBatch] = v.im;
            return *this;
        }
        EntryRef& operator=(const EntryRef& other) { return *this = Cx(other); }

    private:
        double* m_re; // the im part is kSolveBatch doubles further on
    };
    // M[r][c] of one lane, as in LoopNetwork, for the stamps; (r, c) must
    // lie in the pattern recorded for the current model.
    class RowRef {
    public:
        EntryRef operator[](int c) const { return m_net->entry(m_lane, m_row, c); }

        RowRef(SparseNetwork* net, int lane, int row)
            : m_net(net)
            , m_lane(lane)
            , m_row(row)
        {
        }

    private:
        SparseNetwork* m_net;
        int m_lane;
        int m_row;
    };
    // One lane of this network, which M and b of a Lane address.
    class LaneView {
    public:
        LaneView() = default;
        LaneView(SparseNetwork* net, int lane)
            : m_net(net)
            , m_lane(lane)
        {
        }

    protected:
        SparseNetwork* m_net = nullptr;
        int m_lane = 0;
    };
    class Matrix : public LaneView {
    public:
        using LaneView::LaneView;
        RowRef operator[](int r) const { return { m_net, m_lane, r }; }
    };
    // b of one lane, as in LoopNetwork: b[i] reads and assigns as a Cx.
    class Sources : public LaneView {
    public:
        using LaneView::LaneView;
        EntryRef operator[](int i) const { return EntryRef { m_net->m_b[i].re + m_lane }; }
        Sources& operator=(const std::array<Cx, kLoops>& values)
        {
            for (int i = 0; i < kLoops; ++i)
                (*this)[i] = values[i];
            return *this;
        }
    };

    // One network of the batch as the stamps and the results see it.
    struct Lane {
        Matrix M;
        Sources b;
        LoopFlows x {};
        ChainBatch* chains = nullptr; // set while stampLanes stamps the batch
    };

private:
    std::array<Lane, kSolveBatch> m_lanes;

public:
    SparseNetwork();
    SparseNetwork(const SparseNetwork&) = delete;
    SparseNetwork& operator=(const SparseNetwork&) = delete;

    Lane& lane(int l) { return m_lanes[l]; }
    const Lane& lane(int l) const { return m_lanes[l]; }

    // Lane 0, for single points.
    Matrix M { this, 0 };
    Sources& b = m_lanes[0].b;
    LoopFlows& x = m_lanes[0].x;

    // Recording: every M[r][c] the stamps touch until endPattern() becomes
    // part of the pattern; the written values are thrown away.
    void beginPattern();
    // Adds the fill-in, lays out the entries and plans the elimination;
    // keeps the layout when the pattern is the one it was planned for (a
    // network reused for run after run of the same design).
    void endPattern();

    // Lane 0's re part of M[r][c] when the entry lies in row r's window;
    // lane l's is l further on, its im part kSolveBatch further. Null for
    // other entries and while recording.
    double* windowEntry(int r, int c)
    {
        const Window& w = m_windows[r];
        return static_cast<unsigned>(c - w.lo) < w.width ? m_values[w.base + c - w.lo].re : nullptr;
    }

    // Sets every entry the stamps write and all of b to zero, in every lane.
    // The fill-in of the elimination is zeroed by the solver itself when it
    // starts on the row, where the entries are about to be used anyway.
    void clear();

    // Number of stored entries (for tests and benchmarks).
    int storedEntries() const { return static_cast<int>(m_values.size()); }
    // Planned elimination work: pivot steps and entry updates per solve.
    int plannedPivots() const { return static_cast<int>(m_steps.size()); }
    int plannedUpdates() const { return static_cast<int>(m_ops.size() + m_zeroOps.size()); }

    // Lane 0's flows of M·x = b, bit-identical to solve(LoopNetwork&) on the
    // same stamps. False when the dense solver would meet a zero pivot or
    // when a quotient or flow is not finite (the dense solver then yields a
    // non-finite flow, which a run treats as the same failure).
    friend bool solve(SparseNetwork& net);
    // Lanes 0..count−1 solved side by side; ok[l] is what solve() would
    // return for lane l alone.
    friend void solveBatch(SparseNetwork& net, int count, bool* ok);

    // True when a stamp wrote outside the recorded pattern into the lane
    // since clear(); solving that lane then fails.
    bool patternMissed(int lane = 0) const { return m_missed[lane]; }

private:
    struct Bits {
        std::array<std::uint64_t, (kLoops + 63) / 64> w {};
        bool test(int c) const { return (w[c >> 6] >> (c & 63)) & 1u; }
        void set(int c) { w[c >> 6] |= std::uint64_t { 1 } << (c & 63); }
        int next(int from) const; // first set bit >= from, kLoops if none
        bool operator==(const Bits&) const = default;
    };
    struct RowLayout {
        int lo = 0, hi = -1; // window of columns stored contiguously
        int base = 0;        // slot of column lo
        int farBase = 0;     // first far slot of this row
    };
    // A row's window as entry() reads it; empty while recording.
    struct Window {
        int lo = 0;
        unsigned width = 0;
        int base = 0;
    };
    struct Step {
        int row = 0;                    // eliminated row
        int k = 0;                      // pivot row
        int lower = 0;                  // slot of M[i][k]
        int opBegin = 0, opEnd = 0;     // updates from the pivot row
        int zeroBegin = 0, zeroEnd = 0; // updates whose pivot-row entry is (+0, +0)
        int fillBegin = 0, fillEnd = 0; // the row's fill-in, cleared at its first step
    };
    struct Op {
        int src = 0; // slot in the pivot row
        int dst = 0; // slot in the eliminated row
    };
    struct BackEntry {
        int c = 0;
        int slot = 0;
        bool gapRight = false; // columns without a stored entry lie between this and the next one right
    };
    // m_schedule holds step numbers and, as finishMark(i), the end of row i.
    static constexpr int finishMark(int row) { return -1 - row; }
    static constexpr int finishedRow(int mark) { return -1 - mark; }
    // Per-loop values of every lane while solving.
    struct alignas(kSolveBatch * sizeof(double)) LoopLanes {
        double v[kSolveBatch];
    };
    struct alignas(kSolveBatch * sizeof(double)) LoopCounts {
        std::int64_t v[kSolveBatch];
    };
    struct Work {
        std::array<LoopLanes, kLoops> den; // |M[k][k]|² as the quotient forms it
        // How many flows c' >= c make the re / im part of (+0, +0)·x[c']
        // come out as −0.
        std::array<LoopCounts, kLoops + 1> negRe;
        std::array<LoopCounts, kLoops + 1> negIm;
    };

    // The row's window takes one comparison; the rest (far columns, the
    // recording, a miss) takes the long way.
    EntryRef entry(int lane, int r, int c)
    {
        const Window& w = m_windows[r];
        if (static_cast<unsigned>(c - w.lo) < w.width)
            return EntryRef { &m_values.data()[w.base + c - w.lo].re[lane] };
        return entryOutsideWindow(lane, r, c);
    }
    EntryRef entryOutsideWindow(int lane, int r, int c);
    void openWindows(); // from m_rows, once the layout holds
    int slotOf(int r, int c) const
    {
        const RowLayout& L = m_rows[r];
        if (c >= L.lo && c <= L.hi)
            return L.base + c - L.lo;
        const int f = m_farIndex[c];
        return f < 0 ? -1 : m_farSlots[L.farBase + f];
    }
    // The solver, compiled for the instruction sets the processor has.
    void solveLanes(int count, bool* ok);
    void solveLanesSized(int count, bool* ok);
    template <int Parts> void solveLanesInline(int count, bool* ok);
    void solveLanesAvx2(int count, bool* ok);

    bool m_recording = false;
    std::array<bool, kSolveBatch> m_missed {};
    Slot m_scratch {};
    Slot m_trash {};
    std::vector<Bits> m_pattern; // only while the pattern is built
    // The stamped pattern the layout below was planned for; empty when none.
    std::vector<Bits> m_laidOut;
    std::array<RowLayout, kLoops> m_rows {};
    std::array<Window, kLoops> m_windows {};
    std::array<int, kLoops> m_farIndex {};
    std::vector<int> m_farSlots;
    std::vector<Slot> m_values;
    std::vector<Slot> m_b; // b of every lane; the solver turns it into x in place
    std::array<int, kLoops> m_diag {};
    std::vector<Step> m_steps;
    std::vector<Op> m_ops;
    std::vector<int> m_zeroOps; // target slots
    std::vector<int> m_fillSlots;
    // Runs [first, end) of the slots the stamps write, which clear() zeroes.
    std::vector<std::pair<int, int>> m_clearRuns;
    std::vector<int> m_schedule;
    std::vector<BackEntry> m_back;
    std::array<int, kLoops + 1> m_backBegin {};
    std::array<bool, kLoops> m_backGapLeft {}; // columns without an entry right of the diagonal
    std::vector<Work> m_work;                  // one, laid out with the pattern
};

bool solve(SparseNetwork& net);
void solveBatch(SparseNetwork& net, int count, bool* ok);

} // namespace velumo
