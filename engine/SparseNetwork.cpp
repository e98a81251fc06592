#include "SparseNetwork.h"

#include "LaneVector.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

// The C library's header is C; clang does not take its _Bool in C++.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#include <sys/platform/x86.h>
#endif

namespace velumo {

// Why the replay gives the dense solver's bits:
// - An entry outside the pattern is (+0, +0) in the dense matrix whenever it
//   is read: it starts so, and every update it gets is (+0, +0) − 0·q with a
//   finite q, which leaves +0 in both parts.
// - An entry inside the pattern gets the same updates in the same order. An
//   update whose pivot-row entry lies outside the pattern is still done
//   (subtracting (+0, +0)·q, formed once per step), because (−0) − (+0)·q
//   can turn −0 into +0; it is left out only while the target cannot hold
//   anything but (+0, +0) yet, where it changes nothing.
// - The dense solver also updates the columns 0..k of row i; they are never
//   read again (later pivots of row i and back substitution look right of
//   them), so they are not kept.
// - Back substitution skips the (+0, +0) entries of a row. Such a term
//   changes the running sum s only by turning a −0 part of s into +0, and
//   only when the flow's signs make that part of the product −0; that effect
//   is applied directly from counts of such flows.
// - A quotient that is not finite ends the solve with false. The dense solver
//   would go on, but its diagonal entry of that row can then never become
//   finite again, so its flows are not finite and the point fails the same.

int SparseNetwork::Bits::next(int from) const
{
    while (from < kLoops) {
        const int word = from >> 6;
        const std::uint64_t rest = w[word] >> (from & 63);
        if (rest != 0)
            return from + std::countr_zero(rest);
        from = (word + 1) << 6;
    }
    return kLoops;
}

SparseNetwork::SparseNetwork()
{
    m_b.resize(kLoops);
    for (int l = 0; l < kSolveBatch; ++l) {
        m_lanes[l].M = Matrix(this, l);
        m_lanes[l].b = Sources(this, l);
    }
    m_farIndex.fill(-1);
}

void SparseNetwork::beginPattern()
{
    m_pattern.assign(kLoops, Bits {});
    m_windows.fill(Window {});
    m_recording = true;
}

SparseNetwork::EntryRef SparseNetwork::entryOutsideWindow(int lane, int r, int c)
{
    if (m_recording) {
        m_pattern[r].set(c);
        return EntryRef { m_scratch.re };
    }
    const int slot = slotOf(r, c);
    if (slot < 0) {
        m_missed[lane] = true;
        return EntryRef { m_trash.re };
    }
    return EntryRef { &m_values[slot].re[lane] };
}

void SparseNetwork::openWindows()
{
    for (int r = 0; r < kLoops; ++r) {
        const RowLayout& L = m_rows[r];
        m_windows[r] = Window { L.lo, static_cast<unsigned>(L.hi - L.lo + 1), L.base };
    }
}

void SparseNetwork::endPattern()
{
    m_recording = false;
    for (int r = 0; r < kLoops; ++r)
        m_pattern[r].set(r);
    if (!m_laidOut.empty() && m_pattern == m_laidOut) {
        std::vector<Bits>().swap(m_pattern);
        m_missed.fill(false);
        openWindows();
        return;
    }
    m_laidOut.clear(); // until the new plan is complete
    std::vector<Bits> stamped = m_pattern;

    // Fill-in: row k, once eliminated, spreads its right-hand part into every
    // later row with an entry in column k.
    auto orRightOf = [](Bits& into, const Bits& from, int k) {
        for (int word = 0; word < static_cast<int>(into.w.size()); ++word) {
            std::uint64_t bits = from.w[word];
            const int first = word * 64;
            if (first + 63 <= k)
                continue;
            if (first <= k)
                bits &= ~std::uint64_t { 0 } << (k - first + 1);
            into.w[word] |= bits;
        }
    };
    for (int i = 1; i < kLoops; ++i) {
        Bits& row = m_pattern[i];
        for (int k = row.next(0); k < i; k = row.next(k + 1))
            orRightOf(row, m_pattern[k], k);
    }

    // Columns that reach far from the diagonal in many rows (the side loops)
    // get a slot of their own per row; the rest of a row is one window.
    std::array<int, kLoops> farRows {};
    for (int r = 0; r < kLoops; ++r) {
        for (int c = m_pattern[r].next(0); c < kLoops; c = m_pattern[r].next(c + 1)) {
            if (std::abs(r - c) > 4)
                ++farRows[c];
        }
    }
    int farCount = 0;
    for (int c = 0; c < kLoops; ++c)
        m_farIndex[c] = farRows[c] > 4 ? farCount++ : -1;

    m_farSlots.assign(static_cast<std::size_t>(kLoops) * farCount, -1);
    int slots = 0;
    for (int r = 0; r < kLoops; ++r) {
        RowLayout& L = m_rows[r];
        L = RowLayout {};
        L.lo = kLoops;
        for (int c = m_pattern[r].next(0); c < kLoops; c = m_pattern[r].next(c + 1)) {
            if (m_farIndex[c] >= 0)
                continue;
            L.lo = std::min(L.lo, c);
            L.hi = std::max(L.hi, c);
        }
        if (L.hi < L.lo) {
            L.lo = 0;
            L.hi = -1;
        }
        L.base = slots;
        slots += L.hi - L.lo + 1;
        L.farBase = r * farCount;
        for (int c = m_pattern[r].next(0); c < kLoops; c = m_pattern[r].next(c + 1)) {
            if (m_farIndex[c] >= 0 && (c < L.lo || c > L.hi))
                m_farSlots[L.farBase + m_farIndex[c]] = slots++;
        }
    }
    m_values.assign(slots, Slot {});
    for (int r = 0; r < kLoops; ++r)
        m_diag[r] = slotOf(r, r);

    // What clear() zeroes, and the fill-in of each row for the solver.
    std::vector<bool> written(static_cast<std::size_t>(slots), false);
    m_fillSlots.clear();
    std::array<int, kLoops + 1> fillBegin {};
    for (int r = 0; r < kLoops; ++r) {
        fillBegin[r] = static_cast<int>(m_fillSlots.size());
        for (int c = m_pattern[r].next(0); c < kLoops; c = m_pattern[r].next(c + 1)) {
            if (stamped[r].test(c))
                written[static_cast<std::size_t>(slotOf(r, c))] = true;
            else
                m_fillSlots.push_back(slotOf(r, c));
        }
    }
    fillBegin[kLoops] = static_cast<int>(m_fillSlots.size());
    m_clearRuns.clear();
    for (int first = 0; first < slots;) {
        if (!written[static_cast<std::size_t>(first)]) {
            ++first;
            continue;
        }
        int end = first + 1;
        while (end < slots && written[static_cast<std::size_t>(end)])
            ++end;
        m_clearRuns.emplace_back(first, end);
        first = end;
    }

    // The elimination plan: per row its pivots in increasing order, each with
    // the updates of the entries right of the pivot.
    m_steps.clear();
    m_ops.clear();
    m_zeroOps.clear();
    std::array<int, kLoops + 1> stepBegin {}; // first step of each row
    for (int i = 1; i < kLoops; ++i) {
        Bits live = stamped[i];
        const Bits& row = m_pattern[i];
        for (int k = row.next(0); k < i; k = row.next(k + 1)) {
            Step step;
            step.row = i;
            step.k = k;
            step.lower = slotOf(i, k);
            step.opBegin = static_cast<int>(m_ops.size());
            step.zeroBegin = static_cast<int>(m_zeroOps.size());
            const Bits& pivotRow = m_pattern[k];
            Bits touched;
            for (std::size_t w = 0; w < touched.w.size(); ++w)
                touched.w[w] = (pivotRow.w[w] | live.w[w]) & row.w[w];
            for (int c = touched.next(k + 1); c < kLoops; c = touched.next(c + 1)) {
                if (pivotRow.test(c))
                    m_ops.push_back({ slotOf(k, c), slotOf(i, c) });
                else if (live.test(c))
                    m_zeroOps.push_back(slotOf(i, c));
            }
            step.opEnd = static_cast<int>(m_ops.size());
            step.zeroEnd = static_cast<int>(m_zeroOps.size());
            if (k == row.next(0)) {
                step.fillBegin = fillBegin[i];
                step.fillEnd = fillBegin[i + 1];
            }
            m_steps.push_back(step);
            orRightOf(live, pivotRow, k);
        }
        stepBegin[i + 1] = static_cast<int>(m_steps.size());
    }

    // The order of the work: rows with long pivot chains (the side loops)
    // take each step as soon as its pivot row is final, the other rows in
    // turn. Each row keeps its own order, so every entry sees the same
    // updates in the same order.
    std::vector<int> chainRows;
    for (int i = 1; i < kLoops; ++i) {
        if (stepBegin[i + 1] - stepBegin[i] > 8)
            chainRows.push_back(i);
    }
    std::array<int, kLoops> cursor;
    for (int i = 0; i < kLoops; ++i)
        cursor[i] = stepBegin[i];
    m_schedule.clear();
    m_schedule.push_back(finishMark(0));
    for (int i = 1; i < kLoops; ++i) {
        for (int row : chainRows) {
            if (row <= i)
                continue;
            for (; cursor[row] < stepBegin[row + 1] && m_steps[cursor[row]].k < i; ++cursor[row])
                m_schedule.push_back(cursor[row]);
        }
        for (; cursor[i] < stepBegin[i + 1]; ++cursor[i])
            m_schedule.push_back(cursor[i]);
        m_schedule.push_back(finishMark(i));
    }

    m_back.clear();
    for (int i = 0; i < kLoops; ++i) {
        m_backBegin[i] = static_cast<int>(m_back.size());
        for (int c = m_pattern[i].next(i + 1); c < kLoops; c = m_pattern[i].next(c + 1))
            m_back.push_back({ c, slotOf(i, c), false });
        std::reverse(m_back.begin() + m_backBegin[i], m_back.end());
        int right = kLoops;
        for (int e = m_backBegin[i]; e < static_cast<int>(m_back.size()); ++e) {
            m_back[e].gapRight = m_back[e].c + 1 < right;
            right = m_back[e].c;
        }
        m_backGapLeft[i] = i + 1 < right;
    }
    m_backBegin[kLoops] = static_cast<int>(m_back.size());
    std::vector<Bits>().swap(m_pattern);
    m_work.resize(1);
    m_missed.fill(false);
    openWindows();
    m_laidOut = std::move(stamped);
}

void SparseNetwork::clear()
{
    // All bits zero is (+0, +0) in every lane. While recording the stamps
    // write no values, so the entries of the previous layout stay as they are.
    if (!m_recording) {
        for (const auto& [first, end] : m_clearRuns)
            std::memset(static_cast<void*>(&m_values[first]), 0, (end - first) * sizeof(Slot));
    }
    std::memset(static_cast<void*>(m_b.data()), 0, m_b.size() * sizeof(Slot));
    m_missed.fill(false);
}

// Lambdas of the solver are inlined into each instruction-set variant.
#define VELUMO_INLINE __attribute__((always_inline))

namespace {

using namespace lanes;
// A batch is up to kParts vectors: independent chains of work that the
// processor overlaps.
constexpr int kParts = kSolveBatch / kVector;
static_assert(kSolveBatch % kVector == 0);

[[gnu::always_inline]] inline bool anyLane(VI mask)
{
    std::int64_t any = 0;
    for (int l = 0; l < kVector; ++l)
        any |= mask[l];
    return any != 0;
}

// All ones where v is finite (v − v is then 0, else NaN).
[[gnu::always_inline]] inline VI finiteMask(V v) { return (VI)(v - v == 0.0); }

[[gnu::always_inline]] inline VI signMask(V v) { return (VI)v < 0; }

} // namespace

// The replay on every lane at once. Lanes whose solve has failed (or that
// hold no point) go on with meaningless numbers, which touch no other lane.
// A pivot step that would skip or fail in some lane but not in all is done
// lane by lane instead.
// Parts: vectors in use, enough for lanes 0..count−1.
template <int Parts> [[gnu::always_inline]] inline void SparseNetwork::solveLanesInline(int count, bool* ok)
{
    Work& w = m_work.front();
    const Op* ops = m_ops.data();
    const int* zeroOps = m_zeroOps.data();
    const int* fillSlots = m_fillSlots.data();
    const Step* steps = m_steps.data();
    const int* diag = m_diag.data();
    Slot* v = m_values.data();

    VI alive[kParts];
    for (int l = 0; l < kSolveBatch; ++l)
        alive[l / kVector][l % kVector] = l < count && !m_missed[l] ? -1 : 0;
    Slot* rhs = m_b.data();

    // One pivot step of row i in a single lane, as the dense solver takes it.
    auto laneStep = [&](int l, int i, const Step& step) {
        const Cx a { v[step.lower].re[l], v[step.lower].im[l] };
        if (isZero(a))
            return;
        const double d = w.den[step.k].v[l];
        if (d == 0.0) {
            alive[l / kVector][l % kVector] = 0;
            return;
        }
        const Cx p { v[diag[step.k]].re[l], v[diag[step.k]].im[l] };
        const Cx q { (a.re * p.re + a.im * p.im) / d, (a.im * p.re - a.re * p.im) / d };
        if (!isFinite(q)) {
            alive[l / kVector][l % kVector] = 0;
            return;
        }
        auto update = [&](Slot& target, Cx by) {
            const Cx t = Cx { target.re[l], target.im[l] } - by;
            target.re[l] = t.re;
            target.im[l] = t.im;
        };
        update(rhs[i], Cx { rhs[step.k].re[l], rhs[step.k].im[l] } * q);
        for (int o = step.opBegin; o < step.opEnd; ++o)
            update(v[ops[o].dst], Cx { v[ops[o].src].re[l], v[ops[o].src].im[l] } * q);
        const Cx zq = Cx {} * q;
        for (int o = step.zeroBegin; o < step.zeroEnd; ++o)
            update(v[zeroOps[o]], zq);
    };

    // target −= src·q in every lane.
    auto update = [&](Slot& target, const Slot& src, const V* qre, const V* qim) VELUMO_INLINE {
        for (int p = 0; p < Parts; ++p) {
            const int at = p * kVector;
            const V sre = load(src.re + at), sim = load(src.im + at);
            store(target.re + at, load(target.re + at) - (sre * qre[p] - sim * qim[p]));
            store(target.im + at, load(target.im + at) - (sim * qre[p] + sre * qim[p]));
        }
    };

    // One pivot step of row i in every lane.
    auto eliminate = [&](int i, const Step& step) VELUMO_INLINE {
        for (int f = step.fillBegin; f < step.fillEnd; ++f) {
            Slot& fill = v[fillSlots[f]];
            for (int p = 0; p < kParts; ++p) {
                store(fill.re + p * kVector, V {});
                store(fill.im + p * kVector, V {});
            }
        }
        V qre[Parts], qim[Parts];
        VI odd {}, takes {};
        for (int p = 0; p < Parts; ++p) {
            const int at = p * kVector;
            const V are = load(v[step.lower].re + at), aim = load(v[step.lower].im + at);
            const Slot& pivot = v[diag[step.k]];
            const V pre = load(pivot.re + at), pim = load(pivot.im + at);
            const V d = load(w.den[step.k].v + at);
            qre[p] = (are * pre + aim * pim) / d;
            qim[p] = (aim * pre - are * pim) / d;
            const VI skip = (VI)(are * are + aim * aim == 0.0);
            odd |= (skip | ~(finiteMask(qre[p]) & finiteMask(qim[p]))) & alive[p];
            takes |= ~skip & alive[p];
        }
        if (anyLane(odd)) {
            if (!anyLane(takes))
                return; // no lane still alive takes this step
            for (int l = 0; l < Parts * kVector; ++l) {
                if (alive[l / kVector][l % kVector])
                    laneStep(l, i, step);
            }
            return;
        }
        update(rhs[i], rhs[step.k], qre, qim);
        for (int o = step.opBegin; o < step.opEnd; ++o)
            update(v[ops[o].dst], v[ops[o].src], qre, qim);
        if (step.zeroBegin == step.zeroEnd)
            return;
        // (+0, +0)·q is the same product for every such entry.
        V zre[Parts], zim[Parts];
        const V zero {};
        for (int p = 0; p < Parts; ++p) {
            zre[p] = zero * qre[p] - zero * qim[p];
            zim[p] = zero * qre[p] + zero * qim[p];
        }
        for (int o = step.zeroBegin; o < step.zeroEnd; ++o) {
            Slot& target = v[zeroOps[o]];
            for (int p = 0; p < Parts; ++p) {
                const int at = p * kVector;
                store(target.re + at, load(target.re + at) - zre[p]);
                store(target.im + at, load(target.im + at) - zim[p]);
            }
        }
    };
    auto finishRow = [&](int i) VELUMO_INLINE {
        const Slot& d = v[diag[i]];
        for (int p = 0; p < Parts; ++p) {
            const int at = p * kVector;
            const V dre = load(d.re + at), dim = load(d.im + at);
            store(w.den[i].v + at, dre * dre + dim * dim);
        }
    };

    for (const int item : m_schedule) {
        if (item < 0)
            finishRow(finishedRow(item));
        else
            eliminate(steps[item].row, steps[item]);
    }

    // Back substitution, x[i] over b[i]: row i reads b[i] and the x of
    // later rows only. The dense solver also subtracts (+0, +0)·x[c] for
    // the entries not stored; such a term is (−0 or +0) in each part, and
    // subtracting −0 turns a −0 of the running sum into +0 while +0 changes
    // nothing. So a gap between stored entries subtracts −0 from a part
    // exactly when some flow of the gap gives −0 there.
    const VI negativeZero = VI {} | std::numeric_limits<std::int64_t>::min();
    for (int p = 0; p < Parts; ++p) {
        storeCounts(w.negRe[kLoops].v + p * kVector, VI {});
        storeCounts(w.negIm[kLoops].v + p * kVector, VI {});
    }
    for (int i = kLoops - 1; i >= 0; --i) {
        for (int p = 0; p < Parts; ++p) {
            const int at = p * kVector;
            // Columns from..to−1 hold no stored entry.
            auto subtractGap = [&](V& sre, V& sim, int from, int to) VELUMO_INLINE {
                const VI gapRe = loadCounts(w.negRe[from].v + at) != loadCounts(w.negRe[to].v + at);
                const VI gapIm = loadCounts(w.negIm[from].v + at) != loadCounts(w.negIm[to].v + at);
                sre = sre - (V)(gapRe & negativeZero);
                sim = sim - (V)(gapIm & negativeZero);
            };
            V sre = load(rhs[i].re + at), sim = load(rhs[i].im + at);
            int right = kLoops;
            for (int e = m_backBegin[i]; e < m_backBegin[i + 1]; ++e) {
                const BackEntry& entry = m_back[e];
                if (entry.gapRight)
                    subtractGap(sre, sim, entry.c + 1, right);
                const Slot& m = v[entry.slot];
                const V mre = load(m.re + at), mim = load(m.im + at);
                const V xre = load(rhs[entry.c].re + at), xim = load(rhs[entry.c].im + at);
                sre = sre - (mre * xre - mim * xim);
                sim = sim - (mim * xre + mre * xim);
                right = entry.c;
            }
            if (m_backGapLeft[i])
                subtractGap(sre, sim, i + 1, right);
            const Slot& d = v[diag[i]];
            const V dre = load(d.re + at), dim = load(d.im + at);
            const V den = dre * dre + dim * dim;
            V xre = (sre * dre + sim * dim) / den;
            V xim = (sim * dre - sre * dim) / den;
            const VI failed = ((VI)(den == 0.0) | ~(finiteMask(xre) & finiteMask(xim))) & alive[p];
            alive[p] &= ~failed;
            xre = (V)((VI)xre & ~failed);
            xim = (V)((VI)xim & ~failed);
            store(rhs[i].re + at, xre);
            store(rhs[i].im + at, xim);
            const VI reNegative = signMask(xre), imNegative = signMask(xim);
            storeCounts(w.negRe[i].v + at, loadCounts(w.negRe[i + 1].v + at) - (reNegative & ~imNegative));
            storeCounts(w.negIm[i].v + at, loadCounts(w.negIm[i + 1].v + at) - (reNegative & imNegative));
        }
    }

    // Each lane's flows as (re, im) pairs: four lanes' parts interleaved
    // give two lanes' pairs per vector.
    for (int i = 0; i < kLoops; ++i) {
        for (int p = 0; p < Parts; ++p) {
            const int at = p * kVector;
            const V re = load(rhs[i].re + at), im = load(rhs[i].im + at);
            const V evenLanes = __builtin_shufflevector(re, im, 0, 4, 2, 6);
            const V oddLanes = __builtin_shufflevector(re, im, 1, 5, 3, 7);
            m_lanes[at].x[i] = Cx { evenLanes[0], evenLanes[1] };
            m_lanes[at + 1].x[i] = Cx { oddLanes[0], oddLanes[1] };
            m_lanes[at + 2].x[i] = Cx { evenLanes[2], evenLanes[3] };
            m_lanes[at + 3].x[i] = Cx { oddLanes[2], oddLanes[3] };
        }
    }
    for (int l = 0; l < count; ++l)
        ok[l] = alive[l / kVector][l % kVector] != 0;
}

// One vector for up to four points, all of them otherwise.
[[gnu::always_inline]] inline void SparseNetwork::solveLanesSized(int count, bool* ok)
{
    if (count <= kVector)
        solveLanesInline<1>(count, ok);
    else
        solveLanesInline<kParts>(count, ok);
}

#if defined(__GNUC__) && defined(__x86_64__)
__attribute__((target("avx2"))) void SparseNetwork::solveLanesAvx2(int count, bool* ok)
{
    solveLanesSized(count, ok);
}

void SparseNetwork::solveLanes(int count, bool* ok)
{
#ifdef CPU_FEATURE_ACTIVE
    // The C library has asked the processor already; __builtin_cpu_supports
    // would ask again at every start, which a virtual machine makes slow.
    static const bool avx2 = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool avx2 = __builtin_cpu_supports("avx2");
#endif
    if (avx2)
        solveLanesAvx2(count, ok);
    else
        solveLanesSized(count, ok);
}
#else
void SparseNetwork::solveLanes(int count, bool* ok) { solveLanesSized(count, ok); }
#endif

bool solve(SparseNetwork& net)
{
    bool ok = false;
    solveBatch(net, 1, &ok);
    return ok;
}

void solveBatch(SparseNetwork& net, int count, bool* ok)
{
    if (net.m_values.empty()) { // never laid out
        for (int l = 0; l < count; ++l)
            ok[l] = false;
        return;
    }
    net.solveLanes(count, ok);
}

} // namespace velumo
