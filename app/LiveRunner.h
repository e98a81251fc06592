#pragma once
// Runs of the live mode, off the window's thread: at most one run is in
// flight, newer inputs replace the ones still waiting, and a result reaches
// the window only while it belongs to the latest inputs.

#include <QObject>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "RunInput.h"
#include "RunPresentation.h"

namespace velumo {

class LiveRunner : public QObject {
    Q_OBJECT
public:
    // Called on the window's thread with the result of the latest inputs,
    // or with the text of a failure inside the run.
    using Done = std::function<void(RunOutcome& outcome, const RunInput& in)>;
    using Failed = std::function<void(const std::string& why)>;

    LiveRunner(Done done, Failed failed, QObject* parent = nullptr);
    // Waits for the run in flight; its result is dropped.
    ~LiveRunner() override;

    // The newest inputs: run at once when no run is in flight, else after it.
    void submit(RunInput in);
    // The inputs changed to something that is not run (invalid, or taken
    // over by the start command): a result still in flight is dropped.
    void supersede();

    // A run in flight or waiting.
    bool busy() const { return m_inFlight || m_waiting.has_value(); }
    // Results handed to the window so far.
    int delivered() const { return m_delivered; }

private:
    void start(RunInput in, std::uint64_t generation);
    void arrived(std::uint64_t generation, RunOutcome* outcome, RunInput* in, const std::string& failure);

    Done m_done;
    Failed m_failed;
    QThreadPool m_pool;
    std::optional<RunInput> m_waiting;
    std::uint64_t m_generation = 0;
    bool m_inFlight = false;
    int m_delivered = 0;
};

} // namespace velumo
