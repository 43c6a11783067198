#pragma once

// Sheets of multiplication questions a×b= in row lines of fixed-width cells:
// a first factor of d1 digits times a second of d2 digits, q questions a row,
// r rows a page, p pages a run.

#include "output/run_services.h"

#include <QString>

namespace kestrin::mul {

struct MultiplicationSettings {
    QString firstDigits;  // d1, 1 … 6
    QString secondDigits; // d2, 1 … 5
    SheetSettings sheet;  // q per row 2 … 50, r rows 2 … 200, p pages 1 … 40
};

// What tells one multiplication kind from another: its stage in the texts, and
// whether the three counts must be whole numbers (else their whole part is used).
struct MultiplicationKind {
    QString stage; // "中段": file 中段3位乘1位速算.xls, title 小学中段3位乘1位速算试题
    bool wholeCounts = true;
};

const MultiplicationKind& middleStageKind(); // 中段乘算
const MultiplicationKind& upperStageKind();  // 高段乘算

// A factor of `digits` digits: draws u until trunc(u × 10^digits) lies strictly
// between 10^(digits−1) and 10^digits.
long long drawFactor(RandomSource& random, int digits);

QString fileNameOf(const MultiplicationKind& kind, int firstDigits, int secondDigits);

RunResult runMultiplicationSheet(
    const MultiplicationKind& kind, const MultiplicationSettings& settings, const RunServices& services);

} // namespace kestrin::mul
