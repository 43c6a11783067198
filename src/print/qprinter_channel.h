#pragma once

#include "output/printer_channel.h"

namespace kestrin {

// Placeholder: the real channel prints on the default printer through QPrinter.
class QPrinterChannel final : public PrinterChannel {
public:
    bool begin(const QString&) override { return false; }
    void printLine(const QString&) override {}
    void printEmptyLine() override {}
    void endPage() override {}
    bool finish() override { return false; }
    void abort() override {}
    QString errorString() const override { return {}; }
};

} // namespace kestrin
