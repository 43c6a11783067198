#include "gen/addsub/chain_sheet.h"
#include "output/sheet_texts.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kestrin::addsub {
namespace {

using testing::RecordedRun;
using testing::Record;

const QString kFileName = QStringLiteral("学前段七笔加减速算.xls");
const QString kSizeMessage = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-10排，每次输出1-20页。对不起！输入有误，谢谢使用。欢迎再来");

SheetSettings settings(const QString& n, const QString& r, const QString& p, bool answers = false,
    bool toFile = true, bool toPrinter = false)
{
    SheetSettings s;
    s.perRow = n;
    s.rowsPerPage = r;
    s.pages = p;
    s.answers = answers;
    s.toFile = toFile;
    s.toPrinter = toPrinter;
    return s;
}

SheetSettings defaults()
{
    return settings(QStringLiteral("15"), QStringLiteral("5"), QStringLiteral("5"));
}

RunResult runSeven(RecordedRun& run, const SheetSettings& s)
{
    return runChainSheet(sevenTermKind(), s, RunServices{run.random, run.messages, run.file, run.printer});
}

const std::vector<Record>& fileOf(RecordedRun& run)
{
    return run.file.files[kFileName];
}

// Splits a line into its 8-character cells, each read back as a number.
std::vector<int> cells(const QString& line)
{
    std::vector<int> values;
    for (qsizetype i = 0; i + 8 <= line.size(); i += 8) {
        const QString cell = line.mid(i, 8);
        bool ok = false;
        values.push_back(cell.trimmed().toInt(&ok));
        EXPECT_TRUE(ok) << cell.toStdString();
        EXPECT_EQ(cell, QString(8 - cell.trimmed().size(), u' ') + cell.trimmed()) << "right-aligned";
    }
    return values;
}

TEST(SevenTerm, DefaultSheetFileIsExact)
{
    RecordedRun run;
    const RunResult result = runSeven(run, defaults());
    ASSERT_TRUE(result.completed);
    const std::vector<Record>& records = fileOf(run);
    ASSERT_EQ(records.size(), 227U);
    EXPECT_EQ(run.file.bytes[kFileName].size(), 21896);
    EXPECT_EQ(records[0], QStringLiteral("小学学前段七笔加减速算试题"));
    EXPECT_EQ(records[1], fileHeader());
    EXPECT_EQ(run.file.bytes[kFileName].left(30), encodeRecord(QStringLiteral("小学学前段七笔加减速算试题")));
    for (size_t row = 0; row < 25; ++row) {
        const size_t first = 2 + row * 9;
        for (size_t k = 0; k < 7; ++k) {
            ASSERT_TRUE(records[first + k].has_value());
            EXPECT_EQ(records[first + k]->size(), 120);
        }
        EXPECT_FALSE(records[first + 7].has_value());
        EXPECT_FALSE(records[first + 8].has_value());
    }
    EXPECT_EQ(run.printer.begins + run.printer.calls, 0) << "the printer is not touched";
    EXPECT_TRUE(run.messages.shown.isEmpty());
    EXPECT_EQ(run.file.openNumbers, std::vector<int>{1});
}

TEST(SevenTerm, DefaultSheetWithAnswersIsExact)
{
    RecordedRun run;
    SheetSettings s = defaults();
    s.answers = true;
    ASSERT_TRUE(runSeven(run, s).completed);
    const std::vector<Record>& records = fileOf(run);
    ASSERT_EQ(records.size(), 227U);
    EXPECT_EQ(run.file.bytes[kFileName].size(), 24946);
    for (size_t row = 0; row < 25; ++row) {
        const size_t first = 2 + row * 9;
        ASSERT_TRUE(records[first + 7].has_value()) << "the answer line";
        EXPECT_EQ(records[first + 7]->size(), 120);
        EXPECT_FALSE(records[first + 8].has_value());
    }
}

TEST(SevenTerm, EveryChainHasItsProperties)
{
    RecordedRun run;
    for (int sheet = 0; sheet < 20; ++sheet) {
        SheetSettings s = settings(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("5"), true);
        ASSERT_TRUE(runSeven(run, s).completed);
        const std::vector<Record>& records = fileOf(run);
        ASSERT_EQ(records.size(), 2U + 50U * 9U);
        for (size_t first = 2; first < records.size(); first += 9) {
            std::vector<std::vector<int>> terms;
            for (size_t k = 0; k < 7; ++k)
                terms.push_back(cells(*records[first + k]));
            const std::vector<int> answers = cells(*records[first + 7]);
            ASSERT_EQ(answers.size(), 50U);
            for (size_t q = 0; q < 50; ++q) {
                int negatives = 0;
                int positives = 0;
                int sum = 0;
                for (size_t k = 0; k < 7; ++k) {
                    const int t = terms[k][q];
                    ASSERT_TRUE((t >= 1 && t <= 9) || (t >= -9 && t <= -1)) << t;
                    (t < 0 ? negatives : positives)++;
                    sum += t;
                }
                EXPECT_EQ(negatives, 2);
                EXPECT_EQ(positives, 5);
                EXPECT_GT(terms[0][q], 0) << "the first shown term is positive";
                EXPECT_EQ(answers[q], sum);
                EXPECT_GE(sum, 1);
                EXPECT_LE(sum, 43);
            }
        }
    }
}

TEST(SevenTerm, RowIsMadeByTheDrawsInTheirOrder)
{
    // One chain, first drawn with a total below zero (−9, −9, 1, 1, 1, 1, 1), so all
    // seven are drawn again: −9, −1, 5, (0 → again) 2, 3, 4, 9. Then the shown order.
    testing::ScriptedRandom random({0.15F, 0.15F, 0.15F, 0.15F, 0.15F, 0.15F, 0.15F, // total −13
        0.15F, 0.95F, 0.55F, 0.05F, 0.25F, 0.35F, 0.45F, 0.95F,                      // −9 −1 5 2 3 4 9
        0.0F, 0.5F,            // first term: place 1 is negative, again; place 4 → 2
        0.0F, 0.99F,           // place 0 is never used, again; place 6 → 4
        0.995F,                // place 7 → 9
        0.5F,                  // place 3 → 5
        0.5F, 0.2F,            // place 3 is taken, again; place 1 → −9
        0.3F,                  // place 2 → −1
        0.7F, 0.72F});         // place 4 is taken, again; place 5 → 3
    ChainRow row;
    makeSevenTermRow(random, 1, row);
    std::vector<long long> shown;
    for (const auto& place : row.terms)
        shown.push_back(place[0]);
    EXPECT_EQ(shown, (std::vector<long long>{2, 4, 9, 5, -9, -1, 3}));
    EXPECT_EQ(row.answers, std::vector<long long>{13});
    EXPECT_EQ(random.draws, 26);
}

TEST(SevenTerm, CellsAreRightAlignedToEight)
{
    EXPECT_EQ(chainCell(7, 0, 8), QStringLiteral("       7"));
    EXPECT_EQ(chainCell(-9, 0, 8), QStringLiteral("      -9"));
    EXPECT_EQ(chainCell(43, 0, 8), QStringLiteral("      43"));
    EXPECT_EQ(chainCell(30570, 2, 10), QStringLiteral("    305.70"));
    EXPECT_EQ(chainCell(-5, 2, 8), QStringLiteral("   -0.05"));
    EXPECT_EQ(chainCell(123456789, 0, 8), QStringLiteral("123456789")) << "never cut";
}

struct SizeCase {
    const char* n;
    const char* r;
    const char* p;
    bool accepted;
    int rows; // rows per page when accepted
};

TEST(SevenTerm, SizeCheckBounds)
{
    const SizeCase cases[] = {
        {"1", "5", "5", false, 0}, {"51", "5", "5", false, 0}, {"2", "5", "1", true, 5},
        {"50", "5", "1", true, 5}, {"15", "1", "1", false, 0}, {"15", "11", "1", false, 0},
        {"15", "2", "1", true, 2}, {"15", "10", "1", true, 10}, {"15", "5", "0", false, 0},
        {"15", "5", "21", false, 0}, {"15", "5", "20", true, 5}, {"1.5", "5", "1", false, 0},
        {"50.5", "5", "1", false, 0}, {"15", "5", "0.5", false, 0}, {"15", "5", "20.5", false, 0},
        {"15", "1.5", "1", false, 0}, {"15", "1.6", "1", true, 2}, {"15", "10.5", "1", false, 0},
        {"15", "10.4", "1", true, 10}, {"15", "5.5", "1", true, 5}, {"15", "6.5", "1", true, 7},
        {"15", "2.5", "1", true, 3}, {"", "5", "5", false, 0}, {"abc", "5", "5", false, 0},
        {"15", "1e999", "5", false, 0}, {"15", "5", "x", false, 0}, {"-15", "5", "5", false, 0},
        {" 15 ", "５", "１", true, 5}, {"1e1", "5", "1", true, 5},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(std::string(c.n) + " / " + c.r + " / " + c.p);
        RecordedRun run;
        const RunResult result = runSeven(run, settings(QString::fromUtf8(c.n), QString::fromUtf8(c.r),
            QString::fromUtf8(c.p), false, true, true));
        EXPECT_EQ(result.completed, c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(run.messages.shown, QStringList{kSizeMessage});
            EXPECT_EQ(run.file.opens, 0) << "no file is opened";
            EXPECT_EQ(run.printer.begins + run.printer.calls, 0) << "nothing is printed";
            EXPECT_EQ(run.random.draws, 0) << "nothing is made";
            EXPECT_TRUE(result.statusText.isEmpty());
            EXPECT_TRUE(result.completionText.isEmpty());
        } else {
            EXPECT_TRUE(run.messages.shown.isEmpty());
            ASSERT_FALSE(run.printer.finishedPages.empty());
            // title, header, separator, rows × 9 lines, separator, footer
            EXPECT_EQ(run.printer.finishedPages[0].size(), 5 + c.rows * 9);
        }
    }
}

TEST(SevenTerm, FractionsMakeTheirWholePartAndTheCountSaysSo)
{
    RecordedRun run;
    const RunResult result = runSeven(run, settings(QStringLiteral("15.5"), QStringLiteral("5"), QStringLiteral("2.5")));
    ASSERT_TRUE(result.completed);
    const std::vector<Record>& records = fileOf(run);
    ASSERT_EQ(records.size(), 2U + 2U * 5U * 9U);
    EXPECT_EQ(records[2]->size(), 15 * 8);
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("[150]"))) << result.completionText.toStdString();
}

