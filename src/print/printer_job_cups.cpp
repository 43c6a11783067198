// Jobs handed to CUPS by the program itself. Qt's CUPS print engine paints a
// PDF and submits it without looking at the answer, so a queue that rejects
// jobs would seem to have printed. Here the same PDF is painted into a file of
// our own and submitted through libcups, and CUPS's answer counts.

#include "qprinter_channel.h"

#include <QByteArray>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>

#include <cups/cups.h>

namespace kestrin {

namespace {

// CUPS's message without its closing full stop: it goes inside a sentence.
QString reasonOfLastError()
{
    QString reason = QString::fromUtf8(cupsLastErrorString()).trimmed();
    while (reason.endsWith(u'.') || reason.endsWith(u'。'))
        reason.chop(1);
    return reason.isEmpty() ? QStringLiteral("原因不明") : reason;
}

// The sides option as Qt's CUPS engine gives it for a duplex mode.
const char* sidesOf(QPrinter::DuplexMode duplex, QPageLayout::Orientation orientation)
{
    switch (duplex) {
    case QPrinter::DuplexNone:
        return "one-sided";
    case QPrinter::DuplexAuto:
        return orientation == QPageLayout::Portrait ? "two-sided-long-edge" : "two-sided-short-edge";
    case QPrinter::DuplexLongSide:
        return "two-sided-long-edge";
    case QPrinter::DuplexShortSide:
        return "two-sided-short-edge";
    }
    return "one-sided";
}

} // namespace

bool QPrinterChannel::printOn(const QString& printerName, const std::vector<QStringList>& pages)
{
    // The paper, margins and sides QPrinter takes for this printer, so the
    // page comes out as it would when painted on the printer itself.
    QPrinter onPrinter(QPrinter::HighResolution);
    onPrinter.setPrinterName(printerName);
    const QPageLayout layout = onPrinter.pageLayout();

    QTemporaryDir folder;
    if (!folder.isValid()) {
        error_ = QStringLiteral("无法建立打印用的临时文件：") + folder.errorString();
        return false;
    }
    const QString pdf = folder.filePath(QStringLiteral("job.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageLayout(layout);
    printer.setDocName(jobTitle());
    if (!paintJob(printer, pages, cannotStartOn(printerName)))
        return false;

    cups_option_t* options = nullptr;
    int optionCount = 0;
    optionCount = cupsAddOption("media", layout.pageSize().key().toUtf8().constData(), optionCount, &options);
    optionCount = cupsAddOption("sides", sidesOf(onPrinter.duplex(), layout.orientation()), optionCount, &options);
    if (layout.orientation() == QPageLayout::Landscape)
        optionCount = cupsAddOption("landscape", "", optionCount, &options);
    // A printer instance ("queue/instance") is a set of options on its queue.
    const QByteArray queue = printerName.section(u'/', 0, 0).toUtf8();
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.constData(), QFile::encodeName(pdf).constData(),
        jobTitle().toUtf8().constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0) {
        error_ = QStringLiteral("打印机“") + printerName + QStringLiteral("”没有接受打印任务：") + reasonOfLastError();
        sheetsPrinted_ = 0;
        return false;
    }
    return true;
}

} // namespace kestrin
