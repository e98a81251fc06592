#include "Simulation.h"

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
    for (const std::string& row : setUp.contourRows)
        files.contour.write(row);
    storeContour(slot, model.horn);
    outcome.leftLines = model.leftLines;
    outcome.rightLines = model.rightLines;
    outcome.editHChanged = setUp.editHChanged;
    outcome.newEditH = setUp.newEditH;
    slot.upperLimit = model.fLim;

    const std::vector<double> grid = frequencyGrid(model);
    auto net = std::make_unique<LoopNetwork>();
    PointResults result;
    for (int i = 0; i < static_cast<int>(grid.size()); ++i) {
        sink.progress(10 + (i * 80) / (model.nPoints + 1));
        if (!computePoint(model, in.crossover, grid[i], *net, result)) {
            sink.message(pointFailure(grid[i]));
            outcome.status = RunStatus::Failed;
            break;
        }
        storeResults(slot, i, result);
        for (const std::string& piece : resultRowPieces(result))
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
