#include "sheet_runs.h"

#include "gen/addsub/chain_sheet.h"
#include "gen/div/mixed_group_sheet.h"
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
