#include "gen/addsub/chain_sheet.h"
#include "output/sheet_texts.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

namespace kestrin::addsub {
namespace {

using testing::RecordedRun;
using testing::Record;

const QString kSizeMessage = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-10排，每次输出1-20页。对不起！输入有误，谢谢使用。欢迎再来");
const QString kMiddleMessage = QStringLiteral("每题笔数为3-10笔，每笔位数为1-4位。对不起！输入有误，谢谢使用。欢迎再来");
const QString kUpperMessage
    = QStringLiteral("每题笔数为3-15笔，每笔位数为1-5位，小数位数为0-2位。对不起！输入有误，谢谢使用。欢迎再来");

ChainSettings chain(const char* n, const char* r, const char* p, QStringList extra = {}, bool answers = true)
{
    return ChainSettings{SheetSettings{QString::fromUtf8(n), QString::fromUtf8(r), QString::fromUtf8(p), answers, false, true},
        std::move(extra)};
}

RunResult run(RecordedRun& recorded, const ChainKind& kind, const ChainSettings& settings)
{
    return runChainSheet(kind, settings, RunServices{recorded.random, recorded.messages, recorded.file, recorded.printer});
}

// A cell read back in units of the last decimal place, checking that it shows
// exactly `decimals` decimals.
long long unitsOf(const QString& cell, int decimals)
{
    const QString text = cell.trimmed();
    EXPECT_EQ(cell, QString(cell.size() - text.size(), u' ') + text) << "right-aligned";
    if (decimals == 0) {
        EXPECT_FALSE(text.contains(u'.'));
        return text.toLongLong();
    }
    const qsizetype point = text.indexOf(u'.');
    EXPECT_EQ(text.size() - point - 1, decimals) << text.toStdString();
    QString digits = text;
    digits.remove(point, 1);
    return digits.toLongLong();
}

struct Sheet {
    std::vector<std::vector<std::vector<long long>>> rows; // rows[row][place][question]
    std::vector<std::vector<long long>> answers;           // answers[row][question]
};

// Splits a file with answers into its rows of chains.
Sheet readSheet(const std::vector<Record>& records, int terms, int width, int decimals)
{
    Sheet sheet;
    const size_t block = static_cast<size_t>(terms) + 2;
    EXPECT_EQ((records.size() - 2) % block, 0U);
    for (size_t first = 2; first + block <= records.size(); first += block) {
        std::vector<std::vector<long long>> places;
        for (size_t k = 0; k <= static_cast<size_t>(terms); ++k) {
            const QString& line = *records[first + k];
            EXPECT_EQ(line.size() % width, 0);
            std::vector<long long> values;
            for (qsizetype i = 0; i < line.size(); i += width)
                values.push_back(unitsOf(line.mid(i, width), decimals));
            places.push_back(values);
        }
        EXPECT_FALSE(records[first + block - 1].has_value());
        sheet.answers.push_back(places.back());
        places.pop_back();
        sheet.rows.push_back(places);
    }
    return sheet;
}

TEST(ChainKinds, OneDigitChainsOfFiveAndTen)
{
    struct Case {
        const ChainKind* kind;
        int terms;
        int negatives;
        QString file;
        QString title;
    };
    const Case cases[] = {
        {&fiveTermKind(), 5, 1, QStringLiteral("学前段五笔加减速算.xls"), QStringLiteral("小学学前段五笔加减速算试题")},
        {&tenTermKind(), 10, 3, QStringLiteral("学前段十笔加减速算.xls"), QStringLiteral("小学学前段十笔加减速算试题")},
    };
    for (const Case& c : cases) {
        RecordedRun recorded;
        const RunResult result = run(recorded, *c.kind, chain("15", "5", "5"));
        ASSERT_TRUE(result.completed);
        const std::vector<Record>& records = recorded.file.files[c.file];
        ASSERT_EQ(records.size(), 2U + 25U * static_cast<size_t>(c.terms + 2));
        EXPECT_EQ(records[0], c.title);
        EXPECT_EQ(records[1], fileHeader());
        const Sheet sheet = readSheet(records, c.terms, 8, 0);
        for (size_t r = 0; r < sheet.rows.size(); ++r) {
            for (size_t q = 0; q < 15; ++q) {
                int negatives = 0;
                long long sum = 0;
                for (const auto& place : sheet.rows[r]) {
                    const long long t = place[q];
                    ASSERT_TRUE((t >= 1 && t <= 9) || (t >= -9 && t <= -1));
                    negatives += t < 0 ? 1 : 0;
                    sum += t;
                }
                EXPECT_EQ(negatives, c.negatives);
                EXPECT_GT(sheet.rows[r][0][q], 0) << "the first shown term is positive";
                EXPECT_EQ(sheet.answers[r][q], sum);
                EXPECT_GE(sum, 1);
            }
        }
        EXPECT_EQ(result.completionText,
            QStringLiteral("智能生成") + c.kind->stageKind
                + QStringLiteral("[375]题已完成。如果选择输出到Excel，请在该系统目录（/home/li）下将“") + c.file
                + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可打印。谢谢！"));
    }
}

TEST(ChainKinds, MultiDigitChainsKeepTheirRunningTotals)
{
    struct Case {
        const ChainKind* kind;
        QStringList extra;
        int terms;
        int digits;
        int decimals;
        int width;
        QString file;
        QString title;
    };
    const Case cases[] = {
        {&middleStageKind(), {QStringLiteral("5"), QStringLiteral("2")}, 5, 2, 0, 8,
            QStringLiteral("中段2位5笔加减速算.xls"), QStringLiteral("小学中段2位5笔加减速算试题")},
        {&middleStageKind(), {QStringLiteral("10"), QStringLiteral("4")}, 10, 4, 0, 8,
            QStringLiteral("中段4位10笔加减速算.xls"), QStringLiteral("小学中段4位10笔加减速算试题")},
        {&middleStageKind(), {QStringLiteral("3"), QStringLiteral("1")}, 3, 1, 0, 8,
            QStringLiteral("中段1位3笔加减速算.xls"), QStringLiteral("小学中段1位3笔加减速算试题")},
        {&upperStageKind(), {QStringLiteral("5"), QStringLiteral("3"), QStringLiteral("0")}, 5, 3, 0, 8,
            QStringLiteral("高段3位5笔加减速算.xls"), QStringLiteral("小学高段3位5笔加减速算试题")},
        {&upperStageKind(), {QStringLiteral("15"), QStringLiteral("5"), QStringLiteral("2")}, 15, 5, 2, 12,
            QStringLiteral("高段5位15笔2位小数加减速算.xls"), QStringLiteral("小学高段5位15笔2位小数加减速算试题")},
        {&upperStageKind(), {QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("1")}, 3, 1, 1, 8,
            QStringLiteral("高段1位3笔1位小数加减速算.xls"), QStringLiteral("小学高段1位3笔1位小数加减速算试题")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        RecordedRun recorded;
        const RunResult result = run(recorded, *c.kind, chain("10", "5", "5", c.extra));
        ASSERT_TRUE(result.completed);
        EXPECT_TRUE(result.completionText.contains(QStringLiteral("[250]")));
        EXPECT_TRUE(result.completionText.contains(QChar(u'“') + c.file + QChar(u'”')));
        const std::vector<Record>& records = recorded.file.files[c.file];
        ASSERT_EQ(records.size(), 2U + 25U * static_cast<size_t>(c.terms + 2));
        EXPECT_EQ(records[0], c.title);
        EXPECT_EQ(records[2]->size(), 10 * c.width);
        long long unit = 1;
        for (int i = 0; i < c.decimals; ++i)
            unit *= 10;
        long long low = 1;
        for (int i = 1; i < c.digits; ++i)
            low *= 10;
        const Sheet sheet = readSheet(records, c.terms, c.width, c.decimals);
        int subtracted = 0;
        for (size_t r = 0; r < sheet.rows.size(); ++r) {
            for (size_t q = 0; q < 10; ++q) {
                long long running = 0;
                for (size_t k = 0; k < static_cast<size_t>(c.terms); ++k) {
                    const long long t = sheet.rows[r][k][q];
                    const long long whole = (t < 0 ? -t : t) / unit;
                    EXPECT_GE(whole, c.digits == 1 ? 1 : low) << "exactly d digits";
                    EXPECT_LT(whole, low * 10);
                    if (k == 0) {
                        EXPECT_GT(t, 0) << "the first term is added";
                    }
                    subtracted += t < 0 ? 1 : 0;
                    running += t;
                    EXPECT_GE(running, 0) << "the running total never falls below 0";
                }
                EXPECT_GT(running, 0);
                EXPECT_EQ(sheet.answers[r][q], running) << "exact, in units of the last decimal";
            }
        }
        EXPECT_GT(subtracted, 0);
    }
}

TEST(ChainKinds, ChecksOfTheirOwnSettingsAndTheCounts)
{
    struct Case {
        const ChainKind* kind;
        QStringList extra;
        const char* n;
        const QString* message; // nullptr: accepted
    };
    const QStringList none;
    auto texts = [](std::initializer_list<const char*> values) {
        QStringList list;
        for (const char* v : values)
            list.append(QString::fromUtf8(v));
        return list;
    };
    const Case cases[] = {
        {&fiveTermKind(), none, "15.5", &kSizeMessage},
        {&tenTermKind(), none, "1", &kSizeMessage},
        {&tenTermKind(), none, "50", nullptr},
        {&middleStageKind(), texts({"2", "2"}), "10", &kMiddleMessage},
        {&middleStageKind(), texts({"11", "2"}), "10", &kMiddleMessage},
        {&middleStageKind(), texts({"3", "0"}), "10", &kMiddleMessage},
        {&middleStageKind(), texts({"10", "5"}), "10", &kMiddleMessage},
        {&middleStageKind(), texts({"5.5", "2"}), "10", &kMiddleMessage},
        {&middleStageKind(), texts({"", "2"}), "10", &kMiddleMessage},
        {&middleStageKind(), texts({"3", "1"}), "10", nullptr},
        {&middleStageKind(), texts({"１０", " 4 "}), "10", nullptr},
        {&middleStageKind(), texts({"11", "2"}), "1", &kMiddleMessage},
        {&middleStageKind(), texts({"5", "2"}), "1", &kSizeMessage},
        {&middleStageKind(), texts({"5", "2"}), "2.0", nullptr},
        {&upperStageKind(), texts({"16", "3", "0"}), "10", &kUpperMessage},
        {&upperStageKind(), texts({"15", "6", "0"}), "10", &kUpperMessage},
        {&upperStageKind(), texts({"15", "5", "3"}), "10", &kUpperMessage},
        {&upperStageKind(), texts({"15", "5", "-1"}), "10", &kUpperMessage},
        {&upperStageKind(), texts({"x", "5", "0"}), "10", &kUpperMessage},
        {&upperStageKind(), texts({"15", "5", "2"}), "50", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind->stageKind.toStdString() + " " + c.extra.join(u',').toStdString() + " " + c.n);
        RecordedRun recorded;
        const RunResult result = run(recorded, *c.kind, chain(c.n, "10", "20", c.extra));
        if (c.message) {
            EXPECT_FALSE(result.completed);
            EXPECT_EQ(recorded.messages.shown, QStringList{*c.message});
            EXPECT_EQ(recorded.file.opens, 0);
            EXPECT_EQ(recorded.random.draws, 0);
        } else {
            EXPECT_TRUE(result.completed);
            EXPECT_TRUE(recorded.messages.shown.isEmpty());
        }
    }
}

TEST(ChainKinds, PrintedPagesUseTheWiderCells)
{
    RecordedRun recorded;
    ChainSettings s = chain("4", "2", "2", {QStringLiteral("15"), QStringLiteral("5"), QStringLiteral("2")});
    s.sheet.toPrinter = true;
    ASSERT_TRUE(run(recorded, upperStageKind(), s).completed);
    ASSERT_EQ(recorded.printer.finishedPages.size(), 2U);
    const QStringList& page = recorded.printer.finishedPages[0];
    ASSERT_EQ(page.size(), 3 + 2 * 18 + 2);
    EXPECT_EQ(page[0], QStringLiteral("*小学高段5位15笔2位小数加减速算试题*"));
    EXPECT_EQ(page[2], QString(48, u'-'));
    EXPECT_EQ(page[3 + 15], repeated(QStringLiteral("  ----------"), 4)) << "the answer rule";
    EXPECT_EQ(page.last(), footer(1));
}

} // namespace
} // namespace kestrin::addsub
