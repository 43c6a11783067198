#include "mixed_group_sheet.h"

#include "gen/rows/row_sheet.h"
#include "output/sheet_texts.h"
#include "runtime/settings_text.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kestrin::div {

namespace {

const QString kSetsMessage = QStringLiteral("输入套数错误！每次规定出题在1-100套。");
const QString kDigitsMessage = QStringLiteral("输入位数错误！第一因数位数为1-6位，第二因数位数为1-5位。");
const QString kCountMessage = QStringLiteral("输入题数错误！输入题数在0-50题。");
const QString kPerRowMessage = QStringLiteral("输入每行题数错误！每行题数至少为1题。");

long long scaled(RandomSource& random, long long factor)
{
    return static_cast<long long>(std::trunc(static_cast<double>(random.draw()) * static_cast<double>(factor)));
}

// A grid box or the set count: a number, a fraction rounded half to even (or
// refused, where only whole numbers are taken), held to what a 16-bit whole
// number can be.
std::optional<int> readGridNumber(const QString& text, bool wholeOnly)
{
    const std::optional<double> value = readNumber(text);
    if (!value || (wholeOnly && std::trunc(*value) != *value))
        return std::nullopt;
    const double rounded = roundHalfEven(*value);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int>(rounded);
}

bool inRange(const std::optional<int>& value, int low, int high)
{
    return value && *value >= low && *value <= high;
}

// Draws below this many tries an exercise are left to plain redrawing.
constexpr long long kRedrawLimit = 1000;

} // namespace

Question makeDivision(RandomSource& random, const Group& group)
{
    const long long dividendHigh = rows::powerOfTen(group.firstDigits);
    const long long dividendLow = rows::powerOfTen(group.firstDigits - 1);
    const long long divisorHigh = rows::powerOfTen(group.secondDigits);
    const long long divisorLow = rows::powerOfTen(group.secondDigits - 1);

    long long divisor = 0;
    do {
        divisor = scaled(random, divisorHigh);
    } while (divisor <= divisorLow || divisor >= divisorHigh);

    // The quotients that keep the dividend strictly inside its bounds.
    const long long lowest = dividendLow / divisor + 1;
    const long long highest = (dividendHigh - 1) / divisor;
    const long long admissible = highest - lowest + 1;
    long long quotient = 0;
    if (admissible * kRedrawLimit >= dividendHigh) {
        // A draw scaled by the dividend's digits meets the bounds often enough.
        long long dividend = 0;
        do {
            quotient = scaled(random, dividendHigh);
            dividend = quotient * divisor;
        } while (dividend >= dividendHigh || dividend <= dividendLow);
    } else {
        // Few quotients fit (five-digit dividends by four- or five-digit divisors):
        // one draw among them, each as likely as by redrawing.
        quotient = rows::drawBetween(random, lowest, highest);
    }
    const long long dividend = quotient * divisor;
    return Question{QString::number(dividend) + QChar(u'÷') + QString::number(divisor) + QChar(u'='), QString::number(quotient)};
}

QString refuseDivisionGroup(const Group& group)
{
    if (group.count > 0 && group.secondDigits > group.firstDigits)
        return QStringLiteral("输入位数错误！除数位数不能多于被除数位数。");
    return QString();
}

int widestDivision(const Group& group, bool answers)
{
    return group.firstDigits + 1 + group.secondDigits + 1 + (answers ? group.firstDigits - group.secondDigits + 1 : 0);
}

const MixedGroupKind& divisionKind()
{
    static const MixedGroupKind kind{
        QStringLiteral("综合除算"),
        QStringLiteral("小学综合除算试题"),
        5,
        5,
        18,
        false,
        &refuseDivisionGroup,
        &makeDivision,
        &widestDivision,
    };
    return kind;
}

std::vector<int> shuffledOrder(RandomSource& random, int total)
{
    std::vector<int> order;
    order.reserve(static_cast<size_t>(total));
    std::vector<bool> taken(static_cast<size_t>(total), false);
    for (int m = 0; m < total; ++m) {
        long long x = 0;
        do {
            x = static_cast<long long>(std::trunc(static_cast<double>(total) * static_cast<double>(random.draw()) + 1.0));
        } while (taken[static_cast<size_t>(x - 1)]);
        taken[static_cast<size_t>(x - 1)] = true;
        order.push_back(static_cast<int>(x - 1));
    }
    return order;
}

