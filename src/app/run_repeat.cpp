#include "app/run_repeat.h"

namespace kestrin::app {

RunRepeat::Run RunRepeat::begin(const QStringList& settings, bool answers, RandomSource& source)
{
    running_.reset();
    repeating_.reset();
    if (last_ && last_->settings == settings && last_->answers != answers) {
        repeating_ = last_->start->copy();
        repeatAnswers_ = answers;
        return Run{*repeating_, answers ? QStringLiteral("答案") : QStringLiteral("题目")};
    }
    running_ = Sheet{settings, answers, source.copy(), {}};
    return Run{source, QString()};
}

void RunRepeat::end(bool completed, const QStringList& written)
{
    if (completed && repeating_ && last_) {
        last_->answers = repeatAnswers_;
    } else if (completed && running_) {
        last_ = std::move(running_);
        last_->files = written;
    } else if (!completed && last_) {
        for (const QString& name : written) {
            if (last_->files.contains(name)) {
                last_.reset();
                break;
            }
        }
    }
    running_.reset();
    repeating_.reset();
}

QString taggedFileName(const QString& fileName, const QString& tag)
{
    static const QString extension = QStringLiteral(".xls");
    if (tag.isEmpty())
        return fileName;
    if (!fileName.endsWith(extension))
        return fileName + tag;
    return fileName.chopped(extension.size()) + tag + extension;
}

TaggedWorksheetFile::TaggedWorksheetFile(WorksheetFile& file, QString tag) : file_(file), tag_(std::move(tag)) {}

bool TaggedWorksheetFile::open(const QString& fileName, int fileNumber)
{
    open_ = taggedFileName(fileName, tag_);
    return file_.open(open_, fileNumber);
}

void TaggedWorksheetFile::writeRecord(const QString& text)
{
    file_.writeRecord(text);
}

void TaggedWorksheetFile::writeEmptyRecord()
{
    file_.writeEmptyRecord();
}

bool TaggedWorksheetFile::close()
{
    if (!file_.close())
        return false;
    written_ << open_;
    return true;
}

void TaggedWorksheetFile::discard()
{
    file_.discard();
}

QString TaggedWorksheetFile::errorString() const
{
    return file_.errorString();
}

bool TaggedWorksheetFile::heldByAnotherProgram() const
{
    return file_.heldByAnotherProgram();
}

QString TaggedWorksheetFile::folder() const
{
    return file_.folder();
}

QString TaggedWorksheetFile::nameOf(const QString& fileName) const
{
    return file_.nameOf(taggedFileName(fileName, tag_));
}

} // namespace kestrin::app
