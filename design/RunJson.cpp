#include "RunJson.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "Constants.h"

namespace velumo {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

ordered_json quantity(double value, const char* unit)
{
    // A value that is not finite (a stopped run) is null, not an invalid number.
    ordered_json q;
    q["value"] = std::isfinite(value) ? ordered_json(value) : ordered_json(nullptr);
    q["unit"] = unit;
    return q;
}

ordered_json driverFigures(const DriverFigures& d)
{
    ordered_json o;
    o["Cms"] = quantity(d.cms, "mm/N");
    o["Mms"] = quantity(d.mms, "g");
    o["Rms"] = quantity(d.rms, "kg/s");
    o["Bl"] = quantity(d.bl, "N/A");
    o["Pe"] = quantity(d.pe, "W");
    o["Qts"] = quantity(d.qts, "");
    return o;
}

ordered_json derived(const DerivedValues& d)
{
    ordered_json o;
    o["driver1"] = driverFigures(d.driver1);
    if (d.driver2)
        o["driver2"] = driverFigures(*d.driver2);
    if (d.tractrixRadius)
        o["tractrixRadius"] = quantity(*d.tractrixRadius, "m");
    if (d.tunnelLength)
        o["tunnelLength"] = quantity(*d.tunnelLength, "cm");
    o["hornVolume"] = quantity(d.hornVolume, "l");
    if (d.portLength)
        o["portLength"] = quantity(*d.portLength, "cm");
    o["totalVolume"] = quantity(d.totalVolume, "l");
    return o;
}

// One array per quantity, all of the same length, and the units beside them.
template <typename Row>
ordered_json columns(const std::vector<Row>& rows,
    const std::vector<std::tuple<const char*, const char*, double (*)(const Row&)>>& fields)
{
    ordered_json values;
    ordered_json units;
    for (const auto& [name, unit, get] : fields) {
        std::vector<double> column;
        column.reserve(rows.size());
        for (const Row& r : rows)
            column.push_back(get(r));
        values[name] = column;
        units[name] = unit;
    }
    values["units"] = units;
    return values;
}

double degrees(Cx z) { return std::atan2(z.im, z.re) * 180.0 / kPi; }

ordered_json driverInput(const DriverInput& d)
{
    return { { "Stk", d.stk }, { "Rdc", d.rdc }, { "fs", d.fs }, { "Qes", d.qes }, { "Qms", d.qms },
        { "Vas", d.vas }, { "Pmax", d.pmax }, { "Sd", d.sd }, { "Z1k", d.z1k }, { "Z10k", d.z10k },
        { "Xmax", d.xmax } };
}

const char* const kFlareLaws[]
    = { "parabolic", "conical", "exponential", "hyperbolic", "octalHyperbolic", "geometric", "tractrix" };
const char* const kPositions[] = { "free", "floor", "halfSpace", "floorAndWall", "corner" };
const char* const kDriver2Modes[] = { "none", "likeDriver1", "ownValues" };

template <size_t N, typename E> const char* choice(const char* const (&names)[N], E value)
{
    const auto i = static_cast<size_t>(value);
    return i < N ? names[i] : "";
}

ordered_json design(const RunInput& in)
{
    ordered_json o;
    o["driver1"] = driverInput(in.driver1);
    o["driver2Mode"] = choice(kDriver2Modes, in.driver2Mode);
    if (in.driver2Mode == Driver2Mode::OwnValues)
        o["driver2"] = driverInput(in.driver2);
    o["driver2Reversed"] = in.driver2Reversed;
    o["Ue"] = in.ue;
    o["horn"] = { { "flareLaw", choice(kFlareLaws, in.flareLaw) },
        { "rearLoaded", in.hornType == HornType::RearLoaded }, { "mouthClosed", in.mouthClosed },
        { "Ah", in.ah }, { "L1", in.l1 }, { "H", in.h }, { "B", in.b }, { "beta1", in.beta1 },
        { "beta2", in.beta2 }, { "xT1", in.xT1 }, { "xT2", in.xT2 } };
    o["frontChamber"] = { { "V", in.vvk }, { "L", in.lvk }, { "damping", in.bvk } };
    o["rearChamber"] = { { "V", in.vrk }, { "L", in.lrk }, { "damping", in.brk }, { "portArea", in.abr },
        { "portFrequency", in.fbr }, { "portDamping", in.bbr } };
    o["absorberChamber"] = { { "on", in.ak }, { "V", in.vak }, { "tunnelArea", in.aat },
        { "tunnelFrequency", in.fak }, { "damping", in.bak }, { "x", in.xAK } };
    o["driver2RearChamber"] = { { "on", in.rk2 }, { "V", in.vrk2 } };
    o["extraTunnel"]
        = { { "on", in.et }, { "A", in.aet }, { "L", in.let }, { "damping", in.bet }, { "x", in.xET } };
    o["placement"] = { { "position", choice(kPositions, in.position) }, { "distance", in.abst } };
    o["crossoverIgnored"] = in.crossover.ignore;
    o["frequencyRange"] = { { "automatic", in.freqAuto }, { "min", in.freqMin }, { "max", in.freqMax },
        { "points", in.freqPoints }, { "contourPoints", in.contourPoints } };
    // The units as the values are entered.
    o["units"] = { { "Rdc", "Ohm" }, { "fs", "Hz" }, { "Vas", "l" }, { "Pmax", "W" }, { "Sd", "cm2" },
        { "Z1k", "Ohm" }, { "Z10k", "Ohm" }, { "Xmax", "mm" }, { "Ue", "V" }, { "Ah", "cm2" }, { "L1", "m" },
        { "H", "cm" }, { "B", "cm" }, { "xT1", "m" }, { "xT2", "m" }, { "V", "l" }, { "L", "m" },
        { "portArea", "cm2" }, { "portFrequency", "Hz" }, { "tunnelArea", "cm2" },
        { "tunnelFrequency", "Hz" }, { "A", "cm2" }, { "x", "m" }, { "distance", "m" }, { "min", "Hz" },
        { "max", "Hz" } };
    return o;
}

const char* statusName(RunStatus s)
{
    switch (s) {
    case RunStatus::Ok:
        return "ok";
    case RunStatus::Refused:
        return "refused";
    case RunStatus::Failed:
        break;
    }
    return "failed";
}

} // namespace

