// The channel painting into a PDF file instead of the printer: the same layout
// and painting as on paper, read back without any print queue in between.

#include "pdf_text.h"
#include "print/qprinter_channel.h"

#include "gen/addsub/chain_sheet.h"
#include "testsupport/fakes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrin {
namespace {

using namespace kestrin::printtest;
using testing::MemoryWorksheetFile;
using testing::RecordedRun;
using testing::RecordingMessages;
using testing::ScriptedRandom;

SheetSettings printed(const char* perRow, const char* rows, const char* pages, bool answers)
{
    return SheetSettings{QString::fromLatin1(perRow), QString::fromLatin1(rows), QString::fromLatin1(pages), answers,
        true, false};
}

// The pages a run prints, from the recording stand-in; the random source is
// fixed-start, so a second run with a fresh one prints the same.
std::vector<QStringList> expectedPages(const SheetSettings& settings)
{
    RecordedRun run;
    const RunServices services{run.random, run.messages, run.file, run.printer};
    EXPECT_TRUE(addsub::runChainSheet(addsub::sevenTermKind(), settings, services).completed);
    return run.printer.finishedPages;
}

class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!havePoppler())
            GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
        ASSERT_TRUE(dir_.isValid());
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

TEST_F(PdfOutput, EveryWorksheetPageIsOneSheetWithAllItsLines)
{
    const SheetSettings settings = printed("15", "5", "5", false);
    const std::vector<QStringList> pages = expectedPages(settings);
    ASSERT_EQ(pages.size(), 5u);

    ScriptedRandom random;
    RecordingMessages messages;
    MemoryWorksheetFile file;
    QPrinterChannel printer;
    printer.setPdfOutput(path(QStringLiteral("seven.pdf")));
    const RunServices services{random, messages, file, printer};
    ASSERT_TRUE(addsub::runChainSheet(addsub::sevenTermKind(), settings, services).completed)
        << messages.shown.join(u'\n').toStdString();

    const QString pdf = path(QStringLiteral("seven.pdf"));
    ASSERT_EQ(pdfPageCount(pdf), 5);
    for (int page = 1; page <= 5; ++page) {
        const QString text = pdfText(pdf, page);
        const QStringList lines = linesWithText(pages[static_cast<size_t>(page - 1)]);
        ASSERT_EQ(lines.first(), QStringLiteral("*小学学前段七笔加减速算试题*"));
        ASSERT_TRUE(lines.last().contains(QStringLiteral("第%1页").arg(page)));
        const auto missing = firstMissingInOrder(text, lines);
        EXPECT_FALSE(missing) << "page " << page << " lacks the line \"" << missing->toStdString() << "\"\n"
                              << text.toStdString();
    }
}

TEST_F(PdfOutput, WidestPageLosesNothing)
{
    // 50 questions of 8 characters: 400-character lines, and 105 lines on the page.
    const SheetSettings settings = printed("50", "10", "1", true);
    const std::vector<QStringList> pages = expectedPages(settings);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 105);

    ScriptedRandom random;
    RecordingMessages messages;
    MemoryWorksheetFile file;
    QPrinterChannel printer;
    printer.setPdfOutput(path(QStringLiteral("wide.pdf")));
    const RunServices services{random, messages, file, printer};
    ASSERT_TRUE(addsub::runChainSheet(addsub::sevenTermKind(), settings, services).completed);

    const QString pdf = path(QStringLiteral("wide.pdf"));
    ASSERT_GE(pdfPageCount(pdf), 1);
    EXPECT_EQ(pdfPageCount(pdf), printer.sheetsPrinted());
    const QString text = pdfText(pdf);
    const auto missing = firstMissingInOrder(text, linesWithText(pages[0]));
    EXPECT_FALSE(missing) << "lost line \"" << missing->toStdString() << "\"\n" << text.toStdString();
}

TEST_F(PdfOutput, AbortedJobWritesNothing)
{
    QPrinterChannel printer;
    printer.setPdfOutput(path(QStringLiteral("aborted.pdf")));
    ASSERT_TRUE(printer.begin(QStringLiteral("试题")));
    printer.printLine(QStringLiteral("*小学学前段七笔加减速算试题*"));
    printer.endPage();
    printer.abort();
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("aborted.pdf"))));
    // An aborted job cannot be finished afterwards either.
    EXPECT_FALSE(printer.finish());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("aborted.pdf"))));
}

TEST_F(PdfOutput, NothingIsWrittenBeforeFinish)
{
    QPrinterChannel printer;
    printer.setPdfOutput(path(QStringLiteral("later.pdf")));
    ASSERT_TRUE(printer.begin(QStringLiteral("试题")));
    printer.printLine(QStringLiteral("1"));
    printer.endPage();
    printer.printLine(QStringLiteral("2"));
    printer.endPage();
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("later.pdf"))));
    ASSERT_TRUE(printer.finish()) << printer.errorString().toStdString();
    EXPECT_EQ(pdfPageCount(path(QStringLiteral("later.pdf"))), 2);
}

TEST_F(PdfOutput, FailingPrintStopsTheRunWithAReason)
{
    ScriptedRandom random;
    RecordingMessages messages;
    MemoryWorksheetFile file;
    QPrinterChannel printer;
    printer.setPdfOutput(path(QStringLiteral("no-such-folder/seven.pdf")));
    const RunServices services{random, messages, file, printer};
    const RunResult result = addsub::runChainSheet(addsub::sevenTermKind(), printed("15", "5", "1", false), services);
    EXPECT_FALSE(result.completed);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith(QStringLiteral("打印失败："))) << messages.shown[0].toStdString();
    EXPECT_FALSE(printer.errorString().isEmpty());
    EXPECT_TRUE(printer.errorString().contains(QStringLiteral("无法"))) << printer.errorString().toStdString();
}

} // namespace
} // namespace kestrin
