#pragma once

// Sheets of questions in row lines: a lead of four blanks, then q cells, each
// a question text left-aligned in its cell; r rows a page, p pages a run. The
// engine reads the counts, lays out rows and pages and drives the channels;
// each kind checks its own settings and makes its questions.

#include "output/run_services.h"

#include <QString>
#include <functional>
#include <optional>

namespace kestrin::rows {

struct Counts {
    int perRow = 0;
    int rows = 0;
    int pages = 0;
};

// q 2 … 50, r 2 … 200, p 1 … 40. Where fractions are allowed their whole part is used.
std::optional<Counts> readCounts(const SheetSettings& sheet, bool wholeOnly);
QString sizeMessage();

struct Question {
    QString text;   // without the answer, e.g. "123×4="
    QString answer; // what follows it when answers are wanted, e.g. "492"
};

// What one run of a row sheet makes, once its settings are accepted.
struct RowSheetPlan {
    QString fileName;
    QString fileTitle; // printed framed by "*"
    int cellWidth = 0; // a question shorter than this is padded to it; a longer one gets one blank
    int widestText = 0; // the longest question text the run can make, answer included
    std::function<void()> startPage; // called before each page's first question, if set
    std::function<Question(RandomSource& random)> nextQuestion;
};

RunResult runRowSheet(const RowSheetPlan& plan, const Counts& counts, const SheetSettings& sheet,
    const RunServices& services);

// A whole number from low to high, each equally likely, from one draw.
long long drawBetween(RandomSource& random, long long low, long long high);
long long powerOfTen(int exponent);

} // namespace kestrin::rows
