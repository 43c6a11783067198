#pragma once

#include "output/worksheet_file.h"
#include "runtime/random_source.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kestrin::app {

// One window's memory of its last completed sheet, so that the questions of a
// sheet and their answers come from two runs: a run whose settings are all as
// they were for that sheet, only the answers choice changed, makes the same
// questions in the same places again. It draws from a copy of the random
// source as it stood when that sheet began; the source itself is not advanced,
// so the next new sheet is the one that would have come without the repeat.
// A repeat's files carry "答案" (with answers) or "题目" (without) in their
// names (see TaggedWorksheetFile), so that it replaces none of the sheet's files.
//
// A repeat leaves the remembered sheet as it is, whether it completes, fails
// or is refused: toggling the answers choice again, or starting again after a
// failed key, repeats the same questions once more. A new sheet that completes
// is remembered instead. A new sheet that does not complete leaves the memory
// as it was unless it replaced one of the remembered sheet's files (a sheet of
// several files that failed part way); then the sheet is forgotten, as its
// questions are no longer all on disk.
class RunRepeat {
public:
    // What a run draws from and the tag its file names carry (empty for a new sheet).
    struct Run {
        RandomSource& random;
        QString fileTag;
    };

    // Begins a run. `settings` are the texts of every setting of the window
    // except the answers choice and the output switches; `source` is the
    // process's random source. The run lasts until end().
    Run begin(const QStringList& settings, bool answers, RandomSource& source);
    // Ends the run: whether it completed, and the files it wrote complete
    // under their names (as the window's file channel was asked to open them).
    void end(bool completed, const QStringList& written);

private:
    struct Sheet {
        QStringList settings;
        bool answers = false;
        std::unique_ptr<RandomSource> start; // the source as it stood when the sheet began
        QStringList files;                   // the sheet's files
    };

    std::optional<Sheet> last_;
    std::optional<Sheet> running_;  // a new sheet, until it ends
    std::unique_ptr<RandomSource> repeating_; // a repeat's draws, until it ends
    bool repeatAnswers_ = false;
};

// A worksheet file name with `tag` before its ".xls" ("综合除算1.xls" and "答案"
// give "综合除算1答案.xls"); the name as it is for an empty tag.
QString taggedFileName(const QString& fileName, const QString& tag);

// The worksheet file channel of one run of a window: the window's own channel,
// with the run's tag put before ".xls" in every name it opens. It keeps the
// names of the files that it completed in the run (whose close() succeeded),
// for the window's RunRepeat.
class TaggedWorksheetFile final : public WorksheetFile {
public:
    TaggedWorksheetFile(WorksheetFile& file, QString tag);

    bool open(const QString& fileName, int fileNumber) override;
    void writeRecord(const QString& text) override;
    void writeEmptyRecord() override;
    bool close() override;
    void discard() override;
    QString errorString() const override;
    bool heldByAnotherProgram() const override;
    QString folder() const override;
    QString nameOf(const QString& fileName) const override;

    // The files completed in the run, in the order they were written.
    const QStringList& written() const { return written_; }

private:
    WorksheetFile& file_;
    QString tag_;
    QString open_;
    QStringList written_;
};

} // namespace kestrin::app
