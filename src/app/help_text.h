#pragma once

#include <QString>

namespace kestrin::app {

// The text of the help window: lines separated by CR LF, paragraphs by a blank
// line, ending with a line break.
QString helpText();

} // namespace kestrin::app
