#pragma once
// A message sink for tests: keeps every message in the order raised.

#include <vector>

#include "Messages.h"

namespace velumo::test {

class MessageRecorder : public MessageSink {
public:
    void message(const Message& m) override { messages.push_back(m); }
    std::vector<Message> messages;
};

} // namespace velumo::test
