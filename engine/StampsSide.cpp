// Mouth, absorber chamber, driver 2, rear chamber with port, extra tunnel and
// the side-branch rule.

#include "Constants.h"
#include "SideBranch.h"
#include "SparseNetwork.h"
#include "Stamps.h"

namespace velumo {

std::array<SideLoop, 4> sideLoops(const Model& model)
{
    const HornModel& h = model.horn;
    return { {
        { kLoopFrontChamberEnd, h.n1, -1, h.n1 >= 1 },
        { kLoopAbsorber, h.nAK, +1, model.encl.akChecked },
        { kLoopDriver2Membrane, h.n2, -1, model.driver2Mode != Driver2Mode::None },
        { kLoopExtraTunnel, h.nET, +1, model.encl.etChecked },
    } };
}

template <class Net> void stampSideBranch(Net& net, const Model& model, const PointValues& pv, int loop)
{
    auto& M = net.M;
    const auto loops = sideLoops(model);
    SideLoop me;
    for (const SideLoop& l : loops) {
        if (l.loop == loop)
            me = l;
    }
    const int i = me.node;
    const Cx zc = hornNodeCompliance(model, pv, i);
    const Cx plus = me.s > 0 ? zc : -zc;  // +s·Zc
    const Cx minus = me.s > 0 ? -zc : zc; // −s·Zc

    M[loop][hornLoopBefore(i)] = minus;
    M[loop][hornLoopAfter(i)] = plus;
    M[hornLoopBefore(i)][loop] = M[hornLoopBefore(i)][loop] + minus;
    // The closed mouth keeps its single diagonal entry.
    if (!(model.horn.mouthClosed && i == 99))
        M[hornLoopAfter(i)][loop] = M[hornLoopAfter(i)][loop] + plus;

    for (const SideLoop& other : loops) {
        if (other.loop == loop || !other.active || other.node != i)
            continue;
        M[loop][other.loop] = me.s * other.s > 0 ? zc : -zc;
    }
}

template <class Net> void stampMouth(Net& net, const Model& model, const PointValues& pv)
{
    auto& M = net.M;
    const HornModel& h = model.horn;
    if (h.mouthClosed) {
        M[kLoopMouth][kLoopMouth] = Cx { 1.0 };
        return;
    }
    const Cx zc99 = hornNodeCompliance(model, pv, 99);
    M[kLoopMouth][kLoopMouth - 1] = -zc99;
    M[kLoopMouth][kLoopMouth] = zc99 + pv.zradMouth + pv.R[99] + h.dx * pv.jwr / h.a[99];
}

template <class Net> void stampAbsorber(Net& net, const Model& model, const PointValues& pv)
{
    auto& M = net.M;
    const EnclosureModel& e = model.encl;
    if (!e.akChecked) {
        M[kLoopAbsorber][kLoopAbsorber] = Cx { 1.0 };
        return;
    }
    // Helmholtz resonator: chamber compliance plus tunnel damping and mass.
    M[kLoopAbsorber][kLoopAbsorber] = hornNodeCompliance(model, pv, model.horn.nAK)
        + ((Cx { kKappaP0 } / j) / pv.omega) / e.vak + pv.rak + e.lat * pv.jwr / e.aat;
    stampSideBranch(net, model, pv, kLoopAbsorber);
}

template <class Net> void stampDriver2(Net& net, const Model& model, const PointValues& pv)
{
    auto& M = net.M;
    const DriverGroup& d = model.d2;
    const double p2 = model.driver2Reversed ? -1.0 : 1.0;

    stampCrossover2(net, pv.xo, model.ue);
    M[kLoopVoiceCoil2][kLoopVoiceCoil2] = d.rdc + (j * pv.omega) * pv.L2;
    M[kLoopVoiceCoil2][kLoopDriver2Membrane] = Cx { p2 * d.bl / d.sd };

    if (model.driver2Mode == Driver2Mode::None) {
        M[kLoopDriver2Membrane][kLoopDriver2Membrane] = Cx { 1.0 };
        return;
    }
    const HornModel& h = model.horn;
    M[kLoopDriver2Membrane][kLoopVoiceCoil2] = Cx { -p2 * d.bl / d.sd };
    M[kLoopDriver2Membrane][kLoopDriver2Membrane] = pv.zradM2 + pv.zm2 / d.sd / d.sd
        + (1.0 / model.encl.vrk2 + 1.0 / h.a[h.n2] / h.dx) * ((Cx { kKappaP0 } / j) / pv.omega);
    stampSideBranch(net, model, pv, kLoopDriver2Membrane);
}

template <class Net>
void stampRearChamberAndPort(Net& net, const Model& model, const PointValues& pv, Rows rows)
{
    auto& M = net.M;
    const EnclosureModel& e = model.encl;
    const RearChamber& rc = pv.rc;

    if (rows != Rows::SecondHalf) {
        // The first chamber compliance is shared with the membrane of driver 1.
        M[kLoopRearChamberFirst][kLoopMembrane1] = -rc.zrk;
        M[kLoopRearChamberFirst][kLoopRearChamberFirst] = rc.twoZrk + rc.mrk;
        M[kLoopRearChamberFirst][kLoopRearChamberFirst + 1] = -rc.zrk;
        stampChain(
            net, RowChain { kLoopRearChamberFirst + 1, kLoopRearChamberLast, -rc.zrk, rc.twoZrk + rc.mrk });

        const int E = kLoopRearChamberEnd;
        M[E][E - 1] = -rc.zrk;
        M[E][E] = (1.0 / e.vrk + 1.0 / e.abr / e.lbr) * ((Cx { 50.0 * kKappaP0 } / j) / pv.omega) + rc.mrk;
        M[E][E + 1] = -rc.zbr;
    }
    if (rows == Rows::FirstHalf)
        return;

    const Cx twoZbr = 2.0 * rc.zbr;
    stampChain(net, RowChain { kLoopPortFirst, kLoopPortLast, -rc.zbr, twoZbr + rc.mbr });
    M[kLoopPortEnd][kLoopPortEnd - 1] = -rc.zbr;
    M[kLoopPortEnd][kLoopPortEnd] = rc.zbr + pv.zradPort + rc.mbr;
}

template <class Net> void stampExtraTunnel(Net& net, const Model& model, const PointValues& pv)
{
    auto& M = net.M;
    const EnclosureModel& e = model.encl;
    if (!e.etChecked) {
        M[kLoopExtraTunnel][kLoopExtraTunnel] = Cx { 1.0 };
        return;
    }
    M[kLoopExtraTunnel][kLoopExtraTunnel]
        = hornNodeCompliance(model, pv, model.horn.nET) + pv.zradET + pv.ret + e.let * pv.jwr / e.aet;
    stampSideBranch(net, model, pv, kLoopExtraTunnel);
}

// Both network forms.
template void stampSideBranch(LoopNetwork&, const Model&, const PointValues&, int);
template void stampSideBranch(SparseNetwork::Lane&, const Model&, const PointValues&, int);
template void stampMouth(LoopNetwork&, const Model&, const PointValues&);
template void stampMouth(SparseNetwork::Lane&, const Model&, const PointValues&);
template void stampAbsorber(LoopNetwork&, const Model&, const PointValues&);
template void stampAbsorber(SparseNetwork::Lane&, const Model&, const PointValues&);
template void stampDriver2(LoopNetwork&, const Model&, const PointValues&);
template void stampDriver2(SparseNetwork::Lane&, const Model&, const PointValues&);
template void stampRearChamberAndPort(LoopNetwork&, const Model&, const PointValues&, Rows);
template void stampRearChamberAndPort(SparseNetwork::Lane&, const Model&, const PointValues&, Rows);
template void stampExtraTunnel(LoopNetwork&, const Model&, const PointValues&);
template void stampExtraTunnel(SparseNetwork::Lane&, const Model&, const PointValues&);

} // namespace velumo
