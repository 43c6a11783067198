#include "output/sheet_texts.h"
#include "output/worksheet_file.h"
#include "testsupport/small_disk.h"

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
    // Every text of the head and foot has a GBK form.
    const auto encoder = makeSystemGbkEncoder();
    ASSERT_TRUE(encoder);
    EXPECT_EQ(firstUnmappable(*encoder, footer(1) + fileHeader()), QString());
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

TEST_F(DiskFile, TextWithoutAGbkFormFailsTheFileAndNamesTheCharacter)
{
    writeFile(path(QStringLiteral("a.xls")), "previous");
    // Thai, an emoji (a surrogate pair) and a lone surrogate have no GBK form.
    DiskWorksheetFile file(dir.path());
    for (const QString& foreign : {QStringLiteral("\u0e01"), QStringLiteral("\U0001F600"), QString(QChar(0xD800))}) {
        ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
        file.writeRecord(QStringLiteral("学校："));
        file.writeRecord(QStringLiteral("12") + foreign + QStringLiteral("3"));
        file.writeRecord(QStringLiteral("after"));
        EXPECT_FALSE(file.close());
        EXPECT_EQ(file.errorString(), QStringLiteral("文字“") + foreign + QStringLiteral("”无法用GBK编码保存"));
        EXPECT_EQ(readAll(path(QStringLiteral("a.xls"))), QByteArray("previous"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
    // The file channel is sound again for the next run.
    ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
    file.writeRecord(QStringLiteral("学"));
    ASSERT_TRUE(file.close());
    EXPECT_EQ(readAll(path(QStringLiteral("a.xls"))), QByteArray::fromHex("22d1a7220d0a"));
}

TEST_F(DiskFile, WithoutAGbkEncoderNothingIsWritten)
{
    DiskWorksheetFile file(dir.path(), nullptr);
    EXPECT_FALSE(file.open(QStringLiteral("a.xls"), 1));
    EXPECT_EQ(file.errorString(), QStringLiteral("本系统无法把文字转换为GBK编码"));
    file.writeRecord(QStringLiteral("x"));
    EXPECT_FALSE(file.close());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A real disk that fills up: before the file is written, part way through it,
// or only with the last bytes. The write fails, the previous file stays byte
// for byte, no temporary file is left and the reason says the disk is full.
TEST(SmallDisk, AFullDiskNeverReplacesThePreviousFile)
{
    struct Case {
        const char* name;
        int records;        // records of 100 bytes each
        bool fillFirst;     // no room at all before the file is written
    };
    const Case cases[] = {
        {"full before the run", 50, true},
        {"full part way", 2000, false},        // fails while records are still written
        {"full only at the last bytes", 300, false}, // 30 KB: held until close, then fails
    };
    const QByteArray previous = QByteArray(20000, 'p');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::SmallDisk disk(48);
        if (!disk.mounted())
            GTEST_SKIP() << disk.why.toStdString();
        writeFile(disk.filePath(QStringLiteral("a.xls")), previous);
        QStringList before = {QStringLiteral("a.xls")};
        if (c.fillFirst) {
            disk.fill();
            before.append(QStringLiteral("filler"));
        }
        DiskWorksheetFile file(disk.path());
        ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
        for (int i = 0; i < c.records; ++i)
            file.writeRecord(QString(48, u'题')); // 96 GBK bytes + quotes and CR LF
        EXPECT_FALSE(file.close());
        EXPECT_TRUE(file.errorString().startsWith(QStringLiteral("磁盘空间不足"))) << file.errorString().toStdString();
        EXPECT_EQ(readAll(disk.filePath(QStringLiteral("a.xls"))), previous);
        EXPECT_EQ(disk.entries(), before);
    }
}

TEST(SmallDisk, AFileThatFitsIsWrittenWhole)
{
    testing::SmallDisk disk(48);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why.toStdString();
    DiskWorksheetFile file(disk.path());
    ASSERT_TRUE(file.open(QStringLiteral("a.xls"), 1));
    for (int i = 0; i < 400; ++i)
        file.writeRecord(QString(48, u'题'));
    ASSERT_TRUE(file.close()) << file.errorString().toStdString();
    EXPECT_EQ(readAll(disk.filePath(QStringLiteral("a.xls"))).size(), 400 * 100);
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("a.xls")});
}

} // namespace
} // namespace kestrin
