#include "gen/div/mixed_group_sheet.h"
#include "output/sheet_texts.h"
#include "runtime/qt_compat.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

namespace kestrin::div {
namespace {

using testing::RecordedRun;
using testing::Record;

const QString kSetsMessage = QStringLiteral("输入套数错误！每次规定出题在1-100套。");
const QString kDigitsMessage = QStringLiteral("输入位数错误！第一因数位数为1-6位，第二因数位数为1-5位。");
const QString kCountMessage = QStringLiteral("输入题数错误！输入题数在0-50题。");
const QString kPerRowMessage = QStringLiteral("输入每行题数错误！每行题数至少为1题。");
const QString kOrderMessage = QStringLiteral("输入位数错误！除数位数不能多于被除数位数。");

MixedGroupSettings defaults()
{
    MixedGroupSettings s;
    const char* grid[4][3] = {{"2", "1", "30"}, {"3", "1", "30"}, {"3", "2", "20"}, {"4", "2", "0"}};
    for (size_t g = 0; g < 4; ++g)
        s.groups[g] = GroupTexts{QString::fromUtf8(grid[g][0]), QString::fromUtf8(grid[g][1]), QString::fromUtf8(grid[g][2])};
    s.perRow = QStringLiteral("5");
    s.sets = QStringLiteral("10");
    return s;
}

RunResult runDiv(RecordedRun& run, const MixedGroupSettings& s)
{
    return runMixedGroupSheet(divisionKind(), s, RunServices{run.random, run.messages, run.file, run.printer});
}

struct Division {
    long long dividend = 0;
    long long divisor = 0;
    std::optional<long long> quotient;
};

std::vector<Division> questionsOf(const QString& line)
{
    static const QRegularExpression cell(QStringLiteral("(\\d+)÷(\\d+)=(\\d*)( +)"));
    std::vector<Division> parsed;
    qsizetype at = 0;
    while (at < line.size()) {
        const QRegularExpressionMatch m =
            cell.match(line, at, QRegularExpression::NormalMatch, qt::kAnchorAtOffset);
        EXPECT_TRUE(m.hasMatch()) << line.mid(at).toStdString();
        if (!m.hasMatch())
            break;
        EXPECT_EQ(m.capturedLength(0), 18) << "cells of 18";
        parsed.push_back(Division{m.captured(1).toLongLong(), m.captured(2).toLongLong(),
            m.captured(3).isEmpty() ? std::nullopt : std::optional<long long>(m.captured(3).toLongLong())});
        at += m.capturedLength(0);
    }
    return parsed;
}

int digits(long long value)
{
    return static_cast<int>(QString::number(value).size());
}

TEST(Division, DefaultSetsOneFileEach)
{
    RecordedRun run;
    const RunResult result = runDiv(run, defaults());
    ASSERT_TRUE(result.completed);
    ASSERT_EQ(run.file.files.size(), 10);
    std::vector<int> numbers;
    for (int n = 1; n <= 10; ++n)
        numbers.push_back(n);
    EXPECT_EQ(run.file.openNumbers, numbers);
    for (int n = 1; n <= 10; ++n) {
        const std::vector<Record>& records = run.file.files[QStringLiteral("综合除算%1.xls").arg(n)];
        ASSERT_EQ(records.size(), 18U);
        EXPECT_EQ(records[0], QStringLiteral("小学综合除算试题"));
        EXPECT_EQ(records[1], fileHeader());
        std::map<std::pair<int, int>, int> kinds;
        for (size_t i = 2; i < records.size(); ++i) {
            EXPECT_EQ(records[i]->size(), 90);
            for (const Division& d : questionsOf(*records[i])) {
                EXPECT_FALSE(d.quotient.has_value());
                ++kinds[{digits(d.dividend), digits(d.divisor)}];
            }
        }
        const std::map<std::pair<int, int>, int> expected{{{2, 1}, 30}, {{3, 1}, 30}, {{3, 2}, 20}};
        EXPECT_EQ(kinds, expected) << "every question of the set, each once";
    }
    EXPECT_EQ(result.statusText, QString(36, u' ') + QStringLiteral("100% 完成"));
    EXPECT_EQ(result.completionText,
        QStringLiteral("智能生成[80]题已完成。如果选择输出到Excel，请在该系统目录"
                       "（/home/li）下将“综合除算X.xls”用Excel打开，点完成即可。"
                       "(千万不要直接双击进入)调整即可。谢谢！"));
}

TEST(Division, EveryDivisionIsExactAndWithinItsBounds)
{
    RecordedRun run;
    for (int D = 1; D <= 5; ++D) {
        for (int d = 1; d <= D; ++d) {
            SCOPED_TRACE(std::to_string(D) + "÷" + std::to_string(d));
            MixedGroupSettings s = defaults();
            s.groups = {GroupTexts{QString::number(D), QString::number(d), QStringLiteral("50")},
                GroupTexts{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0")},
                GroupTexts{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0")},
                GroupTexts{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0")}};
            s.sets = QStringLiteral("4");
            s.answers = true;
            ASSERT_TRUE(runDiv(run, s).completed);
            long long low = 1;
            for (int i = 1; i < D; ++i)
                low *= 10;
            long long dlow = 1;
            for (int i = 1; i < d; ++i)
                dlow *= 10;
            for (const auto& records : run.file.files) {
                for (size_t i = 2; i < records.size(); ++i) {
                    for (const Division& q : questionsOf(*records[i])) {
                        ASSERT_TRUE(q.quotient.has_value());
                        EXPECT_EQ(q.dividend, q.divisor * *q.quotient);
                        EXPECT_GE(*q.quotient, 1);
                        EXPECT_GT(q.dividend, low) << "never 10, 100, …";
                        EXPECT_LT(q.dividend, low * 10);
                        EXPECT_GT(q.divisor, dlow);
                        EXPECT_LT(q.divisor, dlow * 10);
                    }
                }
            }
        }
    }
}

TEST(Division, EveryQuestionIsWrittenTheLastRowShort)
{
    struct Case {
        const char* count;
        const char* perRow;
        size_t rows;
        size_t lastCells;
    };
    // The fourth group adds to the 80 questions of the other three (none where it has 3).
    // A row longer than the set holds the whole set, however long.
    const Case cases[] = {{"1", "5", 17, 1}, {"21", "5", 21, 1}, {"20", "5", 20, 5}, {"3", "5", 1, 3}, {"1", "1", 81, 1},
        {"20", "100", 1, 100}, {"20", "101", 1, 100}, {"3", "51", 1, 3}, {"20", "99999999999999999999", 1, 100}};
    for (const Case& c : cases) {
        RecordedRun run;
        MixedGroupSettings s = defaults();
        s.groups[3] = GroupTexts{QStringLiteral("4"), QStringLiteral("2"), QString::fromUtf8(c.count)};
        if (QString::fromUtf8(c.count) == QStringLiteral("3"))
            s.groups[0].count = s.groups[1].count = s.groups[2].count = QStringLiteral("0");
        s.perRow = QString::fromUtf8(c.perRow);
        s.sets = QStringLiteral("1");
        const RunResult result = runDiv(run, s);
        ASSERT_TRUE(result.completed);
        const std::vector<Record>& records = run.file.files[QStringLiteral("综合除算1.xls")];
        ASSERT_EQ(records.size(), 2 + c.rows) << c.count << " " << c.perRow;
        EXPECT_EQ(questionsOf(*records.back()).size(), c.lastCells);
        size_t total = 0;
        for (size_t i = 2; i < records.size(); ++i)
            total += questionsOf(*records[i]).size();
        EXPECT_TRUE(result.completionText.contains(QStringLiteral("[%1]").arg(total)));
    }
}

TEST(Division, ChecksRunOnceBeforeAnyOutput)
{
    struct Case {
        const char* what;
        int group;  // -1: none
        int row;    // 0 dividend digits, 1 divisor digits, 2 count
        const char* value;
        const char* sets;
        const char* perRow;
        QStringList messages;
    };
    const Case cases[] = {
        {"sets 0", -1, 0, "", "0", "5", {kSetsMessage}},
        {"sets 101", -1, 0, "", "101", "5", {kSetsMessage}},
        {"sets abc", -1, 0, "", "abc", "0", {kSetsMessage}},
        {"sets 1e6", -1, 0, "", "1e6", "5", {kSetsMessage}},
        {"dividend digits 6", 0, 0, "6", "10", "5", {kDigitsMessage}},
        {"divisor digits 0", 2, 1, "0", "10", "5", {kDigitsMessage}},
        {"digits not a number", 1, 0, "x", "10", "5", {kDigitsMessage}},
        {"count 51", 1, 2, "51", "10", "5", {kCountMessage}},
        {"count -1", 0, 2, "-1", "10", "5", {kCountMessage}},
        {"count 40000", 0, 2, "40000", "10", "5", {kCountMessage}},
        {"count empty", 0, 2, "", "10", "5", {kCountMessage}},
        {"divisor longer than dividend", 0, 1, "3", "10", "5", {kOrderMessage}},
        {"per row 0", -1, 0, "", "10", "0", {kPerRowMessage}},
        {"per row -3", -1, 0, "", "10", "-3", {kPerRowMessage}},
        {"per row 2.5", -1, 0, "", "10", "2.5", {kPerRowMessage}},
        {"per row 0.5", -1, 0, "", "10", "0.5", {kPerRowMessage}},
        {"per row empty", -1, 0, "", "10", "", {kPerRowMessage}},
        {"per row text", -1, 0, "", "10", "五", {kPerRowMessage}},
        {"two faults", 0, 0, "9", "10", "0", {kDigitsMessage, kPerRowMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedRun run;
        MixedGroupSettings s = defaults();
        s.sets = QString::fromUtf8(c.sets);
        s.perRow = QString::fromUtf8(c.perRow);
        s.toPrinter = true;
        if (c.group >= 0) {
            GroupTexts& g = s.groups[static_cast<size_t>(c.group)];
            (c.row == 0 ? g.firstDigits : c.row == 1 ? g.secondDigits : g.count) = QString::fromUtf8(c.value);
        }
        EXPECT_FALSE(runDiv(run, s).completed);
        EXPECT_EQ(run.messages.shown, c.messages);
        EXPECT_EQ(run.file.opens, 0);
        EXPECT_EQ(run.printer.begins + run.printer.calls, 0);
        EXPECT_EQ(run.random.draws, 0);
    }
}

TEST(Division, AcceptedEdgesOfTheChecks)
{
    const std::vector<std::pair<const char*, std::function<void(MixedGroupSettings&)>>> cases = {
        {"1 set", [](MixedGroupSettings& s) { s.sets = QStringLiteral("1"); }},
        {"100 sets", [](MixedGroupSettings& s) { s.sets = QStringLiteral("100"); }},
        {"sets 0.6 rounds to 1", [](MixedGroupSettings& s) { s.sets = QStringLiteral("0.6"); }},
        {"count 0 with a longer divisor",
            [](MixedGroupSettings& s) { s.groups[3] = GroupTexts{QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("0")}; }},
        {"count 50", [](MixedGroupSettings& s) { s.groups[0].count = QStringLiteral("50"); }},
        {"5 by 5 digits", [](MixedGroupSettings& s) { s.groups[3] = GroupTexts{QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("50")}; }},
        {"per row 1 and 50", [](MixedGroupSettings& s) { s.perRow = QStringLiteral("50"); }},
        {"full-width", [](MixedGroupSettings& s) { s.sets = QStringLiteral("２"); s.perRow = QStringLiteral(" ５ "); }},
    };
    for (const auto& [what, change] : cases) {
        SCOPED_TRACE(what);
        RecordedRun run;
        MixedGroupSettings s = defaults();
        change(s);
        EXPECT_TRUE(runDiv(run, s).completed);
        EXPECT_TRUE(run.messages.shown.isEmpty());
    }
}

TEST(Division, PrintedSets)
{
    RecordedRun run;
    MixedGroupSettings s = defaults();
    s.toPrinter = true;
    s.toFile = false;
    s.answers = true;
    ASSERT_TRUE(runDiv(run, s).completed);
    EXPECT_EQ(run.printer.begins, 1);
    ASSERT_EQ(run.printer.finishedPages.size(), 10U);
    EXPECT_EQ(run.file.opens, 0);
    for (int n = 1; n <= 10; ++n) {
        const QStringList& page = run.printer.finishedPages[static_cast<size_t>(n - 1)];
        ASSERT_EQ(page.size(), 3 + 16 + 2);
        EXPECT_EQ(page[0], QStringLiteral("*小学综合除算试题*%1").arg(n));
        EXPECT_EQ(page[1], printedHeader());
        EXPECT_EQ(page[2], QString());
        for (int i = 3; i < 19; ++i)
            EXPECT_EQ(questionsOf(page[i]).size(), 5U);
        EXPECT_EQ(page[19], QString());
        EXPECT_EQ(page[20], footer(n));
    }
}

TEST(Division, FilesOfEarlierLargerRunsAreLeftAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile earlier(QDir(dir.path()).filePath(QStringLiteral("综合除算5.xls")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    DiskWorksheetFile file(dir.path());
    testing::RecordingMessages messages;
    testing::RecordingPrinter printer;
    FixedStartRandom random;
    MixedGroupSettings s = defaults();
    s.sets = QStringLiteral("3");
    ASSERT_TRUE(runMixedGroupSheet(divisionKind(), s, RunServices{random, messages, file, printer}).completed);
    QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("综合除算1.xls"), QStringLiteral("综合除算2.xls"),
                         QStringLiteral("综合除算3.xls"), QStringLiteral("综合除算5.xls")}));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier"));
}

TEST(Division, ShuffleIsAPermutationDrawnAsTheSheetDoes)
{
    // x = trunc(3u + 1): 0.5 → 2, 0.5 → 2 taken → again, 0.0 → 1, 0.9 → 3.
    testing::ScriptedRandom random({0.5F, 0.5F, 0.0F, 0.9F});
    EXPECT_EQ(shuffledOrder(random, 3), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(random.draws, 4);
    FixedStartRandom source;
    for (int total : {1, 2, 80, 200}) {
        std::vector<int> order = shuffledOrder(source, total);
        std::sort(order.begin(), order.end());
        for (int i = 0; i < total; ++i)
            ASSERT_EQ(order[static_cast<size_t>(i)], i);
    }
}

TEST(Division, DivisionDrawsFollowTheirOrder)
{
    // Divisor of one digit: trunc(10u) of 0.1 is 1, refused; 0.75 gives 7.
    // Quotient scaled by 100: 0.0 → 0 refused, 0.5 → 50 gives 350, too large; 0.125 → 12 gives 84.
    testing::ScriptedRandom random({0.1F, 0.75F, 0.0F, 0.5F, 0.125F});
    const Question q = makeDivision(random, Group{2, 1, 1});
    EXPECT_EQ(q.text, QStringLiteral("84÷7="));
    EXPECT_EQ(q.answer, QStringLiteral("12"));
    EXPECT_EQ(random.draws, 5);
}

TEST(Division, FewAdmissibleQuotientsAreDrawnDirectlyAndEvenly)
{
    // Five-digit dividends by five-digit divisors: only quotients 1 … 9 can fit.
    FixedStartRandom random;
    std::map<long long, int> quotients;
    for (int i = 0; i < 20000; ++i) {
        const Question q = makeDivision(random, Group{5, 5, 1});
        const long long quotient = q.answer.toLongLong();
        const QStringList parts = q.text.chopped(1).split(u'÷');
        const long long dividend = parts[0].toLongLong();
        const long long divisor = parts[1].toLongLong();
        ASSERT_EQ(dividend, divisor * quotient);
        ASSERT_GT(dividend, 10000);
        ASSERT_LT(dividend, 100000);
        ASSERT_GT(divisor, 10000);
        ++quotients[quotient];
    }
    // A quotient of 1 fits every divisor, 9 only those up to 11111.
    EXPECT_GT(quotients[1], quotients[2]);
    EXPECT_GT(quotients[9], 0);
    EXPECT_EQ(quotients.rbegin()->first, 9);
}

} // namespace
} // namespace kestrin::div
