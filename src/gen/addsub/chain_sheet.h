#pragma once

// Sheets of chain questions: every question is a column of terms to be added
// from top to bottom, and a row of questions is printed as one line per place
// in the chains. The engine checks the settings, lays out cells, rows and
// pages and drives the two output channels; each kind supplies its texts, its
// own settings and how it makes a row.

#include "output/run_services.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kestrin::addsub {

// One row of questions as it is shown: terms[k][q] is the k-th shown term of
// question q, answers[q] its total. Values are whole numbers in units of the
// last decimal place.
struct ChainRow {
    std::vector<std::vector<long long>> terms;
    std::vector<long long> answers;
};

// The shape of every chain of a run: terms, digits of a term's whole part,
// decimal places.
struct ChainShape {
    int terms = 0;
    int digits = 1;
    int decimals = 0;
};

struct ChainKind {
    QString stageKind;    // as it stands in the completion text, e.g. "学前段七笔加减"
    QString statusText;
    bool wholeCounts = true; // the three counts must be whole numbers (else their whole part is used)
    // The kind's own settings (in the order the window shows them) read into a
    // shape; nullopt refuses them with the chain message.
    std::optional<ChainShape> (*readShape)(const QStringList& texts) = nullptr;
    QString chainMessage;
    // The worksheet file's name and its title (printed framed by "*").
    QString (*fileName)(const ChainShape& shape) = nullptr;
    QString (*fileTitle)(const ChainShape& shape) = nullptr;
    // Makes the questions of one row.
    void (*makeRow)(RandomSource& random, const ChainShape& shape, int questions, ChainRow& row) = nullptr;
    // The widest text of a term or an answer, for the cell width.
    int (*widestText)(const ChainShape& shape) = nullptr;
};

struct ChainSettings {
    SheetSettings sheet;
    QStringList extra; // the kind's own settings, as typed
};

// The one-digit kinds of the preschool stage.
const ChainKind& sevenTermKind(); // 7 terms, 2 negative, the seven-term sheet's own order draws
const ChainKind& fiveTermKind();  // 5 terms, 1 negative
const ChainKind& tenTermKind();   // 10 terms, 3 negative
// Multi-digit chains: settings T (terms) and d (digits) …
const ChainKind& middleStageKind();
// … and f (decimal places).
const ChainKind& upperStageKind();

void makeSevenTermRow(RandomSource& random, int questions, ChainRow& row);
// T one-digit terms, `negatives` of them −9 … −1, the rest 1 … 9, total at least 1;
// the first shown term is one of the positive ones, the rest in random order.
void makeOneDigitRow(RandomSource& random, int terms, int negatives, int questions, ChainRow& row);
// Terms of exactly shape.digits digits (and shape.decimals decimals), the first
// added, each later one subtracted with chance ½ where the running total stays
// 0 or above; a total of 0 is drawn again.
void makeMultiDigitRow(RandomSource& random, const ChainShape& shape, int questions, ChainRow& row);

// The cell width of a shape: 8, or the widest text + 2 where that is more.
int cellWidth(const ChainKind& kind, const ChainShape& shape);

// A number in its cell: right-aligned in `width` characters (never cut).
QString chainCell(long long value, int decimals, int width);

RunResult runChainSheet(const ChainKind& kind, const ChainSettings& settings, const RunServices& services);
RunResult runChainSheet(const ChainKind& kind, const SheetSettings& settings, const RunServices& services);

} // namespace kestrin::addsub
