// The Windows build printing through Windows' spooler on a default printer
// that refuses jobs: under Wine, the tests' CUPS queue KestrinRefused, which
// rejects every job, as the default printer of a Wine prefix of its own. The
// run must stop with the printer's name and show no completion, also with
// Qt's log silenced (CTest sets QT_LOGGING_RULES): the print engine only logs
// a failed EndDoc.

#include "print/qprinter_channel.h"
#include "sheet_runs.h"

#include <QLoggingCategory>
#include <QPrinterInfo>

#include <gtest/gtest.h>

namespace kestrin {
namespace {

using namespace kestrin::printtest;

TEST(WindowsSpooler, RefusedJobIsReportedWithThePrinterName)
{
    const QString queue = QPrinterInfo::defaultPrinterName();
    ASSERT_EQ(queue, QStringLiteral("KestrinRefused")) << "nothing is printed on any other printer";
    const QLoggingCategory& log = *QLoggingCategory::defaultCategory();
    ASSERT_FALSE(log.isWarningEnabled() || log.isCriticalEnabled()) << "Qt's log is on (QT_LOGGING_RULES)";
    QPrinterChannel printer;
    const ChannelRun ran = runOn(sevenTermRun(printedSheet("15", "5", "1", false)), printer);
    EXPECT_FALSE(ran.completed);
    // The system's reason in brackets, where Windows gives one, is left open.
    const QString head = QStringLiteral("打印失败：打印机“") + queue + QStringLiteral("”没有接受打印任务：Windows 报告打印任务没有完成");
    EXPECT_TRUE(ran.messages.startsWith(head) && ran.messages.endsWith(QStringLiteral("。请检查打印机后重新生成。")) &&
                !ran.messages.contains(u'\n'))
        << ran.messages.toStdString();
}

} // namespace
} // namespace kestrin
