// Every settings box of every generator fed with random texts, thousands of
// runs: each run either completes with a sheet or is refused with a message,
// and a refused run touches no file and no printer.

#include "gen/addsub/chain_sheet.h"
#include "gen/addsub/row_kinds.h"
#include "gen/div/mixed_group_sheet.h"
#include "gen/div/upper_division.h"
#include "gen/mul/mixed_multiplication.h"
#include "gen/mul/multiplication_sheet.h"
#include "testsupport/fakes.h"

#include <gtest/gtest.h>

#include <random>

namespace kestrin {
namespace {

using testing::RecordedRun;

class TextMaker {
public:
    explicit TextMaker(unsigned seed) : engine_(seed) {}

    QString next()
    {
        static const char16_t* const kFixed[] = {u"", u" ", u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"10",
            u"15", u"20", u"21", u"30", u"40", u"41", u"50", u"51", u"100", u"101", u"200", u"201", u"-1", u"-32769",
            u"32767", u"32768", u"99999999999999999999", u"1e999", u"-1e999", u"2.5", u"5.5", u"0.4", u"0.5", u"1.5",
            u"49.9", u"abc", u"五", u"\uff11\uff15", u"\uff12", u" 3 ", u"1e1", u"+2", u"--2", u"0x10", u"3,5",
            u"nan", u"inf", u"\u3000\uff14\u3000", u"1.", u".", u"-"};
        const int choice = pick(10);
        if (choice < 7)
            return QString::fromUtf16(kFixed[pick(std::size(kFixed))]);
        if (choice == 7)
            return QString::number(pick(60) - 5);
        if (choice == 8)
            return QString::number(static_cast<double>(pick(1000)) / 10.0 - 5.0);
        // A long string of random characters from a small alphabet.
        static const char16_t kAlphabet[] = u"0123456789.-+e ａ１字";
        QString text;
        const int length = pick(3) == 0 ? 1000 : pick(8);
        for (int i = 0; i < length; ++i)
            text.append(QChar(kAlphabet[pick(std::size(kAlphabet) - 1)]));
        return text;
    }

