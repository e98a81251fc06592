#include "RunSetup.h"

#include "Constants.h"
#include "DriverModel.h"
#include "Enclosure.h"
#include "HornContour.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace velumo {

namespace {

bool effectiveFreqAuto(const RunInput& in) { return in.freqAuto || in.freqMin >= in.freqMax; }

using Id = RunInputId;

// First value of a driver in use that is zero or negative, as the input of
// driver 1; the impedances may be 0 (no voice-coil inductance), not negative.
std::optional<RunInputId> firstUnrunnableDriverValue(const DriverInput& d)
{
    const std::pair<double, RunInputId> values[] = {
        { d.rdc, Id::Rdc },
        { d.fs, Id::Fs },
        { d.qes, Id::Qes },
        { d.qms, Id::Qms },
        { d.vas, Id::Vas },
        { d.pmax, Id::Pmax },
        { d.sd, Id::Sd },
        { d.xmax, Id::Xmax },
        { static_cast<double>(d.stk), Id::Stk },
    };
    for (const auto& [value, id] : values) {
        if (!(value > 0.0))
            return id;
    }
    if (d.z1k < 0.0)
        return Id::Z1k;
    if (d.z10k < 0.0)
        return Id::Z10k;
    return std::nullopt;
}

// Sizes, dampings and frequencies of the horn and the enclosure that have no
// meaning below zero, in the order of the input check.
std::optional<RunInputId> firstNegativeSize(const RunInput& in)
{
    const std::pair<double, RunInputId> values[] = {
        { in.vvk, Id::Vvk },
        { in.lvk, Id::Lvk },
        { in.bvk, Id::Bvk },
        { in.xT1, Id::XT1 },
        { in.l1, Id::L1 },
        { in.beta1, Id::Beta1 },
        { in.beta2, Id::Beta2 },
        { in.abst, Id::Abst },
        { in.hornType != HornType::RearLoaded ? in.vrk : 0.0,
            Id::Vrk }, // a rear-loaded horn has no rear chamber
        { in.lrk, Id::Lrk },
        { in.brk, Id::Brk },
        { in.fbr, Id::Fbr },
        { in.abr, Id::Abr },
        { in.bbr, Id::Bbr },
        { in.xAK, Id::XAK },
        { in.vak, Id::Vak },
        { in.fak, Id::Fak },
        { in.aat, Id::Aat },
        { in.bak, Id::Bak },
        { in.vrk2, Id::Vrk2 },
        { in.xT2, Id::XT2 },
        { in.xET, Id::XET },
        { in.let, Id::Let },
        { in.aet, Id::Aet },
        { in.bet, Id::Bet },
    };
    for (const auto& [value, id] : values) {
        if (value < 0.0)
            return id;
    }
    const CrossoverInput& x = in.crossover;
    for (size_t p = 1; p < x.R.size(); ++p) {
        if (x.R[p] < 0.0 || x.L[p] < 0.0 || x.C[p] < 0.0)
            return Id::Crossover;
    }
    return std::nullopt;
}

} // namespace

std::optional<RunInputId> firstUnrunnableInput(const RunInput& in)
{
    if (const auto id = firstUnrunnableDriverValue(in.driver1))
        return id;
    if (!(in.ue > 0.0))
        return Id::Ue;
    if (in.driver2Mode == Driver2Mode::OwnValues) {
        if (const auto id = firstUnrunnableDriverValue(in.driver2))
            return driver2Twin(*id);
    }
    if (!(in.ah > 0.0))
        return Id::Ah;
    if (!(in.h > 0.0))
        return Id::H;
    if (!(in.b > 0.0))
        return Id::B;
    if (const auto id = firstNegativeSize(in))
        return id;
    if (needsWiderMouth(in.flareLaw) && in.ah >= in.h * in.b)
        return Id::FlareLaw;
    const bool frontLoaded = in.hornType != HornType::RearLoaded;
    if (frontLoaded && in.vrk == 0.0)
        return Id::Vrk;
    if (frontLoaded && !in.abrTextIsZero && in.fbr == 0.0)
        return Id::Fbr;
    if (in.rk2 && driver2Used(in.driver2Mode) && in.vrk2 == 0.0)
        return Id::Vrk2;
    if (!effectiveFreqAuto(in) && !(in.freqMin > 0.0))
        return Id::FrequencyRange;
    if (in.freqPoints < 2 || in.contourPoints < 2)
        return Id::Resolution;
    return std::nullopt;
}

int mirrorFactor(RoomPosition position)
{
    switch (position) {
    case RoomPosition::Floor:
    case RoomPosition::FloorAndWall:
        return 2;
    case RoomPosition::Corner:
        return 4;
    default:
        return 1;
    }
}

double upperFrequencyLimit(const RunInput& in, const Model& m)
{
    double fLim = m.fmax;
    auto lower = [&fLim](double f) {
        if (f < fLim)
            fLim = f;
    };
    if (!in.mouthClosed)
        lower(kC * 25.0 / (2.0 * kPi * m.horn.rMouth));
    if (in.et)
        lower(kC * 25.0 / (2.0 * kPi * m.encl.rET));
    lower(kC * 10.0 / m.horn.l1);
    if (in.hornType == HornType::FrontLoaded && m.encl.lbr > 0.0)
        lower(kC * 10.0 / m.encl.lbr);
    if (in.et && m.encl.let > 0.0)
        lower(kC * 0.2 / m.encl.let);
    if (m.encl.lvk != 0.0)
        lower(kC * 10.0 / m.encl.lvk);
    if (m.encl.lrk != 0.0)
        lower(kC * 10.0 / m.encl.lrk);
    return fLim;
}

