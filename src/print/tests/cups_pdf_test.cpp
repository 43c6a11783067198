// Printing for real: the channel sends its job to the default printer, and the
// test reads the job back from where the printer put it: the tests' own
// cups-pdf queue KestrinPDF, which CTest makes the process's default (LPDEST);
// the machine's default printer is left alone. On any other printer the tests skip.
//
// What cups-pdf makes of a job: CUPS turns the PDF that Qt sends into
// PostScript (Ghostscript's ps2write, as the cups-pdf PPD asks for PostScript)
// and cups-pdf distils that back into a PDF. On the way every font becomes a
// Type 3 font whose characters no longer carry their Unicode values: pdftotext
// gives one made-up character per glyph, with or without -layout. The same
// round trip through ps2write loses the text of a Qt PDF in a plain Latin font
// (DejaVu Sans Mono) too, so no font choice helps; the pdftocairo renderer of
// CUPS keeps some text but drops glyphs, and a raw job gives an empty PDF.
// The pages themselves are intact. So these tests check the sheets (pdfinfo),
// and the text as a code: pdftotext still gives one character per drawn glyph,
// lines and blanks in place, and the same glyph always as the same character
// on a page, so a page's text must be exactly the printed lines under one
// one-to-one replacement of characters (one of which may come out as a
// blank, see below). That fixes the count and order of
// lines, the blanks between cells, which numbers are equal and which differ:
// a lost, cut or shuffled line or number breaks it. Where the queue keeps the
// text (another Ghostscript or filter chain) it is also compared as it is.
// The readable text of the same painting is checked in pdf_output_test.cpp.

#include "pdf_text.h"
#include "print/qprinter_channel.h"
#include "sheet_runs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace kestrin {
namespace {

using namespace kestrin::printtest;


// A job name no other run of these tests uses; cups-pdf names its file after it.
QString uniqueJobName(const char* what)
{
    return QStringLiteral("kestrin-test-%1-%2-%3")
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(QString::fromLatin1(what));
}

// Why the default printer may not be printed on, or empty when it is a cups-pdf queue.
QString refuseDefaultPrinter()
{
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty())
        return QStringLiteral("there is no default printer (run scripts/setup-printer.sh as root)");
    const ToolRun lpstat = runTool(QStringLiteral("lpstat"), {QStringLiteral("-v"), name});
    if (!lpstat.started)
        return QStringLiteral("lpstat is not installed");
    if (lpstat.exitCode != 0 || !lpstat.output.contains(QStringLiteral("cups-pdf:")))
        return QStringLiteral("the default printer \"%1\" is not a cups-pdf queue; nothing is printed on a real printer")
            .arg(name);
    return {};
}

// Whether `text` is `expected` with every character replaced one-to-one
// (the same character always by the same, different ones by different ones).
// Runs of blanks and line ends compare as one blank. On a mismatch, says where.
QString differenceUpToCharacters(const QString& expected, const QString& text)
{
    const QString want = collapsed(expected);
    const QString got = collapsed(text);
    QHash<QChar, QChar> forward;
    QHash<QChar, QChar> backward;
    const qsizetype common = std::min(want.size(), got.size());
    for (qsizetype i = 0; i < common; ++i) {
        const QChar w = want.at(i);
        const QChar g = got.at(i);
        const auto f = forward.constFind(w);
        const auto b = backward.constFind(g);
        if ((w == u' ') != (g == u' ') || (f != forward.constEnd() && *f != g) || (b != backward.constEnd() && *b != w)) {
            return QStringLiteral("at character %1: expected \"…%2\", printed \"…%3\"")
                .arg(i)
                .arg(want.mid(std::max<qsizetype>(0, i - 20), 40), got.mid(std::max<qsizetype>(0, i - 20), 40));
        }
        forward.insert(w, g);
        backward.insert(g, w);
    }
    if (want.size() != got.size())
        return QStringLiteral("expected %1 characters, printed %2").arg(want.size()).arg(got.size());
    return {};
}

// As above, but Ghostscript may give one glyph of the page the code of a blank
// (on this setup the "*" of the title, the first glyph drawn): one character
// of the expected text may come out as a blank wherever it stands.
QString differenceUpToCharactersAndOneBlank(const QString& expected, const QString& text)
{
    const QString exact = differenceUpToCharacters(expected, text);
    if (exact.isEmpty())
        return {};
    QString seen;
    for (QChar c : expected) {
        if (c.isSpace() || seen.contains(c))
            continue;
        seen.append(c);
        QString blanked = expected;
        blanked.replace(c, u' ');
        if (differenceUpToCharacters(blanked, text).isEmpty())
            return {};
    }
    return exact;
}

