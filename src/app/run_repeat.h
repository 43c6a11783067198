#pragma once

#include "runtime/random_source.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kestrin {

// One window's memory of its last completed sheet, so that the questions of a
// sheet and their answers come from two runs: a run whose settings are all as
// they were for that sheet, only the answers choice changed, makes the same
// questions in the same places again. It draws from a copy of the random
// source as it stood when that sheet began; the source itself is not advanced,
// so the next new sheet is the one that would have come without the repeat.
// A repeat's files carry "答案" (with answers) or "题目" (without) in their
// names, so that it replaces none of the sheet's files.
//
// A repeat leaves the remembered sheet as it is: toggling the answers choice
// again repeats the same questions once more. A run that does not complete
// (refused or failed) forgets the sheet; the run after it makes new questions.
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
    void end(bool completed);

private:
    struct Sheet {
        QStringList settings;
        bool answers = false;
        std::unique_ptr<RandomSource> start; // the source as it stood when the sheet began
    };

    std::optional<Sheet> last_;
    std::optional<Sheet> running_;  // a new sheet, until it ends
    std::unique_ptr<RandomSource> repeating_; // a repeat's draws, until it ends
    bool repeatAnswers_ = false;
};

} // namespace kestrin
