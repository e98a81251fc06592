#include "RunPresentation.h"

#include <array>

#include "NumberText.h"

namespace velumo {

namespace {

using Id = RunInputId;

struct InputName {
    RunInputId id;
    const char* control;
};

// In the order of RunInputId; the driver-2 twins are the driver-1 names + "2".
constexpr std::array<InputName, 33> kOtherInputs = { {
    { Id::Ue, "EditUe" },
    { Id::Ah, "EditAh" },
    { Id::H, "EditH" },
    { Id::B, "EditB" },
    { Id::L1, "Editl1" },
    { Id::Beta1, "EditBeta1" },
    { Id::Beta2, "EditBeta2" },
    { Id::XT1, "EditxT1" },
    { Id::XT2, "EditxT2" },
    { Id::FlareLaw, "CBKontur" },
    { Id::Vvk, "EditVvk" },
    { Id::Lvk, "EditLvk" },
    { Id::Bvk, "EditBvk" },
    { Id::Vrk, "EditVrk" },
    { Id::Lrk, "EditLrk" },
    { Id::Brk, "EditBrk" },
    { Id::Abr, "EditAbr" },
    { Id::Fbr, "Editfbr" },
    { Id::Bbr, "EditBbr" },
    { Id::Vak, "EditVAK" },
    { Id::Aat, "EditAAT" },
    { Id::Fak, "EditfAK" },
    { Id::Bak, "EditBAK" },
    { Id::XAK, "EditxAK" },
    { Id::Vrk2, "EditVrk2" },
    { Id::Aet, "EditAET" },
    { Id::Let, "EditLET" },
    { Id::Bet, "EditBET" },
    { Id::XET, "EditxET" },
    { Id::Abst, "EditAbst" },
    { Id::Crossover, "FWGrid" },
    { Id::FrequencyRange, "MinMaxGrid" },
    { Id::Resolution, "OptionGrid" },
} };

constexpr std::array<const char*, kDriverValueCount> kDriverInputs = { "EditRdc", "Editfs", "EditQes",
    "EditQms", "EditVas", "EditPmax", "EditSd", "EditXmax", "EditStk", "EditZ1k", "EditZ10k" };

void appendDriverLines(std::vector<std::string>& lines, const DriverFigures& f, const std::string& suffix)
{
    auto line = [&](const char* name, double v, const char* pattern, const char* unit) {
        lines.push_back(name + suffix + " = " + formatPattern(v, pattern) + unit);
    };
    line("Cms", f.cms, "0.###", " mm/N");
    line("Mms", f.mms, "0.###", " g");
    line("Rms", f.rms, "0.##", " kg/s");
    line("BxL", f.bl, "0.##", " N/A");
    line("Pe", f.pe, "0.##", " W");
    line("Qts", f.qts, "0.###", "");
}

std::vector<std::string> controlNames(const std::vector<RunInputId>& ids)
{
    std::vector<std::string> names;
    names.reserve(ids.size());
    for (RunInputId id : ids)
        names.push_back(controlName(id));
    return names;
}

} // namespace

std::string controlName(RunInputId id)
{
    const int i = static_cast<int>(id);
    if (i < kDriverValueCount)
        return kDriverInputs[static_cast<size_t>(i)];
    if (i < 2 * kDriverValueCount)
        return std::string(kDriverInputs[static_cast<size_t>(i - kDriverValueCount)]) + "2";
    for (const InputName& entry : kOtherInputs) {
        if (entry.id == id)
            return entry.control;
    }
    return {};
}

Message runMessage(const RunMessage& m)
{
    switch (m.code) {
    case RunMessageCode::TractrixShortened:
        return { "", "Mundfläche kann durch Traktrixfunktion\nnicht erreicht werden." };
    case RunMessageCode::PortLengthNegative:
        return { "Hinweis", "LBR wäre negativ!" };
    case RunMessageCode::TunnelLengthNegative:
        return { "Hinweis", "LAT wäre negativ!" };
    case RunMessageCode::PointNotFinite:
        return { "Fehler",
            "Bei " + formatPattern(m.value, "0.00")
                + " Hz ergibt die Berechnung keinen endlichen Wert.\nDie Simulation wurde abgebrochen." };
    case RunMessageCode::TooFewPoints:
        return { "Fehler", "Zu wenige Frequenzpunkte" };
    }
    return {};
}

std::vector<std::string> derivedLeftLines(const DerivedValues& d)
{
    std::vector<std::string> lines;
    appendDriverLines(lines, d.driver1, "");
    if (d.driver2) {
        lines.emplace_back();
        appendDriverLines(lines, *d.driver2, "2");
    }
    return lines;
}

std::vector<std::string> derivedRightLines(const DerivedValues& d)
{
    std::vector<std::string> lines;
    if (d.tractrixRadius)
        lines.push_back("rTraktrix = " + formatPattern(*d.tractrixRadius, "0.###") + " m");
    if (d.tunnelLength)
        lines.push_back("LAT = " + formatPattern(*d.tunnelLength, "0.#") + " cm");
    lines.push_back("VHorn = " + formatPattern(d.hornVolume, "0.##") + " l");
    if (d.portLength)
        lines.push_back("LBR = " + formatPattern(*d.portLength, "0.#") + " cm");
    lines.push_back("Vgesamt" + formatPattern(d.totalVolume, " = 0.### l"));
    return lines;
}

RunOutcome presentRun(RunResult result)
{
    RunOutcome o;
    o.status = result.status;
    o.points = static_cast<int>(result.points.size());
    if (result.refused)
        o.refusedControl = controlName(*result.refused);
    o.stop = result.stop;
    o.stopInputs = controlNames(result.stopInputs);
    for (const RunMessage& m : result.messages) {
        o.messages.push_back(runMessage(m));
        // A run that stops leaves the mouth height as entered.
        if (m.code == RunMessageCode::TractrixShortened && result.stop == RunStop::None) {
            o.editHChanged = true;
            o.newEditH = formatPattern(m.value, "0.##");
        }
    }
    if (result.status != RunStatus::Refused && result.stop == RunStop::None) {
        o.leftLines = derivedLeftLines(result.derived);
        o.rightLines = derivedRightLines(result.derived);
    }
    o.result = std::move(result);
    return o;
}

RunOutcome runAndWriteLists(
    const RunInput& in, const std::string& listFolder, const RunProgress& progress, int threads)
{
    RunResult result = runSimulation(in, progress, threads);
    ListWriteError lists;
    if (result.status != RunStatus::Refused)
        lists = writeRunLists(listFolder, result);
    RunOutcome outcome = presentRun(std::move(result));
    outcome.lists = std::move(lists);
    return outcome;
}

} // namespace velumo
