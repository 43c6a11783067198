#include "gen/mul/multiplication_sheet.h"
#include "output/sheet_texts.h"
#include "runtime/qt_compat.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace kestrin::mul {
namespace {

using testing::RecordedRun;
using testing::Record;

const QString kDigitsMessage = QStringLiteral("输入位数错误！，第一因数位数为1-6位，第二因数位数为1-5位。");
const QString kSizeMessage = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-200排，每次输出1-40页。对不起！输入有误，谢谢使用。欢迎再来");

MultiplicationSettings settings(const QString& d1, const QString& d2, const QString& q = QStringLiteral("5"),
    const QString& r = QStringLiteral("30"), const QString& p = QStringLiteral("4"), bool answers = false)
{
    MultiplicationSettings s;
    s.firstDigits = d1;
    s.secondDigits = d2;
    s.sheet.perRow = q;
    s.sheet.rowsPerPage = r;
    s.sheet.pages = p;
    s.sheet.answers = answers;
    return s;
}

RunResult runMul(RecordedRun& run, const MultiplicationSettings& s)
{
    return runMultiplicationSheet(middleStageKind(), s, RunServices{run.random, run.messages, run.file, run.printer});
}

struct Parsed {
    long long a = 0;
    long long b = 0;
    std::optional<long long> product;
};

// The questions of a row line, checked for its lead and cell layout.
std::vector<Parsed> questionsOf(const QString& line, int width)
{
    EXPECT_TRUE(line.startsWith(QStringLiteral("    "))) << "the row lead";
    static const QRegularExpression question(QStringLiteral("(\\d+)×(\\d+)=(\\d*)( +)"));
    std::vector<Parsed> parsed;
    qsizetype at = 4;
    while (at < line.size()) {
        const QRegularExpressionMatch m = question.match(line, at, QRegularExpression::NormalMatch,
            qt::kAnchorAtOffset);
        EXPECT_TRUE(m.hasMatch()) << line.mid(at).toStdString();
        if (!m.hasMatch())
            break;
        const qsizetype text = m.capturedLength(0) - m.capturedLength(4);
        EXPECT_EQ(m.capturedLength(0), std::max<qsizetype>(width, text + 1)) << "cell width";
        Parsed p{m.captured(1).toLongLong(), m.captured(2).toLongLong(), std::nullopt};
        if (!m.captured(3).isEmpty())
            p.product = m.captured(3).toLongLong();
        parsed.push_back(p);
        at += m.capturedLength(0);
    }
    return parsed;
}

TEST(Multiplication, DefaultSheet)
{
    RecordedRun run;
    const RunResult result = runMul(run, settings(QStringLiteral("3"), QStringLiteral("1")));
    ASSERT_TRUE(result.completed);
    const std::vector<Record>& records = run.file.files[QStringLiteral("中段3位乘1位速算.xls")];
    ASSERT_EQ(records.size(), 122U);
    EXPECT_EQ(records[0], QStringLiteral("小学中段3位乘1位速算试题"));
    EXPECT_EQ(records[1], fileHeader());
    for (size_t i = 2; i < records.size(); ++i) {
        ASSERT_TRUE(records[i].has_value());
        EXPECT_EQ(records[i]->size(), 94);
        const std::vector<Parsed> questions = questionsOf(*records[i], 18);
        ASSERT_EQ(questions.size(), 5U);
        for (const Parsed& p : questions) {
            EXPECT_GE(p.a, 101);
            EXPECT_LE(p.a, 999);
            EXPECT_GE(p.b, 2);
            EXPECT_LE(p.b, 9);
            EXPECT_FALSE(p.product.has_value()) << "without answers the text ends in =";
        }
    }
    EXPECT_EQ(result.statusText, QString(36, u' ') + QStringLiteral("100% 完成"));
    EXPECT_EQ(result.completionText,
        QStringLiteral("智能生成[600]题已完成。如果选择输出到Excel，请在该系统目录"
                       "（/home/li）下将“中段3位乘1位速算.xls”用Excel打开，"
                       "点完成即可。(千万不要直接双击进入)调整即可。谢谢！"));
    EXPECT_EQ(run.printer.begins + run.printer.calls, 0);
}

TEST(Multiplication, FactorsAndProductsAtEveryDigitCount)
{
    RecordedRun run;
    for (int d1 = 1; d1 <= 6; ++d1) {
        for (int d2 = 1; d2 <= 5; ++d2) {
            SCOPED_TRACE(std::to_string(d1) + "x" + std::to_string(d2));
            const RunResult result = runMul(run,
                settings(QString::number(d1), QString::number(d2), QStringLiteral("10"), QStringLiteral("20"),
                    QStringLiteral("1"), true));
            ASSERT_TRUE(result.completed);
            const QString name = QStringLiteral("中段%1位乘%2位速算.xls").arg(d1).arg(d2);
            const std::vector<Record>& records = run.file.files[name];
            ASSERT_EQ(records.size(), 22U);
            long long low1 = 1;
            for (int i = 1; i < d1; ++i)
                low1 *= 10;
            long long low2 = 1;
            for (int i = 1; i < d2; ++i)
                low2 *= 10;
            for (size_t i = 2; i < records.size(); ++i) {
                for (const Parsed& p : questionsOf(*records[i], 6 * d1)) {
                    EXPECT_GT(p.a, low1);
                    EXPECT_LT(p.a, low1 * 10);
                    EXPECT_GT(p.b, low2);
                    EXPECT_LT(p.b, low2 * 10);
                    ASSERT_TRUE(p.product.has_value());
                    EXPECT_EQ(*p.product, p.a * p.b) << "exact in 64 bits";
                }
            }
        }
    }
}

TEST(Multiplication, TwoByTwoDigits)
{
    RecordedRun run;
    ASSERT_TRUE(runMul(run, settings(QStringLiteral("2"), QStringLiteral("2"))).completed);
    const std::vector<Record>& records = run.file.files[QStringLiteral("中段2位乘2位速算.xls")];
    ASSERT_EQ(records.size(), 122U);
    EXPECT_EQ(records[0], QStringLiteral("小学中段2位乘2位速算试题"));
    for (size_t i = 2; i < records.size(); ++i) {
        EXPECT_EQ(records[i]->size(), 4 + 5 * 12);
        for (const Parsed& p : questionsOf(*records[i], 12)) {
            EXPECT_TRUE(p.a >= 11 && p.a <= 99 && p.b >= 11 && p.b <= 99);
        }
    }
}

TEST(Multiplication, ChecksAndTheirBounds)
{
    struct Case {
        const char* d1;
        const char* d2;
        const char* q;
        const char* r;
        const char* p;
        const QString* message; // nullptr when accepted
    };
    const Case cases[] = {
        {"0", "1", "5", "30", "4", &kDigitsMessage}, {"7", "1", "5", "30", "4", &kDigitsMessage},
        {"3", "0", "5", "30", "4", &kDigitsMessage}, {"3", "6", "5", "30", "4", &kDigitsMessage},
        {"2.5", "1", "5", "30", "4", &kDigitsMessage}, {"abc", "1", "5", "30", "4", &kDigitsMessage},
        {"", "1", "5", "30", "4", &kDigitsMessage}, {"7", "1", "1", "30", "4", &kDigitsMessage},
        {"6", "5", "5", "30", "4", nullptr}, {"1", "1", "5", "30", "4", nullptr},
        {"３", "１", "5", "30", "4", nullptr}, {"3", "1", "1", "30", "4", &kSizeMessage},
        {"3", "1", "51", "30", "4", &kSizeMessage}, {"3", "1", "2", "30", "4", nullptr},
        {"3", "1", "50", "30", "4", nullptr}, {"3", "1", "5", "1", "4", &kSizeMessage},
        {"3", "1", "5", "201", "4", &kSizeMessage}, {"3", "1", "5", "2", "4", nullptr},
        {"3", "1", "5", "200", "4", nullptr}, {"3", "1", "5", "30", "0", &kSizeMessage},
        {"3", "1", "5", "30", "41", &kSizeMessage}, {"3", "1", "5", "30", "1", nullptr},
        {"3", "1", "5", "30", "40", nullptr}, {"3", "1", "x", "30", "4", &kSizeMessage},
        {"3", "1", "5", "", "4", &kSizeMessage}, {"3", "1", "5", "30", "1e999", &kSizeMessage},
        {"3", "1", "1.5", "30", "4", &kSizeMessage}, {"3", "1", "50.5", "30", "4", &kSizeMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.d1) + "," + c.d2 + "," + c.q + "," + c.r + "," + c.p);
        RecordedRun run;
        MultiplicationSettings s = settings(QString::fromUtf8(c.d1), QString::fromUtf8(c.d2), QString::fromUtf8(c.q),
            QString::fromUtf8(c.r), QString::fromUtf8(c.p));
        s.sheet.toPrinter = true;
        const RunResult result = runMul(run, s);
        if (c.message) {
            EXPECT_FALSE(result.completed);
            EXPECT_EQ(run.messages.shown, QStringList{*c.message});
            EXPECT_EQ(run.file.opens, 0);
            EXPECT_EQ(run.printer.begins + run.printer.calls, 0);
            EXPECT_EQ(run.random.draws, 0);
        } else {
            EXPECT_TRUE(result.completed);
            EXPECT_TRUE(run.messages.shown.isEmpty());
        }
    }
}

