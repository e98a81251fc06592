#include "Stamps.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "Constants.h"
#include "DriverModel.h"
#include "Enclosure.h"
#include "LaneVector.h"
#include "SideBranch.h"
#include "SparseNetwork.h"
#include "SpecialFunctions.h"

namespace velumo {

namespace {

// The last two impedances of each of 1024 sets, a set chosen by the bits of
// k, r and S; a new one replaces the one of its set used less recently.
class RadiationMemo {
public:
    template <class Compute> Cx get(double k, double r, double S, Compute compute)
    {
        const Key key { std::bit_cast<std::uint64_t>(k), std::bit_cast<std::uint64_t>(r),
            std::bit_cast<std::uint64_t>(S) };
        const std::uint64_t mixed
            = key.k * 0x9E3779B97F4A7C15u ^ key.r * 0xC2B2AE3D27D4EB4Fu ^ key.s * 0x165667B19E3779F9u;
        const std::size_t set = mixed >> (64 - kSetBits);
        Entry* ways = &m_entries[2 * set];
        for (int w = 0; w < 2; ++w) {
            if (ways[w].filled && ways[w].key == key) {
                m_older[set] = static_cast<std::uint8_t>(1 - w);
                return ways[w].z;
            }
        }
        const int w = m_older[set];
        ways[w] = Entry { key, compute(), true };
        m_older[set] = static_cast<std::uint8_t>(1 - w);
        return ways[w].z;
    }

private:
    struct Key {
        std::uint64_t k = 0, r = 0, s = 0;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        Cx z;
        bool filled = false;
    };
    static constexpr int kSetBits = 10;
    std::array<Entry, 2 << kSetBits> m_entries {};
    std::array<std::uint8_t, 1 << kSetBits> m_older {};
};

thread_local std::unique_ptr<RadiationMemo> t_radiationMemo;

Cx computeRadiationImpedance(double k, double r, double S, SeriesEvaluation series)
{
    const double x = 2.0 * k * r;
    PistonParts piston;
    if (series == SeriesEvaluation::Fast) {
        piston = pistonParts(x);
    } else {
        piston.r = pistonR(x);
        piston.x = pistonX(x);
    }
    const Cx z = (1.0 - piston.r) + (j * piston.x) / (k * r);
    return kRho * kC / S * z;
}

} // namespace

Cx radiationImpedance(double k, double r, double S, SeriesEvaluation series)
{
    if (series == SeriesEvaluation::Fast && t_radiationMemo)
        return t_radiationMemo->get(k, r, S, [&] { return computeRadiationImpedance(k, r, S, series); });
    return computeRadiationImpedance(k, r, S, series);
}

void keepRadiationImpedances()
{
    if (!t_radiationMemo)
        t_radiationMemo = std::make_unique<RadiationMemo>();
}

namespace {

bool isPositiveZero(double v) { return v == 0.0 && !std::signbit(v); }

} // namespace

PointValues pointValues(const Model& model, const CrossoverInput& xo, double f, SeriesEvaluation series)
{
    PointValues pv;
    pointValues(pv, model, xo, f, series);
    return pv;
}

void pointValues(
    PointValues& pv, const Model& model, const CrossoverInput& xo, double f, SeriesEvaluation series)
{
    pv.f = f;
    pv.omega = 2.0 * kPi * f;
    pv.k = pv.omega / kC;
    pv.jwr = j * pv.omega * kRho;

    const auto toCx = [](ComplexParts p) { return Cx { p.re, p.im }; };
    pv.L1 = toCx(voiceCoilInductance(model.d1, f));
    pv.L2 = toCx(voiceCoilInductance(model.d2, f));

    CrossoverContext ctx;
    ctx.omega = pv.omega;
    ctx.rdc1 = model.d1.rdc;
    ctx.rdcBoxValue = model.rdcBoxValue;
    ctx.n = model.n;
    ctx.driver2Present = model.driver2Mode != Driver2Mode::None;
    pv.xo = crossoverBranches(xo, ctx);

    pv.zm1 = toCx(mechanicalImpedance(model.d1, pv.omega));
    pv.zm2 = toCx(mechanicalImpedance(model.d2, pv.omega));

    const HornModel& h = model.horn;
    const EnclosureModel& e = model.encl;
    pv.zradMouth = radiationImpedance(pv.k, h.rMouth, h.a[100], series);
    // A closed chamber behind driver 2 leaves nothing to radiate.
    pv.zradM2 = e.rk2Checked ? Cx {} : radiationImpedance(pv.k, model.r2, model.d2.sd, series);
    pv.zradPort = radiationImpedance(pv.k, e.rBR, e.abr, series);
    pv.zradET = radiationImpedance(pv.k, e.rET, e.aet, series);

    // (kappa·p0 / j) / omega and j·omega·rho have +0 as re part at every
    // frequency, so the re parts of the node compliances and segment masses
    // are the same numbers all run long; the fast path takes them from the
    // run, together with the frequency-free start of the damping.
    const Cx perArea = (Cx { kKappaP0 } / j) / pv.omega;
    const bool fromRun
        = series == SeriesEvaluation::Fast && isPositiveZero(perArea.re) && isPositiveZero(pv.jwr.re);
    if (fromRun) {
        // Plain loops over the nodes, which the compiler turns into vector code.
        for (int i = 0; i < kHornNodes; ++i)
            pv.R[i] = h.dampingBase[i] * pv.omega / 628.0;
        for (int i = 0; i < kHornNodes; ++i)
            pv.zc[i] = Cx { h.complianceRe[i], perArea.im / h.a[i] / h.dx };
        for (int i = 0; i < kHornNodes; ++i)
            pv.zseg[i] = Cx { pv.R[i] + h.massRe[i], h.dx * pv.jwr.im / h.a[i] };
    } else {
        for (int i = 0; i < kHornNodes; ++i) {
            pv.R[i] = (h.beta1 + (h.beta2 - h.beta1) * h.x[i] / h.l1) * h.dx / h.a[i] * pv.omega / 628.0;
            pv.zc[i] = perArea / h.a[i] / h.dx;
            pv.zseg[i] = pv.R[i] + h.dx * pv.jwr / h.a[i];
        }
    }

    const DampingResistances d = dampingResistances(e, pv.omega);
    pv.rvk = d.Rvk;
    pv.rrk = d.Rrk;
    pv.rbr = d.Rbr;
    pv.rak = d.RAK;
    pv.ret = d.RET;
    pv.fc = frontChamber(model, pv);
    pv.rc = rearChamber(model, pv);
}

Cx hornNodeCompliance(const Model& model, const PointValues& pv, int node)
{
    return ((Cx { kKappaP0 } / j) / pv.omega) / model.horn.a[node] / model.horn.dx;
}

namespace {

// Every stamp group in order; `group` gets one callable per group, which
// stamps a network with the values of a point.
template <class Net, class Group> void stampGroups(const Model& model, Group group)
{
    group([&](Net& n, const PointValues& p) { stampCrossover1(n, p.xo, model.ue); });
    group([&](Net& n, const PointValues& p) { stampDriver1(n, model, p); });
    group([&](Net& n, const PointValues& p) { stampHorn(n, model, p, Rows::FirstHalf); });
    group([&](Net& n, const PointValues& p) { stampHorn(n, model, p, Rows::SecondHalf); });
    group([&](Net& n, const PointValues& p) { stampMouth(n, model, p); });
    group([&](Net& n, const PointValues& p) { stampAbsorber(n, model, p); });
    group([&](Net& n, const PointValues& p) { stampDriver2(n, model, p); });
    group([&](Net& n, const PointValues& p) { stampRearChamberAndPort(n, model, p, Rows::FirstHalf); });
    group([&](Net& n, const PointValues& p) { stampRearChamberAndPort(n, model, p, Rows::SecondHalf); });
    group([&](Net& n, const PointValues& p) { stampExtraTunnel(n, model, p); });
}

template <class Net> void stampElements(Net& net, const Model& model, const PointValues& pv)
{
    stampGroups<Net>(model, [&](auto stamp) { stamp(net, pv); });
}

} // namespace

template <class Net> void stampNetwork(Net& net, const Model& model, const PointValues& pv)
{
    net.clear();
    stampElements(net, model, pv);
}

template void stampNetwork(LoopNetwork&, const Model&, const PointValues&);

void stampNetwork(SparseNetwork& net, const Model& model, const PointValues& pv)
{
    net.clear();
    stampElements(net.lane(0), model, pv);
}

void stampLane(SparseNetwork::Lane& lane, const Model& model, const PointValues& pv)
{
    stampElements(lane, model, pv);
}

void stampChain(SparseNetwork::Lane& lane, const RowChain& chain)
{
    ChainBatch* batch = lane.chains;
    if (!batch || batch->count[batch->lane] == ChainBatch::kPerGroup) {
        stampChain<SparseNetwork::Lane>(lane, chain);
        return;
    }
    batch->chains[batch->lane][batch->count[batch->lane]++] = chain;
}

namespace {

// Lane values of one quantity, laid out as a slot holds them.
struct LaneCx {
    alignas(64) double re[kSolveBatch];
    alignas(64) double im[kSolveBatch];
};

using lanes::kVector;
using lanes::load;
using lanes::store;
// A Cx's two parts with one load.
using Pair = double __attribute__((vector_size(2 * sizeof(double))));
[[gnu::always_inline]] inline Pair loadPair(const double* p)
{
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Row r of a chain into its three slots, every lane's values given.
void putRow(double* lower, double* diag, double* upper, const LaneCx& lo, const LaneCx& d, const LaneCx& up)
{
    for (int m = 0; m < kSolveBatch; m += kVector) {
        store(lower + m, load(lo.re + m));
        store(lower + kSolveBatch + m, load(lo.im + m));
        store(diag + m, load(d.re + m));
        store(diag + kSolveBatch + m, load(d.im + m));
        store(upper + m, load(up.re + m));
        store(upper + kSolveBatch + m, load(up.im + m));
    }
}

// The kept chains of the lanes, row by row. The lanes share one model, so
// they have the same chains with their own values; lanes past `count` hold
// no point and get lane 0's values.
void writeChains(SparseNetwork& net, ChainBatch& batch, int count)
{
    for (int i = 0; i < batch.count[0]; ++i) {
        std::array<const RowChain*, kSolveBatch> lane;
        for (int m = 0; m < kSolveBatch; ++m)
            lane[m] = &batch.chains[m < count ? m : 0][i];
        const int first = lane[0]->first;
        const int last = lane[0]->last;
        const bool horn = lane[0]->horn != nullptr;

        // Slices: the same three values in every row. Horn: the nodes of
        // every lane side by side, node s at s − s0 (s = r − kLoopHornFirst).
        const int s0 = first - kLoopHornFirst;
        LaneCx off {}, slice {};
        std::array<LaneCx, kHornNodes> zc, zseg;
        for (int m = 0; m < kSolveBatch; ++m) {
            if (!horn) {
                off.re[m] = lane[m]->off.re;
                off.im[m] = lane[m]->off.im;
                slice.re[m] = lane[m]->diag.re;
                slice.im[m] = lane[m]->diag.im;
                continue;
            }
            const PointValues& pv = *lane[m]->horn;
            for (int s = s0; s <= last - kLoopHornFirst + 1; ++s) {
                const Pair c = loadPair(&pv.zc[s].re);
                const Pair g = loadPair(&pv.zseg[s].re);
                zc[s - s0].re[m] = c[0];
                zc[s - s0].im[m] = c[1];
                zseg[s - s0].re[m] = g[0];
                zseg[s - s0].im[m] = g[1];
            }
        }

        for (int r = first; r <= last; ++r) {
            double* lower = net.windowEntry(r, r - 1);
            double* diag = net.windowEntry(r, r);
            double* upper = net.windowEntry(r, r + 1);
            if (!(lower && diag && upper)) { // a side loop's column kept apart from the row's window
                for (int m = 0; m < count; ++m) {
                    RowChain row = *lane[m];
                    row.first = row.last = r;
                    stampChain<SparseNetwork::Lane>(net.lane(m), row);
                }
                continue;
            }
            if (!horn) {
                putRow(lower, diag, upper, off, slice, off);
                continue;
            }
            // As chainRow: −zc[s], zc[s + 1] + zc[s] + zseg[s], −zc[s + 1].
            const int s = r - kLoopHornFirst - s0;
            for (int m = 0; m < kSolveBatch; m += kVector) {
                for (int part = 0; part < 2; ++part) {
                    const int at = part * kSolveBatch + m;
                    const lanes::V here = load((part ? zc[s].im : zc[s].re) + m);
                    const lanes::V next = load((part ? zc[s + 1].im : zc[s + 1].re) + m);
                    const lanes::V segment = load((part ? zseg[s].im : zseg[s].re) + m);
                    store(lower + at, -here);
                    store(diag + at, next + here + segment);
                    store(upper + at, -next);
                }
            }
        }
    }
    batch.count.fill(0);
}

} // namespace

void stampLanes(SparseNetwork& net, const Model& model, const PointValues* pv, int count)
{
    // The lanes point at the batch only while it lives, however this ends.
    struct Keeping {
        SparseNetwork& net;
        int count;
        ~Keeping()
        {
            for (int m = 0; m < count; ++m)
                net.lane(m).chains = nullptr;
        }
    } keeping { net, count };
    ChainBatch batch;
    for (int m = 0; m < count; ++m)
        net.lane(m).chains = &batch;
    stampGroups<SparseNetwork::Lane>(model, [&](auto stamp) {
        for (int m = 0; m < count; ++m) {
            batch.lane = m;
            stamp(net.lane(m), pv[m]);
        }
        writeChains(net, batch, count);
    });
}

} // namespace velumo
