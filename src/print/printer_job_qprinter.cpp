// Jobs painted on the printer through QPrinter and its print engine: what the
// engine does not report, a refused job among it, goes unnoticed here.

#include "qprinter_channel.h"

#include <QPrinter>

namespace kestrin {

bool QPrinterChannel::printOn(const QString& printerName, const std::vector<QStringList>& pages)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(printerName);
    printer.setDocName(jobTitle());
    return paintJob(printer, pages, cannotStartOn(printerName));
}

} // namespace kestrin
