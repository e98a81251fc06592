#include "RunInputAdapter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "Choices.h"
#include "NumberText.h"

namespace velumo {

namespace {

double num(const Design& d, std::string_view name) { return parseLenient(d.text(name)); }

// Counts are 16-bit integers truncated toward zero; out-of-range texts are
// held at the ends of that range instead of wrapping round.
int count16(const Design& d, std::string_view name)
{
    double v = std::trunc(num(d, name));
    return static_cast<int>(std::clamp(v, -32768.0, 32767.0));
}

int wholeNumber(const std::string& text)
{
    int v = 0;
    if (parseStrictInt(text, &v))
        return v;
    return static_cast<int>(std::clamp(std::trunc(parseLenient(text)), -2147483648.0, 2147483647.0));
}

DriverInput readDriver(const Design& d, const char* suffix)
{
    auto n = [&](const char* base) { return num(d, std::string(base) + suffix); };
    DriverInput in;
    in.stk = count16(d, std::string("EditStk") + suffix);
    in.rdc = n("EditRdc");
    in.fs = n("Editfs");
    in.qes = n("EditQes");
    in.qms = n("EditQms");
    in.vas = n("EditVas");
    in.pmax = n("EditPmax");
    in.sd = n("EditSd");
    in.z1k = n("EditZ1k");
    in.z10k = n("EditZ10k");
    in.xmax = n("EditXmax");
    return in;
}

} // namespace

RunInput readRunInput(Design& d)
{
    RunInput in;
    in.driver1 = readDriver(d, "");
    in.driver2 = readDriver(d, "2");
    in.driver2Mode = driver2ModeOf(d);
    in.driver2Reversed = d.checked("CBumdrehen");
    in.ue = num(d, "EditUe");

    in.ah = num(d, "EditAh");
    in.l1 = num(d, "Editl1");
    in.h = num(d, "EditH");
    in.b = num(d, "EditB");
    in.beta1 = num(d, "EditBeta1");
    in.beta2 = num(d, "EditBeta2");
    in.xT1 = num(d, "EditxT1");
    in.xT2 = num(d, "EditxT2");
    in.flareLaw = flareLawOf(d);
    in.hornType = hornTypeOf(d);
    in.mouthClosed = d.checked("CBMundGeschl");

    in.vvk = num(d, "EditVvk");
    in.lvk = num(d, "EditLvk");
    in.bvk = num(d, "EditBvk");
    in.vrk = num(d, "EditVrk");
    in.lrk = num(d, "EditLrk");
    in.brk = num(d, "EditBrk");
    in.abr = num(d, "EditAbr");
    in.abrTextIsZero = d.text("EditAbr") == "0";
    in.fbr = num(d, "Editfbr");
    in.fbrTextIsZero = d.text("Editfbr") == "0";
    in.bbr = num(d, "EditBbr");

    in.ak = d.checked("CBAK");
    in.vak = num(d, "EditVAK");
    in.aat = num(d, "EditAAT");
    in.fak = num(d, "EditfAK");
    in.bak = num(d, "EditBAK");
    in.xAK = num(d, "EditxAK");

    in.vrk2 = num(d, "EditVrk2");
    in.rk2 = d.checked("CBRK2");

    in.et = d.checked("CBET");
    in.aet = num(d, "EditAET");
    in.let = num(d, "EditLET");
    in.bet = num(d, "EditBET");
    in.xET = num(d, "EditxET");
    in.dLET = num(d, "EditdLET");

    in.position = roomPositionOf(d);
    in.abst = num(d, "EditAbst");
    in.dL = num(d, "EditdL");
    in.dL2 = num(d, "EditdL2");

    static_cast<CrossoverValues&>(in.crossover) = d.crossover();
    in.crossover.ignore = d.checked("CBohneFW");
    in.rdcBoxValue = num(d, "EditRdc");

    constexpr int kRangeRow = 8;
    in.freqMin = parseLenient(d.minMaxCell(0, kRangeRow));
    in.freqMax = parseLenient(d.minMaxCell(1, kRangeRow));
    if (in.freqMin >= in.freqMax)
        d.setAxisAuto(kRangeRow, true);
    in.freqAuto = d.axisAuto(kRangeRow);
    in.freqPoints = wholeNumber(d.optionCell(1, 0));
    in.contourPoints = wholeNumber(d.optionCell(1, 1));
    return in;
}

Message runRefusalMessage(const Design& design, const std::string& controlName)
{
    std::string hint;
    if (controlName == "MinMaxGrid")
        hint = std::string(kAxisRowTitles[8]);
    else if (controlName == "OptionGrid")
        hint = "Frequenz-/Konturauflösung";
    else if (controlName == "FWGrid")
        hint = "Frequenzweiche";
    else if (findControl(controlName))
        hint = design.control(controlName).hint;
    else
        hint = controlName;
    return { "Fehler", "Eingabe " + hint + " nicht erlaubt!" };
}

namespace {

// A box by its hint; a driver-2 box whose hint is that of its driver-1 twin
// says which driver it belongs to.
std::string inputName(const Design& design, const std::string& controlName)
{
    const ControlSpec* box = findControl(controlName);
    if (!box)
        return controlName;
    std::string hint = design.control(controlName).hint;
    if (!box->twin.empty() && hint == design.control(box->twin).hint)
        hint += " (Treiber2)";
    return hint;
}

std::string inputList(const Design& design, const std::vector<std::string>& controlNames)
{
    std::string list;
    for (const std::string& name : controlNames)
        list += (list.empty() ? "" : ", ") + inputName(design, name);
    return list;
}

} // namespace

std::vector<Message> runEndMessages(const Design& design, const RunOutcome& outcome)
{
    std::vector<Message> messages;
    if (outcome.stop != RunStop::None) {
        const char* what = outcome.stop == RunStop::ContourNotFinite
            ? "Die Hornkontur ergibt keine endlichen Werte."
            : "Die abgeleiteten Parameter ergeben keine endlichen Werte.";
        messages.push_back({ "Fehler",
            std::string(what) + "\nBetroffene Eingaben: " + inputList(design, outcome.stopInputs)
                + ".\nDie Simulation wurde abgebrochen." });
    }
    if (outcome.lists.error != 0) {
        messages.push_back({ "Hinweis",
            "Die Liste " + outcome.lists.path + " konnte nicht geschrieben werden: "
                + systemErrorText(outcome.lists.error) + ".\nDie vorigen Listen bleiben unverändert." });
    }
    return messages;
}

std::string systemErrorText(int error)
{
    switch (error) {
    case ENOSPC:
        return "Der Datenträger ist voll";
    case EDQUOT:
        return "Das Speicherkontingent ist erschöpft";
    case EACCES:
    case EPERM:
        return "Keine Schreibberechtigung";
    case EROFS:
        return "Das Dateisystem ist schreibgeschützt";
    case ENOENT:
    case ENOTDIR:
        return "Der Ordner existiert nicht";
    case EFBIG:
        return "Die Datei wird zu groß";
    case EIO:
        return "Ein-/Ausgabefehler";
    case EMFILE:
    case ENFILE:
        return "Zu viele offene Dateien";
    default:
        return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

} // namespace velumo
