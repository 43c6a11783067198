// Whole runs onto a real disk that fills up: the run stops with a message that
// names the file and says the disk is full, shows no completion, and leaves the
// teacher every earlier file as it was.

#include "gen/addsub/chain_sheet.h"
#include "gen/div/mixed_group_sheet.h"
#include "testsupport/fakes.h"
#include "testsupport/small_disk.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace kestrin {
namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SheetSettings sevenTermDefaults(bool answers)
{
    SheetSettings s;
    s.perRow = QStringLiteral("15");
    s.rowsPerPage = QStringLiteral("5");
    s.pages = QStringLiteral("5");
    s.answers = answers;
    return s;
}

TEST(SmallDiskRun, SevenTermSheetThatNoLongerFitsKeepsThePreviousOne)
{
    testing::SmallDisk disk(48);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why.toStdString();
    const QString name = QStringLiteral("学前段七笔加减速算.xls");
    FixedStartRandom random;
    testing::RecordingMessages messages;
    DiskWorksheetFile file(disk.path());
    testing::RecordingPrinter printer;
    const RunServices services{random, messages, file, printer};

    ASSERT_TRUE(addsub::runChainSheet(addsub::sevenTermKind(), sevenTermDefaults(false), services).completed);
    const QByteArray first = readAll(disk.filePath(name));
    ASSERT_EQ(first.size(), 21896);

    // With answers the sheet needs more room than is left beside the first one.
    const RunResult second = addsub::runChainSheet(addsub::sevenTermKind(), sevenTermDefaults(true), services);
    EXPECT_FALSE(second.completed);
    EXPECT_TRUE(second.completionText.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith(QStringLiteral("无法保存文件“") + name + QStringLiteral("”：磁盘空间不足")))
        << messages.shown[0].toStdString();
    EXPECT_EQ(readAll(disk.filePath(name)), first);
    EXPECT_EQ(disk.entries(), QStringList{name});
}

TEST(SmallDiskRun, DivisionSetsWrittenBeforeTheDiskFilledStayWhole)
{
    div::MixedGroupSettings s;
    const char* grid[4][3] = {{"2", "1", "30"}, {"3", "1", "30"}, {"3", "2", "20"}, {"4", "2", "0"}};
    for (size_t g = 0; g < 4; ++g)
        s.groups[g] = div::GroupTexts{QString::fromUtf8(grid[g][0]), QString::fromUtf8(grid[g][1]),
                                      QString::fromUtf8(grid[g][2])};
    s.perRow = QStringLiteral("5");
    s.sets = QStringLiteral("10");

    // The same run on a roomy disk, for the bytes every set must have.
    QTemporaryDir roomy;
    ASSERT_TRUE(roomy.isValid());
    {
        FixedStartRandom random;
        testing::RecordedRun run;
        DiskWorksheetFile file(roomy.path());
        ASSERT_TRUE(div::runMixedGroupSheet(div::divisionKind(), s, RunServices{random, run.messages, file, run.printer})
                        .completed);
    }

    // Each set takes one 4 KiB page of the small disk: room for a few of them.
    testing::SmallDisk disk(16);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why.toStdString();
    FixedStartRandom random;
    testing::RecordingMessages messages;
    DiskWorksheetFile file(disk.path());
    testing::RecordingPrinter printer;
    const RunResult result = div::runMixedGroupSheet(div::divisionKind(), s, RunServices{random, messages, file, printer});
    EXPECT_FALSE(result.completed);
    ASSERT_EQ(messages.shown.size(), 1);
    const QStringList written = disk.entries();
    ASSERT_GE(written.size(), 1);
    ASSERT_LT(written.size(), 10);
    const QString failed = QStringLiteral("综合除算%1.xls").arg(written.size() + 1);
    EXPECT_TRUE(messages.shown[0].startsWith(QStringLiteral("无法保存文件“") + failed + QStringLiteral("”：磁盘空间不足")))
        << messages.shown[0].toStdString();
    for (int set = 1; set <= written.size(); ++set) {
        const QString name = QStringLiteral("综合除算%1.xls").arg(set);
        ASSERT_TRUE(written.contains(name));
        EXPECT_EQ(readAll(disk.filePath(name)), readAll(QDir(roomy.path()).filePath(name))) << set;
    }
}

} // namespace
} // namespace kestrin
