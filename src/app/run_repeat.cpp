#include "run_repeat.h"

namespace kestrin {

RunRepeat::Run RunRepeat::begin(const QStringList& settings, bool answers, RandomSource& source)
{
    running_.reset();
    repeating_.reset();
    if (last_ && last_->settings == settings && last_->answers != answers) {
        repeating_ = last_->start->copy();
        repeatAnswers_ = answers;
        return Run{*repeating_, answers ? QStringLiteral("答案") : QStringLiteral("题目")};
    }
    running_ = Sheet{settings, answers, source.copy()};
    return Run{source, QString()};
}

void RunRepeat::end(bool completed)
{
    if (!completed)
        last_.reset();
    else if (repeating_ && last_)
        last_->answers = repeatAnswers_;
    else if (running_)
        last_ = std::move(running_);
    running_.reset();
    repeating_.reset();
}

} // namespace kestrin
