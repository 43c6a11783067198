#pragma once

// 高段除算: rows of divisions of a D-digit dividend by a d-digit divisor, exact
// or, where remainders are allowed, with the remainder after "……".

#include "gen/div/mixed_group_sheet.h"
#include "output/run_services.h"

namespace kestrin::div {

struct UpperDivisionSettings {
    QString dividendDigits; // D, 1 … 6
    QString divisorDigits;  // d, 1 … 4, not more than D
    bool remainders = false;
    SheetSettings sheet;    // q 2 … 50, r 2 … 200, p 1 … 40
};

// Any D-digit dividend and a d-digit divisor (2 at least) below it; the answer
// is the quotient, followed by "……" and the remainder where that is not 0.
Question makeDivisionWithRemainder(RandomSource& random, int dividendDigits, int divisorDigits);

RunResult runUpperDivisionSheet(const UpperDivisionSettings& settings, const RunServices& services);

} // namespace kestrin::div
