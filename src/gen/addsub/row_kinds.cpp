#include "row_kinds.h"

#include "runtime/settings_text.h"

#include <memory>

namespace kestrin::addsub {

namespace {

const QString kInfantMessage = QStringLiteral("数的范围为5-20。对不起！输入有误，谢谢使用。欢迎再来");
const QString kLowerMessage
    = QStringLiteral("数的范围为20-1000，每题几个数为2-3。对不起！输入有误，谢谢使用。欢迎再来");

std::optional<long long> readWithin(const QString& text, long long low, long long high)
{
    const std::optional<long long> value = readWholeNumber(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

int digitsOf(long long value)
{
    return static_cast<int>(QString::number(value).size());
}

// The questions of 幼儿加减 not yet used on the current page, by operator.
class InfantPool {
public:
    explicit InfantPool(int range) : range_(range) { refill(); }

    void refill()
    {
        sums_.clear();
        differences_.clear();
        for (int a = 1; a <= range_; ++a) {
            for (int b = 1; b <= range_; ++b) {
                if (a + b <= range_)
                    sums_.push_back({a, b});
                if (b <= a)
                    differences_.push_back({a, b});
            }
        }
    }

    rows::Question next(RandomSource& random)
    {
        if (sums_.empty() && differences_.empty())
            refill();
        // + or − with equal chance; where one of them is used up, the other.
        bool plus = random.draw() < 0.5F;
        if (plus && sums_.empty())
            plus = false;
        if (!plus && differences_.empty())
            plus = true;
        std::vector<std::pair<int, int>>& pool = plus ? sums_ : differences_;
        const auto pick = static_cast<size_t>(rows::drawBetween(random, 0, static_cast<long long>(pool.size()) - 1));
        const auto [a, b] = pool[pick];
        pool[pick] = pool.back();
        pool.pop_back();
        return rows::Question{QString::number(a) + (plus ? u'+' : u'-') + QString::number(b) + u'=',
            QString::number(plus ? a + b : a - b)};
    }

private:
    int range_;
    std::vector<std::pair<int, int>> sums_;
    std::vector<std::pair<int, int>> differences_;
};

} // namespace

bool carries(long long a, long long b)
{
    for (; a > 0 || b > 0; a /= 10, b /= 10) {
        if (a % 10 + b % 10 >= 10)
            return true;
    }
    return false;
}

bool borrows(long long a, long long b)
{
    for (; b > 0; a /= 10, b /= 10) {
        if (a % 10 < b % 10)
            return true;
    }
    return false;
}

LowerQuestion makeLowerQuestion(RandomSource& random, long long range, int count, bool carrying)
{
    LowerQuestion question;
    question.numbers.push_back(rows::drawBetween(random, 1, range - 1));
    question.signs.push_back(1);
    long long result = question.numbers[0];
    std::vector<std::pair<int, long long>> fitting;
    for (int i = 1; i < count; ++i) {
        auto fits = [&](int sign, long long b) {
            const long long next = result + sign * b;
            if (next < 0 || next > range)
                return false;
            return carrying || (sign > 0 ? !carries(result, b) : !borrows(result, b));
        };
        int sign = 0;
        long long b = 0;
        // Drawn again until the step fits; where that takes long, one draw among
        // all the steps that fit (there is always one: subtracting a single
        // nonzero digit of the running result, or adding 1 to 0).
        bool found = false;
        for (int attempt = 0; attempt < 64 && !found; ++attempt) {
            sign = random.draw() < 0.5F ? 1 : -1;
            b = rows::drawBetween(random, 1, range - 1);
            found = fits(sign, b);
        }
        if (!found) {
            fitting.clear();
            for (long long candidate = 1; candidate < range; ++candidate) {
                for (int s : {1, -1}) {
                    if (fits(s, candidate))
                        fitting.push_back({s, candidate});
                }
            }
            const auto pick = fitting[static_cast<size_t>(rows::drawBetween(random, 0, static_cast<long long>(fitting.size()) - 1))];
            sign = pick.first;
            b = pick.second;
        }
        question.numbers.push_back(b);
        question.signs.push_back(sign);
        result += sign * b;
    }
    question.result = result;
    return question;
}

RunResult runInfantSheet(const InfantSettings& settings, const RunServices& services)
{
    const std::optional<long long> range = readWithin(settings.range, 5, 20);
    if (!range) {
        services.messages.show(kInfantMessage);
        return RunResult::stopped();
    }
    const std::optional<rows::Counts> counts = rows::readCounts(settings.sheet, true);
    if (!counts) {
        services.messages.show(rows::sizeMessage());
        return RunResult::stopped();
    }
    const int m = static_cast<int>(*range);
    rows::RowSheetPlan plan;
    plan.fileName = QStringLiteral("幼儿%1以内加减速算.xls").arg(m);
    plan.fileTitle = QStringLiteral("幼儿%1以内加减速算试题").arg(m);
    plan.widestText = 2 * digitsOf(m) + 2 + (settings.sheet.answers ? digitsOf(m) : 0);
    plan.cellWidth = plan.widestText + 2;
    auto pool = std::make_shared<InfantPool>(m);
    plan.startPage = [pool] { pool->refill(); };
    plan.nextQuestion = [pool](RandomSource& random) { return pool->next(random); };
    return rows::runRowSheet(plan, *counts, settings.sheet, services);
}

RunResult runLowerSheet(const LowerSettings& settings, const RunServices& services)
{
    const std::optional<long long> range = readWithin(settings.range, 20, 1000);
    const std::optional<long long> count = readWithin(settings.numbers, 2, 3);
    if (!range || !count) {
        services.messages.show(kLowerMessage);
        return RunResult::stopped();
    }
    const std::optional<rows::Counts> counts = rows::readCounts(settings.sheet, true);
    if (!counts) {
        services.messages.show(rows::sizeMessage());
        return RunResult::stopped();
    }
    const long long m = *range;
    const int k = static_cast<int>(*count);
    const bool carrying = settings.carrying;
    rows::RowSheetPlan plan;
    plan.fileName = QStringLiteral("低段%1以内加减速算.xls").arg(m);
    plan.fileTitle = QStringLiteral("小学低段%1以内加减速算试题").arg(m);
    plan.widestText = k * (digitsOf(m - 1) + 1) + (settings.sheet.answers ? digitsOf(m) : 0);
    plan.cellWidth = plan.widestText + 2;
    plan.nextQuestion = [m, k, carrying](RandomSource& random) {
        const LowerQuestion q = makeLowerQuestion(random, m, k, carrying);
        QString text = QString::number(q.numbers[0]);
        for (size_t i = 1; i < q.numbers.size(); ++i)
            text += (q.signs[i] > 0 ? u'+' : u'-') + QString::number(q.numbers[i]);
        return rows::Question{text + u'=', QString::number(q.result)};
    };
    return rows::runRowSheet(plan, *counts, settings.sheet, services);
}

} // namespace kestrin::addsub
