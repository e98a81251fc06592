#pragma once
// Sinks that hand the messages, focus requests and progress of the input
// check and of a run to the main window.

#include <functional>
#include <string_view>

#include "InputCheck.h"
#include "Simulation.h"

namespace velumo {

class WindowCheckSink : public CheckSink {
public:
    WindowCheckSink(
        std::function<void(const Message&)> onMessage, std::function<void(std::string_view)> onFocus)
        : m_onMessage(std::move(onMessage))
        , m_onFocus(std::move(onFocus))
    {
    }
    void message(const Message& m) override { m_onMessage(m); }
    void focus(std::string_view controlName) override { m_onFocus(controlName); }

private:
    std::function<void(const Message&)> m_onMessage;
    std::function<void(std::string_view)> m_onFocus;
};

class WindowRunSink : public RunSink {
public:
    WindowRunSink(std::function<void(const Message&)> onMessage, std::function<void(int)> onProgress)
        : m_onMessage(std::move(onMessage))
        , m_onProgress(std::move(onProgress))
    {
    }
    void message(const Message& m) override { m_onMessage(m); }
    void progress(int percent) override { m_onProgress(percent); }

private:
    std::function<void(const Message&)> m_onMessage;
    std::function<void(int)> m_onProgress;
};

// Drops what it is given: for set-up steps repeated only to redraw.
class SilentSink : public MessageSink {
public:
    void message(const Message&) override { }
};

} // namespace velumo
