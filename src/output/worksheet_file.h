#pragma once

#include "output/gbk_encoder.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace kestrin {

// The worksheet file channel: whole records of one text each, nothing else.
// open() replaces any file of that name; the file is complete on disk only
// after close() has returned true.
class WorksheetFile {
public:
    virtual ~WorksheetFile() = default;
    virtual bool open(const QString& fileName, int fileNumber) = 0;
    virtual void writeRecord(const QString& text) = 0;
    virtual void writeEmptyRecord() = 0;
    virtual bool close() = 0;
    // Gives up the open file; whatever stood under its name before stays as it was.
    virtual void discard() = 0;
    // Why the last open() or close() failed, in words for the teacher.
    virtual QString errorString() const = 0;
    // Whether the last close() failed because another program (Excel, WPS)
    // has the previous file of that name open and will not let it be replaced.
    virtual bool heldByAnotherProgram() const { return false; }
    // Where the files go, as the teacher would look for it.
    virtual QString folder() const = 0;
    // The name under which open(fileName, …) puts the file, for the texts that name it.
    virtual QString nameOf(const QString& fileName) const { return fileName; }
};

// A text record: 0x22, the text in GBK, 0x22, CR LF; appended to `out`, false
// (with the character in *unmappable) when the text has no GBK form.
bool appendRecord(GbkEncoder& encoder, const QString& text, QByteArray& out, QString* unmappable = nullptr);
// The same through the system's encoder, for texts known to have a GBK form.
QByteArray encodeRecord(const QString& text);
// An empty record: CR LF.
QByteArray emptyRecord();

// Worksheet files on disk, named relative to a folder (the working directory
// unless one is given). The file is written beside its target under a
// temporary name and renamed over it on close, once every byte has been
// written and flushed to the disk; a run that fails part way (a full disk, a
// text without GBK form, a failed write or sync) never leaves a truncated
// worksheet, never destroys the previous one and leaves no temporary file.
// On Windows a program that has the previous file open without sharing it (as
// Excel and WPS hold an open workbook) stops the rename; close() then fails
// with heldByAnotherProgram() and the previous file as it was.
class DiskWorksheetFile final : public WorksheetFile {
public:
    explicit DiskWorksheetFile(QString folder = QString(),
                               std::unique_ptr<GbkEncoder> encoder = makeSystemGbkEncoder());
    ~DiskWorksheetFile() override;

    bool open(const QString& fileName, int fileNumber) override;
    void writeRecord(const QString& text) override;
    void writeEmptyRecord() override;
    bool close() override;
    void discard() override;
    QString errorString() const override;
    bool heldByAnotherProgram() const override;
    // The absolute folder, with the system's separators.
    QString folder() const override;

private:
    bool writeOut();
    void fail(const QString& reason);

    QString folder_;
    std::unique_ptr<GbkEncoder> encoder_;
    std::unique_ptr<QSaveFile> file_;
    QByteArray pending_;
    bool failed_ = false;
    bool held_ = false;
    QString error_;
};

} // namespace kestrin
