#pragma once

// Addition and subtraction in rows of questions: 幼儿加减 (two numbers within
// M, no repeat on a page while unused questions remain) and 低段加减 (k numbers
// below M joined by + and −, carrying and borrowing optional).

#include "gen/rows/row_sheet.h"
#include "output/run_services.h"

#include <vector>

namespace kestrin::addsub {

struct InfantSettings {
    QString range; // M, 5 … 20
    SheetSettings sheet;
};

struct LowerSettings {
    QString range;   // M, 20 … 1000
    QString numbers; // k, 2 … 3
    bool carrying = true; // "含进位退位": steps may carry or borrow
    SheetSettings sheet;
};

RunResult runInfantSheet(const InfantSettings& settings, const RunServices& services);
RunResult runLowerSheet(const LowerSettings& settings, const RunServices& services);

// Whether a + b carries in some column (its digits add to 10 or more), and
// whether a − b borrows in some column (a digit of a below that of b).
bool carries(long long a, long long b);
bool borrows(long long a, long long b);

// The numbers and signs of one 低段加减 question: numbers[0] first, then each
// later number added (+1) or subtracted (−1).
struct LowerQuestion {
    std::vector<long long> numbers;
    std::vector<int> signs;
    long long result = 0;
};
LowerQuestion makeLowerQuestion(RandomSource& random, long long range, int count, bool carrying);

} // namespace kestrin::addsub
