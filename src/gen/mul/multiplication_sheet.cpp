#include "multiplication_sheet.h"

#include "gen/rows/row_sheet.h"
#include "runtime/settings_text.h"

#include <cmath>
#include <optional>

namespace kestrin::mul {

namespace {

const QString kDigitsMessage = QStringLiteral("输入位数错误！，第一因数位数为1-6位，第二因数位数为1-5位。");

std::optional<int> readDigits(const QString& text, int highest)
{
    const std::optional<long long> value = readWholeNumber(text);
    if (!value || *value < 1 || *value > highest)
        return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace

const MultiplicationKind& upperStageKind()
{
    static const MultiplicationKind kind{QStringLiteral("高段"), true};
    return kind;
}

const MultiplicationKind& middleStageKind()
{
    static const MultiplicationKind kind{QStringLiteral("中段"), false};
    return kind;
}

long long drawFactor(RandomSource& random, int digits)
{
    const long long low = rows::powerOfTen(digits - 1);
    const long long high = rows::powerOfTen(digits);
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
    const std::optional<rows::Counts> counts = rows::readCounts(settings.sheet, kind.wholeCounts);
    if (!counts) {
        services.messages.show(rows::sizeMessage());
        return RunResult::stopped();
    }

    rows::RowSheetPlan plan;
    plan.fileName = fileNameOf(kind, *d1, *d2);
    plan.fileTitle = QStringLiteral("小学") + kind.stage + QString::number(*d1) + QStringLiteral("位乘")
        + QString::number(*d2) + QStringLiteral("位速算试题");
    // Cells are 6 × d1 wide; where a question is as long as that or longer
    // (one-digit by five-digit factors), one blank still follows it.
    plan.cellWidth = 6 * *d1;
    plan.widestText = *d1 + 1 + *d2 + 1 + (settings.sheet.answers ? *d1 + *d2 : 0);
    const int first = *d1;
    const int second = *d2;
    plan.nextQuestion = [first, second](RandomSource& random) {
        const long long a = drawFactor(random, first);
        const long long b = drawFactor(random, second);
        return rows::Question{QString::number(a) + QChar(u'×') + QString::number(b) + QChar(u'='), QString::number(a * b)};
    };
    return rows::runRowSheet(plan, *counts, settings.sheet, services);
}

} // namespace kestrin::mul