TEST(Multiplication, PageCountsAndTheCompletionCount)
{
    const std::pair<const char*, int> cases[] = {{"1", 150}, {"40", 6000}, {"2.5", 300}};
    for (const auto& [pages, count] : cases) {
        RecordedRun run;
        const RunResult result = runMul(run, settings(QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("5"),
            QStringLiteral("30"), QString::fromUtf8(pages)));
        ASSERT_TRUE(result.completed);
        EXPECT_TRUE(result.completionText.contains(QStringLiteral("[%1]").arg(count))) << pages;
        EXPECT_EQ(run.file.files.first().size(), 2U + static_cast<size_t>(count) / 5U);
    }
    RecordedRun run;
    const RunResult result = runMul(run, settings(QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("5.5"),
        QStringLiteral("30.9"), QStringLiteral("1")));
    ASSERT_TRUE(result.completed);
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("[150]")));
    EXPECT_EQ(run.file.files.first()[2]->size(), 94) << "5 questions a row";
}

TEST(Multiplication, NarrowCellsStillSeparateTheQuestions)
{
    RecordedRun run;
    for (const bool answers : {false, true}) {
        for (const char* d2 : {"1", "5"}) {
            ASSERT_TRUE(runMul(run, settings(QStringLiteral("1"), QString::fromUtf8(d2), QStringLiteral("50"),
                                        QStringLiteral("20"), QStringLiteral("1"), answers))
                            .completed);
            for (size_t i = 2; i < 22; ++i)
                EXPECT_EQ(questionsOf(*run.file.files.first()[i], 6).size(), 50U);
            run.file.files.clear();
        }
    }
}

