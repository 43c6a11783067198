#pragma once

#include "output/printer_channel.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPainter;
class QPrinter;

namespace kestrin {

// The printer channel on the system's default printer, through QPrinter.
//
// begin() checks that there is a default printer and opens the job; the lines
// of every page are kept until finish(), which lays the pages out (see
// PageLayout) and sends them to the printer as one print job. abort() drops
// the kept pages: nothing has been sent by then, so nothing is printed.
//
// Where the print system is CUPS (built with KESTRIN_PRINT_THROUGH_CUPS), the
// job is painted into a PDF file laid out for the printer's paper and handed to
// CUPS here, so that a job CUPS does not take (a queue that rejects jobs, a
// submission that fails) makes finish() fail with CUPS's reason. A queue that
// takes the job and holds it, a paused printer, has accepted it. Elsewhere the
// job is painted on the printer through QPrinter; on Windows the channel ends
// the job's document itself, so that a job the spooler refuses makes finish()
// fail with Windows' reason (see printer_job_windows.cpp).
class QPrinterChannel final : public PrinterChannel {
public:
    QPrinterChannel();
    ~QPrinterChannel() override;

    // The job's name on the printer; when set it stands instead of the name
    // the generator hands to begin(). Empty (the default) means that name.
    void setJobName(const QString& name) { jobName_ = name; }
    // Paints the job into this PDF file instead of sending it to the default
    // printer; no printer is needed then. Empty (the default) means the printer.
    void setPdfOutput(const QString& filePath) { pdfOutput_ = filePath; }

    bool begin(const QString& documentName) override;
    void printLine(const QString& text) override;
    void printEmptyLine() override;
    void endPage() override;
    bool finish() override;
    void abort() override;
    QString errorString() const override { return error_; }

    // Sheets the last finished job put on paper.
    int sheetsPrinted() const { return sheetsPrinted_; }

private:
    QString jobTitle() const;
    static QString cannotStartOn(const QString& printerName);
    // Sends the pages to the named printer as one job; false with error_ set.
    // Defined apart for each way jobs reach a printer (see the class comment).
    bool printOn(const QString& printerName, const std::vector<QStringList>& pages);
    // Ends the painter, and with it the job; says why the job failed, or
    // nothing when it went out.
    using JobEnd = std::function<QString(QPainter&)>;
    // Paints the pages as one job on `printer`; false with error_ set (to
    // `cannotStart` when the printer cannot be opened). `endJob`, where given,
    // ends the painter instead of a plain QPainter::end().
    bool paintJob(QPrinter& printer, const std::vector<QStringList>& pages, const QString& cannotStart,
        const JobEnd& endJob = {});
    bool paintPages(QPainter& painter, QPrinter& printer, const std::vector<QStringList>& pages);

    QString jobName_;
    QString pdfOutput_;
    QString printerName_;
    QString documentName_;
    bool open_ = false;
    std::vector<QStringList> pages_;
    QStringList current_;
    int sheetsPrinted_ = 0;
    QString error_;
};

} // namespace kestrin
