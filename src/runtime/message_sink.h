#pragma once

#include <QString>

namespace kestrin {

// Where a run's messages go: a modal box with an OK button in the program,
// a list in the tests. show() returns once the user has closed the message.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const QString& text) = 0;
};

} // namespace kestrin
