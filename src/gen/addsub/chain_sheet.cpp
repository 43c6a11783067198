#include "chain_sheet.h"

#include "output/sheet_texts.h"
#include "runtime/settings_text.h"

#include <array>
#include <cmath>
#include <optional>

namespace kestrin::addsub {

namespace {

// A whole number from scaling a draw, the fraction cut off toward zero.
int scaled(RandomSource& random, double factor, double offset = 0.0)
{
    return static_cast<int>(std::trunc(static_cast<double>(random.draw()) * factor + offset));
}

// 1 … 9, each equally likely.
int drawPositive(RandomSource& random)
{
    for (;;) {
        const int x = scaled(random, 10.0);
        if (x != 0)
            return x;
    }
}

// −9 … −1, each equally likely.
int drawNegative(RandomSource& random)
{
    for (;;) {
        const int x = scaled(random, 10.0) - 10;
        if (x != -10)
            return x;
    }
}

constexpr int kTaken = 20;

bool isTerm(int value)
{
    return (value >= 1 && value <= 9) || (value >= -9 && value <= -1);
}

struct Counts {
    int perRow = 0;
    int rows = 0;
    int pages = 0;
};

// The three counts of a chain sheet, or nothing when the size check refuses them.
std::optional<Counts> readCounts(const SheetSettings& settings)
{
    const auto n = readNumber(settings.perRow);
    const auto r = readNumber(settings.rowsPerPage);
    const auto p = readNumber(settings.pages);
    if (!n || !r || !p)
        return std::nullopt;
    // The page has R' + 1 rows, R' being R − 1 rounded half to even.
    const double extraRows = roundHalfEven(*r - 1.0);
    if (*n < 2 || *n > 50 || extraRows < 1 || extraRows > 9 || *p < 1 || *p > 20)
        return std::nullopt;
    // A count with a fraction makes its whole part of questions or pages.
    return Counts{static_cast<int>(std::floor(*n)), static_cast<int>(extraRows) + 1,
        static_cast<int>(std::floor(*p))};
}

} // namespace

void makeSevenTermRow(RandomSource& random, int questions, ChainRow& row)
{
    row.terms.assign(7, std::vector<long long>(static_cast<size_t>(questions), 0));
    row.answers.assign(static_cast<size_t>(questions), 0);

    // Values of every chain of the row first, places 1 … 7 (a1, a2 negative).
    std::vector<std::array<int, 8>> values(static_cast<size_t>(questions));
    for (int q = 0; q < questions; ++q) {
        std::array<int, 8>& v = values[static_cast<size_t>(q)];
        int total = 0;
        do {
            v[0] = 0;
            v[1] = drawNegative(random);
            v[2] = drawNegative(random);
            for (int k = 3; k <= 7; ++k)
                v[static_cast<size_t>(k)] = drawPositive(random);
            total = 0;
            for (int k = 1; k <= 7; ++k)
                total += v[static_cast<size_t>(k)];
        } while (total <= 0);
        row.answers[static_cast<size_t>(q)] = total;
    }

    // Then the shown order of each chain: the first term is one of places 1 … 6
    // that holds a positive value; the rest are drawn from the places not yet taken.
    for (int q = 0; q < questions; ++q) {
        std::array<int, 8>& v = values[static_cast<size_t>(q)];
        int p = 0;
        do {
            p = scaled(random, 6.0) + 1;
        } while (v[static_cast<size_t>(p)] < 1 || v[static_cast<size_t>(p)] > 9);
        row.terms[0][static_cast<size_t>(q)] = v[static_cast<size_t>(p)];
        v[static_cast<size_t>(p)] = kTaken;
        for (int k = 2; k <= 7; ++k) {
            do {
                p = scaled(random, 7.0, 0.05);
            } while (p == 0 || !isTerm(v[static_cast<size_t>(p)]));
            row.terms[static_cast<size_t>(k - 1)][static_cast<size_t>(q)] = v[static_cast<size_t>(p)];
            v[static_cast<size_t>(p)] = kTaken;
        }
    }
}

const ChainKind& sevenTermKind()
{
    static const ChainKind kind{
        QStringLiteral("学前段七笔加减"),
        QStringLiteral("学前段七笔加减速算.xls"),
        QStringLiteral("小学学前段七笔加减速算试题"),
        QStringLiteral("可一次性每排输出2-50题，每页输出2-10排，每次输出1-20页。对不起！输入有误，谢谢使用。欢迎再来"),
        QString(23, u' ') + QStringLiteral("100% 完成"),
        7,
        8,
        0,
        &makeSevenTermRow,
    };
    return kind;
}

QString chainCell(long long value, int decimals, int width)
{
    QString text;
    if (decimals <= 0) {
        text = QString::number(value);
    } else {
        long long scale = 1;
        for (int i = 0; i < decimals; ++i)
            scale *= 10;
        const long long magnitude = value < 0 ? -value : value;
        text = (value < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / scale)
            + u'.' + QStringLiteral("%1").arg(magnitude % scale, decimals, 10, QChar(u'0'));
    }
    if (text.size() < width)
        text.prepend(QString(width - text.size(), u' '));
    return text;
}

RunResult runChainSheet(const ChainKind& kind, const SheetSettings& settings, const RunServices& services)
{
    const std::optional<Counts> counts = readCounts(settings);
    if (!counts) {
        services.messages.show(kind.sizeMessage);
        return RunResult::stopped();
    }
    const int n = counts->perRow;
    const int width = kind.cellWidth;

    SheetOutput out(services, settings.toFile, settings.toPrinter);
    if (!out.startPrinting(kind.fileTitle) || !out.openFile(kind.fileName, 1))
        return RunResult::stopped();

    out.record(kind.fileTitle);
    out.record(fileHeader());

    const QString printedTitle = u'*' + kind.fileTitle + u'*';
    const QString separator(width * n, u'-');
    const QString rulePiece = QString(2, u' ') + QString(width - 2, u'-');
    ChainRow row;
    QString line;
    for (int page = 1; page <= counts->pages; ++page) {
        out.print(printedTitle);
        out.print(printedHeader());
        out.print(separator);
        for (int r = 0; r < counts->rows; ++r) {
            kind.makeRow(services.random, n, row);
            for (const std::vector<long long>& place : row.terms) {
                line.clear();
                for (long long term : place)
                    line += chainCell(term, kind.decimals, width);
                out.record(line);
                out.print(line);
            }
            if (settings.answers) {
                line.clear();
                for (long long answer : row.answers)
                    line += chainCell(answer, kind.decimals, width);
                out.record(line);
                out.emptyRecord();
                out.print(repeated(rulePiece, n));
                out.print(line);
                out.printEmpty();
            } else {
                out.emptyRecord();
                out.emptyRecord();
                out.printEmpty();
                out.printEmpty();
            }
        }
        out.print(separator);
        out.print(footer(page));
        out.endPage();
    }

    if (!out.closeFile() || !out.finishPrinting())
        return RunResult::stopped();

    const long long made = static_cast<long long>(n) * counts->rows * counts->pages;
    return RunResult::done(kind.statusText,
        QStringLiteral("智能生成") + kind.stageKind + u'[' + QString::number(made)
            + QStringLiteral("]题已完成。如果选择输出到Excel，请在该系统目录下将“") + kind.fileName
            + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可打印。谢谢！"));
}

} // namespace kestrin::addsub
