#include "sheet_runs.h"

#include "gen/addsub/chain_sheet.h"
#include "gen/addsub/row_kinds.h"
#include "gen/div/mixed_group_sheet.h"
#include "gen/div/upper_division.h"
#include "gen/mul/mixed_multiplication.h"
#include "gen/mul/multiplication_sheet.h"
#include "testsupport/fakes.h"

namespace kestrin::printtest {

using kestrin::testing::MemoryWorksheetFile;
using kestrin::testing::RecordedRun;
using kestrin::testing::RecordingMessages;
using kestrin::testing::ScriptedRandom;

SheetSettings printedSheet(const char* perRow, const char* rows, const char* pages, bool answers)
{
    return SheetSettings{QString::fromLatin1(perRow), QString::fromLatin1(rows), QString::fromLatin1(pages), answers,
        true, false};
}

SheetRun sevenTermRun(const SheetSettings& settings)
{
    return [settings](const RunServices& services) {
        return addsub::runChainSheet(addsub::sevenTermKind(), settings, services);
    };
}

SheetRun multiplicationRun()
{
    return [](const RunServices& services) {
        const mul::MultiplicationSettings settings{
            QStringLiteral("3"), QStringLiteral("1"), printedSheet("5", "30", "4", false)};
        return mul::runMultiplicationSheet(mul::middleStageKind(), settings, services);
    };
}

SheetRun divisionRun()
{
    return [](const RunServices& services) {
        div::MixedGroupSettings settings;
        const char* grid[4][3] = {{"2", "1", "30"}, {"3", "1", "30"}, {"3", "2", "20"}, {"4", "2", "0"}};
        for (size_t g = 0; g < settings.groups.size(); ++g) {
            settings.groups[g] = div::GroupTexts{QString::fromLatin1(grid[g][0]), QString::fromLatin1(grid[g][1]),
                QString::fromLatin1(grid[g][2])};
        }
        settings.perRow = QStringLiteral("5");
        settings.sets = QStringLiteral("10");
        settings.answers = false;
        settings.toPrinter = true;
        settings.toFile = false;
        return div::runMixedGroupSheet(div::divisionKind(), settings, services);
    };
}

std::vector<NamedRun> furtherKindRuns()
{
    auto chain = [](const addsub::ChainKind& kind, QStringList extra, const char* perRow) {
        return [&kind, extra, perRow](const RunServices& services) {
            return addsub::runChainSheet(kind, addsub::ChainSettings{printedSheet(perRow, "5", "1", true), extra}, services);
        };
    };
    return {
        {"five-term", chain(addsub::fiveTermKind(), {}, "15"), QString()},
        {"ten-term", chain(addsub::tenTermKind(), {}, "15"), QString()},
        {"middle-chains", chain(addsub::middleStageKind(), {QStringLiteral("5"), QStringLiteral("2")}, "10"), QString()},
        {"upper-chains",
            chain(addsub::upperStageKind(), {QStringLiteral("5"), QStringLiteral("3"), QStringLiteral("2")}, "10"),
            QStringLiteral(".")},
        {"infant",
            [](const RunServices& services) {
                return addsub::runInfantSheet(addsub::InfantSettings{QStringLiteral("10"), printedSheet("5", "20", "1", true)},
                    services);
            },
            QStringLiteral("=")},
        {"lower",
            [](const RunServices& services) {
                return addsub::runLowerSheet(
                    addsub::LowerSettings{QStringLiteral("100"), QStringLiteral("3"), true, printedSheet("4", "25", "1", true)},
                    services);
            },
            QStringLiteral("=")},
        {"upper-multiplication",
            [](const RunServices& services) {
                return mul::runMultiplicationSheet(mul::upperStageKind(),
                    mul::MultiplicationSettings{QStringLiteral("3"), QStringLiteral("2"), printedSheet("4", "25", "1", true)},
                    services);
            },
            QStringLiteral("×=")},
        {"upper-division",
            [](const RunServices& services) {
                return div::runUpperDivisionSheet(div::UpperDivisionSettings{QStringLiteral("3"), QStringLiteral("1"), true,
                                                      printedSheet("5", "25", "1", true)},
                    services);
            },
            QStringLiteral("÷=")},
        {"mixed-multiplication",
            [](const RunServices& services) {
                div::MixedGroupSettings settings;
                const char* grid[4][3] = {{"2", "1", "30"}, {"3", "1", "30"}, {"2", "2", "20"}, {"3", "2", "0"}};
                for (size_t g = 0; g < settings.groups.size(); ++g) {
                    settings.groups[g] = div::GroupTexts{QString::fromLatin1(grid[g][0]),
                        QString::fromLatin1(grid[g][1]), QString::fromLatin1(grid[g][2])};
                }
                settings.perRow = QStringLiteral("5");
                settings.sets = QStringLiteral("1");
                settings.answers = true;
                settings.toPrinter = true;
                settings.toFile = false;
                return div::runMixedGroupSheet(mul::mixedMultiplicationKind(), settings, services);
            },
            QStringLiteral("×=")},
    };
}

std::vector<QStringList> expectedPages(const SheetRun& run)
{
    RecordedRun recorded;
    if (!run(RunServices{recorded.random, recorded.messages, recorded.file, recorded.printer}).completed)
        return {};
    return recorded.printer.finishedPages;
}

ChannelRun runOn(const SheetRun& run, QPrinterChannel& printer)
{
    ScriptedRandom random;
    RecordingMessages messages;
    MemoryWorksheetFile file;
    ChannelRun result;
    result.completed = run(RunServices{random, messages, file, printer}).completed;
    result.messages = messages.shown.join(u'\n');
    return result;
}

} // namespace kestrin::printtest