    bool flip() { return pick(2) == 0; }
    int pick(size_t n) { return static_cast<int>(std::uniform_int_distribution<size_t>(0, n - 1)(engine_)); }

private:
    std::mt19937 engine_;
};

// What every run must satisfy, whatever it was given.
void expectSound(const RunResult& result, const RecordedRun& run)
{
    if (result.completed) {
        EXPECT_TRUE(run.messages.shown.isEmpty());
        EXPECT_FALSE(result.completionText.isEmpty());
        EXPECT_TRUE(result.statusText.endsWith(QStringLiteral("100% 完成")));
        EXPECT_EQ(run.file.opens, run.file.closes);
        EXPECT_EQ(run.printer.begins, run.printer.finishes);
    } else {
        ASSERT_FALSE(run.messages.shown.isEmpty());
        EXPECT_EQ(run.file.opens, 0) << "a refused run touches no file";
        EXPECT_EQ(run.printer.begins + run.printer.calls, 0);
    }
    for (const auto& records : run.file.files) {
        ASSERT_GE(records.size(), 2U);
        for (const auto& record : records) {
            if (record) {
                EXPECT_LT(record->size(), 4000);
            }
        }
    }
}

constexpr int kRuns = 3000;

TEST(Robustness, SevenTermSheet)
{
    TextMaker texts(7);
    int completed = 0;
    for (int i = 0; i < kRuns; ++i) {
        RecordedRun run;
        SheetSettings s{texts.next(), texts.next(), texts.next(), texts.flip(), texts.flip(), texts.flip()};
        const RunResult result = addsub::runChainSheet(addsub::sevenTermKind(), s,
            RunServices{run.random, run.messages, run.file, run.printer});
        expectSound(result, run);
        if (result.completed) {
            ++completed;
            for (const auto& records : run.file.files) {
                ASSERT_EQ((records.size() - 2) % 9, 0U);
                const qsizetype width = records[2]->size();
                EXPECT_EQ(width % 8, 0);
                EXPECT_GE(width, 16);
                EXPECT_LE(width, 400);
            }
        }
    }
    EXPECT_GT(completed, 10) << "the texts reach accepted settings too";
}

TEST(Robustness, FurtherChainKinds)
{
    TextMaker texts(11);
    const std::pair<const addsub::ChainKind*, int> kinds[] = {{&addsub::fiveTermKind(), 0},
        {&addsub::tenTermKind(), 0}, {&addsub::middleStageKind(), 2}, {&addsub::upperStageKind(), 3}};
    for (const auto& [kind, extras] : kinds) {
        int completed = 0;
        for (int i = 0; i < kRuns / 2; ++i) {
            RecordedRun run;
            // Half the runs with counts in range, so that the kinds' own settings are reached.
            const bool sensible = texts.flip();
            addsub::ChainSettings s{SheetSettings{sensible ? QString::number(2 + texts.pick(49)) : texts.next(),
                                        sensible ? QString::number(2 + texts.pick(9)) : texts.next(),
                                        sensible ? QString::number(1 + texts.pick(3)) : texts.next(), texts.flip(),
                                        texts.flip(), texts.flip()},
                {}};
            for (int e = 0; e < extras; ++e)
                s.extra.append(texts.pick(2) == 0 ? QString::number(texts.pick(17)) : texts.next());
            const RunResult result
                = addsub::runChainSheet(*kind, s, RunServices{run.random, run.messages, run.file, run.printer});
            expectSound(result, run);
            completed += result.completed ? 1 : 0;
        }
        EXPECT_GT(completed, 5) << kind->stageKind.toStdString();
    }
}

TEST(Robustness, FurtherRowKinds)
{
    TextMaker texts(13);
    // Counts in range half the time, so that the kinds' own settings are reached.
    auto sheet = [&texts] {
        const bool sensible = texts.flip();
        return SheetSettings{sensible ? QString::number(2 + texts.pick(49)) : texts.next(),
            sensible ? QString::number(2 + texts.pick(30)) : texts.next(),
            sensible ? QString::number(1 + texts.pick(2)) : texts.next(), texts.flip(), texts.flip(), texts.flip()};
    };
    auto setting = [&texts](int highest) {
        return texts.pick(2) == 0 ? QString::number(texts.pick(static_cast<size_t>(highest))) : texts.next();
    };
    const std::vector<std::pair<const char*, std::function<RunResult(const RunServices&)>>> kinds = {
        {"幼儿加减", [&](const RunServices& s) { return addsub::runInfantSheet({setting(25), sheet()}, s); }},
        {"低段加减",
            [&](const RunServices& s) {
                return addsub::runLowerSheet({setting(1200), setting(5), texts.flip(), sheet()}, s);
            }},
        {"高段乘算",
            [&](const RunServices& s) {
                return mul::runMultiplicationSheet(mul::upperStageKind(), {setting(8), setting(7), sheet()}, s);
            }},
        {"高段除算",
            [&](const RunServices& s) {
                return div::runUpperDivisionSheet({setting(8), setting(6), texts.flip(), sheet()}, s);
            }},
    };
    for (const auto& [name, run] : kinds) {
        int completed = 0;
        for (int i = 0; i < kRuns / 3; ++i) {
            RecordedRun recorded;
            const RunResult result = run(RunServices{recorded.random, recorded.messages, recorded.file, recorded.printer});
            expectSound(result, recorded);
            completed += result.completed ? 1 : 0;
        }
        EXPECT_GT(completed, 5) << name;
    }
}

TEST(Robustness, MultiplicationSheet)
{
    TextMaker texts(3);
    int completed = 0;
    for (int i = 0; i < kRuns; ++i) {
        RecordedRun run;
        mul::MultiplicationSettings s{texts.next(), texts.next(),
            SheetSettings{texts.next(), texts.next(), texts.next(), texts.flip(), texts.flip(), texts.flip()}};
        const RunResult result = mul::runMultiplicationSheet(mul::middleStageKind(), s,
            RunServices{run.random, run.messages, run.file, run.printer});
        expectSound(result, run);
        if (result.completed) {
            ++completed;
            for (const auto& records : run.file.files) {
                for (size_t r = 2; r < records.size(); ++r)
                    ASSERT_TRUE(records[r]->startsWith(QStringLiteral("    ")) && records[r]->contains(u'×'));
            }
        }
    }
    EXPECT_GT(completed, 10);
}

TEST(Robustness, DivisionSheet)
{
    TextMaker texts(4);
    int completed = 0;
    for (int i = 0; i < kRuns; ++i) {
        RecordedRun run;
        div::MixedGroupSettings s;
        // Mostly sensible grids, so that runs get past the checks often enough.
        const bool sensible = texts.pick(3) != 0;
        for (auto& group : s.groups) {
            if (sensible) {
                const int divisor = 1 + texts.pick(5);
                group.firstDigits = QString::number(divisor + texts.pick(6 - static_cast<size_t>(divisor)));
                group.secondDigits = QString::number(divisor);
                group.count = QString::number(texts.pick(52));
            } else {
                group = div::GroupTexts{texts.next(), texts.next(), texts.next()};
            }
        }
        s.perRow = texts.next();
        s.sets = sensible ? QString::number(texts.pick(6)) : texts.next();
        s.answers = texts.flip();
        s.toFile = texts.flip();
        s.toPrinter = texts.flip();
        // The same grid for both kinds of sets, each from its own services.
        const RunResult result =
            div::runMixedGroupSheet(div::divisionKind(), s, RunServices{run.random, run.messages, run.file, run.printer});
        expectSound(result, run);
        if (result.completed)
            ++completed;
        RecordedRun products;
        expectSound(div::runMixedGroupSheet(mul::mixedMultiplicationKind(), s,
                        RunServices{products.random, products.messages, products.file, products.printer}),
            products);
    }
    EXPECT_GT(completed, 10);
}

} // namespace
} // namespace kestrin
