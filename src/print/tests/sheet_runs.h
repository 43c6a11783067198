#pragma once

// The worksheet runs the printing tests print, each with its settings fixed,
// and what they print as the recording stand-in takes it down.

#include "output/run_services.h"
#include "print/qprinter_channel.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kestrin::printtest {

// One run of a generator on the services it is handed.
using SheetRun = std::function<RunResult(const RunServices&)>;

// Sheet settings that print and write no file.
SheetSettings printedSheet(const char* perRow, const char* rows, const char* pages, bool answers);

// Seven-term addition and subtraction chains.
SheetRun sevenTermRun(const SheetSettings& settings);
// Three-digit by one-digit multiplication as the window starts: 5 a row, 30 rows, 4 pages.
SheetRun multiplicationRun();
// Division in the four groups the window starts with, 5 a row, 10 sets.
SheetRun divisionRun();

// One sheet of each of the further kinds, with answers where the kind has them.
struct NamedRun {
    const char* name;
    SheetRun run;
    QString signs; // characters that must come back as themselves
};
std::vector<NamedRun> furtherKindRuns();

// The pages the run prints, from the recording stand-in. The random source
// starts fixed, so a second run with a fresh one prints the same.
std::vector<QStringList> expectedPages(const SheetRun& run);

// What became of a run on a real channel.
struct ChannelRun {
    bool completed = false;
    QString messages; // the messages it showed, one a line
};

// Runs on the given channel with a fresh random source, as expectedPages() does.
ChannelRun runOn(const SheetRun& run, QPrinterChannel& printer);

} // namespace kestrin::printtest
