#include "Simulation.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "Radiation.h"
#include "RunSetup.h"
#include "Stamps.h"

namespace velumo {

bool computePoint(
    const Model& model, const CrossoverInput& xo, double f, LoopNetwork& net, PointResults& result)
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

bool computePoint(
    const Model& model, const CrossoverInput& xo, double f, SparseNetwork& net, PointResults& result)
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
    for (int m = 0; m < count; ++m)
        pointValues(pv[m], model, xo, f[m], SeriesEvaluation::Fast);
    stampLanes(net, model, pv, count);
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

// The run's second thread, started by the first run and kept for the next:
// starting a thread costs about a tenth of a whole run.
class HelperThread {
public:
    // Runs job(context) on the helper and returns at once; false when the
    // helper is busy with another caller's job or cannot be started.
    bool start(void (*job)(void*), void* context)
    {
        std::lock_guard lock(m_mutex);
        if (m_job)
            return false;
        if (!m_thread.joinable()) {
            try {
                m_thread = std::thread([this] { loop(); });
            } catch (const std::system_error&) {
                return false;
            }
        }
        m_job = job;
        m_context = context;
        m_done = false;
        m_wake.notify_all();
        return true;
    }
    // Until the started job has run.
    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_done; });
        m_job = nullptr;
    }
    ~HelperThread()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void loop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || (m_job && !m_done); });
            if (m_quit)
                return;
            lock.unlock();
            m_job(m_context);
            lock.lock();
            m_done = true;
            m_wake.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    void (*m_job)(void*) = nullptr;
    void* m_context = nullptr;
    bool m_done = true;
    bool m_quit = false;
    std::thread m_thread;
};

HelperThread& helperThread()
{
    static HelperThread helper;
    return helper;
}

// Each thread keeps its network from run to run: laying one out costs
// about as much as a tenth of the points, and a sweep or a live edit runs
// the same pattern again and again.
SparseNetwork& threadNetwork()
{
    thread_local std::unique_ptr<SparseNetwork> net;
    if (!net)
        net = std::make_unique<SparseNetwork>();
    return *net;
}

} // namespace

void computeGrid(const Model& model, const CrossoverInput& xo, const std::vector<double>& grid,
    GridPoints& out, int threads)
{
    const int count = static_cast<int>(grid.size());
    out.results.assign(count, PointResults {});
    out.ok.assign(count, 0);
    if (count == 0)
        return;
    // The count comes from /sys on every call; a sweep asks once per design.
    static const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    threads = std::clamp(threads, 1, std::min(kRunThreads, cores));

    // Each thread takes the next batch when it is ready for one, so a helper
    // that starts late (a fresh process lays out its network first) takes
    // fewer. A failure (out of memory laying out a network) reaches the
    // caller as it would on one thread.
    struct Shares {
        const Model& model;
        const CrossoverInput& xo;
        const std::vector<double>& grid;
        GridPoints& out;
        std::atomic<int> nextBatch { 0 };
        std::exception_ptr failure[kRunThreads];

        void run(int t)
        {
            try {
                // A thread's second run is likely one of many.
                thread_local int runs = 0;
                if (++runs == 2)
                    keepRadiationImpedances();
                SparseNetwork& net = threadNetwork();
                prepareNetwork(net, model, xo);
                const int count = static_cast<int>(grid.size());
                bool ok[kSolveBatch];
                for (;;) {
                    const int first = nextBatch.fetch_add(1, std::memory_order_relaxed) * kSolveBatch;
                    if (first >= count)
                        break;
                    const int batch = std::min(kSolveBatch, count - first);
                    computePoints(model, xo, &grid[first], batch, net, &out.results[first], ok);
                    for (int m = 0; m < batch; ++m)
                        out.ok[first + m] = ok[m] ? 1 : 0;
                }
            } catch (...) {
                failure[t] = std::current_exception();
            }
        }
    } shares { model, xo, grid, out, {}, {} };
    static_assert(kRunThreads == 2, "one helper thread");

    const bool helped
        = threads > 1 && helperThread().start([](void* s) { static_cast<Shares*>(s)->run(1); }, &shares);
    shares.run(0);
    if (helped)
        helperThread().wait();
    for (const std::exception_ptr& e : shares.failure) {
        if (e)
            std::rethrow_exception(e);
    }
}

namespace {

// Sizes whose area overflows and similar extremes give a contour that is
// NaN or infinite.
bool contourFinite(const HornModel& horn, const std::vector<ContourPoint>& rows)
{
    for (size_t i = 0; i < horn.x.size(); ++i) {
        if (!std::isfinite(horn.x[i]) || !std::isfinite(horn.a[i]) || !std::isfinite(horn.aOne[i]))
            return false;
    }
    for (const ContourPoint& p : rows) {
        if (!std::isfinite(p.x) || !std::isfinite(p.area) || !std::isfinite(p.height)
            || !std::isfinite(p.radius))
            return false;
    }
    return true;
}

// Stops a run before its frequency loop when the contour or a derived
// value is not finite.
bool stopsBeforeLoop(RunResult& result)
{
    if (!contourFinite(result.model.horn, result.contour)) {
        result.stop = RunStop::ContourNotFinite;
        result.stopInputs = contourInputs();
        return true;
    }
    result.stopInputs = inputsOfNonFiniteValues(result.derived);
    if (result.stopInputs.empty())
        return false;
    result.stop = RunStop::DerivedNotFinite;
    return true;
}

} // namespace

RunResult runSimulation(const RunInput& in, const RunProgress& progress, int threads)
{
    auto report = [&progress](int percent) {
        if (progress)
            progress(percent);
    };
    RunResult result;
    result.refused = firstUnrunnableInput(in);
    if (result.refused) {
        result.status = RunStatus::Refused;
        return result;
    }
    report(10);

    result.model = prepareRun(in, &result);
    const Model& model = result.model;
    if (stopsBeforeLoop(result)) {
        report(0);
        result.status = RunStatus::Failed;
        result.contour.clear();
        return result;
    }

    const std::vector<double> grid = frequencyGrid(model);
    // Every point is computed first (the same bits as one by one), then the
    // points are taken one by one, up to the first that fails.
    const int count = static_cast<int>(grid.size());
    GridPoints points;
    computeGrid(model, in.crossover, grid, points, threads);

    int taken = 0;
    for (int i = 0; i < count; ++i) {
        report(10 + (i * 80) / (model.nPoints + 1));
        if (!points.ok[i]) {
            result.messages.push_back({ RunMessageCode::PointNotFinite, grid[i] });
            result.status = RunStatus::Failed;
            break;
        }
        taken = i + 1;
    }
    points.results.resize(static_cast<size_t>(taken));
    result.points = std::move(points.results);
    if (result.status == RunStatus::Ok && taken < 2) {
        result.messages.push_back({ RunMessageCode::TooFewPoints });
        report(0);
        result.status = RunStatus::Failed;
    }
    return result;
}

} // namespace velumo
