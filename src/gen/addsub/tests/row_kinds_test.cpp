#include "gen/addsub/row_kinds.h"
#include "output/sheet_texts.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <set>

namespace kestrin::addsub {
namespace {

using testing::RecordedRun;
using testing::Record;

const QString kInfantMessage = QStringLiteral("数的范围为5-20。对不起！输入有误，谢谢使用。欢迎再来");
const QString kLowerMessage = QStringLiteral("数的范围为20-1000，每题几个数为2-3。对不起！输入有误，谢谢使用。欢迎再来");
const QString kSizeMessage = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-200排，每次输出1-40页。对不起！输入有误，谢谢使用。欢迎再来");

SheetSettings sheet(const char* q, const char* r, const char* p, bool answers = true)
{
    return SheetSettings{QString::fromUtf8(q), QString::fromUtf8(r), QString::fromUtf8(p), answers, false, true};
}

RunServices servicesOf(RecordedRun& run)
{
    return RunServices{run.random, run.messages, run.file, run.printer};
}

// The cells of a row line after its four-blank lead, each checked to be the
// text padded to `width`.
QStringList cellsOf(const QString& line, int width)
{
    EXPECT_TRUE(line.startsWith(QStringLiteral("    ")));
    QStringList cells;
    for (qsizetype i = 4; i < line.size(); i += width) {
        const QString cell = line.mid(i, width);
        EXPECT_EQ(cell.size(), width);
        const QString text = cell.trimmed();
        EXPECT_EQ(cell, text + QString(width - text.size(), u' '));
        EXPECT_LE(text.size(), width - 2) << "at least two blanks after every question";
        cells.append(text);
    }
    return cells;
}

TEST(Infant, PagesUseEveryQuestionBeforeAnyRepeats)
{
    RecordedRun run;
    // A page of 100 questions with M = 10 holds all 100 that exist, each once.
    const RunResult result = runInfantSheet(InfantSettings{QStringLiteral("10"), sheet("5", "20", "4")}, servicesOf(run));
    ASSERT_TRUE(result.completed);
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("[400]")));
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("“幼儿10以内加减速算.xls”")));
    const std::vector<Record>& records = run.file.files[QStringLiteral("幼儿10以内加减速算.xls")];
    ASSERT_EQ(records.size(), 2U + 80U);
    EXPECT_EQ(records[0], QStringLiteral("幼儿10以内加减速算试题"));
    static const QRegularExpression question(QStringLiteral("^(\\d+)([+-])(\\d+)=(\\d+)$"));
    for (int page = 0; page < 4; ++page) {
        std::set<QString> seen;
        int sums = 0;
        for (size_t r = 0; r < 20; ++r) {
            for (const QString& cell : cellsOf(*records[2 + static_cast<size_t>(page) * 20 + r], 10)) {
                const QRegularExpressionMatch m = question.match(cell);
                ASSERT_TRUE(m.hasMatch()) << cell.toStdString();
                const int a = m.captured(1).toInt();
                const int b = m.captured(3).toInt();
                const bool plus = m.captured(2) == QStringLiteral("+");
                EXPECT_GE(a, 1);
                EXPECT_GE(b, 1);
                if (plus) {
                    EXPECT_LE(a + b, 10);
                    EXPECT_EQ(m.captured(4).toInt(), a + b);
                    ++sums;
                } else {
                    EXPECT_LE(b, a);
                    EXPECT_LE(a, 10);
                    EXPECT_EQ(m.captured(4).toInt(), a - b);
                }
                EXPECT_TRUE(seen.insert(cell).second) << "repeated on one page: " << cell.toStdString();
            }
        }
        EXPECT_EQ(seen.size(), 100U);
        EXPECT_EQ(sums, 45);
    }
}

TEST(Infant, MorePlacesThanQuestionsStartOverAndFewerNeverRepeat)
{
    RecordedRun run;
    ASSERT_TRUE(runInfantSheet(InfantSettings{QStringLiteral("5"), sheet("50", "2", "1", false)}, servicesOf(run)).completed);
    const std::vector<Record>& records = run.file.files.first();
    std::multiset<QString> cells;
    for (size_t r = 2; r < records.size(); ++r) {
        for (const QString& cell : cellsOf(*records[r], 6))
            cells.insert(cell);
    }
    ASSERT_EQ(cells.size(), 100U);
    // 25 questions exist within 5: the first 25 places hold each once, and so on.
    std::set<QString> distinct(cells.begin(), cells.end());
    EXPECT_EQ(distinct.size(), 25U);
    for (const QString& cell : distinct)
        EXPECT_EQ(cells.count(cell), 4U) << cell.toStdString();
}

