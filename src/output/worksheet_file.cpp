#include "worksheet_file.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kestrin {

namespace {

// Records are gathered and written in pieces of this size.
constexpr qsizetype kWriteChunk = 64 * 1024;

QString reasonFor(QFileDevice::FileError error, const QString& systemText)
{
    QString reason;
    switch (error) {
    case QFileDevice::PermissionsError: reason = QStringLiteral("没有写入权限"); break;
    case QFileDevice::ResourceError: reason = QStringLiteral("磁盘空间不足"); break;
    case QFileDevice::WriteError: reason = QStringLiteral("写入失败"); break;
    default: reason = QStringLiteral("无法创建或写入"); break;
    }
    if (!systemText.isEmpty())
        reason += QStringLiteral("（") + systemText + QStringLiteral("）");
    return reason;
}

// Forces what has been written to the file onto the disk.
bool syncToDisk(QFileDevice& file)
{
    const int fd = file.handle();
    if (fd < 0)
        return false;
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
#else
    return ::fsync(fd) == 0;
#endif
}

// Whether another program has the existing file at `path` open and shares it
// with no one that would replace it. Windows refuses the replacing rename then
// (access denied), and asking for the right to delete the file, while sharing
// everything, is refused with a sharing (or lock) violation.
bool heldOpenElsewhere(const QString& path)
{
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()), DELETE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
#else
    // An open file does not stop a rename over it here.
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

bool appendRecord(GbkEncoder& encoder, const QString& text, QByteArray& out, QString* unmappable)
{
    out.append('"');
    if (!encoder.encode(text, out, unmappable))
        return false;
    out.append("\"\r\n");
    return true;
}

QByteArray encodeRecord(const QString& text)
{
    static const std::unique_ptr<GbkEncoder> encoder = makeSystemGbkEncoder();
    QByteArray bytes;
    if (encoder)
        appendRecord(*encoder, text, bytes);
    return bytes;
}

QByteArray emptyRecord()
{
    return QByteArrayLiteral("\r\n");
}

DiskWorksheetFile::DiskWorksheetFile(QString folder, std::unique_ptr<GbkEncoder> encoder)
    : folder_(std::move(folder))
    , encoder_(std::move(encoder))
{
}

DiskWorksheetFile::~DiskWorksheetFile()
{
    discard();
}

bool DiskWorksheetFile::open(const QString& fileName, int /*fileNumber*/)
{
    discard();
    error_.clear();
    held_ = false;
    if (!encoder_) {
        error_ = QStringLiteral("本系统无法把文字转换为GBK编码");
        return false;
    }
    const QString path = folder_.isEmpty() ? fileName : QDir(folder_).filePath(fileName);
    if (QFileInfo(path).isDir()) {
        error_ = QStringLiteral("同名文件夹已存在");
        return false;
    }
    file_ = std::make_unique<QSaveFile>(path);
    // Unbuffered: every write reaches the system at once, so a short or failed
    // write is seen where it happens, with the system's reason.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error_ = reasonFor(file_->error(), file_->errorString());
        file_.reset();
        return false;
    }
    pending_.reserve(kWriteChunk + 4096);
    return true;
}

void DiskWorksheetFile::fail(const QString& reason)
{
    if (!failed_) {
        failed_ = true;
        error_ = reason;
    }
    pending_.clear();
}

bool DiskWorksheetFile::writeOut()
{
    const char* data = pending_.constData();
    qint64 left = pending_.size();
    while (left > 0) {
        const qint64 written = file_->write(data, left);
        if (written <= 0) {
            fail(reasonFor(file_->error(), file_->errorString()));
            return false;
        }
        data += written;
        left -= written;
    }
    pending_.clear();
    return true;
}

void DiskWorksheetFile::writeRecord(const QString& text)
{
    if (!file_ || failed_)
        return;
    QString unmappable;
    if (!appendRecord(*encoder_, text, pending_, &unmappable)) {
        fail(QStringLiteral("文字“") + unmappable + QStringLiteral("”无法用GBK编码保存"));
        return;
    }
    if (pending_.size() >= kWriteChunk)
        writeOut();
}

void DiskWorksheetFile::writeEmptyRecord()
{
    if (!file_ || failed_)
        return;
    pending_.append("\r\n", 2);
    if (pending_.size() >= kWriteChunk)
        writeOut();
}

bool DiskWorksheetFile::close()
{
    if (!file_)
        return false;
    if (!failed_ && writeOut()) {
        if (!file_->flush() || file_->error() != QFileDevice::NoError)
            fail(reasonFor(file_->error(), file_->errorString()));
        else if (!syncToDisk(*file_))
            fail(QStringLiteral("无法写入磁盘"));
    }
    if (failed_) {
        discard();
        return false;
    }
    const QString target = file_->fileName();
    const bool committed = file_->commit();
    if (!committed) {
        held_ = heldOpenElsewhere(target);
        error_ = held_ ? QStringLiteral("这个文件正在被另一个程序（例如 Excel 或 WPS 表格）打开")
                       : reasonFor(file_->error(), file_->errorString());
    }
    file_.reset();
    return committed;
}

void DiskWorksheetFile::discard()
{
    pending_.clear();
    failed_ = false;
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
}

QString DiskWorksheetFile::errorString() const
{
    return error_;
}

bool DiskWorksheetFile::heldByAnotherProgram() const
{
    return held_;
}

QString DiskWorksheetFile::folder() const
{
    return QDir::toNativeSeparators(QDir(folder_.isEmpty() ? QDir::currentPath() : folder_).absolutePath());
}

} // namespace kestrin
