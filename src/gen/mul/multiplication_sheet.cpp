#include "multiplication_sheet.h"

#include "output/sheet_texts.h"
#include "runtime/settings_text.h"

#include <cmath>
#include <optional>

namespace kestrin::mul {

namespace {

const QString kDigitsMessage = QStringLiteral("输入位数错误！，第一因数位数为1-6位，第二因数位数为1-5位。");
const QString kSizeMessage = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-200排，每次输出1-40页。对不起！输入有误，谢谢使用。欢迎再来");

long long powerOfTen(int exponent)
{
    long long value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

std::optional<int> readDigits(const QString& text, int highest)
{
    const std::optional<long long> value = readWholeNumber(text);
    if (!value || *value < 1 || *value > highest)
        return std::nullopt;
    return static_cast<int>(*value);
}

struct Counts {
    int perRow = 0;
    int rows = 0;
    int pages = 0;
};

std::optional<Counts> readCounts(const SheetSettings& sheet)
{
    const auto q = readNumber(sheet.perRow);
    const auto r = readNumber(sheet.rowsPerPage);
    const auto p = readNumber(sheet.pages);
    if (!q || !r || !p || *q < 2 || *q > 50 || *r < 2 || *r > 200 || *p < 1 || *p > 40)
        return std::nullopt;
    // A count with a fraction makes its whole part.
    return Counts{static_cast<int>(std::floor(*q)), static_cast<int>(std::floor(*r)),
        static_cast<int>(std::floor(*p))};
}

} // namespace

const MultiplicationKind& middleStageKind()
{
    static const MultiplicationKind kind{QStringLiteral("中段")};
    return kind;
}

long long drawFactor(RandomSource& random, int digits)
{
    const long long low = powerOfTen(digits - 1);
    const long long high = powerOfTen(digits);
    for (;;) {
        const auto x = static_cast<long long>(
            std::trunc(static_cast<double>(random.draw()) * static_cast<double>(high)));
        if (low < x && x < high)
            return x;
    }
}

QString fileNameOf(const MultiplicationKind& kind, int firstDigits, int secondDigits)
{
    return kind.stage + QString::number(firstDigits) + QStringLiteral("位乘") + QString::number(secondDigits)
        + QStringLiteral("位速算.xls");
}

RunResult runMultiplicationSheet(
    const MultiplicationKind& kind, const MultiplicationSettings& settings, const RunServices& services)
{
    const std::optional<int> d1 = readDigits(settings.firstDigits, 6);
    const std::optional<int> d2 = readDigits(settings.secondDigits, 5);
    if (!d1 || !d2) {
        services.messages.show(kDigitsMessage);
        return RunResult::stopped();
    }
    const std::optional<Counts> counts = readCounts(settings.sheet);
    if (!counts) {
        services.messages.show(kSizeMessage);
        return RunResult::stopped();
    }
    const bool answers = settings.sheet.answers;
    const int q = counts->perRow;

    // Cells are 6 × d1 wide; where a question is as long as that or longer
    // (one-digit by five-digit factors), one blank still follows it.
    const int width = 6 * *d1;
    const int longest = *d1 + 1 + *d2 + 1 + (answers ? *d1 + *d2 : 0);
    const int widest = std::max(width, longest + 1);
    const QString lead(4, u' ');
    // The separator spans the widest row line: the lead and q cells.
    const QString separator = QString(q * (widest + (4 + q - 1) / q), u'-');

    const QString fileName = fileNameOf(kind, *d1, *d2);
    const QString fileTitle = QStringLiteral("小学") + kind.stage + QString::number(*d1) + QStringLiteral("位乘")
        + QString::number(*d2) + QStringLiteral("位速算试题");
    const QString printedTitle = u'*' + fileTitle + u'*';

    SheetOutput out(services, settings.sheet.toFile, settings.sheet.toPrinter);
    if (!out.startPrinting(fileTitle) || !out.openFile(fileName, 1))
        return RunResult::stopped();
    out.record(fileTitle);
    out.record(fileHeader());

    QString line;
    line.reserve(4 + q * widest);
    for (int page = 1; page <= counts->pages; ++page) {
        out.print(printedTitle);
        out.print(printedHeader());
        out.print(separator);
        for (int row = 0; row < counts->rows; ++row) {
            line = lead;
            for (int k = 0; k < q; ++k) {
                const long long a = drawFactor(services.random, *d1);
                const long long b = drawFactor(services.random, *d2);
                const qsizetype start = line.size();
                line += QString::number(a);
                line += u'×';
                line += QString::number(b);
                line += u'=';
                if (answers)
                    line += QString::number(a * b);
                const qsizetype length = line.size() - start;
                line += QString(std::max<qsizetype>(width - length, 1), u' ');
            }
            out.record(line);
            out.print(line);
        }
        out.print(separator);
        out.print(footer(page));
        out.endPage();
    }

    if (!out.closeFile() || !out.finishPrinting())
        return RunResult::stopped();

    const long long made = static_cast<long long>(q) * counts->rows * counts->pages;
    return RunResult::done(QString(36, u' ') + QStringLiteral("100% 完成"),
        QStringLiteral("智能生成[") + QString::number(made)
            + QStringLiteral("]题已完成。如果选择输出到Excel，请在该系统目录下将“") + fileName
            + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可。谢谢！"));
}

} // namespace kestrin::mul