// The printed text of a sheet (or of all sheets of a page) against the lines
// of the worksheet page: the same up to characters and one blank, and where
// the queue kept the text, the lines themselves in order.
void expectLinesAsPrinted(const QString& text, const QStringList& lines, const std::string& where)
{
    const QString difference = differenceUpToCharactersAndOneBlank(asReaderSees(lines.join(u'\n')), text);
    EXPECT_TRUE(difference.isEmpty()) << where << ": " << difference.toStdString();
    if (text.contains(QStringLiteral("KestrinV2.0"))) { // the queue kept the text: compare it as it is
        const auto missing = firstMissingInOrder(text, lines);
        EXPECT_FALSE(missing) << where << " lacks \"" << missing->toStdString() << "\"";
    }
}

class CupsPdfPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!havePoppler())
            GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
        const QString refused = refuseDefaultPrinter();
        if (!refused.isEmpty())
            GTEST_SKIP() << refused.toStdString();
    }

    // The PDF of a passing test is removed; a failing test's stays for a look.
    void TearDown() override
    {
        if (!printedPdf_.isEmpty() && !HasFailure())
            QFile::remove(printedPdf_);
    }

    // Prints the run on the default printer under a fresh job name; the PDF
    // cups-pdf made of it, or empty after a failure.
    QString printRun(const SheetRun& run, const char* what, int* sheets)
    {
        QPrinterChannel printer;
        const QString job = uniqueJobName(what);
        printer.setJobName(job);
        const ChannelRun ran = runOn(run, printer);
        EXPECT_TRUE(ran.completed) << ran.messages.toStdString();
        if (!ran.completed)
            return {};
        *sheets = printer.sheetsPrinted();
        const QString pdf = waitForPrintedPdf(job);
        EXPECT_FALSE(pdf.isEmpty()) << "no PDF named " << job.toStdString() << "*.pdf in ~/PDF after "
                                    << kPrintWaitSeconds << " s, or the job is still queued";
        printedPdf_ = pdf;
        return pdf;
    }

    // Prints a run whose every page fits one sheet; checks the sheets and
    // each one's text against its page.
    void expectOneSheetPerPage(const SheetRun& run, const char* what, size_t pageCount)
    {
        const std::vector<QStringList> pages = expectedPages(run);
        ASSERT_EQ(pages.size(), pageCount);
        int sheets = 0;
        const QString pdf = printRun(run, what, &sheets);
        ASSERT_FALSE(pdf.isEmpty());

        EXPECT_EQ(sheets, static_cast<int>(pageCount));
        ASSERT_EQ(pdfPageCount(pdf), static_cast<int>(pageCount));
        for (int page = 1; page <= static_cast<int>(pageCount); ++page) {
            const QStringList lines = linesWithText(pages[static_cast<size_t>(page - 1)]);
            ASSERT_TRUE(lines.last().contains(QStringLiteral("第%1页").arg(page)));
            expectLinesAsPrinted(pdfText(pdf, page), lines, "page " + std::to_string(page));
        }
    }

    QString printedPdf_;
};

TEST_F(CupsPdfPrinting, FivePagesComeOutAsFiveSheetsWithTheirLines)
{
    expectOneSheetPerPage(sevenTermRun(printedSheet("15", "5", "5", false)), "five", 5);
}

TEST_F(CupsPdfPrinting, MultiplicationComesOutAsFourSheetsWithTheirLines)
{
    expectOneSheetPerPage(multiplicationRun(), "multiplication", 4);
}

TEST_F(CupsPdfPrinting, DivisionComesOutAsOneSheetPerSetWithItsLines)
{
    expectOneSheetPerPage(divisionRun(), "division", 10);
}

TEST_F(CupsPdfPrinting, EveryFurtherKindComesOutAsOneSheet)
{
    for (const NamedRun& kind : furtherKindRuns()) {
        SCOPED_TRACE(kind.name);
        expectOneSheetPerPage(kind.run, kind.name, 1);
        if (!HasFailure() && !printedPdf_.isEmpty())
            QFile::remove(printedPdf_);
    }
}

TEST_F(CupsPdfPrinting, WidestPageLosesNothing)
{
    const SheetRun run = sevenTermRun(printedSheet("50", "10", "1", true));
    const std::vector<QStringList> pages = expectedPages(run);
    ASSERT_EQ(pages.size(), 1u);
    int sheets = 0;
    const QString pdf = printRun(run, "wide", &sheets);
    ASSERT_FALSE(pdf.isEmpty());

    ASSERT_GE(sheets, 1);
    ASSERT_EQ(pdfPageCount(pdf), sheets);
    expectLinesAsPrinted(pdfText(pdf), linesWithText(pages[0]), "the page");
}

// The tests' queue that rejects every job, always (scripts/setup-printer.sh).
const QString kRefusingQueue = QStringLiteral("KestrinRefused");

// This process's default printer while it lives (libcups takes LPDEST first);
// nothing outside the process changes.
struct ProcessDefaultPrinter {
    explicit ProcessDefaultPrinter(const QString& queue) : earlier(qgetenv("LPDEST")) { qputenv("LPDEST", queue.toUtf8()); }
    ~ProcessDefaultPrinter() { earlier.isEmpty() ? qunsetenv("LPDEST") : qputenv("LPDEST", earlier); }
    QByteArray earlier;
};

