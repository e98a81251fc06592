#include "RunSetup.h"

#include "Constants.h"
#include "DriverModel.h"
#include "Enclosure.h"
#include "HornContour.h"

#include <cmath>
#include <filesystem>

namespace velumo {

namespace {

bool effectiveFreqAuto(const RunInput& in) { return in.freqAuto || in.freqMin >= in.freqMax; }

// First zero among the values of a driver in use, by control name.
std::string firstZeroDriverValue(const DriverInput& d, const std::string& suffix)
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
        if (value == 0.0)
            return name + suffix;
    }
    return "";
}

} // namespace

std::string firstUnrunnableInput(const RunInput& in)
{
    std::string name = firstZeroDriverValue(in.driver1, "");
    if (!name.empty())
        return name;
    if (!(in.ue > 0.0))
        return "EditUe";
    if (in.driver2Mode == 2) {
        name = firstZeroDriverValue(in.driver2, "2");
        if (!name.empty())
            return name;
    }
    if (in.ah == 0.0)
        return "EditAh";
    if (in.h == 0.0)
        return "EditH";
    if (in.b == 0.0)
        return "EditB";
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

std::string startRunFiles(const RunInput& in, const std::string& dir, RunFiles& files)
{
    std::string refused = firstUnrunnableInput(in);
    if (!refused.empty())
        return refused;
    const std::filesystem::path base(dir);
    files.contour.recreateWithBackup((base / kContourFileName).string());
    files.contour.write(contourHeader());
    files.data.recreateWithBackup((base / kDataFileName).string());
    files.data.write(dataHeader());
    return "";
}

} // namespace velumo