TEST(Multiplication, PrintedPages)
{
    RecordedRun run;
    MultiplicationSettings s = settings(QStringLiteral("3"), QStringLiteral("1"));
    s.sheet.toPrinter = true;
    s.sheet.toFile = false;
    ASSERT_TRUE(runMul(run, s).completed);
    ASSERT_EQ(run.printer.finishedPages.size(), 4U);
    EXPECT_EQ(run.file.opens, 0);
    for (int g = 1; g <= 4; ++g) {
        const QStringList& page = run.printer.finishedPages[static_cast<size_t>(g - 1)];
        ASSERT_EQ(page.size(), 35);
        EXPECT_EQ(page[0], QStringLiteral("*小学中段3位乘1位速算试题*"));
        EXPECT_EQ(page[1], printedHeader());
        EXPECT_EQ(page[2], page[33]);
        EXPECT_EQ(page[2], QString(page[2].size(), u'-'));
        EXPECT_GE(page[2].size(), page[3].size()) << "the separator spans the row";
        EXPECT_LE(page[2].size(), page[3].size() + 5);
        EXPECT_EQ(page[34], footer(g));
    }
}

TEST(Multiplication, NeitherOutputStillMakesEverything)
{
    RecordedRun run;
    MultiplicationSettings s = settings(QStringLiteral("3"), QStringLiteral("1"));
    s.sheet.toFile = false;
    const RunResult result = runMul(run, s);
    ASSERT_TRUE(result.completed);
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("“中段3位乘1位速算.xls”")));
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("[600]")));
    EXPECT_EQ(run.file.opens + run.printer.calls, 0);
    EXPECT_GE(run.random.draws, 1200);
}

TEST(Multiplication, FactorDrawsNeverHitTheBounds)
{
    // trunc(u × 10) of 0.0 and 0.1 gives 0 and 1, refused; 0.95 gives 9.
    testing::ScriptedRandom random({0.0F, 0.1F, 0.95F, 0.1F, 0.101F, 0.5F});
    EXPECT_EQ(drawFactor(random, 1), 9);
    EXPECT_EQ(random.draws, 3);
    // trunc(0.1 × 1000) = 100 is refused; 0.101 gives 101.
    EXPECT_EQ(drawFactor(random, 3), 101);
    EXPECT_EQ(random.draws, 5);
}

} // namespace
} // namespace kestrin::mul
