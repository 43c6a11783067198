#pragma once

// Sets of questions from four groups: each group has two digit counts and a
// number of questions; a set mixes the questions of all four groups into one
// random order, laid out in row lines of fixed-width cells. Every set is a
// worksheet file of its own and a printed page of its own.

#include "gen/rows/row_sheet.h"
#include "output/run_services.h"

#include <QString>
#include <array>
#include <vector>

namespace kestrin::div {

struct GroupTexts {
    QString firstDigits;  // digits of the dividend (or first factor)
    QString secondDigits; // digits of the divisor (or second factor)
    QString count;        // questions of this group in each set
};

struct MixedGroupSettings {
    std::array<GroupTexts, 4> groups;
    QString perRow; // `ttt`, a whole number from 1 up (more than a set holds: one row line)
    QString sets;   // 1 … 100
    bool answers = false;
    bool toPrinter = false;
    bool toFile = true;
};

struct Group {
    int firstDigits = 0;
    int secondDigits = 0;
    int count = 0;
};

// A question's text without its answer ("84÷7=") and its answer ("12").
using Question = rows::Question;

struct MixedGroupKind {
    QString name;          // "综合除算": files 综合除算1.xls …
    QString fileTitle;     // "小学综合除算试题"
    int highestFirstDigits = 5;
    int highestSecondDigits = 5;
    int cellWidth = 18;   // or the longest question + 2 where that is more
    // Grid boxes and the set count must be whole numbers (else a fraction is
    // rounded to the nearest whole number, a half to the even one).
    bool wholeNumbers = false;
    // Refuses a group that no question can meet: the message, or empty.
    QString (*refuseGroup)(const Group& group) = nullptr;
    // Makes one question of a group.
    Question (*makeQuestion)(RandomSource& random, const Group& group) = nullptr;
    // The longest question text of a group, with or without its answer.
    int (*widestQuestion)(const Group& group, bool answers) = nullptr;
};

const MixedGroupKind& divisionKind();

// An exact division of a group: the divisor strictly between 10^(d−1) and 10^d,
// the dividend strictly between 10^(D−1) and 10^D, every admissible quotient of
// that divisor equally likely.
Question makeDivision(RandomSource& random, const Group& group);

// The order of a set: a uniformly random permutation of 0 … total−1.
std::vector<int> shuffledOrder(RandomSource& random, int total);

RunResult runMixedGroupSheet(const MixedGroupKind& kind, const MixedGroupSettings& settings, const RunServices& services);

} // namespace kestrin::div