// Pauses the tests' own queue (cupsdisable: it holds jobs) and lets it go on when
// asked or gone; a watcher lets it go on should the process be ended before.
class StoppedQueue {
public:
    StoppedQueue(QString queue, const QString& command) : queue_(std::move(queue))
    {
        const QString watch = QStringLiteral("exec >/dev/null 2>&1 </dev/null; while kill -0 %1; do sleep 1; done; "
                                             "cupsaccept \"$0\"; cupsenable \"$0\"")
                                  .arg(QCoreApplication::applicationPid());
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"), watch, queue_});
        const ToolRun run = runTool(command, {queue_});
        if (!run.started)
            error_ = command + QStringLiteral(" is not installed");
        else if (run.exitCode != 0)
            error_ = QStringLiteral("%1 %2 failed (it needs root or the lpadmin group): %3")
                         .arg(command, queue_, run.errors.trimmed());
    }
    ~StoppedQueue() { goOn(); }
    StoppedQueue(const StoppedQueue&) = delete;
    StoppedQueue& operator=(const StoppedQueue&) = delete;

    // Why the queue could not be stopped, or empty.
    QString error() const { return error_; }
    void goOn() const
    {
        runTool(QStringLiteral("cupsaccept"), {queue_});
        runTool(QStringLiteral("cupsenable"), {queue_});
    }

private:
    QString queue_;
    QString error_;
};

// What CUPS answers lp for a small job sent to the queue, without lp's own
// prefix and the closing full stop; empty when the queue took the job.
QString refusalAsLpReportsIt(const QString& queue)
{
    QTemporaryFile probe;
    if (!probe.open())
        return QStringLiteral("(no probe file)");
    probe.write("kestrin\n");
    probe.flush();
    const ToolRun lp = runTool(QStringLiteral("lp"),
        {QStringLiteral("-d"), queue, QStringLiteral("-t"), QStringLiteral("kestrin-probe"), probe.fileName()});
    if (lp.exitCode == 0)
        return {};
    QString reason = lp.errors.trimmed();
    reason.remove(QRegularExpression(QStringLiteral("^\\S*lp\\s*[:：]\\s*"))); // "lp: " or "/usr/bin/lp: "
    while (reason.endsWith(u'.') || reason.endsWith(u'。'))
        reason.chop(1);
    return reason;
}

// CUPS's word on the job counts. A queue that rejects jobs: the run stops with
// one message naming the printer and giving CUPS's reason. A paused queue takes
// the job and holds it: the run completes, and the job comes out once the
// queue goes on.
TEST_F(CupsPdfPrinting, RefusedJobIsReportedAHeldOneIsPrinted)
{
    const QString queue = QPrinterInfo::defaultPrinterName();
    ASSERT_EQ(queue, QStringLiteral("KestrinPDF")) << "only the tests' own queue is paused";
    const SheetRun run = sevenTermRun(printedSheet("15", "5", "1", false));
    {
        SCOPED_TRACE("queue rejecting jobs");
        if (runTool(QStringLiteral("lpstat"), {QStringLiteral("-v"), kRefusingQueue}).exitCode != 0)
            GTEST_SKIP() << "there is no queue " << kRefusingQueue.toStdString() << " (run scripts/setup-printer.sh as root)";
        const QString reason = refusalAsLpReportsIt(kRefusingQueue);
        ASSERT_FALSE(reason.isEmpty()) << "the rejecting queue took lp's job";

        const ProcessDefaultPrinter refusing(kRefusingQueue);
        QPrinterChannel printer;
        printer.setJobName(uniqueJobName("refused"));
        const ChannelRun ran = runOn(run, printer);
        EXPECT_FALSE(ran.completed);
        EXPECT_TRUE(ran.messages.startsWith(QStringLiteral("打印失败：")) && !ran.messages.contains(u'\n'))
            << ran.messages.toStdString();
        EXPECT_TRUE(ran.messages.contains(QChar(u'“') + kRefusingQueue + QChar(u'”'))) << ran.messages.toStdString();
        EXPECT_TRUE(ran.messages.contains(reason)) << ran.messages.toStdString() << "\nCUPS says: " << reason.toStdString();
    }
    {
        SCOPED_TRACE("paused queue");
        const StoppedQueue paused(queue, QStringLiteral("cupsdisable"));
        ASSERT_TRUE(paused.error().isEmpty()) << paused.error().toStdString();
        QPrinterChannel printer;
        const QString job = uniqueJobName("held");
        printer.setJobName(job);
        const ChannelRun ran = runOn(run, printer);
        EXPECT_TRUE(ran.completed);
        EXPECT_TRUE(ran.messages.isEmpty()) << ran.messages.toStdString();
        paused.goOn();
        printedPdf_ = waitForPrintedPdf(job);
        EXPECT_FALSE(printedPdf_.isEmpty()) << "the held job did not come out once the queue went on";
    }
}

} // namespace
} // namespace kestrin
