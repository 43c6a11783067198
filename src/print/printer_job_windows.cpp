// Jobs painted on the printer through QPrinter and Windows' print engine. The
// engine tells of a spooler call that failed (StartDoc, StartPage, EndPage,
// EndDoc: a queue that refuses the job fails EndDoc) only in its log and still
// reports the job as printed, so the log of the job is watched here and such a
// failure fails the job.

#include "qprinter_channel.h"

#include <QPrinter>
#include <QRegularExpression>

namespace kestrin {

namespace {

// What the print engine logged as failed while a job is being painted.
QStringList* engineFailures = nullptr;
QtMessageHandler earlierHandler = nullptr;

void watchPrintEngine(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (engineFailures && message.contains(QLatin1String("Win32PrintEngine")) &&
        message.contains(QLatin1String(" failed")))
        engineFailures->append(message);
    if (earlierHandler)
        earlierHandler(type, context, message);
}

QString withoutFullStop(QString text)
{
    text = text.trimmed();
    while (text.endsWith(u'.') || text.endsWith(u'。'))
        text.chop(1);
    return text;
}

// What Windows said of the job: that it did not complete, and in brackets the
// system's reason that the engine adds at the end of its log, where there is
// one (a spooler that failed without setting one leaves the text of "no error"
// there, which is no reason).
QString reasonOf(const QString& message)
{
    static const QRegularExpression trailing(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QString reason = withoutFullStop(trailing.match(message).captured(1));
    QString said = QStringLiteral("Windows 报告打印任务没有完成");
    if (!reason.isEmpty() && reason != withoutFullStop(qt_error_string(0)))
        said += u'（' + reason + u'）';
    return said;
}

class EngineWatch {
public:
    EngineWatch()
    {
        engineFailures = &failures;
        earlierHandler = qInstallMessageHandler(watchPrintEngine);
    }
    ~EngineWatch()
    {
        qInstallMessageHandler(earlierHandler);
        earlierHandler = nullptr;
        engineFailures = nullptr;
    }
    EngineWatch(const EngineWatch&) = delete;
    EngineWatch& operator=(const EngineWatch&) = delete;

    QStringList failures;
};

} // namespace

bool QPrinterChannel::printOn(const QString& printerName, const std::vector<QStringList>& pages)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(printerName);
    printer.setDocName(jobTitle());
    EngineWatch watch;
    if (!paintJob(printer, pages, cannotStartOn(printerName)))
        return false;
    if (!watch.failures.isEmpty()) {
        error_ = QStringLiteral("打印机“") + printerName + QStringLiteral("”没有接受打印任务：") +
                 reasonOf(watch.failures.last());
        sheetsPrinted_ = 0;
        return false;
    }
    return true;
}

} // namespace kestrin