Model prepareRun(const RunInput& in, RunResult* out)
{
    Model m;
    m.n = mirrorFactor(in.position);
    m.position = in.position;
    m.ue = in.ue;
    m.rdcBoxValue = in.rdcBoxValue;

    setUpDrivers(in, m);

    std::vector<RunMessage> discarded;
    std::vector<RunMessage>& messages = out ? out->messages : discarded;
    setUpHorn(in, m, messages);
    if (out)
        out->contour = contourPoints(in, m);
    setUpEnclosure(in, m, messages);

    if (effectiveFreqAuto(in)) {
        m.fmin = 10.0;
        m.fmax = 20000.0;
    } else {
        m.fmin = in.freqMin;
        m.fmax = in.freqMax;
    }
    m.nPoints = in.freqPoints - 1;
    m.fLim = upperFrequencyLimit(in, m);
    if (out)
        out->derived = derivedValues(in, m);
    return m;
}

DerivedValues derivedValues(const RunInput& in, const Model& m)
{
    DerivedValues d;
    d.driver1 = driverFigures(m.d1, m.n, m.ue);
    if (m.driver2Mode == Driver2Mode::OwnValues)
        d.driver2 = driverFigures(m.d2, m.n, m.ue);
    if (m.horn.law == FlareLaw::Tractrix)
        d.tractrixRadius = m.horn.aTr;
    addEnclosureValues(in, m, d);
    return d;
}

std::vector<double> frequencyGrid(const Model& m)
{
    std::vector<double> f;
    if (m.nPoints < 1)
        return f;
    f.reserve(kMaxRunPoints);
    int i = 0;
    double last;
    do {
        last = m.fmin * std::pow(m.fmax / m.fmin, static_cast<double>(i) / m.nPoints);
        f.push_back(last);
        ++i;
    } while (!(last > m.fLim) && i < kMaxRunPoints);
    return f;
}

namespace {

// The inputs each derived value is computed from, as inputs of driver 1.
using Inputs = std::initializer_list<RunInputId>;
constexpr Inputs kCmsInputs = { Id::Vas, Id::Sd, Id::Stk };
constexpr Inputs kMmsInputs = { Id::Fs, Id::Vas, Id::Sd, Id::Stk };
constexpr Inputs kRmsInputs = { Id::Fs, Id::Qms, Id::Vas, Id::Sd, Id::Stk };
constexpr Inputs kBlInputs = { Id::Fs, Id::Rdc, Id::Qes, Id::Vas, Id::Sd, Id::Stk };
constexpr Inputs kPeInputs = { Id::Ue, Id::Rdc, Id::Stk };
constexpr Inputs kQtsInputs = { Id::Qes, Id::Qms };
constexpr Inputs kHornInputs = { Id::Ah, Id::L1, Id::H, Id::B };
constexpr Inputs kTunnelInputs = { Id::Aat, Id::Fak, Id::Vak };
constexpr Inputs kPortInputs = { Id::Abr, Id::Fbr, Id::Vrk };
constexpr Inputs kTotalInputs = { Id::Vvk, Id::Vrk, Id::Vrk2, Id::Vak, Id::Aet, Id::Let };

class InputList {
public:
    void addIfNotFinite(double v, Inputs inputs, bool driver2 = false)
    {
        if (std::isfinite(v))
            return;
        for (RunInputId id : inputs) {
            if (driver2)
                id = driver2Twin(id);
            if (std::find(list.begin(), list.end(), id) == list.end())
                list.push_back(id);
        }
    }
    void addIfNotFinite(const std::optional<double>& v, Inputs inputs)
    {
        if (v)
            addIfNotFinite(*v, inputs);
    }
    void addDriver(const DriverFigures& f, bool driver2)
    {
        addIfNotFinite(f.cms, kCmsInputs, driver2);
        addIfNotFinite(f.mms, kMmsInputs, driver2);
        addIfNotFinite(f.rms, kRmsInputs, driver2);
        addIfNotFinite(f.bl, kBlInputs, driver2);
        addIfNotFinite(f.pe, kPeInputs, driver2);
        addIfNotFinite(f.qts, kQtsInputs, driver2);
    }
    std::vector<RunInputId> list;
};

} // namespace

std::vector<RunInputId> inputsOfNonFiniteValues(const DerivedValues& d)
{
    InputList inputs;
    inputs.addDriver(d.driver1, false);
    if (d.driver2)
        inputs.addDriver(*d.driver2, true);
    inputs.addIfNotFinite(d.tractrixRadius, kHornInputs);
    inputs.addIfNotFinite(d.tunnelLength, kTunnelInputs);
    inputs.addIfNotFinite(d.hornVolume, kHornInputs);
    inputs.addIfNotFinite(d.portLength, kPortInputs);
    inputs.addIfNotFinite(d.totalVolume, kTotalInputs);
    return inputs.list;
}

std::vector<RunInputId> contourInputs() { return kHornInputs; }

} // namespace velumo
