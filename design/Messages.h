#pragma once
// Messages raised by the engine or the input check travel through a sink, in
// the order they are raised; the window shows them as message boxes, the
// command-line runner prints them, tests record them.

#include <string>

namespace velumo {

struct Message {
    std::string caption; // "Hinweis", "Fehler" or empty (a box without caption)
    std::string text;    // may hold "\n" between lines
};

inline bool operator==(const Message& a, const Message& b)
{
    return a.caption == b.caption && a.text == b.text;
}

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void message(const Message& m) = 0;
};

} // namespace velumo
