#pragma once
// Per-frequency element values and the stamps of every loop of the network.
// The run-wide values come from the Model; everything here is recomputed at
// each frequency point and written into a cleared LoopNetwork.

#include <array>

#include "Complex.h"
#include "Crossover.h"
#include "LoopNetwork.h"
#include "Model.h"
#include "SparseNetwork.h"

namespace velumo {

// The chamber slices of a point: the two sides of a shared compliance take
// the same bits.
struct FrontChamber {
    Cx zvk;    // compliance of one of 50 slices
    Cx twoZvk; // 2·Zvk, formed with 100·kappa·p0 in the numerator
    Cx mvk;    // mass and damping of one slice
};
struct RearChamber {
    Cx zrk, twoZrk, mrk; // rear chamber slices
    Cx zbr, mbr;         // port slices
};

// Element values of one frequency point (SI units, acoustic ohms for the
// acoustic elements, ohms for the electrical ones).
struct PointValues {
    double f = 0;     // Hz
    double omega = 0; // rad/s
    double k = 0;     // 1/m
    Cx jwr;           // j·omega·rho
    Cx L1, L2;        // complex voice-coil inductances, H
    CrossoverBranches xo;
    Cx zm1, zm2; // mechanical impedances of the moving systems, N·s/m
    Cx zradMouth, zradM2, zradPort, zradET;
    // Left as they are by a plain declaration: pointValues writes every node,
    // and a batch of points need not clear them first.
    std::array<double, kHornNodes> R;                   // horn segment damping
    std::array<Cx, kHornNodes> zc;                      // node compliances ((kappa·p0 / j) / omega) / A / dx
    std::array<Cx, kHornNodes> zseg;                    // segment impedances R + dx·j·omega·rho / A
    double rvk = 0, rrk = 0, rbr = 0, rak = 0, ret = 0; // chamber, port and tunnel damping
    FrontChamber fc; // from the values above, once for the stamps that share them
    RearChamber rc;
};

// How the piston functions are evaluated: each series in full (the literal
// reference) or through pistonParts (the same bits, faster).
enum class SeriesEvaluation { Literal, Fast };

// Radiation impedance of a rigid circular piston of radius r (m) and area
// S (m²) in an infinite baffle at wave number k.
Cx radiationImpedance(double k, double r, double S, SeriesEvaluation series = SeriesEvaluation::Literal);

// From now on the calling thread keeps the radiation impedances it computes
// the fast way and takes them again for the same k, r and S: a sweep, the
// live mode or the optimiser runs the same radiators at the same
// frequencies design after design. The same bits as computing them anew.
void keepRadiationImpedances();

// Every element value of frequency f, in the fixed order: inductances,
// filter branches, mechanical impedances, radiation, segment damping,
// chamber damping.
PointValues pointValues(const Model& model, const CrossoverInput& xo, double f,
    SeriesEvaluation series = SeriesEvaluation::Literal);
// The same into `pv`, every field written.
void pointValues(PointValues& pv, const Model& model, const CrossoverInput& xo, double f,
    SeriesEvaluation series = SeriesEvaluation::Literal);

// Compliance of horn node i: ((kappa·p0 / j) / omega) / A[i] / dx.
Cx hornNodeCompliance(const Model& model, const PointValues& pv, int node);

// Rows first..last of a chain with one entry left of the diagonal, one on
// it and one right of it in every row: the chamber and port slices (the
// same three values in every row) or the horn segments (from the nodes of
// a point).
struct RowChain {
    int first = 0;
    int last = -1;
    Cx off, diag;                      // slices
    const PointValues* horn = nullptr; // segments: kLoopHornFirst + s is segment s
};
struct ChainRow {
    Cx lower, diag, upper;
};
inline ChainRow chainRow(const RowChain& chain, int r)
{
    if (!chain.horn)
        return { chain.off, chain.diag, chain.off };
    const PointValues& pv = *chain.horn;
    const int s = r - kLoopHornFirst;
    return { -pv.zc[s], pv.zc[s + 1] + pv.zc[s] + pv.zseg[s], -pv.zc[s + 1] };
}

// The chains one stamp group writes into the lanes of a batch, kept until
// the group is done: then each row's slots are found once for all lanes.
struct ChainBatch {
    static constexpr int kPerGroup = 2;
    int lane = 0; // the lane being stamped
    std::array<std::array<RowChain, kPerGroup>, kSolveBatch> chains {};
    std::array<int, kSolveBatch> count {};
};

template <class Net> void stampChain(Net& net, const RowChain& chain)
{
    for (int r = chain.first; r <= chain.last; ++r) {
        const ChainRow v = chainRow(chain, r);
        net.M[r][r - 1] = v.lower;
        net.M[r][r] = v.diag;
        net.M[r][r + 1] = v.upper;
    }
}
// A lane of a batch that stampLanes stamps keeps the chain for later.
void stampChain(SparseNetwork::Lane& lane, const RowChain& chain);

// The stamps write into either network form: LoopNetwork (the dense
// reference) or a lane of SparseNetwork (the program's own), with the same
// values.

// Clears the network and writes every stamp of loops 0..261 in order:
// driver 1's filter, driver 1 with front chamber and horn, mouth, absorber
// chamber, driver 2, rear chamber and port, extra tunnel.
template <class Net> void stampNetwork(Net& net, const Model& model, const PointValues& pv);
// The same into lane 0 (every lane cleared).
void stampNetwork(SparseNetwork& net, const Model& model, const PointValues& pv);
// The same into one lane of a batch the caller has cleared.
void stampLane(SparseNetwork::Lane& lane, const Model& model, const PointValues& pv);

// Lanes 0..count−1 of a batch the caller has cleared, each lane getting the
// stamps of stampNetwork in their order. One group of rows is stamped in
// every lane while those rows are in the cache; the horn and the rear
// chamber with port are too large for that in one.
void stampLanes(SparseNetwork& net, const Model& model, const PointValues* pv, int count);

// Which rows of the horn (throat with the first half of the segments, or the
// rest) or of the rear chamber (the chamber, or the port) a call writes.
enum class Rows { All, FirstHalf, SecondHalf };

// The element groups, each writing its own rows (called by stampNetwork).
template <class Net> void stampDriver1(Net& net, const Model& model, const PointValues& pv);
template <class Net>
void stampHorn(Net& net, const Model& model, const PointValues& pv, Rows rows = Rows::All);
template <class Net> void stampMouth(Net& net, const Model& model, const PointValues& pv);
template <class Net> void stampAbsorber(Net& net, const Model& model, const PointValues& pv);
template <class Net> void stampDriver2(Net& net, const Model& model, const PointValues& pv);
template <class Net>
void stampRearChamberAndPort(Net& net, const Model& model, const PointValues& pv, Rows rows = Rows::All);
template <class Net> void stampExtraTunnel(Net& net, const Model& model, const PointValues& pv);

} // namespace velumo
