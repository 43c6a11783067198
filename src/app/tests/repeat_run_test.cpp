// A sheet and its answer key from two runs: every kind, run without answers and
// then with them through one window's RunRepeat and its tagged file channel,
// makes the same questions in the same places, under names that keep both
// files, and leaves the process's random source where it was.

#include "gen/addsub/chain_sheet.h"
#include "gen/addsub/row_kinds.h"
#include "gen/div/mixed_group_sheet.h"
#include "gen/div/upper_division.h"
#include "gen/mul/mixed_multiplication.h"
#include "gen/mul/multiplication_sheet.h"
#include "app/run_repeat.h"
#include "testsupport/fakes.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace kestrin {
namespace {

using app::RunRepeat;
using app::TaggedWorksheetFile;
using app::taggedFileName;
using testing::RecordedRun;
using testing::Record;

// One run of a kind with the given answers choice.
using KindRun = std::function<RunResult(bool answers, const RunServices&)>;

struct Kind {
    const char* name;
    KindRun run;
    QStringList files = {}; // the files of one sheet
    bool chains = false; // questions are columns of terms, answers a line below them
};

SheetSettings sheet(bool answers)
{
    return SheetSettings{QStringLiteral("6"), QStringLiteral("4"), QStringLiteral("2"), answers, false, true};
}

KindRun chainRun(const addsub::ChainKind& (*kind)(), QStringList own = {})
{
    return [kind, own](bool answers, const RunServices& services) {
        return addsub::runChainSheet(kind(), addsub::ChainSettings{sheet(answers), own}, services);
    };
}

KindRun multiplicationRun(const mul::MultiplicationKind& (*kind)())
{
    return [kind](bool answers, const RunServices& services) {
        return mul::runMultiplicationSheet(kind(), mul::MultiplicationSettings{"3", "2", sheet(answers)}, services);
    };
}

KindRun mixedRun(const div::MixedGroupKind& (*kind)())
{
    return [kind](bool answers, const RunServices& services) {
        div::MixedGroupSettings settings;
        settings.groups = {{{"2", "1", "6"}, {"3", "1", "5"}, {"3", "2", "4"}, {"4", "2", "3"}}};
        settings.perRow = "5";
        settings.sets = "3";
        settings.answers = answers;
        return div::runMixedGroupSheet(kind(), settings, services);
    };
}

std::vector<Kind> kinds()
{
    using namespace addsub;
    return {
        {"七笔加减", chainRun(&sevenTermKind), {"学前段七笔加减速算.xls"}, true},
        {"五笔加减", chainRun(&fiveTermKind), {"学前段五笔加减速算.xls"}, true},
        {"十笔加减", chainRun(&tenTermKind), {"学前段十笔加减速算.xls"}, true},
        {"中段加减", chainRun(&middleStageKind, {"4", "2"}), {"中段2位4笔加减速算.xls"}, true},
        {"高段加减", chainRun(&upperStageKind, {"4", "3", "2"}), {"高段3位4笔2位小数加减速算.xls"}, true},
        {"幼儿加减",
         [](bool answers, const RunServices& services) {
             return runInfantSheet(InfantSettings{"10", sheet(answers)}, services);
         },
         {"幼儿10以内加减速算.xls"}},
        {"低段加减",
         [](bool answers, const RunServices& services) {
             return runLowerSheet(LowerSettings{"100", "3", true, sheet(answers)}, services);
         },
         {"低段100以内加减速算.xls"}},
        {"中段乘算", multiplicationRun(&mul::middleStageKind), {"中段3位乘2位速算.xls"}},
        {"高段乘算", multiplicationRun(&mul::upperStageKind), {"高段3位乘2位速算.xls"}},
        {"高段除算",
         [](bool answers, const RunServices& services) {
             return div::runUpperDivisionSheet(div::UpperDivisionSettings{"4", "2", true, sheet(answers)}, services);
         },
         {"高段4位除以2位速算.xls"}},
        {"综合乘算", mixedRun(&mul::mixedMultiplicationKind), {"综合乘算1.xls", "综合乘算2.xls", "综合乘算3.xls"}},
        {"综合除算", mixedRun(&div::divisionKind), {"综合除算1.xls", "综合除算2.xls", "综合除算3.xls"}},
    };
}

// One question as a sheet shows it, and its answer (empty on a sheet without answers).
struct Cell {
    QString question;
    QString answer;
    bool operator==(const Cell&) const = default;
};

QStringList cellsOf(const QString& line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

// The cells of a file, row by row and left to right. A chain's question is
// its terms top to bottom, each with its sign ("5-3+7=").
std::vector<Cell> cellsOfFile(const std::vector<Record>& records, bool chains, bool answers)
{
    std::vector<Cell> cells;
    std::vector<QStringList> block;
    auto endBlock = [&] {
        if (block.empty())
            return;
        const size_t termLines = block.size() - (answers ? 1 : 0);
        for (qsizetype q = 0; q < block.front().size(); ++q) {
            Cell cell;
            for (size_t k = 0; k < termLines; ++k) {
                const QString& term = block[k].value(q);
                cell.question += (k > 0 && !term.startsWith(u'-') ? QStringLiteral("+") : QString()) + term;
            }
            cell.question += u'=';
            if (answers)
                cell.answer = block.back().value(q);
            cells.push_back(cell);
        }
        block.clear();
    };
    for (size_t i = 2; i < records.size(); ++i) { // after the title and the header
        if (!records[i]) {
            endBlock();
        } else if (chains) {
            block.push_back(cellsOf(*records[i]));
        } else {
            for (const QString& text : cellsOf(*records[i])) {
                const qsizetype equals = text.indexOf(u'=');
                cells.push_back(Cell{text.left(equals + 1), text.mid(equals + 1)});
            }
        }
    }
    endBlock();
    return cells;
}

// A number in hundredths ("12.3" gives 1230).
long long hundredths(const QString& text)
{
    const QStringList parts = text.split(u'.');
    return parts[0].toLongLong() * 100 + (parts.size() > 1 ? parts[1].leftJustified(2, u'0').toLongLong() : 0);
}

// Whether `answer` is right for `question`: a sum of signed terms, a product
// or a division whose remainder, if any, follows "……".
bool rightAnswer(const Cell& cell)
{
    static const QRegularExpression product(QStringLiteral("^(\\d+)([×÷])(\\d+)=$"));
    if (const QRegularExpressionMatch m = product.match(cell.question); m.hasMatch()) {
        const long long a = m.captured(1).toLongLong();
        const long long b = m.captured(3).toLongLong();
        if (m.captured(2) == QStringLiteral("×"))
            return cell.answer == QString::number(a * b);
        const QStringList parts = cell.answer.split(QStringLiteral("……"));
        const long long remainder = parts.size() > 1 ? parts[1].toLongLong() : 0;
        return (parts.size() == 1 || remainder > 0) && remainder < b && parts[0].toLongLong() * b + remainder == a;
    }
    static const QRegularExpression term(QStringLiteral("([+-]?)(\\d+(?:\\.\\d+)?)"));
    long long total = 0;
    for (auto it = term.globalMatch(cell.question); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        total += (m.captured(1) == QStringLiteral("-") ? -1 : 1) * hundredths(m.captured(2));
    }
    return !cell.answer.isEmpty() && total == hundredths(cell.answer);
}

// The runs of one window on a process source, through its RunRepeat.
struct Window {
    RecordedRun world;
    RunRepeat repeat;

    RunResult start(const Kind& kind, bool answers, const QStringList& settings = {QStringLiteral("as set")})
    {
        const RunRepeat::Run run = repeat.begin(settings, answers, world.random);
        TaggedWorksheetFile file(world.file, run.fileTag);
        const RunResult result = kind.run(answers, RunServices{run.random, world.messages, file, world.printer});
        repeat.end(result.completed, file.written());
        return result;
    }
};

TEST(RepeatRun, EveryKindMakesTheKeyOfItsLastSheetAndKeepsBothFiles)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        // The same two runs in a process where the second is not a repeat.
        RecordedRun plain;
        const RunServices plainServices{plain.random, plain.messages, plain.file, plain.printer};
        ASSERT_TRUE(kind.run(false, plainServices).completed);
        const QMap<QString, QByteArray> firstBytes = plain.file.bytes;
        ASSERT_TRUE(kind.run(true, plainServices).completed);

        Window window;
        ASSERT_TRUE(window.start(kind, false).completed);
        EXPECT_EQ(window.world.file.bytes, firstBytes) << "a first sheet is made as ever";
        const auto sheets = window.world.file.files;
        const long long draws = window.world.random.draws;

        const RunResult key = window.start(kind, true);
        ASSERT_TRUE(key.completed);
        EXPECT_EQ(window.world.random.draws, draws) << "the repeat draws from a copy";
        QStringList keys;
        for (const QString& name : kind.files) {
            const QString keyName = taggedFileName(name, QStringLiteral("答案"));
            keys << name << keyName;
            ASSERT_TRUE(window.world.file.files.contains(keyName)) << keyName.toStdString();
            EXPECT_EQ(window.world.file.files[name], sheets[name]) << "the sheet's file stays";
            const std::vector<Cell> questions = cellsOfFile(sheets[name], kind.chains, false);
            std::vector<Cell> answered = cellsOfFile(window.world.file.files[keyName], kind.chains, true);
            ASSERT_FALSE(questions.empty());
            ASSERT_EQ(answered.size(), questions.size());
            for (size_t i = 0; i < answered.size(); ++i) {
                EXPECT_TRUE(rightAnswer(answered[i])) << answered[i].question.toStdString() << " "
                                                      << answered[i].answer.toStdString();
                answered[i].answer.clear();
            }
            EXPECT_EQ(answered, questions) << "the same questions in the same places";
        }
        keys.sort();
        EXPECT_EQ(window.world.file.files.keys(), keys);
        const QString named = taggedFileName(kind.files.size() > 1 ? QString(kind.name) + "X.xls" : kind.files[0],
            QStringLiteral("答案"));
        EXPECT_TRUE(key.completionText.contains(QChar(u'“') + named + QChar(u'”'))) << key.completionText.toStdString();

        // The same settings again with answers: a new sheet, the one the
        // process would have made second without the repeat.
        ASSERT_TRUE(window.start(kind, true).completed);
        for (const QString& name : kind.files)
            EXPECT_EQ(window.world.file.bytes[name], plain.file.bytes[name]) << name.toStdString();
    }
}

