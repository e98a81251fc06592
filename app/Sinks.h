#pragma once
// Sinks that hand the messages, focus requests and progress of the input
// check to the main window.

#include <functional>
#include <string_view>

#include "InputCheck.h"

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

// Drops what it is given: for set-up steps repeated only to redraw.
class SilentSink : public MessageSink {
public:
    void message(const Message&) override { }
};

} // namespace velumo
