#include "RunSetup.h"

#include "Constants.h"
#include "DriverModel.h"
#include "Enclosure.h"
#include "HornContour.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>

namespace velumo {

namespace {

bool effectiveFreqAuto(const RunInput& in) { return in.freqAuto || in.freqMin >= in.freqMax; }

// First value of a driver in use that is zero or negative, by control name;
// the impedances may be 0 (no voice-coil inductance), not negative.
std::string firstUnrunnableDriverValue(const DriverInput& d, const std::string& suffix)
{
    const std::pair<double, const char*> values[] = {
        { d.rdc, "EditRdc" },
        { d.fs, "Editfs" },
        { d.qes, "EditQes" },
        { d.qms, "EditQms" },
        { d.vas, "EditVas" },
        { d.pmax, "EditPmax" },
        { d.sd, "EditSd" },
        { d.xmax, "EditXmax" },
        { static_cast<double>(d.stk), "EditStk" },
    };
    for (const auto& [value, name] : values) {
        if (!(value > 0.0))
            return name + suffix;
    }
    if (d.z1k < 0.0)
        return "EditZ1k" + suffix;
    if (d.z10k < 0.0)
        return "EditZ10k" + suffix;
    return "";
}

// Sizes, dampings and frequencies of the horn and the enclosure that have no
// meaning below zero, in the order of the input check.
std::string firstNegativeSize(const RunInput& in)
{
    const std::pair<double, const char*> values[] = {
        { in.vvk, "EditVvk" },
        { in.lvk, "EditLvk" },
        { in.bvk, "EditBvk" },
        { in.xT1, "EditxT1" },
        { in.l1, "Editl1" },
        { in.beta1, "EditBeta1" },
        { in.beta2, "EditBeta2" },
        { in.abst, "EditAbst" },
        { in.typ != 1 ? in.vrk : 0.0, "EditVrk" }, // a rear-loaded horn has no rear chamber
        { in.lrk, "EditLrk" },
        { in.brk, "EditBrk" },
        { in.fbr, "Editfbr" },
        { in.abr, "EditAbr" },
        { in.bbr, "EditBbr" },
        { in.xAK, "EditxAK" },
        { in.vak, "EditVAK" },
        { in.fak, "EditfAK" },
        { in.aat, "EditAAT" },
        { in.bak, "EditBAK" },
        { in.vrk2, "EditVrk2" },
        { in.xT2, "EditxT2" },
        { in.xET, "EditxET" },
        { in.let, "EditLET" },
        { in.aet, "EditAET" },
        { in.bet, "EditBET" },
    };
    for (const auto& [value, name] : values) {
        if (value < 0.0)
            return name;
    }
    const CrossoverInput& x = in.crossover;
    for (size_t p = 1; p < x.R.size(); ++p) {
        if (x.R[p] < 0.0 || x.L[p] < 0.0 || x.C[p] < 0.0)
            return "FWGrid";
    }
    return "";
}

} // namespace

std::string firstUnrunnableInput(const RunInput& in)
{
    std::string name = firstUnrunnableDriverValue(in.driver1, "");
    if (!name.empty())
        return name;
    if (!(in.ue > 0.0))
        return "EditUe";
    if (in.driver2Mode == 2) {
        name = firstUnrunnableDriverValue(in.driver2, "2");
        if (!name.empty())
            return name;
    }
    if (!(in.ah > 0.0))
        return "EditAh";
    if (!(in.h > 0.0))
        return "EditH";
    if (!(in.b > 0.0))
        return "EditB";
    name = firstNegativeSize(in);
    if (!name.empty())
        return name;
    // The hyperbolic and tractrix laws need a mouth larger than the throat.
    const bool needsFlare = in.kontur == 3 || in.kontur == 4 || in.kontur == 6;
    if (needsFlare && in.ah >= in.h * in.b)
        return "CBKontur";
    const bool frontLoaded = in.typ != 1;
    if (frontLoaded && in.vrk == 0.0)
        return "EditVrk";
    if (frontLoaded && !in.abrTextIsZero && in.fbr == 0.0)
        return "Editfbr";
    if (in.rk2 && (in.driver2Mode == 1 || in.driver2Mode == 2) && in.vrk2 == 0.0)
        return "EditVrk2";
    if (!effectiveFreqAuto(in) && !(in.freqMin > 0.0))
        return "MinMaxGrid";
    if (in.freqPoints < 2 || in.contourPoints < 2)
        return "OptionGrid";
    return "";
}

int mirrorFactor(int posi)
{
    switch (posi) {
    case 1:
    case 3:
        return 2;
    case 4:
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
    if (in.typ == 0 && m.encl.lbr > 0.0)
        lower(kC * 10.0 / m.encl.lbr);
    if (in.et && m.encl.let > 0.0)
        lower(kC * 0.2 / m.encl.let);
    if (m.encl.lvk != 0.0)
        lower(kC * 10.0 / m.encl.lvk);
    if (m.encl.lrk != 0.0)
        lower(kC * 10.0 / m.encl.lrk);
    return fLim;
}

Model prepareRun(const RunInput& in, MessageSink& sink, RunSetUpOutput* out)
{
    Model m;
    m.n = mirrorFactor(in.posi);
    m.posi = in.posi;
    m.ue = in.ue;
    m.rdcBoxValue = in.rdcBoxValue;

    setUpDrivers(in, m);

    HornSetUpResult horn = setUpHorn(in, m, sink);
    if (out) {
        out->contourRows = contourRows(in, m);
        out->editHChanged = horn.editHChanged;
        out->newEditH = horn.newEditH;
    }

    std::vector<std::string> absorberLines = setUpEnclosure(in, m, sink);

    m.leftLines = driverLines(m);
    m.rightLines = horn.rightLines;
    m.rightLines.insert(m.rightLines.end(), absorberLines.begin(), absorberLines.end());
    for (std::string& line : enclosureLines(in, m))
        m.rightLines.push_back(std::move(line));

    if (effectiveFreqAuto(in)) {
        m.fmin = 10.0;
        m.fmax = 20000.0;
    } else {
        m.fmin = in.freqMin;
        m.fmax = in.freqMax;
    }
    m.nPoints = in.freqPoints - 1;
    m.fLim = upperFrequencyLimit(in, m);
    return m;
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

// The inputs each derived-parameter line is computed from, by the control
// names of driver 1.
struct LineInputs {
    std::string_view line;
    std::vector<std::string_view> inputs;
};

const std::vector<LineInputs>& lineInputs()
{
    static const std::vector<LineInputs> table = {
        { "Cms", { "EditVas", "EditSd", "EditStk" } },
        { "Mms", { "Editfs", "EditVas", "EditSd", "EditStk" } },
        { "Rms", { "Editfs", "EditQms", "EditVas", "EditSd", "EditStk" } },
        { "BxL", { "Editfs", "EditRdc", "EditQes", "EditVas", "EditSd", "EditStk" } },
        { "Pe", { "EditUe", "EditRdc", "EditStk" } },
        { "Qts", { "EditQes", "EditQms" } },
        { "rTraktrix", { "EditAh", "Editl1", "EditH", "EditB" } },
        { "LAT", { "EditAAT", "EditfAK", "EditVAK" } },
        { "VHorn", { "EditAh", "Editl1", "EditH", "EditB" } },
        { "LBR", { "EditAbr", "Editfbr", "EditVrk" } },
        { "Vgesamt", { "EditVvk", "EditVrk", "EditVrk2", "EditVAK", "EditAET", "EditLET" } },
    };
    return table;
}

// The driver boxes of the table above, each with a driver-2 twin (name + "2").
bool hasDriver2Twin(std::string_view name)
{
    static constexpr std::string_view kDriverBoxes[]
        = { "EditRdc", "Editfs", "EditQes", "EditQms", "EditVas", "EditSd", "EditStk" };
    return std::find(std::begin(kDriverBoxes), std::end(kDriverBoxes), name) != std::end(kDriverBoxes);
}

bool holdsNonFiniteNumber(std::string_view text)
{
    return text.find("INF") != std::string_view::npos || text.find("NAN") != std::string_view::npos;
}

} // namespace

std::vector<std::string> inputsOfNonFiniteLines(const std::vector<std::string>& lines)
{
    std::vector<std::string> inputs;
    for (const std::string& line : lines) {
        const size_t eq = line.find(" = ");
        if (eq == std::string::npos || !holdsNonFiniteNumber(std::string_view(line).substr(eq)))
            continue;
        std::string_view name = std::string_view(line).substr(0, eq);
        bool driver2 = false;
        if (name.size() > 1 && name.back() == '2') {
            name.remove_suffix(1);
            driver2 = true;
        }
        for (const LineInputs& entry : lineInputs()) {
            if (entry.line != name)
                continue;
            for (std::string_view input : entry.inputs) {
                std::string control(input);
                if (driver2 && hasDriver2Twin(input))
                    control += "2";
                if (std::find(inputs.begin(), inputs.end(), control) == inputs.end())
                    inputs.push_back(std::move(control));
            }
        }
    }
    return inputs;
}

std::vector<std::string> contourInputs() { return { "EditAh", "Editl1", "EditH", "EditB" }; }

RunLists::RunLists(const std::string& dir)
    : m_lock(dir)
{
    const std::filesystem::path base(dir);
    contour.begin((base / kContourFileName).string());
    contour.write(contourHeader());
    data.begin((base / kDataFileName).string());
    data.write(dataHeader());
}

ListWriteError RunLists::finish()
{
    // Both complete before either replaces its predecessor.
    for (TextFileWriter* list : { &contour, &data }) {
        if (!list->finish()) {
            contour.discard();
            data.discard();
            return { list->path(), list->error() };
        }
    }
    for (TextFileWriter* list : { &contour, &data }) {
        if (!list->commit()) {
            data.discard();
            return { list->path(), list->error() };
        }
    }
    return {};
}

} // namespace velumo