std::string runJson(const RunOutcome& outcome, const RunInput& in, const std::string& projectPath,
    const std::vector<Message>& messages)
{
    const RunResult& r = outcome.result;
    ordered_json o;
    o["format"] = "velumo-run";
    o["version"] = 1;
    o["project"] = projectPath;
    o["status"] = statusName(outcome.status);
    if (outcome.status == RunStatus::Refused)
        o["refusedInput"] = outcome.refusedControl;
    ordered_json list = ordered_json::array();
    for (const Message& m : messages)
        list.push_back({ { "caption", m.caption }, { "text", m.text } });
    o["messages"] = list;
    o["design"] = design(in);
    if (outcome.status == RunStatus::Refused) {
        o["pointCount"] = 0;
        return o.dump(1, '\t') + "\n";
    }
    o["derived"] = derived(r.derived);
    o["contour"] = columns<ContourPoint>(r.contour,
        { { "x", "m", [](const ContourPoint& p) { return p.x; } },
            { "area", "cm2", [](const ContourPoint& p) { return p.area; } },
            { "height", "cm", [](const ContourPoint& p) { return p.height; } },
            { "radius", "cm", [](const ContourPoint& p) { return p.radius; } } });
    o["pointCount"] = r.points.size();
    using P = PointResults;
    std::vector<std::tuple<const char*, const char*, double (*)(const P&)>> fields {
        { "frequency", "Hz", [](const P& p) { return p.f; } },
        { "SPL", "dB", [](const P& p) { return p.spl; } },
        { "Zel", "Ohm", [](const P& p) { return p.zel; } },
        { "ZelPhase", "deg", [](const P& p) { return degrees(p.impedance); } },
        { "Zreal", "", [](const P& p) { return p.zReal; } },
        { "Zimag", "", [](const P& p) { return p.zImag; } },
        { "x1", "mm", [](const P& p) { return p.x1; } },
        { "Pmax1", "W", [](const P& p) { return p.pmax1; } },
        { "SPLmax", "dB", [](const P& p) { return p.splMax; } },
        { "Phi_a", "deg", [](const P& p) { return p.phase; } },
    };
    if (!r.points.empty() && r.points.front().hasDriver2) {
        fields.push_back({ "x2", "mm", [](const P& p) { return p.x2; } });
        fields.push_back({ "Pmax2", "W", [](const P& p) { return p.pmax2; } });
    }
    o["results"] = columns<P>(r.points, fields);
    return o.dump(1, '\t') + "\n";
}

} // namespace velumo
