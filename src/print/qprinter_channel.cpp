#include "qprinter_channel.h"

#include "page_layout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kestrin {

QPrinterChannel::QPrinterChannel() = default;
QPrinterChannel::~QPrinterChannel() = default;

bool QPrinterChannel::begin(const QString& documentName)
{
    abort();
    error_.clear();
    documentName_ = documentName;
    if (pdfOutput_.isEmpty()) {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (printer.isNull()) {
            error_ = QStringLiteral("没有找到默认打印机");
            return false;
        }
        printerName_ = printer.printerName();
    }
    open_ = true;
    return true;
}

void QPrinterChannel::printLine(const QString& text)
{
    if (open_)
        current_.append(text);
}

void QPrinterChannel::printEmptyLine()
{
    if (open_)
        current_.append(QString());
}

void QPrinterChannel::endPage()
{
    if (!open_)
        return;
    pages_.push_back(current_);
    current_.clear();
}

void QPrinterChannel::abort()
{
    open_ = false;
    pages_.clear();
    current_.clear();
}

bool QPrinterChannel::finish()
{
    sheetsPrinted_ = 0;
    if (!open_) {
        error_ = QStringLiteral("打印任务没有开始");
        return false;
    }
    std::vector<QStringList> pages = std::move(pages_);
    // Lines after the last end page would otherwise be lost: they make a last page.
    if (!current_.isEmpty())
        pages.push_back(current_);
    abort();
    if (pages.empty())
        return true; // a job without pages sends nothing

    if (!pdfOutput_.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfOutput_);
        printer.setDocName(jobTitle());
        return paintJob(printer, pages, QStringLiteral("无法写入文件“") + pdfOutput_ + QStringLiteral("”"));
    }
    // The printer chosen at begin(), addressed afresh: it may have gone since.
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName_);
    if (info.isNull()) {
        error_ = QStringLiteral("找不到打印机“") + printerName_ + QStringLiteral("”");
        return false;
    }
    return printOn(info.printerName(), pages);
}

QString QPrinterChannel::jobTitle() const
{
    return jobName_.isEmpty() ? documentName_ : jobName_;
}

QString QPrinterChannel::cannotStartOn(const QString& printerName)
{
    return QStringLiteral("无法在打印机“") + printerName + QStringLiteral("”上开始打印");
}

bool QPrinterChannel::paintJob(QPrinter& printer, const std::vector<QStringList>& pages, const QString& cannotStart,
    const JobEnd& endJob)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        error_ = cannotStart;
        return false;
    }
    if (!paintPages(painter, printer, pages)) {
        // Nothing of a half-painted job may reach the printer.
        printer.abort();
        painter.end();
        sheetsPrinted_ = 0;
        return false;
    }
    QString failure;
    if (endJob)
        failure = endJob(painter);
    else if (!painter.end())
        failure = QStringLiteral("打印任务没有送到打印机");
    if (failure.isEmpty() && (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted))
        failure = QStringLiteral("打印任务没有送到打印机");
    if (!failure.isEmpty()) {
        error_ = failure;
        sheetsPrinted_ = 0;
        return false;
    }
    return true;
}

bool QPrinterChannel::paintPages(QPainter& painter, QPrinter& printer, const std::vector<QStringList>& pages)
{
    const QFont font = worksheetFont();
    const QFontMetricsF metrics(font, &printer);
    // The painter's origin is the top left corner of the printable area.
    const QSizeF printable = printer.pageRect(QPrinter::DevicePixel).size();
    painter.setFont(font);
    painter.setPen(Qt::black);

    bool firstSheet = true;
    for (const QStringList& lines : pages) {
        const PageLayout layout = PageLayout::forLines(lines, metrics, printable);
        for (int sheet = 0; sheet < layout.sheetCount(); ++sheet) {
            if (!firstSheet && !printer.newPage()) {
                error_ = QStringLiteral("打印机无法换页");
                return false;
            }
            firstSheet = false;
            painter.save();
            painter.scale(layout.scale(), layout.scale());
            const int first = layout.firstLineOfSheet(sheet);
            for (int i = 0; i < layout.linesOnSheet(sheet); ++i) {
                const QString& line = lines[first + i];
                if (line.isEmpty())
                    continue;
                const qreal baseline = layout.lineTop(i) / layout.scale() + metrics.ascent();
                painter.drawText(QPointF(0, baseline), line);
            }
            painter.restore();
            ++sheetsPrinted_;
        }
    }
    return true;
}

} // namespace kestrin
