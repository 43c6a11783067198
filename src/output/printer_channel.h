#pragma once

#include <QString>

namespace kestrin {

// The printer channel: whole lines and page ends on the default printer.
// One run is one print job: begin() before the first line, finish() after the
// last end page. Nothing reaches the printer until finish() succeeds; abort()
// drops the job.
class PrinterChannel {
public:
    virtual ~PrinterChannel() = default;
    // Starts a job on the default printer; false (see errorString) when there is none.
    virtual bool begin(const QString& documentName) = 0;
    virtual void printLine(const QString& text) = 0;
    virtual void printEmptyLine() = 0;
    virtual void endPage() = 0;
    virtual bool finish() = 0;
    virtual void abort() = 0;
    virtual QString errorString() const = 0;
};

} // namespace kestrin
