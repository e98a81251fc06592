#include "Crossover.h"

#include "LoopNetwork.h"
#include "SparseNetwork.h"

namespace velumo {

namespace {

// R + L·jω + 1/(jωC), with the capacitor term as (invC / j) / ω.
Cx seriesChain(const CrossoverInput& xo, int p, double omega)
{
    return xo.R[p] + xo.L[p] * (omega * j) + (Cx { xo.invC[p] } / j) / omega;
}

// Position 5: R, L and C in parallel; nothing given means a plain wire.
Cx parallelPosition5(const CrossoverInput& xo, const CrossoverContext& ctx)
{
    const Cx open { ctx.rdc1 * 1e9 };
    Cx z = open;
    if (xo.invC[5] != 0.0)
        z = (Cx { xo.invC[5] } / j) / ctx.omega;
    if (xo.L[5] != 0.0) {
        const Cx zl = (ctx.omega * j) * xo.L[5];
        z = (z * zl) / (zl + z);
    }
    if (xo.R[5] != 0.0)
        z = (xo.R[5] * z) / (xo.R[5] + z);
    if (z == open)
        z = Cx {};
    return z;
}

// Positions 7, 8, 9: three series chains in parallel.
Cx parallelChains789(const CrossoverInput& xo, const CrossoverContext& ctx)
{
    const Cx open { ctx.rdc1 * 1e9 };
    std::array<Cx, 3> br {};
    for (int m = 7; m <= 9; ++m) {
        Cx b {};
        if (xo.invC[m] != 0.0)
            b = (Cx { xo.invC[m] } / j) / ctx.omega;
        if (xo.L[m] != 0.0)
            b = b + (ctx.omega * j) * xo.L[m];
        if (xo.R[m] != 0.0)
            b = b + xo.R[m];
        if (b == Cx {})
            b = open;
        br[m - 7] = b;
    }
    if (br[0] == open && br[1] == open && br[2] == open)
        return Cx {};
    return (br[0] * br[1] * br[2]) / (br[1] * br[2] + br[0] * br[2] + br[0] * br[1]);
}

} // namespace

CrossoverBranches crossoverBranches(const CrossoverInput& xo, const CrossoverContext& ctx)
{
    CrossoverBranches r;
    if (xo.ignore) {
        // Series elements become wires, shunts practically open; per real
        // filter, so not divided by n.
        for (int s = 1; s <= 6; ++s) {
            r.S[s] = Cx {};
            r.P[s] = Cx { ctx.rdcBoxValue * 1e9 };
        }
    } else {
        const double w = ctx.omega;
        r.S[1] = seriesChain(xo, 1, w);
        r.P[1] = seriesChain(xo, 2, w);
        r.S[2] = seriesChain(xo, 3, w);
        r.P[2] = seriesChain(xo, 4, w);
        r.S[3] = parallelPosition5(xo, ctx);
        r.P[3] = seriesChain(xo, 6, w);
        r.S[4] = parallelChains789(xo, ctx);
        r.P[4] = seriesChain(xo, 10, w);
        r.S[5] = seriesChain(xo, 11, w);
        r.P[5] = seriesChain(xo, 12, w);
        r.S[6] = seriesChain(xo, 13, w);
        r.P[6] = seriesChain(xo, 14, w);
        // Each mirror image has its own filter, all of them in parallel.
        for (int s = 1; s <= 6; ++s) {
            r.S[s] = r.S[s] / static_cast<double>(ctx.n);
            r.P[s] = r.P[s] / static_cast<double>(ctx.n);
        }
    }
    // Without driver 2 its ladder is cut off from the source.
    if (!ctx.driver2Present)
        r.S[5] = Cx { ctx.rdcBoxValue * 1e9 };
    return r;
}

template <class Net> void stampCrossover1(Net& net, const CrossoverBranches& br, double u0)
{
    auto& M = net.M;
    const auto& S = br.S;
    const auto& P = br.P;
    // Row s−1 is the mesh of section s: previous shunt, own series branch
    // (carrying every later flow) and own shunt.
    static_assert(kLoopFilter1First == 0 && kLoopVoiceCoil1 == 4);
    M[0][0] = P[1] + S[1];
    M[0][1] = S[1];
    M[0][2] = S[1];
    M[0][3] = S[1];
    M[0][4] = S[1];
    net.b[0] = Cx { u0 };

    M[1][0] = -P[1];
    M[1][1] = P[2] + S[2];
    M[1][2] = S[2];
    M[1][3] = S[2];
    M[1][4] = S[2];

    M[2][1] = -P[2];
    M[2][2] = P[3] + S[3];
    M[2][3] = S[3];
    M[2][4] = S[3];

    M[3][2] = -P[3];
    M[3][3] = P[4] + S[4];
    M[3][4] = S[4];

    M[4][3] = -P[4];
}

template <class Net> void stampCrossover2(Net& net, const CrossoverBranches& br, double u0)
{
    auto& M = net.M;
    const Cx zs2 = br.S[5];
    const Cx za2 = br.P[5];
    const Cx zt2 = br.S[6];
    const Cx zb2 = br.P[6];
    constexpr int A = kLoopFilter2First; // shunt ZA2
    constexpr int B = A + 1;             // shunt ZB2
    constexpr int V = kLoopVoiceCoil2;
    M[A][A] = za2 + zs2;
    M[A][B] = zs2;
    M[A][V] = zs2;
    net.b[A] = Cx { u0 };

    M[B][A] = -za2;
    M[B][B] = zb2 + zt2;
    M[B][V] = zt2;

    M[V][B] = -zb2;
}

// Both network forms.
template void stampCrossover1(LoopNetwork&, const CrossoverBranches&, double);
template void stampCrossover1(SparseNetwork::Lane&, const CrossoverBranches&, double);
template void stampCrossover2(LoopNetwork&, const CrossoverBranches&, double);
template void stampCrossover2(SparseNetwork::Lane&, const CrossoverBranches&, double);

} // namespace velumo
