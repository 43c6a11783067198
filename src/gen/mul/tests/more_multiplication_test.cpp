#include "gen/mul/mixed_multiplication.h"
#include "gen/mul/multiplication_sheet.h"
#include "runtime/qt_compat.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QRegularExpression>

namespace kestrin::mul {
namespace {

using testing::RecordedRun;

RunServices servicesOf(RecordedRun& run)
{
    return RunServices{run.random, run.messages, run.file, run.printer};
}

div::MixedGroupSettings mixedDefaults()
{
    div::MixedGroupSettings s;
    s.groups = {div::GroupTexts{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("30")},
        div::GroupTexts{QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("30")},
        div::GroupTexts{QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("20")},
        div::GroupTexts{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("0")}};
    s.perRow = QStringLiteral("5");
    s.sets = QStringLiteral("10");
    return s;
}

// The first sheets after a start are pinned, so a change to the engines cannot
// alter them unnoticed.
TEST(FirstSheets, ArePinned)
{
    FixedStartRandom random;
    testing::RecordingMessages messages;
    testing::MemoryWorksheetFile file;
    testing::RecordingPrinter printer;
    const RunServices services{random, messages, file, printer};
    const MultiplicationSettings s{QStringLiteral("3"), QStringLiteral("1"),
        SheetSettings{QStringLiteral("5"), QStringLiteral("30"), QStringLiteral("4"), true, false, true}};
    ASSERT_TRUE(runMultiplicationSheet(middleStageKind(), s, services).completed);
    div::MixedGroupSettings d = mixedDefaults();
    d.groups = {div::GroupTexts{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("30")},
        div::GroupTexts{QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("30")},
        div::GroupTexts{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("20")},
        div::GroupTexts{QStringLiteral("4"), QStringLiteral("2"), QStringLiteral("0")}};
    d.answers = true;
    ASSERT_TRUE(div::runMixedGroupSheet(div::divisionKind(), d, services).completed);
    QByteArray all;
    for (const QByteArray& bytes : file.bytes)
        all += bytes;
    EXPECT_EQ(QCryptographicHash::hash(all, QCryptographicHash::Sha256).toHex().toStdString(), "a82a282e7e4ec707bd7a33da8a14055ce7d48a00b0e3d48281a8b1176aff2066");
}

TEST(UpperMultiplication, IsTheMultiplicationSheetWithItsOwnTexts)
{
    RecordedRun run;
    const MultiplicationSettings s{QStringLiteral("3"), QStringLiteral("2"),
        SheetSettings{QStringLiteral("4"), QStringLiteral("25"), QStringLiteral("4"), true, false, true}};
    const RunResult result = runMultiplicationSheet(upperStageKind(), s, servicesOf(run));
    ASSERT_TRUE(result.completed);
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("[400]")));
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("“高段3位乘2位速算.xls”")));
    const auto& records = run.file.files[QStringLiteral("高段3位乘2位速算.xls")];
    ASSERT_EQ(records.size(), 102U);
    EXPECT_EQ(records[0], QStringLiteral("小学高段3位乘2位速算试题"));
    EXPECT_EQ(records[2]->size(), 4 + 4 * 18);

    // Its counts must be whole numbers.
    RecordedRun refused;
    MultiplicationSettings fractional = s;
    fractional.sheet.pages = QStringLiteral("2.5");
    EXPECT_FALSE(runMultiplicationSheet(upperStageKind(), fractional, servicesOf(refused)).completed);
    EXPECT_EQ(refused.messages.shown.size(), 1);
}

