#include "gen/div/upper_division.h"
#include "runtime/qt_compat.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace kestrin::div {
namespace {

using testing::RecordedRun;

const QString kMessage = QStringLiteral(
    "被除数位数为1-6位，除数位数为1-4位且不多于被除数位数。对不起！输入有误，谢谢使用。欢迎再来");

UpperDivisionSettings settings(const char* D, const char* d, bool remainders, bool answers = true)
{
    return UpperDivisionSettings{QString::fromUtf8(D), QString::fromUtf8(d), remainders,
        SheetSettings{QStringLiteral("5"), QStringLiteral("25"), QStringLiteral("4"), answers, false, true}};
}

TEST(UpperDivision, ExactOrWithRemainderWithinTheirDigits)
{
    static const QRegularExpression cell(QStringLiteral("(\\d+)÷(\\d+)=(\\d+)(……(\\d+))?( +)"));
    for (const bool remainders : {false, true}) {
        for (int D = 1; D <= 6; ++D) {
            for (int d = 1; d <= std::min(D, 4); ++d) {
                SCOPED_TRACE(std::to_string(D) + "÷" + std::to_string(d) + (remainders ? " remainders" : ""));
                RecordedRun run;
                const RunResult result = runUpperDivisionSheet(
                    settings(QByteArray::number(D).constData(), QByteArray::number(d).constData(), remainders),
                    RunServices{run.random, run.messages, run.file, run.printer});
                ASSERT_TRUE(result.completed);
                EXPECT_TRUE(result.completionText.contains(QStringLiteral("[500]")));
                const QString name = QStringLiteral("高段%1位除以%2位速算.xls").arg(D).arg(d);
                const auto& records = run.file.files[name];
                ASSERT_EQ(records.size(), 102U);
                EXPECT_EQ(records[0], QStringLiteral("小学高段%1位除以%2位速算试题").arg(D).arg(d));
                long long low = 1;
                for (int i = 1; i < D; ++i)
                    low *= 10;
                long long dlow = 1;
                for (int i = 1; i < d; ++i)
                    dlow *= 10;
                int withRemainder = 0;
                for (size_t r = 2; r < records.size(); ++r) {
                    const QString& line = *records[r];
                    qsizetype at = 4;
                    int cells = 0;
                    while (at < line.size()) {
                        const QRegularExpressionMatch m = cell.match(
                            line, at, QRegularExpression::NormalMatch, qt::kAnchorAtOffset);
                        ASSERT_TRUE(m.hasMatch()) << line.mid(at).toStdString();
                        EXPECT_GE(m.capturedLength(6), 2);
                        const long long dividend = m.captured(1).toLongLong();
                        const long long divisor = m.captured(2).toLongLong();
                        const long long quotient = m.captured(3).toLongLong();
                        const long long remainder = m.captured(5).isEmpty() ? 0 : m.captured(5).toLongLong();
                        EXPECT_EQ(dividend, quotient * divisor + remainder);
                        EXPECT_LT(remainder, divisor);
                        EXPECT_GE(quotient, 1);
                        EXPECT_LT(dividend, low * 10);
                        EXPECT_LT(divisor, dlow * 10);
                        EXPECT_GE(divisor, 2);
                        if (remainders) {
                            EXPECT_GE(dividend, low) << "any number of D digits";
                            EXPECT_GE(divisor, dlow);
                            EXPECT_LT(divisor, dividend);
                            EXPECT_NE(m.captured(4).isEmpty(), remainder != 0) << "\"……\" only with a remainder";
                            withRemainder += remainder != 0 ? 1 : 0;
                        } else {
                            EXPECT_GT(dividend, low) << "never 10, 100, …";
                            EXPECT_GT(divisor, dlow);
                            EXPECT_TRUE(m.captured(4).isEmpty());
                        }
                        at += m.capturedLength(0);
                        ++cells;
                    }
                    EXPECT_EQ(cells, 5);
                }
                if (remainders && d < D) {
                    EXPECT_GT(withRemainder, 0);
                }
            }
        }
    }
}

TEST(UpperDivision, ChecksAndTheirBounds)
{
    const std::pair<std::pair<const char*, const char*>, bool> cases[] = {
        {{"0", "1"}, false}, {{"7", "1"}, false}, {{"3", "0"}, false}, {{"6", "5"}, false}, {{"2", "3"}, false},
        {{"x", "1"}, false}, {{"3.5", "1"}, false}, {{"6", "4"}, true}, {{"1", "1"}, true}, {{"３", "１"}, true},
    };
    for (const auto& [digits, accepted] : cases) {
        SCOPED_TRACE(std::string(digits.first) + "÷" + digits.second);
        RecordedRun run;
        const RunResult result = runUpperDivisionSheet(settings(digits.first, digits.second, false),
            RunServices{run.random, run.messages, run.file, run.printer});
        EXPECT_EQ(result.completed, accepted);
        if (!accepted) {
            EXPECT_EQ(run.messages.shown, QStringList{kMessage});
            EXPECT_EQ(run.file.opens, 0);
        }
    }
    RecordedRun run;
    UpperDivisionSettings s = settings("3", "1", false);
    s.sheet.pages = QStringLiteral("2.5");
    EXPECT_FALSE(runUpperDivisionSheet(s, RunServices{run.random, run.messages, run.file, run.printer}).completed);
    EXPECT_EQ(run.messages.shown.size(), 1);
    EXPECT_TRUE(run.messages.shown[0].startsWith(QStringLiteral("可一次性每排输出2-50题，每页输出2-200排")));
}

} // namespace
} // namespace kestrin::div
