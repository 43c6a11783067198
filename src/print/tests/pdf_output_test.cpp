// The channel painting into a PDF file instead of the printer: the same layout
// and painting as on paper, read back without any print queue in between.

#include "pdf_text.h"
#include "print/qprinter_channel.h"
#include "sheet_runs.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrin {
namespace {

using namespace kestrin::printtest;

class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!havePoppler())
            GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
        ASSERT_TRUE(dir_.isValid());
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Paints the run into the named file of the test's folder; the path, or
    // empty when the run did not complete. `sheets` gets the sheets painted.
    QString paint(const SheetRun& run, const QString& name, int* sheets = nullptr)
    {
        QPrinterChannel printer;
        printer.setPdfOutput(path(name));
        const ChannelRun ran = runOn(run, printer);
        EXPECT_TRUE(ran.completed) << ran.messages.toStdString();
        if (sheets)
            *sheets = printer.sheetsPrinted();
        return ran.completed ? path(name) : QString();
    }

    QTemporaryDir dir_;
};

// The file has one sheet per worksheet page, each with that page's lines in
// order. The `literal` characters must come back as themselves, as often as
// the page prints them: the line comparison goes by glyph and would take a
// look-alike code point drawn with the same glyph.
void expectOneSheetPerPage(const QString& pdf, const std::vector<QStringList>& pages, const QString& literal = {})
{
    ASSERT_EQ(pdfPageCount(pdf), static_cast<int>(pages.size()));
    for (size_t i = 0; i < pages.size(); ++i) {
        const int page = static_cast<int>(i) + 1;
        const QString text = pdfText(pdf, page);
        const QStringList lines = linesWithText(pages[i]);
        ASSERT_TRUE(lines.last().contains(QStringLiteral("第%1页").arg(page))) << "page " << page;
        const auto missing = firstMissingInOrder(text, lines);
        EXPECT_FALSE(missing) << "page " << page << " lacks the line \"" << missing->toStdString() << "\"\n"
                              << text.toStdString();
        for (QChar c : literal) {
            const qsizetype printed = lines.join(u'\n').count(c);
            EXPECT_GT(printed, 0) << "page " << page << " prints no " << QString(c).toStdString();
            EXPECT_EQ(text.count(c), printed) << "page " << page << ": " << QString(c).toStdString();
        }
    }
}

TEST_F(PdfOutput, EveryWorksheetPageIsOneSheetWithAllItsLines)
{
    const SheetRun run = sevenTermRun(printedSheet("15", "5", "5", false));
    const std::vector<QStringList> pages = expectedPages(run);
    ASSERT_EQ(pages.size(), 5u);
    for (const QStringList& page : pages)
        ASSERT_EQ(linesWithText(page).first(), QStringLiteral("*小学学前段七笔加减速算试题*"));

    const QString pdf = paint(run, QStringLiteral("seven.pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    expectOneSheetPerPage(pdf, pages);
}

TEST_F(PdfOutput, MultiplicationPagesKeepTheirLinesAndTimesSigns)
{
    const SheetRun run = multiplicationRun();
    const std::vector<QStringList> pages = expectedPages(run);
    ASSERT_EQ(pages.size(), 4u);
    for (const QStringList& page : pages) {
        // Title, header, separator, 30 row lines, separator, footer.
        ASSERT_EQ(page.size(), 35);
        ASSERT_EQ(page.first(), QStringLiteral("*小学中段3位乘1位速算试题*"));
    }

    int sheets = 0;
    const QString pdf = paint(run, QStringLiteral("multiplication.pdf"), &sheets);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(sheets, 4);
    expectOneSheetPerPage(pdf, pages, QStringLiteral("×="));
}

TEST_F(PdfOutput, DivisionSetsAreOneSheetEachWithTheirLinesAndDivisionSigns)
{
    const SheetRun run = divisionRun();
    const std::vector<QStringList> pages = expectedPages(run);
    ASSERT_EQ(pages.size(), 10u);
    for (size_t set = 0; set < pages.size(); ++set) {
        // Title with the set's number, header, empty line, 80 questions in 16 row lines, empty line, footer.
        ASSERT_EQ(pages[set].size(), 21);
        ASSERT_EQ(pages[set].first(), QStringLiteral("*小学综合除算试题*%1").arg(set + 1));
    }

    int sheets = 0;
    const QString pdf = paint(run, QStringLiteral("division.pdf"), &sheets);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(sheets, 10);
    expectOneSheetPerPage(pdf, pages, QStringLiteral("÷="));
}

TEST_F(PdfOutput, EveryFurtherKindPrintsItsSheet)
{
    for (const NamedRun& kind : furtherKindRuns()) {
        SCOPED_TRACE(kind.name);
        const std::vector<QStringList> pages = expectedPages(kind.run);
        ASSERT_EQ(pages.size(), 1U);
        int sheets = 0;
        const QString pdf = paint(kind.run, QString::fromLatin1(kind.name) + QStringLiteral(".pdf"), &sheets);
        ASSERT_FALSE(pdf.isEmpty());
        EXPECT_EQ(sheets, 1);
        expectOneSheetPerPage(pdf, pages, kind.signs);
    }
}

TEST_F(PdfOutput, WidestPageLosesNothing)
{
    // 50 questions of 8 characters: 400-character lines, and 105 lines on the page.
    const SheetRun run = sevenTermRun(printedSheet("50", "10", "1", true));
    const std::vector<QStringList> pages = expectedPages(run);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 105);

    int sheets = 0;
    const QString pdf = paint(run, QStringLiteral("wide.pdf"), &sheets);
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_GE(pdfPageCount(pdf), 1);
    EXPECT_EQ(pdfPageCount(pdf), sheets);
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
    QPrinterChannel printer;
    printer.setPdfOutput(path(QStringLiteral("no-such-folder/seven.pdf")));
    const ChannelRun ran = runOn(sevenTermRun(printedSheet("15", "5", "1", false)), printer);
    EXPECT_FALSE(ran.completed);
    ASSERT_FALSE(ran.messages.isEmpty());
    EXPECT_FALSE(ran.messages.contains(u'\n')) << "one message: " << ran.messages.toStdString();
    EXPECT_TRUE(ran.messages.startsWith(QStringLiteral("打印失败："))) << ran.messages.toStdString();
    EXPECT_FALSE(printer.errorString().isEmpty());
    EXPECT_TRUE(printer.errorString().contains(QStringLiteral("无法"))) << printer.errorString().toStdString();
}

} // namespace
} // namespace kestrin
