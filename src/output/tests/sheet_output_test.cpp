#include "output/run_services.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

namespace kestrin {
namespace {

using testing::RecordedRun;

RunServices servicesOf(RecordedRun& run)
{
    return RunServices{run.random, run.messages, run.file, run.printer};
}

TEST(SheetOutput, SendsLinesOnlyToTheChannelsSwitchedOn)
{
    RecordedRun run;
    const RunServices services = servicesOf(run);
    {
        SheetOutput out(services, false, false);
        EXPECT_TRUE(out.startPrinting(QStringLiteral("doc")));
        EXPECT_TRUE(out.openFile(QStringLiteral("a.xls"), 1));
        out.record(QStringLiteral("r"));
        out.print(QStringLiteral("p"));
        out.endPage();
        EXPECT_TRUE(out.closeFile());
        EXPECT_TRUE(out.finishPrinting());
    }
    EXPECT_EQ(run.printer.begins + run.printer.calls + run.printer.finishes, 0);
    EXPECT_EQ(run.file.opens, 0);

    {
        SheetOutput out(services, true, true);
        ASSERT_TRUE(out.startPrinting(QStringLiteral("doc")));
        ASSERT_TRUE(out.openFile(QStringLiteral("a.xls"), 7));
        out.record(QStringLiteral("r"));
        out.emptyRecord();
        out.print(QStringLiteral("p"));
        out.printEmpty();
        out.endPage();
        ASSERT_TRUE(out.closeFile());
        ASSERT_TRUE(out.finishPrinting());
    }
    ASSERT_EQ(run.file.files[QStringLiteral("a.xls")].size(), 2U);
    EXPECT_EQ(run.file.openNumbers, std::vector<int>{7});
    ASSERT_EQ(run.printer.finishedPages.size(), 1U);
    EXPECT_EQ(run.printer.finishedPages[0], (QStringList{QStringLiteral("p"), QString()}));
    EXPECT_TRUE(run.messages.shown.isEmpty());
}

TEST(SheetOutput, NoPrinterIsReportedAndStopsBeforeTheFile)
{
    RecordedRun run;
    run.printer.noPrinter = true;
    const RunServices services = servicesOf(run);
    SheetOutput out(services, true, true);
    EXPECT_FALSE(out.startPrinting(QStringLiteral("doc")));
    ASSERT_EQ(run.messages.shown.size(), 1);
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("没有默认打印机")));
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("打印机")));
}

TEST(SheetOutput, AFileThatCannotBeMadeNamesTheFileAndDropsThePrintJob)
{
    RecordedRun run;
    run.file.failOpen = true;
    const RunServices services = servicesOf(run);
    {
        SheetOutput out(services, true, true);
        ASSERT_TRUE(out.startPrinting(QStringLiteral("doc")));
        EXPECT_FALSE(out.openFile(QStringLiteral("学前段七笔加减速算.xls"), 1));
    }
    ASSERT_EQ(run.messages.shown.size(), 1);
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("“学前段七笔加减速算.xls”")));
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("没有写入权限")));
    EXPECT_EQ(run.printer.aborts, 1);
    EXPECT_EQ(run.printer.finishes, 0);
}

TEST(SheetOutput, AFileThatCannotBeSavedIsReported)
{
    RecordedRun run;
    run.file.failClose = true;
    const RunServices services = servicesOf(run);
    SheetOutput out(services, true, false);
    ASSERT_TRUE(out.openFile(QStringLiteral("a.xls"), 1));
    out.record(QStringLiteral("r"));
    EXPECT_FALSE(out.closeFile());
    ASSERT_EQ(run.messages.shown.size(), 1);
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("“a.xls”")));
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("磁盘空间不足")));
    EXPECT_TRUE(run.file.files.isEmpty());
}

TEST(SheetOutput, AFailingPrintIsReported)
{
    RecordedRun run;
    run.printer.failFinish = true;
    const RunServices services = servicesOf(run);
    SheetOutput out(services, false, true);
    ASSERT_TRUE(out.startPrinting(QStringLiteral("doc")));
    out.print(QStringLiteral("p"));
    out.endPage();
    EXPECT_FALSE(out.finishPrinting());
    ASSERT_EQ(run.messages.shown.size(), 1);
    EXPECT_TRUE(run.messages.shown[0].startsWith(QStringLiteral("打印失败")));
}

} // namespace
} // namespace kestrin