TEST(SevenTerm, CompletionAndStatusTexts)
{
    RecordedRun run;
    const RunResult result = runSeven(run, defaults());
    EXPECT_EQ(result.statusText, QString(23, u' ') + QStringLiteral("100% 完成"));
    EXPECT_EQ(result.completionText,
        QStringLiteral("智能生成学前段七笔加减[375]题已完成。如果选择输出到Excel，请在该系统目录"
                       "（/home/li）下将“学前段七笔加减速算.xls”"
                       "用Excel打开，点完成即可。(千万不要直接双击进入)调整即可打印。谢谢！"));
}

TEST(SevenTerm, WithNoOutputEverythingIsStillMadeAndReported)
{
    RecordedRun run;
    const RunResult result = runSeven(run, settings(QStringLiteral("15"), QStringLiteral("5"), QStringLiteral("5"),
        false, false, false));
    ASSERT_TRUE(result.completed);
    EXPECT_TRUE(result.completionText.contains(QStringLiteral("[375]")));
    EXPECT_TRUE(result.completionText.contains(kFileName));
    EXPECT_EQ(run.file.opens, 0);
    EXPECT_EQ(run.printer.begins + run.printer.calls + run.printer.finishes, 0);
    EXPECT_GE(run.random.draws, 375 * 14) << "every chain was drawn and ordered";
}

