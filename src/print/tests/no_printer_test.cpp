// Without a default printer a run stops before it makes anything. CTest runs
// this with CUPS_SERVER pointing at no server (print.without-default-printer),
// where the system has no printers at all; elsewhere it skips.

#include "print/qprinter_channel.h"

#include "gen/addsub/chain_sheet.h"
#include "testsupport/fakes.h"

#include <QPrinterInfo>

#include <gtest/gtest.h>

namespace kestrin {
namespace {

TEST(NoDefaultPrinter, RunStopsWithTheReasonBeforeAnyOutput)
{
    if (!QPrinterInfo::defaultPrinterName().isEmpty())
        GTEST_SKIP() << "there is a default printer; the ctest entry print.without-default-printer runs this without one";

    testing::ScriptedRandom random;
    testing::RecordingMessages messages;
    testing::MemoryWorksheetFile file;
    QPrinterChannel printer;
    const SheetSettings settings{QStringLiteral("15"), QStringLiteral("5"), QStringLiteral("5"), false, true, true};
    const RunResult result = addsub::runChainSheet(addsub::sevenTermKind(), settings,
        RunServices{random, messages, file, printer});

    EXPECT_FALSE(result.completed);
    EXPECT_EQ(printer.errorString(), QStringLiteral("没有找到默认打印机"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains(QStringLiteral("没有找到默认打印机"))) << messages.shown[0].toStdString();
    EXPECT_EQ(file.opens, 0);
    EXPECT_EQ(random.draws, 0);
}

} // namespace
} // namespace kestrin
