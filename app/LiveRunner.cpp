#include "LiveRunner.h"

#include <memory>

#include "Simulation.h"

namespace velumo {

LiveRunner::LiveRunner(Done done, Failed failed, QObject* parent)
    : QObject(parent)
    , m_done(std::move(done))
    , m_failed(std::move(failed))
{
    m_pool.setMaxThreadCount(1);
    // The run's own helper thread does the second half of the points; a
    // pool thread kept alive saves its start on the next keystroke.
    m_pool.setExpiryTimeout(-1);
}

LiveRunner::~LiveRunner()
{
    ++m_generation;
    m_pool.waitForDone();
}

void LiveRunner::submit(RunInput in)
{
    ++m_generation;
    if (m_inFlight) {
        m_waiting = std::move(in);
        return;
    }
    start(std::move(in), m_generation);
}

void LiveRunner::supersede()
{
    ++m_generation;
    m_waiting.reset();
}

void LiveRunner::start(RunInput in, std::uint64_t generation)
{
    m_inFlight = true;
    m_pool.start([this, in = std::move(in), generation]() mutable {
        // Owned by the queued call until it is delivered; a call dropped
        // with its receiver frees them too.
        auto outcome = std::make_shared<RunOutcome>();
        auto input = std::make_shared<RunInput>(std::move(in));
        std::string failure;
        try {
            *outcome = presentRun(runSimulation(*input));
        } catch (const std::exception& e) {
            failure = e.what();
        } catch (...) {
            failure = "Unbekannter Fehler";
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, outcome, input, failure] {
                arrived(generation, outcome.get(), input.get(), failure);
            },
            Qt::QueuedConnection);
    });
}

void LiveRunner::arrived(
    std::uint64_t generation, RunOutcome* outcome, RunInput* in, const std::string& failure)
{
    m_inFlight = false;
    const bool latest = generation == m_generation;
    if (m_waiting) {
        RunInput next = std::move(*m_waiting);
        m_waiting.reset();
        start(std::move(next), m_generation);
    }
    if (!latest)
        return;
    if (!failure.empty()) {
        m_failed(failure);
        return;
    }
    ++m_delivered;
    m_done(*outcome, *in);
}

} // namespace velumo
