#include "chain_sheet.h"

#include "gen/rows/row_sheet.h"
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

const QString kSizeMessage = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-10排，每次输出1-20页。对不起！输入有误，谢谢使用。欢迎再来");

using rows::drawBetween;
using rows::powerOfTen;

int textLength(long long value, int decimals)
{
    return static_cast<int>(chainCell(value, decimals, 0).size());
}

// The kinds with one-digit terms have no settings of their own.
std::optional<ChainShape> fixedShape(int terms, const QStringList& texts)
{
    if (!texts.isEmpty())
        return std::nullopt;
    return ChainShape{terms, 1, 0};
}

// Reads whole numbers within their ranges, or nothing.
std::optional<std::vector<int>> readWholeSettings(const QStringList& texts, std::initializer_list<std::pair<int, int>> ranges)
{
    if (texts.size() != static_cast<qsizetype>(ranges.size()))
        return std::nullopt;
    std::vector<int> values;
    qsizetype i = 0;
    for (const auto& [low, high] : ranges) {
        const std::optional<long long> value = readWholeNumber(texts[i++]);
        if (!value || *value < low || *value > high)
            return std::nullopt;
        values.push_back(static_cast<int>(*value));
    }
    return values;
}

int oneDigitWidest(const ChainShape& shape)
{
    return textLength(9LL * shape.terms, 0);
}

int multiDigitWidest(const ChainShape& shape)
{
    const long long largestTerm = powerOfTen(shape.digits + shape.decimals) - 1;
    return std::max(textLength(-largestTerm, shape.decimals), textLength(largestTerm * shape.terms, shape.decimals));
}

QString numbered(const char16_t* stage, const ChainShape& shape, const QString& tail)
{
    QString name = QString::fromUtf16(stage) + QString::number(shape.digits) + QChar(u'位') + QString::number(shape.terms)
        + QChar(u'笔');
    if (shape.decimals > 0)
        name += QString::number(shape.decimals) + QStringLiteral("位小数");
    return name + tail;
}

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
std::optional<Counts> readCounts(const SheetSettings& settings, bool wholeOnly)
{
    const auto n = readCount(settings.perRow, wholeOnly);
    const auto r = readCount(settings.rowsPerPage, wholeOnly);
    const auto p = readCount(settings.pages, wholeOnly);
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

void makeOneDigitRow(RandomSource& random, int terms, int negatives, int questions, ChainRow& row)
{
    row.terms.assign(static_cast<size_t>(terms), std::vector<long long>(static_cast<size_t>(questions), 0));
    row.answers.assign(static_cast<size_t>(questions), 0);
    std::vector<int> values(static_cast<size_t>(terms));
    std::vector<int> rest;
    for (int q = 0; q < questions; ++q) {
        int total = 0;
        do {
            total = 0;
            for (int k = 0; k < terms; ++k) {
                values[static_cast<size_t>(k)] = k < negatives ? drawNegative(random) : drawPositive(random);
                total += values[static_cast<size_t>(k)];
            }
        } while (total <= 0);
        row.answers[static_cast<size_t>(q)] = total;
        // The first shown term: one of the positive ones, each equally likely.
        const auto first = static_cast<size_t>(negatives + drawBetween(random, 0, terms - negatives - 1));
        row.terms[0][static_cast<size_t>(q)] = values[first];
        rest.clear();
        for (size_t k = 0; k < values.size(); ++k) {
            if (k != first)
                rest.push_back(values[k]);
        }
        // The others in a uniformly random order.
        for (size_t k = 1; k < values.size(); ++k) {
            const auto pick = static_cast<size_t>(drawBetween(random, 0, static_cast<long long>(rest.size()) - 1));
            row.terms[k][static_cast<size_t>(q)] = rest[pick];
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(pick));
        }
    }
}

void makeMultiDigitRow(RandomSource& random, const ChainShape& shape, int questions, ChainRow& row)
{
    row.terms.assign(static_cast<size_t>(shape.terms), std::vector<long long>(static_cast<size_t>(questions), 0));
    row.answers.assign(static_cast<size_t>(questions), 0);
    const long long lowest = shape.digits == 1 ? 1 : powerOfTen(shape.digits - 1);
    const long long highest = powerOfTen(shape.digits) - 1;
    const long long unit = powerOfTen(shape.decimals);
    for (int q = 0; q < questions; ++q) {
        long long total = 0;
        do {
            total = 0;
            for (int k = 0; k < shape.terms; ++k) {
                long long term = drawBetween(random, lowest, highest) * unit;
                if (shape.decimals > 0)
                    term += drawBetween(random, 0, unit - 1);
                if (k > 0 && random.draw() < 0.5F && total - term >= 0)
                    term = -term;
                total += term;
                row.terms[static_cast<size_t>(k)][static_cast<size_t>(q)] = term;
            }
        } while (total == 0);
        row.answers[static_cast<size_t>(q)] = total;
    }
}

int cellWidth(const ChainKind& kind, const ChainShape& shape)
{
    return std::max(8, kind.widestText(shape) + 2);
}

const ChainKind& sevenTermKind()
{
    static const ChainKind kind{
        QStringLiteral("学前段七笔加减"),
        QString(23, u' ') + QStringLiteral("100% 完成"),
        false,
        [](const QStringList& texts) { return fixedShape(7, texts); },
        QString(),
        [](const ChainShape&) { return QStringLiteral("学前段七笔加减速算.xls"); },
        [](const ChainShape&) { return QStringLiteral("小学学前段七笔加减速算试题"); },
        [](RandomSource& random, const ChainShape&, int questions, ChainRow& row) {
            makeSevenTermRow(random, questions, row);
        },
        &oneDigitWidest,
    };
    return kind;
}

