#pragma once

// Sheets of chain questions: every question is a column of terms to be added
// from top to bottom, and a row of questions is printed as one line per place
// in the chains. The engine lays out cells, rows and pages and drives the two
// output channels; each kind supplies its texts and how it makes a row.

#include "output/run_services.h"

#include <QString>
#include <vector>

namespace kestrin::addsub {

// One row of questions as it is shown: terms[k][q] is the k-th shown term of
// question q, answers[q] its total. Values are whole numbers in units of the
// kind's last decimal place.
struct ChainRow {
    std::vector<std::vector<long long>> terms;
    std::vector<long long> answers;
};

struct ChainKind {
    QString stageKind;   // as it stands in the completion text, e.g. "学前段七笔加减"
    QString fileName;    // the worksheet file, e.g. "学前段七笔加减速算.xls"
    QString fileTitle;   // e.g. "小学学前段七笔加减速算试题"; printed framed by "*"
    QString sizeMessage; // shown when the three counts are refused
    QString statusText;
    int terms = 0;       // term lines per row
    int cellWidth = 8;   // characters per cell, right-aligned
    int decimals = 0;    // decimal places shown in every number
    // Makes the questions of one row, row.terms sized terms × questions.
    void (*makeRow)(RandomSource& random, int questions, ChainRow& row) = nullptr;
};

// The seven-term chains of the preschool stage: five terms 1…9 and two −9…−1
// with a positive total, the first shown term positive.
const ChainKind& sevenTermKind();
void makeSevenTermRow(RandomSource& random, int questions, ChainRow& row);

// A number in its cell: right-aligned in `width` characters (never cut).
QString chainCell(long long value, int decimals, int width);

RunResult runChainSheet(const ChainKind& kind, const SheetSettings& settings, const RunServices& services);

} // namespace kestrin::addsub