TEST(SevenTerm, PrintedPagesHaveTheirHeadRowsAndFoot)
{
    for (const bool answers : {false, true}) {
        RecordedRun run;
        ASSERT_TRUE(runSeven(run, settings(QStringLiteral("15"), QStringLiteral("5"), QStringLiteral("5"), answers,
                                      true, true))
                        .completed);
        ASSERT_EQ(run.printer.begins, 1) << "one run is one print job";
        ASSERT_EQ(run.printer.finishes, 1);
        ASSERT_EQ(run.printer.finishedPages.size(), 5U);
        const std::vector<Record>& records = fileOf(run);
        size_t record = 2;
        for (int g = 1; g <= 5; ++g) {
            const QStringList& page = run.printer.finishedPages[static_cast<size_t>(g - 1)];
            ASSERT_EQ(page.size(), answers ? 55 : 50);
            EXPECT_EQ(page[0], QStringLiteral("*小学学前段七笔加减速算试题*"));
            EXPECT_EQ(page[1], printedHeader());
            EXPECT_EQ(page[2], QString(120, u'-'));
            EXPECT_EQ(page[page.size() - 2], QString(120, u'-'));
            EXPECT_EQ(page.last(), footer(g));
            // The body: the file's term lines, then the answer block or two empty lines.
            qsizetype line = 3;
            for (int row = 0; row < 5; ++row) {
                for (int k = 0; k < 7; ++k)
                    EXPECT_EQ(page[line++], records[record++]);
                if (answers) {
                    EXPECT_EQ(page[line++], repeated(QStringLiteral("  ------"), 15));
                    EXPECT_EQ(page[line++], records[record++]);
                    EXPECT_EQ(page[line++], QString());
                    ++record;
                } else {
                    EXPECT_EQ(page[line++], QString());
                    EXPECT_EQ(page[line++], QString());
                    record += 2;
                }
            }
        }
    }
}

