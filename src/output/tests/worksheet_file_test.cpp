#include "output/sheet_texts.h"
#include "output/worksheet_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kestrin {
namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(Records, AreQuotedGbkWithCrLf)
{
    EXPECT_EQ(encodeRecord(QStringLiteral("abc")), QByteArray::fromHex("22616263220d0a"));
    EXPECT_EQ(emptyRecord(), QByteArray::fromHex("0d0a"));
    EXPECT_EQ(encodeRecord(QString()), QByteArray::fromHex("22220d0a"));
    // Chinese characters, the full-width colon, × and ÷ take two bytes each in GBK.
    EXPECT_EQ(encodeRecord(QStringLiteral("学校：")), QByteArray::fromHex("22d1a7d0a3a3ba220d0a"));
    EXPECT_EQ(encodeRecord(QStringLiteral("12×3=")), QByteArray::fromHex("223132a1c1333d220d0a"));
    EXPECT_EQ(encodeRecord(QStringLiteral("84÷7=")), QByteArray::fromHex("223834a1c2373d220d0a"));
    EXPECT_EQ(encodeRecord(QStringLiteral("“”")), QByteArray::fromHex("22a1b0a1b1220d0a"));
}

TEST(Records, HeadAndFootLinesHaveTheirExactBlanks)
{
    const QString file = fileHeader();
    EXPECT_EQ(file.size(), 53);
    EXPECT_EQ(file, QStringLiteral("学校：") + QString(18, u' ') + QStringLiteral("姓名：") + QString(15, u' ')
            + QStringLiteral("成绩：") + QString(11, u' '));
    EXPECT_EQ(encodeRecord(file).size(), 66);
    const QString printed = printedHeader();
    EXPECT_EQ(printed.size(), 54);
    EXPECT_EQ(printed.mid(3, 20), QString(19, u' ') + QStringLiteral("姓"));
    EXPECT_TRUE(footer(3).startsWith(QStringLiteral("重庆市KestrinV2.0提供  第3页")));
    EXPECT_EQ(footer(12), QStringLiteral("重庆市KestrinV2.0提供  第12页") + footerCredit());
    EXPECT_EQ(repeated(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(repeated(QStringLiteral("ab"), 0), QString());
    // Every text of the head and foot must survive the trip through GBK.
    QStringEncoder encoder("GBK");
    (void)encoder.encode(footer(1) + fileHeader());
    EXPECT_FALSE(encoder.hasError());
}

class DiskFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QTemporaryDir dir;
};

TEST_F(DiskFile, WritesExactlyItsRecords)
{
    DiskWorksheetFile file(dir.path());
    ASSERT_TRUE(file.open(QStringLiteral("学前段七笔加减速算.xls"), 1));
    file.writeRecord(QStringLiteral("abc"));
    file.writeEmptyRecord();
    file.writeRecord(QStringLiteral("学"));
    ASSERT_TRUE(file.close());
    EXPECT_EQ(readAll(path(QStringLiteral("学前段七笔加减速算.xls"))),
        QByteArray::fromHex("22616263220d0a0d0a22d1a7220d0a"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left behind";
}

TEST_F(DiskFile, ASecondRunLeavesOnlyItsOwnRecords)
{
    DiskWorksheetFile file(dir.path());
    ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
    for (int i = 0; i < 100; ++i)
        file.writeRecord(QStringLiteral("first run"));
    ASSERT_TRUE(file.close());
    ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
    file.writeRecord(QStringLiteral("x"));
    ASSERT_TRUE(file.close());
    EXPECT_EQ(readAll(path(QStringLiteral("a.xls"))), QByteArray::fromHex("2278220d0a"));
}

TEST_F(DiskFile, AnUnfinishedFileNeverReplacesThePreviousOne)
{
    writeFile(path(QStringLiteral("a.xls")), "previous");
    {
        DiskWorksheetFile file(dir.path());
        ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
        file.writeRecord(QStringLiteral("partial"));
        EXPECT_EQ(readAll(path(QStringLiteral("a.xls"))), QByteArray("previous"));
        file.discard();
    }
    EXPECT_EQ(readAll(path(QStringLiteral("a.xls"))), QByteArray("previous"));
    {
        DiskWorksheetFile file(dir.path());
        ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
        file.writeRecord(QStringLiteral("partial"));
        // Destroyed while open: as if the run had ended part way.
    }
    EXPECT_EQ(readAll(path(QStringLiteral("a.xls"))), QByteArray("previous"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(DiskFile, ATargetThatCannotBeMadeIsRefusedWithAReason)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("a.xls")));
    DiskWorksheetFile file(dir.path());
    EXPECT_FALSE(file.open(QStringLiteral("a.xls"), 1));
    EXPECT_FALSE(file.errorString().isEmpty());
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("a.xls"))).isDir()) << "the folder is left alone";

    DiskWorksheetFile missingFolder(path(QStringLiteral("no/such/folder")));
    EXPECT_FALSE(missingFolder.open(QStringLiteral("b.xls"), 1));
    EXPECT_FALSE(missingFolder.errorString().isEmpty());
    // Writes and close after a failed open do nothing and report failure.
    missingFolder.writeRecord(QStringLiteral("x"));
    EXPECT_FALSE(missingFolder.close());
}

TEST_F(DiskFile, WorksInTheWorkingDirectoryByDefault)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    DiskWorksheetFile file;
    ASSERT_TRUE(file.open(QStringLiteral("综合除算10.xls"), 10));
    file.writeEmptyRecord();
    ASSERT_TRUE(file.close());
    QDir::setCurrent(previous);
    EXPECT_EQ(readAll(path(QStringLiteral("综合除算10.xls"))), QByteArray("\r\n"));
}

} // namespace
} // namespace kestrin
