// Driver 1: voice coil, membrane, front chamber and the horn segments.

#include <algorithm>
#include <array>

#include "Constants.h"
#include "SideBranch.h"
#include "SparseNetwork.h"
#include "Stamps.h"

namespace velumo {

FrontChamber frontChamber(const Model& model, const PointValues& pv)
{
    const double vvk = model.encl.vvk;
    const double lvk = model.encl.lvk;
    FrontChamber fc;
    fc.zvk = ((Cx { 50.0 * kKappaP0 } / j) / pv.omega) / vvk;
    fc.twoZvk = ((Cx { 100.0 * kKappaP0 } / j) / pv.omega) / vvk;
    // Damping shared out over 50 slices plus the air mass of one slice.
    fc.mvk = 0.02 * pv.rvk + 0.02 * (lvk * (lvk * pv.jwr)) / vvk;
    return fc;
}

RearChamber rearChamber(const Model& model, const PointValues& pv)
{
    const EnclosureModel& e = model.encl;
    RearChamber rc;
    rc.zrk = ((Cx { 50.0 * kKappaP0 } / j) / pv.omega) / e.vrk;
    rc.twoZrk = ((Cx { 100.0 * kKappaP0 } / j) / pv.omega) / e.vrk;
    rc.mrk = 0.02 * pv.rrk + e.lrk * e.lrk * pv.jwr / 50.0 / e.vrk;
    rc.zbr = ((Cx { 50.0 * kKappaP0 } / j) / pv.omega) / e.abr / e.lbr;
    rc.mbr = 0.02 * pv.rbr + e.lbr * pv.jwr / 50.0 / e.abr;
    return rc;
}

template <class Net> void stampDriver1(Net& net, const Model& model, const PointValues& pv)
{
    auto& M = net.M;
    const DriverGroup& d = model.d1;
    const FrontChamber& fc = pv.fc;
    const Cx zrk = pv.rc.zrk;

    // Voice coil; the coupling is the back EMF Bl·v with v = x[5] / Sd.
    M[kLoopVoiceCoil1][kLoopVoiceCoil1] = d.rdc + (j * pv.omega) * pv.L1;
    M[kLoopVoiceCoil1][kLoopMembrane1] = Cx { d.bl / d.sd };

    // Membrane between the first front-chamber and rear-chamber compliances.
    M[kLoopMembrane1][kLoopVoiceCoil1] = Cx { -d.bl / d.sd };
    M[kLoopMembrane1][kLoopMembrane1] = fc.zvk + (zrk + pv.zm1 / d.sd / d.sd);
    M[kLoopMembrane1][kLoopFrontChamberFirst] = -fc.zvk;
    M[kLoopMembrane1][kLoopRearChamberFirst] = -zrk;

    stampChain(net, RowChain { kLoopFrontChamberFirst, kLoopFrontChamberLast, -fc.zvk, fc.twoZvk + fc.mvk });
}

template <class Net> void stampHorn(Net& net, const Model& model, const PointValues& pv, Rows rows)
{
    auto& M = net.M;
    const HornModel& h = model.horn;
    auto zc = [&](int node) { return pv.zc[node]; };
    auto zseg = [&](int i) { return pv.zseg[i]; };
    constexpr int kMiddle = (kLoopHornFirst + kLoopHornLast) / 2;
    auto segments = [&](int first) {
        if (rows == Rows::SecondHalf)
            first = std::max(first, kMiddle + 1);
        const int last = rows == Rows::FirstHalf ? kMiddle : kLoopHornLast;
        stampChain(net, RowChain { first, last, {}, {}, &pv });
    };
    const bool throat = rows != Rows::SecondHalf;

    if (h.n1 == 0) {
        // The last front-chamber slice leads straight into the throat.
        if (throat) {
            const FrontChamber& fc = pv.fc;
            const int F = kLoopFrontChamberEnd;
            M[F][F - 1] = ((Cx { -50.0 * kKappaP0 } / j) / pv.omega) / model.encl.vvk;
            M[F][F] = zc(0) + fc.zvk + fc.mvk;
            M[F][F + 1] = ((Cx { -kKappaP0 } / j) / pv.omega) / h.a[0] / h.dx;
        }
        segments(kLoopHornFirst);
        return;
    }

    // Driver 1 off the throat: loop 55 is a side loop at node n1.
    if (throat) {
        const FrontChamber& fc = pv.fc;
        const int F = kLoopFrontChamberEnd;
        M[F][F - 1] = -fc.zvk;
        M[F][F] = zc(h.n1) + (fc.zvk + fc.mvk);
        stampSideBranch(net, model, pv, kLoopFrontChamberEnd);

        // Segment 0 starts at the closed throat.
        M[kLoopHornFirst][kLoopHornFirst] = zc(1) + (zc(0) + zseg(0));
        M[kLoopHornFirst][kLoopHornFirst + 1] = -zc(1);
    }
    segments(kLoopHornFirst + 1);
}

// Both network forms.
template void stampDriver1(LoopNetwork&, const Model&, const PointValues&);
template void stampDriver1(SparseNetwork::Lane&, const Model&, const PointValues&);
template void stampHorn(LoopNetwork&, const Model&, const PointValues&, Rows);
template void stampHorn(SparseNetwork::Lane&, const Model&, const PointValues&, Rows);

} // namespace velumo