TEST(SevenTerm, EveryStartMakesTheSameFirstSheetAndRunsGoOn)
{
    auto firstSheet = [](RandomSource& random) {
        testing::RecordingMessages messages;
        testing::MemoryWorksheetFile file;
        testing::RecordingPrinter printer;
        EXPECT_TRUE(runChainSheet(sevenTermKind(), defaults(), RunServices{random, messages, file, printer}).completed);
        return file.bytes[kFileName];
    };
    FixedStartRandom first;
    FixedStartRandom second;
    const QByteArray a = firstSheet(first);
    EXPECT_EQ(a, firstSheet(second));
    EXPECT_NE(a, firstSheet(first)) << "a second run continues the sequence";
}

// The first sheets after a start are what every teacher gets: pinned, so a
// change to the engine cannot alter them unnoticed.
TEST(SevenTerm, FirstSheetsAfterAStartArePinned)
{
    FixedStartRandom random;
    testing::RecordingMessages messages;
    testing::MemoryWorksheetFile file;
    testing::RecordingPrinter printer;
    const RunServices services{random, messages, file, printer};
    ASSERT_TRUE(runChainSheet(sevenTermKind(), defaults(), services).completed);
    const QByteArray first = file.bytes[kFileName];
    SheetSettings withAnswers = settings(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("2"), true);
    ASSERT_TRUE(runChainSheet(sevenTermKind(), withAnswers, services).completed);
    const QByteArray second = file.bytes[kFileName];
    EXPECT_EQ(QCryptographicHash::hash(first, QCryptographicHash::Sha256).toHex().toStdString(), "8f2dbca4d25a5bb1e76136ac1fd82da9673f5c7b4076ade28ac773a2c41f328e");
    EXPECT_EQ(QCryptographicHash::hash(second, QCryptographicHash::Sha256).toHex().toStdString(), "43fcd186a2eeffcf92dddd843655c5639a784eb97551e046b29f124a0b190500");
}

TEST(SevenTerm, AFileThatCannotBeWrittenIsReportedAndThePreviousKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder stands where the worksheet file should go.
    ASSERT_TRUE(QDir(dir.path()).mkdir(kFileName));
    {
        DiskWorksheetFile file(dir.path());
        testing::RecordingMessages messages;
        testing::RecordingPrinter printer;
        FixedStartRandom random;
        SheetSettings s = defaults();
        s.toPrinter = true;
        const RunResult result = runChainSheet(sevenTermKind(), s, RunServices{random, messages, file, printer});
        EXPECT_FALSE(result.completed);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].contains(QChar(u'“') + kFileName + QChar(u'”')));
        EXPECT_EQ(printer.finishes, 0) << "nothing is printed";
        EXPECT_EQ(printer.aborts, 1);
    }
    // A save that fails at the end leaves the previous worksheet as it was.
    ASSERT_TRUE(QDir(dir.path()).rmdir(kFileName));
    const QString path = QDir(dir.path()).filePath(kFileName);
    {
        QFile previous(path);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("previous worksheet");
    }
    RecordedRun run;
    run.file.failClose = true;
    SheetSettings s = defaults();
    s.toPrinter = true;
    const RunResult result = runSeven(run, s);
    EXPECT_FALSE(result.completed);
    ASSERT_EQ(run.messages.shown.size(), 1);
    EXPECT_TRUE(run.messages.shown[0].contains(QStringLiteral("磁盘空间不足")));
    EXPECT_EQ(run.printer.finishes, 0);
    EXPECT_EQ(run.printer.aborts, 1);
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("previous worksheet"));
}

TEST(SevenTerm, NoPrinterStopsTheRunBeforeAnythingIsMade)
{
    RecordedRun run;
    run.printer.noPrinter = true;
    SheetSettings s = defaults();
    s.toPrinter = true;
    EXPECT_FALSE(runSeven(run, s).completed);
    EXPECT_EQ(run.messages.shown.size(), 1);
    EXPECT_EQ(run.file.opens, 0);
    EXPECT_EQ(run.random.draws, 0);
}

} // namespace
} // namespace kestrin::addsub
