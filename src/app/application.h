#pragma once

namespace kestrin::app {

// Sets up the application (fonts, the main window shown maximized) and runs
// its event loop until the teacher leaves.
int run(int argc, char* argv[]);

} // namespace kestrin::app
