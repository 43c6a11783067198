#pragma once

#include "output/printer_channel.h"
#include "output/worksheet_file.h"
#include "runtime/message_sink.h"
#include "runtime/random_source.h"

#include <QString>

namespace kestrin {

// What a generator needs from the world around it, handed in by the caller.
struct RunServices {
    RandomSource& random;
    MessageSink& messages;
    WorksheetFile& file;
    PrinterChannel& printer;
};

// The settings every sheet has, as the window holds them: the three counts as
// typed, and the three switches.
struct SheetSettings {
    QString perRow;
    QString rowsPerPage;
    QString pages;
    bool answers = false;
    bool toPrinter = false;
    bool toFile = true;
};

// What a run leaves for its window: on completion the status text and the
// completion text; a refused or failed run has told the teacher why through
// the message sink and changes nothing on the window.
struct RunResult {
    bool completed = false;
    QString statusText;
    QString completionText;

    static RunResult done(QString status, QString completion)
    {
        return RunResult{true, std::move(status), std::move(completion)};
    }
    static RunResult stopped() { return RunResult{}; }
};

// The two output switches of a run and the channels behind them. Lines go only
// to the channels that are switched on. Failures of a channel are shown through
// the message sink; after one, the run stops, nothing goes to the printer and the
// earlier worksheet file of that name stays as it was.
class SheetOutput {
public:
    SheetOutput(const RunServices& services, bool toFile, bool toPrinter);
    ~SheetOutput();
    SheetOutput(const SheetOutput&) = delete;
    SheetOutput& operator=(const SheetOutput&) = delete;

    bool toFile() const { return toFile_; }
    bool toPrinter() const { return toPrinter_; }

    // Starts the print job, if printing; false after a message when there is no printer.
    bool startPrinting(const QString& documentName);
    // Opens a worksheet file, if writing one; false after a message when it cannot be made.
    bool openFile(const QString& fileName, int fileNumber);
    // Makes the open file complete on disk; false after a message.
    bool closeFile();
    // Sends the print job to the printer; false after a message.
    bool finishPrinting();

    void record(const QString& text);
    void emptyRecord();
    void print(const QString& text);
    void printEmpty();
    void endPage();

private:
    const RunServices& services_;
    bool toFile_;
    bool toPrinter_;
    bool fileOpen_ = false;
    bool printing_ = false;
    QString fileName_;
};

} // namespace kestrin
