#pragma once

#include "runtime/message_sink.h"

namespace kestrin::app {

// Messages of a run in a modal box over the active window: the text, an OK
// button and nothing else (no icon, no title of its own).
class MessageBoxSink final : public MessageSink {
public:
    void show(const QString& text) override;
};

} // namespace kestrin::app