const ChainKind& fiveTermKind()
{
    static const ChainKind kind{
        QStringLiteral("学前段五笔加减"),
        QString(36, u' ') + QStringLiteral("100% 完成"),
        true,
        [](const QStringList& texts) { return fixedShape(5, texts); },
        QString(),
        [](const ChainShape&) { return QStringLiteral("学前段五笔加减速算.xls"); },
        [](const ChainShape&) { return QStringLiteral("小学学前段五笔加减速算试题"); },
        [](RandomSource& random, const ChainShape&, int questions, ChainRow& row) {
            makeOneDigitRow(random, 5, 1, questions, row);
        },
        &oneDigitWidest,
    };
    return kind;
}

const ChainKind& tenTermKind()
{
    static const ChainKind kind{
        QStringLiteral("学前段十笔加减"),
        QString(36, u' ') + QStringLiteral("100% 完成"),
        true,
        [](const QStringList& texts) { return fixedShape(10, texts); },
        QString(),
        [](const ChainShape&) { return QStringLiteral("学前段十笔加减速算.xls"); },
        [](const ChainShape&) { return QStringLiteral("小学学前段十笔加减速算试题"); },
        [](RandomSource& random, const ChainShape&, int questions, ChainRow& row) {
            makeOneDigitRow(random, 10, 3, questions, row);
        },
        &oneDigitWidest,
    };
    return kind;
}

const ChainKind& middleStageKind()
{
    static const ChainKind kind{
        QStringLiteral("中段加减"),
        QString(36, u' ') + QStringLiteral("100% 完成"),
        true,
        [](const QStringList& texts) -> std::optional<ChainShape> {
            const auto values = readWholeSettings(texts, {{3, 10}, {1, 4}});
            if (!values)
                return std::nullopt;
            return ChainShape{(*values)[0], (*values)[1], 0};
        },
        QStringLiteral("每题笔数为3-10笔，每笔位数为1-4位。对不起！输入有误，谢谢使用。欢迎再来"),
        [](const ChainShape& shape) { return numbered(u"中段", shape, QStringLiteral("加减速算.xls")); },
        [](const ChainShape& shape) { return numbered(u"小学中段", shape, QStringLiteral("加减速算试题")); },
        &makeMultiDigitRow,
        &multiDigitWidest,
    };
    return kind;
}

const ChainKind& upperStageKind()
{
    static const ChainKind kind{
        QStringLiteral("高段加减"),
        QString(36, u' ') + QStringLiteral("100% 完成"),
        true,
        [](const QStringList& texts) -> std::optional<ChainShape> {
            const auto values = readWholeSettings(texts, {{3, 15}, {1, 5}, {0, 2}});
            if (!values)
                return std::nullopt;
            return ChainShape{(*values)[0], (*values)[1], (*values)[2]};
        },
        QStringLiteral("每题笔数为3-15笔，每笔位数为1-5位，小数位数为0-2位。对不起！输入有误，谢谢使用。欢迎再来"),
        [](const ChainShape& shape) { return numbered(u"高段", shape, QStringLiteral("加减速算.xls")); },
        [](const ChainShape& shape) { return numbered(u"小学高段", shape, QStringLiteral("加减速算试题")); },
        &makeMultiDigitRow,
        &multiDigitWidest,
    };
    return kind;
}

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

RunResult runChainSheet(const ChainKind& kind, const ChainSettings& settings, const RunServices& services)
{
    const std::optional<ChainShape> shape = kind.readShape(settings.extra);
    if (!shape) {
        services.messages.show(kind.chainMessage);
        return RunResult::stopped();
    }
    const std::optional<Counts> counts = readCounts(settings.sheet, kind.wholeCounts);
    if (!counts) {
        services.messages.show(kSizeMessage);
        return RunResult::stopped();
    }
    const int n = counts->perRow;
    const int width = cellWidth(kind, *shape);
    const QString fileName = kind.fileName(*shape);
    const QString fileTitle = kind.fileTitle(*shape);
    const bool answers = settings.sheet.answers;

    SheetOutput out(services, settings.sheet.toFile, settings.sheet.toPrinter);
    if (!out.startPrinting(fileTitle) || !out.openFile(fileName, 1))
        return RunResult::stopped();

    out.record(fileTitle);
    out.record(fileHeader());

    const QString printedTitle = u'*' + fileTitle + u'*';
    const QString separator(width * n, u'-');
    const QString rulePiece = QString(2, u' ') + QString(width - 2, u'-');
    ChainRow row;
    QString line;
    for (int page = 1; page <= counts->pages; ++page) {
        out.print(printedTitle);
        out.print(printedHeader());
        out.print(separator);
        for (int r = 0; r < counts->rows; ++r) {
            kind.makeRow(services.random, *shape, n, row);
            for (const std::vector<long long>& place : row.terms) {
                line.clear();
                for (long long term : place)
                    line += chainCell(term, shape->decimals, width);
                out.record(line);
                out.print(line);
            }
            if (answers) {
                line.clear();
                for (long long answer : row.answers)
                    line += chainCell(answer, shape->decimals, width);
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
            + QStringLiteral("]题已完成。如果选择输出到Excel，请在该系统目录（") + services.file.folder()
            + QStringLiteral("）下将“") + services.file.nameOf(fileName)
            + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可打印。谢谢！"));
}

RunResult runChainSheet(const ChainKind& kind, const SheetSettings& settings, const RunServices& services)
{
    return runChainSheet(kind, ChainSettings{settings, {}}, services);
}

} // namespace kestrin::addsub
