// Jobs painted on the printer through QPrinter and Windows' print engine.
//
// The engine (QWin32PrintEngine) keeps what is painted on a page and paints it
// on the printer's device context only when the page ends (its newPage() and
// end() flush it). Its end() paints the last page, then calls EndPage and
// EndDoc and returns true whatever they answer: a job the spooler refuses at
// EndDoc (under Wine, a CUPS queue that rejects jobs) would count as printed.
// So the channel ends the document itself: it has the engine paint the last
// page, as newPage() does, calls EndPage and EndDoc on the engine's device
// context and takes Windows' answer, with Windows' error code. The engine's
// end() then finds the document ended; its own EndPage and EndDoc fail and it
// logs that, which is no news, so those messages are held back.
//
// This leans on how the engine works inside, which Qt may change between
// versions: it was read in Qt 6.4 and 5.15 (qprintengine_win.cpp and
// qpaintengine_alpha.cpp), and another Qt does not build until it is read again.

#include "qprinter_channel.h"

#include <QLoggingCategory>
#include <QPainter>
#include <QPrinter>

#include <QtPrintSupport/private/qprintengine_win_p.h>

static_assert((QT_VERSION >= QT_VERSION_CHECK(6, 4, 0) && QT_VERSION < QT_VERSION_CHECK(6, 5, 0)) ||
                  (QT_VERSION >= QT_VERSION_CHECK(5, 15, 0) && QT_VERSION < QT_VERSION_CHECK(5, 16, 0)),
    "printer_job_windows.cpp ends the document of QWin32PrintEngine as Qt 6.4 and 5.15 paint and end it; "
    "read QWin32PrintEngine::end() and newPage() and QAlphaPaintEngine::flushAndInit() of this Qt first");

namespace kestrin {

namespace {

// The engine's flush of the page painted so far (protected in Qt).
struct PageFlush : QWin32PrintEngine {
    using QAlphaPaintEngine::flushAndInit;
};

// Holds back the messages of Qt's default category (where the print engine
// logs a failed spooler call) while it lives; other categories are left as
// the filter before it set them.
class EngineQuiet {
public:
    EngineQuiet() { earlier_ = QLoggingCategory::installFilter(quiet); }
    ~EngineQuiet() { QLoggingCategory::installFilter(earlier_); }
    EngineQuiet(const EngineQuiet&) = delete;
    EngineQuiet& operator=(const EngineQuiet&) = delete;

private:
    static void quiet(QLoggingCategory* category)
    {
        if (earlier_)
            earlier_(category);
        if (qstrcmp(category->categoryName(), "default") == 0) {
            category->setEnabled(QtWarningMsg, false);
            category->setEnabled(QtCriticalMsg, false);
        }
    }
    static inline QLoggingCategory::CategoryFilter earlier_ = nullptr;
};

// Windows' text for an error code, without its closing full stop: it goes
// inside a sentence. Empty for "no error", which is no reason.
QString reasonOf(DWORD code)
{
    if (code == ERROR_SUCCESS)
        return {};
    QString text = qt_error_string(static_cast<int>(code)).trimmed();
    while (text.endsWith(u'.') || text.endsWith(u'。'))
        text.chop(1);
    return text;
}

// Ends the painter and the job on Windows' spooler; why Windows did not take
// the job, or empty when it did.
QString endOnSpooler(QPainter& painter, const QString& printerName)
{
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Windows)
        return painter.end() ? QString() : QStringLiteral("打印任务没有送到打印机");
    auto* printEngine = static_cast<QWin32PrintEngine*>(engine);
    (printEngine->*(&PageFlush::flushAndInit))(true);
    const HDC dc = printEngine->getDC();
    bool taken = true;
    SetLastError(ERROR_SUCCESS);
    if (EndPage(dc) <= 0) {
        taken = false;
        const DWORD code = GetLastError();
        AbortDoc(dc); // nothing of a job with a page lost may print
        SetLastError(code);
    } else if (EndDoc(dc) <= 0) {
        taken = false;
    }
    const QString reason = taken ? QString() : reasonOf(GetLastError());
    {
        const EngineQuiet quiet;
        painter.end();
    }
    if (taken)
        return {};
    QString said = QStringLiteral("打印机“") + printerName + QStringLiteral("”没有接受打印任务：Windows 报告打印任务没有完成");
    if (!reason.isEmpty())
        said += QStringLiteral("（") + reason + QStringLiteral("）");
    return said;
}

} // namespace

bool QPrinterChannel::printOn(const QString& printerName, const std::vector<QStringList>& pages)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(printerName);
    printer.setDocName(jobTitle());
    return paintJob(printer, pages, cannotStartOn(printerName),
        [&printerName](QPainter& painter) { return endOnSpooler(painter, printerName); });
}

} // namespace kestrin
