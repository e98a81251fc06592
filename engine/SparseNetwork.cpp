#include "SparseNetwork.h"

#include <algorithm>
#include <bit>
#include <cmath>

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

void SparseNetwork::beginPattern()
{
    m_pattern.assign(kLoops, Bits{});
    m_recording = true;
}

int SparseNetwork::slotOf(int r, int c) const
{
    const RowLayout& L = m_rows[r];
    if (c >= L.lo && c <= L.hi)
        return L.base + c - L.lo;
    const int f = m_farIndex[c];
    return f < 0 ? -1 : m_farSlots[L.farBase + f];
}

void SparseNetwork::endPattern()
{
    m_recording = false;
    m_plan = this;
    for (int r = 0; r < kLoops; ++r)
        m_pattern[r].set(r);
    const std::vector<Bits> stamped = m_pattern;

    // Fill-in: row k, once eliminated, spreads its right-hand part into every
    // later row with an entry in column k.
    auto orRightOf = [](Bits& into, const Bits& from, int k) {
        for (int word = 0; word < static_cast<int>(into.w.size()); ++word) {
            std::uint64_t bits = from.w[word];
            const int first = word * 64;
            if (first + 63 <= k)
                continue;
            if (first <= k)
                bits &= ~std::uint64_t{0} << (k - first + 1);
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
    std::array<int, kLoops> farRows{};
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
        L = RowLayout{};
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
    m_values.assign(slots, Cx{});
    for (int r = 0; r < kLoops; ++r)
        m_diag[r] = slotOf(r, r);

    // The elimination plan: per row its pivots in increasing order, each with
    // the updates of the entries right of the pivot.
    m_steps.clear();
    m_ops.clear();
    m_zeroOps.clear();
    m_stepBegin[0] = 0;
    m_stepBegin[1] = 0;
    for (int i = 1; i < kLoops; ++i) {
        Bits live = stamped[i];
        const Bits& row = m_pattern[i];
        for (int k = row.next(0); k < i; k = row.next(k + 1)) {
            Step step;
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
                    m_ops.push_back({slotOf(k, c), slotOf(i, c)});
                else if (live.test(c))
                    m_zeroOps.push_back(slotOf(i, c));
            }
            step.opEnd = static_cast<int>(m_ops.size());
            step.zeroEnd = static_cast<int>(m_zeroOps.size());
            m_steps.push_back(step);
            orRightOf(live, pivotRow, k);
        }
        m_stepBegin[i + 1] = static_cast<int>(m_steps.size());
    }

    m_chainRows.clear();
    for (int i = 1; i < kLoops; ++i) {
        if (m_stepBegin[i + 1] - m_stepBegin[i] > 8)
            m_chainRows.push_back(i);
    }

    m_back.clear();
    for (int i = 0; i < kLoops; ++i) {
        m_backBegin[i] = static_cast<int>(m_back.size());
        for (int c = m_pattern[i].next(i + 1); c < kLoops; c = m_pattern[i].next(c + 1))
            m_back.push_back({c, slotOf(i, c)});
        std::reverse(m_back.begin() + m_backBegin[i], m_back.end());
    }
    m_backBegin[kLoops] = static_cast<int>(m_back.size());
    std::vector<Bits>().swap(m_pattern);
    m_missed = false;
}

void SparseNetwork::adoptPattern(const SparseNetwork& other)
{
    m_recording = false;
    m_missed = false;
    m_values.assign(other.m_values.size(), Cx{});
    m_plan = other.m_plan;
}

void SparseNetwork::clear()
{
    std::fill(m_values.begin(), m_values.end(), Cx{});
    b.fill(Cx{});
    m_missed = false;
}

namespace {

bool isNegativeZero(double v) { return v == 0.0 && std::signbit(v); }

} // namespace

// The replay on N networks of one pattern at once (N frequency points): the
// lanes are independent, and interleaving them lets the processor overlap
// their long chains of dependent divisions. ok[lane] as solve() would return.
template <int N>
void SparseNetwork::solveLanes(SparseNetwork* const* nets, bool* ok)
{
    const SparseNetwork& plan = *nets[0]->m_plan;
    const SparseNetwork::Op* ops = plan.m_ops.data();
    const int* zeroOps = plan.m_zeroOps.data();
    const SparseNetwork::Step* steps = plan.m_steps.data();
    const int* diag = plan.m_diag.data();

    Cx* v[N];
    std::array<double, kLoops> den[N]; // |M[k][k]|² as the quotient forms it
    bool alive[N];
    for (int l = 0; l < N; ++l) {
        v[l] = nets[l]->m_values.data();
        alive[l] = !nets[l]->m_missed && !nets[l]->m_values.empty(); // empty: never prepared
    }
    std::array<int, kLoops> cursor; // next step of each row
    for (int i = 0; i < kLoops; ++i)
        cursor[i] = plan.m_stepBegin[i];

    // One pivot step of row i in every lane still alive.
    auto eliminate = [&](int i, const SparseNetwork::Step& step) {
        Cx q[N];
        bool active[N];
        for (int l = 0; l < N; ++l) {
            active[l] = false;
            if (!alive[l])
                continue;
            const Cx a = v[l][step.lower];
            if (isZero(a))
                continue;
            const double d = den[l][step.k];
            if (d == 0.0) {
                alive[l] = false;
                continue;
            }
            const Cx p = v[l][diag[step.k]];
            q[l] = Cx{(a.re * p.re + a.im * p.im) / d, (a.im * p.re - a.re * p.im) / d};
            if (!isFinite(q[l])) {
                alive[l] = false;
                continue;
            }
            Cx& bi = nets[l]->b[i];
            bi = bi - nets[l]->b[step.k] * q[l];
            active[l] = true;
        }
        bool all = true;
        for (int l = 0; l < N; ++l)
            all = all && active[l];
        // (+0, +0)·q is the same product for every such entry.
        Cx zq[N];
        for (int l = 0; l < N; ++l)
            zq[l] = active[l] ? Cx{} * q[l] : Cx{};
        if (all) {
            for (int o = step.opBegin; o < step.opEnd; ++o) {
                const SparseNetwork::Op op = ops[o];
                for (int l = 0; l < N; ++l)
                    v[l][op.dst] = v[l][op.dst] - v[l][op.src] * q[l];
            }
            for (int o = step.zeroBegin; o < step.zeroEnd; ++o) {
                for (int l = 0; l < N; ++l)
                    v[l][zeroOps[o]] = v[l][zeroOps[o]] - zq[l];
            }
            return;
        }
        for (int l = 0; l < N; ++l) {
            if (!active[l])
                continue;
            for (int o = step.opBegin; o < step.opEnd; ++o)
                v[l][ops[o].dst] = v[l][ops[o].dst] - v[l][ops[o].src] * q[l];
            for (int o = step.zeroBegin; o < step.zeroEnd; ++o)
                v[l][zeroOps[o]] = v[l][zeroOps[o]] - zq[l];
        }
    };
    auto finishRow = [&](int i) {
        for (int l = 0; l < N; ++l) {
            if (!alive[l])
                continue;
            const Cx d = v[l][diag[i]];
            den[l][i] = d.re * d.re + d.im * d.im;
        }
    };

    finishRow(0);
    for (int i = 1; i < kLoops; ++i) {
        // Rows with long pivot chains (the side loops) take their steps as
        // soon as the pivot row is final; each row keeps its own order, so
        // every entry sees the same updates in the same order.
        for (int j : plan.m_chainRows) {
            if (j <= i)
                continue;
            for (; cursor[j] < plan.m_stepBegin[j + 1] && steps[cursor[j]].k < i; ++cursor[j])
                eliminate(j, steps[cursor[j]]);
        }
        for (; cursor[i] < plan.m_stepBegin[i + 1]; ++cursor[i])
            eliminate(i, steps[cursor[i]]);
        finishRow(i);
    }

    // negRe[c] / negIm[c]: how many flows c' >= c make the real / imaginary
    // part of (+0, +0)·x[c'] come out as −0.
    std::array<int, kLoops + 1> negRe[N];
    std::array<int, kLoops + 1> negIm[N];
    for (int l = 0; l < N; ++l) {
        negRe[l][kLoops] = 0;
        negIm[l][kLoops] = 0;
    }
    auto zeroTerms = [&](int l, Cx& s, int from, int to) { // columns from..to−1
        if (isNegativeZero(s.re) && negRe[l][from] != negRe[l][to])
            s.re = 0.0;
        if (isNegativeZero(s.im) && negIm[l][from] != negIm[l][to])
            s.im = 0.0;
    };
    for (int i = kLoops - 1; i >= 0; --i) {
        Cx s[N];
        for (int l = 0; l < N; ++l)
            s[l] = nets[l]->b[i];
        int right = kLoops;
        for (int e = plan.m_backBegin[i]; e < plan.m_backBegin[i + 1]; ++e) {
            const SparseNetwork::BackEntry& entry = plan.m_back[e];
            for (int l = 0; l < N; ++l) {
                if (!alive[l])
                    continue;
                zeroTerms(l, s[l], entry.c + 1, right);
                s[l] = s[l] - v[l][entry.slot] * nets[l]->x[entry.c];
            }
            right = entry.c;
        }
        for (int l = 0; l < N; ++l) {
            if (!alive[l])
                continue;
            zeroTerms(l, s[l], i + 1, right);
            const Cx d = v[l][diag[i]];
            Cx& xi = nets[l]->x[i];
            if (isZero(d)) {
                alive[l] = false;
                xi = Cx{};
                continue;
            }
            xi = s[l] / d;
            if (!isFinite(xi)) {
                alive[l] = false;
                xi = Cx{};
                continue;
            }
            const bool reSign = std::signbit(xi.re);
            negRe[l][i] = negRe[l][i + 1] + (reSign && !std::signbit(xi.im) ? 1 : 0);
            negIm[l][i] = negIm[l][i + 1] + (reSign && std::signbit(xi.im) ? 1 : 0);
        }
    }
    for (int l = 0; l < N; ++l)
        ok[l] = alive[l];
}

bool solve(SparseNetwork& net)
{
    SparseNetwork* nets[1] = {&net};
    bool ok[1];
    SparseNetwork::solveLanes<1>(nets, ok);
    return ok[0];
}

void solveBatch(SparseNetwork* nets, int count, bool* ok)
{
    static_assert(kSolveBatch == 2, "one solver instance per batch size");
    SparseNetwork* lanes[kSolveBatch] = {&nets[0], count > 1 ? &nets[1] : &nets[0]};
    if (count == 2)
        SparseNetwork::solveLanes<2>(lanes, ok);
    else if (count == 1)
        SparseNetwork::solveLanes<1>(lanes, ok);
}

} // namespace velumo
