#include "upper_division.h"

#include "gen/rows/row_sheet.h"
#include "runtime/settings_text.h"

namespace kestrin::div {

namespace {

const QString kDigitsMessage = QStringLiteral(
    "被除数位数为1-6位，除数位数为1-4位且不多于被除数位数。对不起！输入有误，谢谢使用。欢迎再来");

} // namespace

Question makeDivisionWithRemainder(RandomSource& random, int dividendDigits, int divisorDigits)
{
    const long long dividendLow = dividendDigits == 1 ? 1 : rows::powerOfTen(dividendDigits - 1);
    const long long dividendHigh = rows::powerOfTen(dividendDigits) - 1;
    const long long divisorLow = std::max(2LL, rows::powerOfTen(divisorDigits - 1));
    const long long divisorHigh = rows::powerOfTen(divisorDigits) - 1;
    for (;;) {
        const long long dividend = rows::drawBetween(random, dividendLow, dividendHigh);
        const long long highest = std::min(divisorHigh, dividend - 1);
        if (highest < divisorLow)
            continue; // no divisor of d digits lies below this dividend
        const long long divisor = rows::drawBetween(random, divisorLow, highest);
        const long long remainder = dividend % divisor;
        QString answer = QString::number(dividend / divisor);
        if (remainder != 0)
            answer += QStringLiteral("……") + QString::number(remainder);
        return Question{QString::number(dividend) + QChar(u'÷') + QString::number(divisor) + QChar(u'='), answer};
    }
}

RunResult runUpperDivisionSheet(const UpperDivisionSettings& settings, const RunServices& services)
{
    const std::optional<long long> big = readWholeNumber(settings.dividendDigits);
    const std::optional<long long> small = readWholeNumber(settings.divisorDigits);
    if (!big || !small || *big < 1 || *big > 6 || *small < 1 || *small > 4 || *small > *big) {
        services.messages.show(kDigitsMessage);
        return RunResult::stopped();
    }
    const std::optional<rows::Counts> counts = rows::readCounts(settings.sheet, true);
    if (!counts) {
        services.messages.show(rows::sizeMessage());
        return RunResult::stopped();
    }
    const int D = static_cast<int>(*big);
    const int d = static_cast<int>(*small);
    const bool remainders = settings.remainders;

    rows::RowSheetPlan plan;
    plan.fileName = QStringLiteral("高段%1位除以%2位速算.xls").arg(D).arg(d);
    plan.fileTitle = QStringLiteral("小学高段%1位除以%2位速算试题").arg(D).arg(d);
    const int quotientDigits = D - d + 1;
    plan.widestText = D + 1 + d + 1
        + (settings.sheet.answers ? quotientDigits + (remainders ? 2 + d : 0) : 0);
    plan.cellWidth = plan.widestText + 2;
    plan.nextQuestion = [D, d, remainders](RandomSource& random) {
        return remainders ? makeDivisionWithRemainder(random, D, d) : makeDivision(random, Group{D, d, 1});
    };
    return rows::runRowSheet(plan, *counts, settings.sheet, services);
}

} // namespace kestrin::div
