#include "Simulation.h"

#include <array>

#include <algorithm>
#include <cmath>
#include <memory>

#include "NumberText.h"
#include "Radiation.h"
#include "ResultList.h"
#include "RunSetup.h"
#include "Stamps.h"

namespace velumo {

bool computePoint(const Model& model, const CrossoverInput& xo, double f, LoopNetwork& net,
                  PointResults& result)
{
    const PointValues pv = pointValues(model, xo, f);
    stampNetwork(net, model, pv);
    if (!solve(net))
        return false;
    for (const Cx& flow : net.x) {
        if (!isFinite(flow))
            return false;
    }
    const Cx P = microphonePressure(model, net, pv.omega, pv.k);
    result = pointResults(model, net, P, f, pv.omega);
    return result.allFinite();
}

bool computePoint(const Model& model, const CrossoverInput& xo, double f, SparseNetwork& net,
                  PointResults& result)
{
    const PointValues pv = pointValues(model, xo, f, SeriesEvaluation::Fast);
    stampNetwork(net, model, pv);
    if (!solve(net))
        return false;
    const Cx P = microphonePressure(model, net.x, pv.omega, pv.k);
    result = pointResults(model, net.x, P, f, pv.omega);
    return result.allFinite();
}

void computePoints(const Model& model, const CrossoverInput& xo, const double* f, int count,
                   SparseNetwork& net, PointResults* results, bool* ok)
{
    PointValues pv[kSolveBatch];
    net.clear();
    for (int m = 0; m < count; ++m) {
        pv[m] = pointValues(model, xo, f[m], SeriesEvaluation::Fast);
        stampLane(net.lane(m), model, pv[m]);
    }
    solveBatch(net, count, ok);
    for (int m = 0; m < count; ++m) {
        if (!ok[m])
            continue;
        const LoopFlows& x = net.lane(m).x;
        const Cx P = microphonePressure(model, x, pv[m].omega, pv[m].k);
        results[m] = pointResults(model, x, P, f[m], pv[m].omega);
        ok[m] = results[m].allFinite();
    }
}

void prepareNetwork(SparseNetwork& net, const Model& model, const CrossoverInput& xo)
{
    // Any frequency will do: the positions do not depend on the values.
    const PointValues pv = pointValues(model, xo, 1000.0, SeriesEvaluation::Fast);
    net.beginPattern();
    stampNetwork(net, model, pv);
    net.endPattern();
}

namespace {

void storeContour(ResultSlot& slot, const HornModel& horn)
{
    slot.contourX = horn.x;
    slot.contourA = horn.a;
    slot.contourAone = horn.aOne;
}

Message pointFailure(double f)
{
    return {"Fehler", "Bei " + formatPattern(f, "0.00")
                          + " Hz ergibt die Berechnung keinen endlichen Wert.\nDie Simulation wurde abgebrochen."};
}

// The check admits values with no real horn (a negative mouth height,
// sizes whose area overflows); their contour is NaN or infinite, which
// formatPattern writes as "NAN" or "INF".
bool contourFinite(const HornModel& horn, const std::vector<std::string>& rows)
{
    for (size_t i = 0; i < horn.x.size(); ++i) {
        if (!std::isfinite(horn.x[i]) || !std::isfinite(horn.a[i]) || !std::isfinite(horn.aOne[i]))
            return false;
    }
    for (const std::string& row : rows) {
        if (row.find("NAN") != std::string::npos || row.find("INF") != std::string::npos)
            return false;
    }
    return true;
}

Message contourFailure()
{
    return {"Fehler", "Die Hornkontur ergibt keine endlichen Werte.\nDie Simulation wurde abgebrochen."};
}

} // namespace

RunOutcome runSimulation(const RunInput& in, const std::string& outputDir, ResultSlot& slot,
                         RunSink& sink)
{
    RunOutcome outcome;
    RunFiles files;
    outcome.refusedControl = startRunFiles(in, outputDir, files);
    if (!outcome.refusedControl.empty()) {
        outcome.status = RunStatus::Refused;
        return outcome;
    }
    sink.progress(10);

    RunSetUpOutput setUp;
    const Model model = prepareRun(in, sink, &setUp);
    if (!contourFinite(model.horn, setUp.contourRows)) {
        sink.message(contourFailure());
        sink.progress(0);
        outcome.status = RunStatus::Failed;
        files.contour.close();
        files.data.close();
        return outcome;
    }
    for (const std::string& row : setUp.contourRows)
        files.contour.write(row);
    storeContour(slot, model.horn);
    outcome.leftLines = model.leftLines;
    outcome.rightLines = model.rightLines;
    outcome.editHChanged = setUp.editHChanged;
    outcome.newEditH = setUp.newEditH;
    slot.upperLimit = model.fLim;

    const std::vector<double> grid = frequencyGrid(model);
    // Points are computed a batch at a time (the same bits as one by one)
    // and then stored one by one, up to the first that fails.
    const int count = static_cast<int>(grid.size());
    auto net = std::make_unique<SparseNetwork>();
    prepareNetwork(*net, model, in.crossover);
    PointResults results[kSolveBatch];
    bool ok[kSolveBatch] = {};
    std::array<std::string, 3> rowPieces;
    for (std::string& piece : rowPieces)
        piece.reserve(160); // a row's widest piece, so the loop needs no heap memory
    for (int i = 0; i < count; ++i) {
        const int m = i % kSolveBatch;
        if (m == 0) {
            const int batch = std::min(kSolveBatch, count - i);
            computePoints(model, in.crossover, &grid[i], batch, *net, results, ok);
        }
        sink.progress(10 + (i * 80) / (model.nPoints + 1));
        if (!ok[m]) {
            sink.message(pointFailure(grid[i]));
            outcome.status = RunStatus::Failed;
            break;
        }
        storeResults(slot, i, results[m]);
        resultRowPieces(results[m], rowPieces);
        for (const std::string& piece : rowPieces)
            files.data.write(piece);
        outcome.points = i + 1;
    }

    if (outcome.status == RunStatus::Ok && outcome.points < 2) {
        sink.message({"Fehler", "Zu wenige Frequenzpunkte"});
        sink.progress(0);
        outcome.status = RunStatus::Failed;
    }
    files.contour.close();
    files.data.close();
    return outcome;
}

} // namespace velumo