TEST(MixedMultiplication, SetsOfMixedGroups)
{
    RecordedRun run;
    div::MixedGroupSettings s = mixedDefaults();
    s.answers = true;
    s.groups[0].count = QStringLiteral("31"); // 81 questions: a last row of one
    const RunResult result = div::runMixedGroupSheet(mixedMultiplicationKind(), s, servicesOf(run));
    ASSERT_TRUE(result.completed);
    EXPECT_EQ(result.completionText,
        QStringLiteral("智能生成[81]题已完成。如果选择输出到Excel，请在该系统目录"
                       "（/home/li）下将“综合乘算X.xls”用Excel打开，点完成即可。"
                       "(千万不要直接双击进入)调整即可。谢谢！"));
    ASSERT_EQ(run.file.files.size(), 10);
    static const QRegularExpression cell(QStringLiteral("(\\d+)×(\\d+)=(\\d+)( +)"));
    for (int n = 1; n <= 10; ++n) {
        const auto& records = run.file.files[QStringLiteral("综合乘算%1.xls").arg(n)];
        ASSERT_EQ(records.size(), 2U + 17U);
        EXPECT_EQ(records[0], QStringLiteral("小学综合乘算试题"));
        int questions = 0;
        for (size_t r = 2; r < records.size(); ++r) {
            const QString& line = *records[r];
            qsizetype at = 0;
            while (at < line.size()) {
                const QRegularExpressionMatch m = cell.match(
                    line, at, QRegularExpression::NormalMatch, qt::kAnchorAtOffset);
                ASSERT_TRUE(m.hasMatch()) << line.toStdString();
                EXPECT_EQ(m.capturedLength(0), 18);
                EXPECT_EQ(m.captured(3).toLongLong(), m.captured(1).toLongLong() * m.captured(2).toLongLong());
                at += m.capturedLength(0);
                ++questions;
            }
        }
        EXPECT_EQ(questions, 81) << "every question is written";
    }
}

TEST(MixedMultiplication, WideQuestionsWidenTheCells)
{
    RecordedRun run;
    div::MixedGroupSettings s = mixedDefaults();
    s.answers = true;
    s.sets = QStringLiteral("1");
    s.groups[3] = div::GroupTexts{QStringLiteral("6"), QStringLiteral("5"), QStringLiteral("1")};
    ASSERT_TRUE(div::runMixedGroupSheet(mixedMultiplicationKind(), s, servicesOf(run)).completed);
    const auto& records = run.file.files[QStringLiteral("综合乘算1.xls")];
    EXPECT_EQ(records[2]->size(), 5 * 26) << "6×5 digits with the product: 24 characters + 2";
}

TEST(MixedMultiplication, ChecksRunOnceWithTheirMessages)
{
    struct Case {
        const char* what;
        std::function<void(div::MixedGroupSettings&)> change;
        QStringList messages;
    };
    const QString sets = QStringLiteral("输入套数错误！每次规定出题在1-100套。");
    const QString digits = QStringLiteral("输入位数错误！第一因数位数为1-6位，第二因数位数为1-5位。");
    const QString count = QStringLiteral("输入题数错误！输入题数在0-50题。");
    const QString perRow = QStringLiteral("输入每行题数错误！每行题数至少为1题。");
    const std::vector<Case> cases = {
        {"sets 101", [](auto& s) { s.sets = QStringLiteral("101"); }, {sets}},
        {"sets 2.5", [](auto& s) { s.sets = QStringLiteral("2.5"); }, {sets}},
        {"first factor 7", [](auto& s) { s.groups[1].firstDigits = QStringLiteral("7"); }, {digits}},
        {"second factor 6", [](auto& s) { s.groups[2].secondDigits = QStringLiteral("6"); }, {digits}},
        {"digits 1.5", [](auto& s) { s.groups[0].firstDigits = QStringLiteral("1.5"); }, {digits}},
        {"count 51 twice", [](auto& s) { s.groups[0].count = s.groups[1].count = QStringLiteral("51"); }, {count}},
        {"per row 0", [](auto& s) { s.perRow = QStringLiteral("0"); }, {perRow}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedRun run;
        div::MixedGroupSettings s = mixedDefaults();
        c.change(s);
        EXPECT_FALSE(div::runMixedGroupSheet(mixedMultiplicationKind(), s, servicesOf(run)).completed);
        EXPECT_EQ(run.messages.shown, c.messages);
        EXPECT_EQ(run.file.opens, 0);
    }
    RecordedRun run;
    div::MixedGroupSettings s = mixedDefaults();
    s.groups[3] = div::GroupTexts{QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("3")};
    EXPECT_TRUE(div::runMixedGroupSheet(mixedMultiplicationKind(), s, servicesOf(run)).completed)
        << "a longer second factor is fine in a product";
}

} // namespace
} // namespace kestrin::mul