// Toggling the answers back after a key repeats the sheet once more, under the
// "题目" name, and toggling again makes the same key.
TEST(RepeatRun, TogglingBackAndForthRepeatsTheSameSheet)
{
    const Kind kind = kinds()[0];
    const QString name = kind.files[0];
    Window window;
    ASSERT_TRUE(window.start(kind, false).completed);
    const long long draws = window.world.random.draws;
    ASSERT_TRUE(window.start(kind, true).completed);
    const auto key = window.world.file.files[taggedFileName(name, QStringLiteral("答案"))];
    const RunResult again = window.start(kind, false);
    ASSERT_TRUE(again.completed);
    EXPECT_EQ(window.world.file.files[taggedFileName(name, QStringLiteral("题目"))], window.world.file.files[name]);
    EXPECT_TRUE(again.completionText.contains(QStringLiteral("“学前段七笔加减速算题目.xls”")));
    window.world.file.files.clear();
    ASSERT_TRUE(window.start(kind, true).completed);
    EXPECT_EQ(window.world.file.files.keys(), QStringList{taggedFileName(name, QStringLiteral("答案"))});
    EXPECT_EQ(window.world.file.files.first(), key);
    EXPECT_EQ(window.world.random.draws, draws);
}

// A changed setting makes a new sheet under its own name: the one the process
// makes second. A refused run, a failed key or a new sheet that failed before
// it replaced any of the sheet's files leaves the sheet to be repeated.
TEST(RepeatRun, ChangedSettingsMakeANewSheetAndARunThatStoppedDoesNot)
{
    const Kind kind = kinds()[0];
    const Kind refused{"", [](bool answers, const RunServices& services) {
                           SheetSettings settings{"1", "4", "2", answers, false, true};
                           return addsub::runChainSheet(addsub::sevenTermKind(), settings, services);
                       }};
    const QString name = kind.files[0];
    RecordedRun plain;
    const RunServices plainServices{plain.random, plain.messages, plain.file, plain.printer};
    ASSERT_TRUE(kind.run(false, plainServices).completed);
    ASSERT_TRUE(kind.run(true, plainServices).completed);
    const QByteArray secondSheet = plain.file.bytes[name];

    const auto failingOpen = [&](Window& w, const QStringList& settings) {
        w.world.file.failOpen = true;
        EXPECT_FALSE(w.start(kind, true, settings).completed);
        w.world.file.failOpen = false;
        return w.start(kind, true);
    };
    const std::vector<std::tuple<const char*, std::function<RunResult(Window&)>, bool>> cases = {
        {"a changed box", [&](Window& w) { return w.start(kind, true, {"changed"}); }, false},
        {"after a refused run",
         [&](Window& w) {
             EXPECT_FALSE(w.start(refused, true, {"refused"}).completed);
             return w.start(kind, true);
         },
         true},
        {"after a key that failed on its file", [&](Window& w) { return failingOpen(w, {"as set"}); }, true},
        {"after a new sheet that failed on its file", [&](Window& w) { return failingOpen(w, {"other"}); }, true},
    };
    for (const auto& [what, run, key] : cases) {
        SCOPED_TRACE(what);
        Window window;
        ASSERT_TRUE(window.start(kind, false).completed);
        const QByteArray sheet = window.world.file.bytes[name];
        const RunResult result = run(window);
        ASSERT_TRUE(result.completed);
        const QStringList files{name, taggedFileName(name, QStringLiteral("答案"))};
        EXPECT_EQ(window.world.file.files.keys(), files.mid(0, key ? 2 : 1));
        EXPECT_EQ(window.world.file.bytes[name], key ? sheet : secondSheet);
    }
}

// The first sheet after a start, made through a window's RunRepeat, is the one every teacher gets.
TEST(RepeatRun, FirstSheetAfterAStartIsAsEver)
{
    Window window;
    const Kind kind{"七笔加减", [](bool answers, const RunServices& services) {
                        SheetSettings settings{"15", "5", "5", answers, false, true};
                        return addsub::runChainSheet(addsub::sevenTermKind(), settings, services);
                    }};
    ASSERT_TRUE(window.start(kind, false).completed);
    EXPECT_EQ(QCryptographicHash::hash(window.world.file.bytes["学前段七笔加减速算.xls"], QCryptographicHash::Sha256)
                  .toHex(),
        "8f2dbca4d25a5bb1e76136ac1fd82da9673f5c7b4076ade28ac773a2c41f328e");
}

} // namespace
} // namespace kestrin
