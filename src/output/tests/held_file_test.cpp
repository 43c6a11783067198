// Windows only: the previous sheet is still open in Excel or WPS when the next
// one is made. hold_file_open (built beside this program) holds the file as
// Excel does, shared with no one.

#include "output/run_services.h"
#include "output/sheet_texts.h"
#include "output/worksheet_file.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <windows.h>

namespace kestrin {
namespace {

using testing::RecordedRun;

// hold_file_open.exe, in this test program's folder.
QString holderProgram()
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const QString exe = QString::fromWCharArray(self, static_cast<qsizetype>(length));
    return QFileInfo(exe).dir().filePath(QStringLiteral("hold_file_open.exe"));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Writes one small sheet through the run's file channel; the message shown, if any.
bool writeSheet(DiskWorksheetFile& file, RecordedRun& run, const QString& name)
{
    const RunServices services{run.random, run.messages, file, run.printer};
    SheetOutput out(services, true, false);
    if (!out.openFile(name, 1))
        return false;
    out.record(fileHeader());
    out.emptyRecord();
    out.record(QStringLiteral("3+4-2="));
    return out.closeFile();
}

TEST(HeldFile, AFileOpenInAnotherProgramIsNamedAndStaysAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = QStringLiteral("学前段七笔加减速算.xls");
    const QString path = QDir(dir.path()).filePath(name);
    const QByteArray previous = encodeRecord(QStringLiteral("上一张")) + emptyRecord();
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        ASSERT_EQ(old.write(previous), previous.size());
    }

    QProcess holder;
    holder.start(holderProgram(), {QDir::toNativeSeparators(path)});
    ASSERT_TRUE(holder.waitForStarted(30000)) << holder.errorString().toStdString();
    ASSERT_TRUE(holder.waitForReadyRead(30000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("holding"));

    DiskWorksheetFile file(dir.path());
    RecordedRun run;
    EXPECT_FALSE(writeSheet(file, run, name));
    EXPECT_TRUE(file.heldByAnotherProgram());
    EXPECT_EQ(run.messages.shown.join(u'\n').toStdString(),
        "无法保存文件“学前段七笔加减速算.xls”：这个文件正在被另一个程序（例如 Excel 或 WPS 表格）打开。"
        "请关闭这个文件后重新生成。");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{name})
        << "no temporary file is left behind";

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_EQ(holder.exitCode(), 0);
    EXPECT_EQ(readAll(path), previous);

    // Closed in the other program: the next run replaces it.
    run.messages.shown.clear();
    ASSERT_TRUE(writeSheet(file, run, name)) << run.messages.shown.join(u'\n').toStdString();
    EXPECT_FALSE(file.heldByAnotherProgram());
    EXPECT_EQ(readAll(path), encodeRecord(fileHeader()) + emptyRecord() + encodeRecord(QStringLiteral("3+4-2=")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{name});
}

} // namespace
} // namespace kestrin
