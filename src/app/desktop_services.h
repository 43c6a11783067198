#pragma once

#include "app/message_box_sink.h"
#include "output/run_services.h"
#include "output/worksheet_file.h"
#include "print/qprinter_channel.h"

namespace kestrin::app {

// The services of the running program: the process's random source, message
// boxes, worksheet files in the working directory and the default printer.
// Made once at start-up, after the application object.
class DesktopServices {
public:
    RunServices services() { return RunServices{processRandom(), messages_, file_, printer_}; }

private:
    MessageBoxSink messages_;
    DiskWorksheetFile file_;
    QPrinterChannel printer_;
};

} // namespace kestrin::app