RunResult runMixedGroupSheet(const MixedGroupKind& kind, const MixedGroupSettings& settings, const RunServices& services)
{
    const std::optional<int> sets = readGridNumber(settings.sets, kind.wholeNumbers);
    if (!inRange(sets, 1, 100)) {
        services.messages.show(kSetsMessage);
        return RunResult::stopped();
    }

    // Every check runs once, before any output; each message is shown once.
    QStringList refusals;
    auto refuse = [&refusals](const QString& message) {
        if (!refusals.contains(message))
            refusals.append(message);
    };
    std::array<Group, 4> groups{};
    for (size_t g = 0; g < groups.size(); ++g) {
        const GroupTexts& texts = settings.groups[g];
        const std::optional<int> first = readGridNumber(texts.firstDigits, kind.wholeNumbers);
        const std::optional<int> second = readGridNumber(texts.secondDigits, kind.wholeNumbers);
        const std::optional<int> count = readGridNumber(texts.count, kind.wholeNumbers);
        const bool firstValid = inRange(first, 1, kind.highestFirstDigits);
        const bool secondValid = inRange(second, 1, kind.highestSecondDigits);
        if (!firstValid || !secondValid)
            refuse(kDigitsMessage);
        if ((firstValid || secondValid) && !inRange(count, 0, 50))
            refuse(kCountMessage);
        if (firstValid && secondValid && inRange(count, 0, 50))
            groups[g] = Group{*first, *second, *count};
    }
    if (refusals.isEmpty()) {
        for (const Group& group : groups) {
            const QString message = kind.refuseGroup ? kind.refuseGroup(group) : QString();
            if (!message.isEmpty())
                refuse(message);
        }
    }
    // Questions per row line: any whole number from 1 up, however large; more
    // than a set holds puts the whole set on one row line.
    const std::optional<double> perRow = readNumber(settings.perRow);
    if (!perRow || std::trunc(*perRow) != *perRow || *perRow < 1)
        refuse(kPerRowMessage);
    if (!refusals.isEmpty()) {
        for (const QString& message : refusals)
            services.messages.show(message);
        return RunResult::stopped();
    }

    int total = 0;
    for (const Group& group : groups)
        total += group.count;
    const int q = static_cast<int>(std::min(*perRow, static_cast<double>(std::max(total, 1))));
    int width = kind.cellWidth;
    for (const Group& group : groups) {
        if (group.count > 0)
            width = std::max(width, kind.widestQuestion(group, settings.answers) + 2);
    }

    SheetOutput out(services, settings.toFile, settings.toPrinter);
    if (!out.startPrinting(kind.fileTitle))
        return RunResult::stopped();

    const QString printedTitle = u'*' + kind.fileTitle + u'*';
    std::vector<Question> pool;
    pool.reserve(static_cast<size_t>(total));
    QString line;
    for (int set = 1; set <= *sets; ++set) {
        if (!out.openFile(kind.name + QString::number(set) + QStringLiteral(".xls"), set))
            return RunResult::stopped();
        out.record(kind.fileTitle);
        out.record(fileHeader());
        out.print(printedTitle + QString::number(set));
        out.print(printedHeader());
        out.printEmpty();

        pool.clear();
        for (const Group& group : groups) {
            for (int i = 0; i < group.count; ++i)
                pool.push_back(kind.makeQuestion(services.random, group));
        }
        const std::vector<int> order = shuffledOrder(services.random, total);

        // Every question is written: the last row line may hold fewer cells.
        for (int first = 0; first < total; first += q) {
            line.clear();
            for (int p = first; p < std::min(first + q, total); ++p) {
                const Question& question = pool[static_cast<size_t>(order[static_cast<size_t>(p)])];
                const qsizetype start = line.size();
                line += question.text;
                if (settings.answers)
                    line += question.answer;
                line += QString(std::max<qsizetype>(width - (line.size() - start), 1), u' ');
            }
            out.record(line);
            out.print(line);
        }

        out.printEmpty();
        out.print(footer(set));
        out.endPage();
        if (!out.closeFile())
            return RunResult::stopped();
    }
    if (!out.finishPrinting())
        return RunResult::stopped();

    return RunResult::done(QString(36, u' ') + QStringLiteral("100% 完成"),
        QStringLiteral("智能生成[") + QString::number(total)
            + QStringLiteral("]题已完成。如果选择输出到Excel，请在该系统目录（") + services.file.folder()
            + QStringLiteral("）下将“")
            + services.file.nameOf(kind.name + QStringLiteral("X.xls")) + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可。谢谢！"));
}

} // namespace kestrin::div