TEST(Lower, RunningResultsStayWithinTheRangeAndCarryOnlyWhenAllowed)
{
    static const QRegularExpression number(QStringLiteral("([+-]?)(\\d+)"));
    for (const bool carrying : {true, false}) {
        for (const char* range : {"20", "100", "1000"}) {
            for (const char* count : {"2", "3"}) {
                SCOPED_TRACE(std::string(range) + " " + count + (carrying ? " carrying" : " plain"));
                RecordedRun run;
                LowerSettings s{QString::fromUtf8(range), QString::fromUtf8(count), carrying, sheet("4", "25", "4")};
                const RunResult result = runLowerSheet(s, servicesOf(run));
                ASSERT_TRUE(result.completed);
                const QString name = QStringLiteral("低段%1以内加减速算.xls").arg(QString::fromUtf8(range));
                const std::vector<Record>& records = run.file.files[name];
                ASSERT_EQ(records.size(), 102U);
                EXPECT_EQ(records[0], QStringLiteral("小学低段%1以内加减速算试题").arg(QString::fromUtf8(range)));
                const long long m = QString::fromUtf8(range).toLongLong();
                const int k = QString::fromUtf8(count).toInt();
                const int width = k * (static_cast<int>(QString::number(m - 1).size()) + 1)
                    + static_cast<int>(QString::number(m).size()) + 2;
                bool sawCarry = false;
                for (size_t r = 2; r < records.size(); ++r) {
                    for (const QString& cell : cellsOf(*records[r], width)) {
                        const QStringList sides = cell.split(u'=');
                        ASSERT_EQ(sides.size(), 2);
                        long long running = 0;
                        int terms = 0;
                        auto it = number.globalMatch(sides[0]);
                        while (it.hasNext()) {
                            const QRegularExpressionMatch part = it.next();
                            const long long b = part.captured(2).toLongLong();
                            EXPECT_GE(b, 1);
                            EXPECT_LE(b, m - 1);
                            if (terms > 0) {
                                const bool plus = part.captured(1) == QStringLiteral("+");
                                const bool carried = plus ? carries(running, b) : borrows(running, b);
                                sawCarry = sawCarry || carried;
                                if (!carrying) {
                                    EXPECT_FALSE(carried) << cell.toStdString();
                                }
                                running += plus ? b : -b;
                            } else {
                                running = b;
                            }
                            EXPECT_GE(running, 0) << cell.toStdString();
                            EXPECT_LE(running, m) << cell.toStdString();
                            ++terms;
                        }
                        EXPECT_EQ(terms, k);
                        EXPECT_EQ(sides[1].toLongLong(), running);
                    }
                }
                EXPECT_EQ(sawCarry, carrying);
            }
        }
    }
}

TEST(Lower, ColumnsCarryAndBorrow)
{
    EXPECT_FALSE(carries(47, 52));
    EXPECT_TRUE(carries(47, 25));
    EXPECT_TRUE(carries(50, 50));
    EXPECT_FALSE(carries(0, 999));
    EXPECT_FALSE(borrows(47, 25));
    EXPECT_TRUE(borrows(42, 25));
    EXPECT_TRUE(borrows(100, 1));
    EXPECT_FALSE(borrows(999, 999));
    // Stuck places still find a step: 999 + anything carries, subtraction fits.
    testing::ScriptedRandom random({0.999F});
    for (int i = 0; i < 200; ++i) {
        const LowerQuestion q = makeLowerQuestion(random, 1000, 3, false);
        EXPECT_GE(q.result, 0);
        EXPECT_LE(q.result, 1000);
    }
}

TEST(RowKinds, ChecksAndTheirBounds)
{
    struct Case {
        const char* what;
        std::function<RunResult(RecordedRun&)> run;
        const QString* message;
    };
    auto infant = [](const char* m, const char* q) {
        return [m, q](RecordedRun& r) {
            return runInfantSheet(InfantSettings{QString::fromUtf8(m), sheet(q, "20", "4")}, servicesOf(r));
        };
    };
    auto lower = [](const char* m, const char* k, const char* q) {
        return [m, k, q](RecordedRun& r) {
            return runLowerSheet(
                LowerSettings{QString::fromUtf8(m), QString::fromUtf8(k), false, sheet(q, "25", "4")}, servicesOf(r));
        };
    };
    const Case cases[] = {
        {"M 4", infant("4", "5"), &kInfantMessage},
        {"M 21", infant("21", "5"), &kInfantMessage},
        {"M 5", infant("5", "5"), nullptr},
        {"M 20", infant("20", "5"), nullptr},
        {"M 10.5", infant("10.5", "5"), &kInfantMessage},
        {"M empty", infant("", "5"), &kInfantMessage},
        {"q 1", infant("10", "1"), &kSizeMessage},
        {"q 5.5", infant("10", "5.5"), &kSizeMessage},
        {"M 19", lower("19", "2", "4"), &kLowerMessage},
        {"M 1001", lower("1001", "2", "4"), &kLowerMessage},
        {"k 1", lower("100", "1", "4"), &kLowerMessage},
        {"k 4", lower("100", "4", "4"), &kLowerMessage},
        {"k x", lower("100", "x", "4"), &kLowerMessage},
        {"M 20 k 3", lower("20", "3", "4"), nullptr},
        {"M 1000 k 2", lower("1000", "2", "50"), nullptr},
        {"q 51", lower("100", "2", "51"), &kSizeMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedRun run;
        const RunResult result = c.run(run);
        if (c.message) {
            EXPECT_FALSE(result.completed);
            EXPECT_EQ(run.messages.shown, QStringList{*c.message});
            EXPECT_EQ(run.file.opens, 0);
            EXPECT_EQ(run.random.draws, 0);
        } else {
            EXPECT_TRUE(result.completed);
            EXPECT_TRUE(run.messages.shown.isEmpty());
        }
    }
}

} // namespace
} // namespace kestrin::addsub
