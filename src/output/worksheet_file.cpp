#include "worksheet_file.h"

#include <QDir>
#include <QFileInfo>

namespace kestrin {

namespace {

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

} // namespace

QByteArray encodeRecord(QStringEncoder& encoder, const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2 + 4);
    bytes.append('"');
    bytes.append(encoder.encode(text));
    bytes.append("\"\r\n");
    return bytes;
}

QByteArray encodeRecord(const QString& text)
{
    QStringEncoder encoder("GBK");
    return encodeRecord(encoder, text);
}

QByteArray emptyRecord()
{
    return QByteArrayLiteral("\r\n");
}

DiskWorksheetFile::DiskWorksheetFile(QString folder)
    : folder_(std::move(folder))
    , encoder_("GBK")
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
    const QString path = folder_.isEmpty() ? fileName : QDir(folder_).filePath(fileName);
    if (QFileInfo(path).isDir()) {
        error_ = QStringLiteral("同名文件夹已存在");
        return false;
    }
    file_ = std::make_unique<QSaveFile>(path);
    if (!file_->open(QIODevice::WriteOnly)) {
        error_ = reasonFor(file_->error(), file_->errorString());
        file_.reset();
        return false;
    }
    return true;
}

void DiskWorksheetFile::writeRecord(const QString& text)
{
    if (!file_)
        return;
    file_->write(encodeRecord(encoder_, text));
}

void DiskWorksheetFile::writeEmptyRecord()
{
    if (file_)
        file_->write("\r\n", 2);
}

bool DiskWorksheetFile::close()
{
    if (!file_)
        return false;
    const bool committed = file_->commit();
    if (!committed)
        error_ = reasonFor(file_->error(), file_->errorString());
    file_.reset();
    return committed;
}

void DiskWorksheetFile::discard()
{
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
}

QString DiskWorksheetFile::errorString() const
{
    return error_;
}

QString DiskWorksheetFile::folder() const
{
    return QDir::toNativeSeparators(QDir(folder_.isEmpty() ? QDir::currentPath() : folder_).absolutePath());
}

} // namespace kestrin
