#include "Simulation.h"

#include <array>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>

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

void computeGrid(const Model& model, const CrossoverInput& xo, const std::vector<double>& grid,
                 GridPoints& out, int threads)
{
    const int count = static_cast<int>(grid.size());
    out.results.assign(count, PointResults{});
    out.ok.assign(count, 0);
    if (count == 0)
        return;
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    threads = std::clamp(threads, 1, std::min(kRunThreads, cores));
    std::unique_ptr<SparseNetwork> nets[kRunThreads];
    for (int t = 0; t < threads; ++t)
        nets[t] = std::make_unique<SparseNetwork>();

    // Thread t takes batches t, t + threads, ...
    auto work = [&](int t) {
        SparseNetwork& net = *nets[t];
        prepareNetwork(net, model, xo);
        bool ok[kSolveBatch];
        for (int first = t * kSolveBatch; first < count; first += threads * kSolveBatch) {
            const int batch = std::min(kSolveBatch, count - first);
            computePoints(model, xo, &grid[first], batch, net, &out.results[first], ok);
            for (int m = 0; m < batch; ++m)
                out.ok[first + m] = ok[m] ? 1 : 0;
        }
    };
    // A failure of a helper (out of memory laying out its network) reaches
    // the caller as it would on one thread.
    std::exception_ptr failure[kRunThreads];
    auto guarded = [&](int t) {
        try {
            work(t);
        } catch (...) {
            failure[t] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    int started = 1;
    try {
        helpers.reserve(threads - 1);
        for (; started < threads; ++started)
            helpers.emplace_back(guarded, started);
    } catch (const std::system_error&) {
        // No thread to be had: this one does the rest.
    }
    guarded(0);
    for (std::thread& helper : helpers)
        helper.join();
    for (int t = started; t < threads; ++t)
        guarded(t);
    for (const std::exception_ptr& e : failure) {
        if (e)
            std::rethrow_exception(e);
    }
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
    // Every point is computed first (the same bits as one by one), then the
    // points are stored one by one, up to the first that fails.
    const int count = static_cast<int>(grid.size());
    GridPoints points;
    computeGrid(model, in.crossover, grid, points);
    std::array<std::string, 3> rowPieces;
    for (std::string& piece : rowPieces)
        piece.reserve(160); // a row's widest piece, so the loop needs no heap memory
    for (int i = 0; i < count; ++i) {
        sink.progress(10 + (i * 80) / (model.nPoints + 1));
        if (!points.ok[i]) {
            sink.message(pointFailure(grid[i]));
            outcome.status = RunStatus::Failed;
            break;
        }
        const PointResults& result = points.results[i];
        storeResults(slot, i, result);
        resultRowPieces(result, rowPieces);
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
