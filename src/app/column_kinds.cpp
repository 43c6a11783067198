// The seven kinds whose windows hold their settings in one column: their
// texts, defaults and how each hands the column to its generator.

#include "app/column_window.h"

#include "gen/addsub/chain_sheet.h"
#include "gen/addsub/row_kinds.h"
#include "gen/div/upper_division.h"

namespace kestrin::app {

namespace {

template <const addsub::ChainKind& (*chain)()>
RunResult runChain(const ColumnSettings& settings, const RunServices& services)
{
    return addsub::runChainSheet(chain(), addsub::ChainSettings{settings.sheet, settings.own}, services);
}

} // namespace

const ColumnKind& fiveTermColumn()
{
    static const ColumnKind kind{"xqd5", "五笔加减", {}, chainCounts("15", "5", "5"), std::nullopt,
                                 &runChain<&addsub::fiveTermKind>};
    return kind;
}

const ColumnKind& tenTermColumn()
{
    static const ColumnKind kind{"xqd10", "十笔加减", {}, chainCounts("15", "5", "5"), std::nullopt,
                                 &runChain<&addsub::tenTermKind>};
    return kind;
}

const ColumnKind& middleChainColumn()
{
    static const ColumnKind kind{"zdjj1", "中段加减", {{"每题笔数", "5"}, {"每笔位数", "2"}},
                                 chainCounts("10", "5", "5"), std::nullopt, &runChain<&addsub::middleStageKind>};
    return kind;
}

const ColumnKind& upperChainColumn()
{
    static const ColumnKind kind{"gdjj1", "高段加减", {{"每题笔数", "5"}, {"每笔位数", "3"}, {"小数位数", "0"}},
                                 chainCounts("10", "5", "5"), std::nullopt, &runChain<&addsub::upperStageKind>};
    return kind;
}

const ColumnKind& infantColumn()
{
    static const ColumnKind kind{
        "yer1", "幼儿加减", {{"数的范围", "10"}}, rowCounts("5", "20", "4"), std::nullopt,
        [](const ColumnSettings& settings, const RunServices& services) {
            return addsub::runInfantSheet(addsub::InfantSettings{settings.own.at(0), settings.sheet}, services);
        }};
    return kind;
}

const ColumnKind& lowerColumn()
{
    static const ColumnKind kind{
        "ddjj1", "低段加减", {{"数的范围", "100"}, {"每题几个数", "2"}}, rowCounts("4", "25", "4"),
        ColumnCheck{"含进位退位", true}, [](const ColumnSettings& settings, const RunServices& services) {
            return addsub::runLowerSheet(
                addsub::LowerSettings{settings.own.at(0), settings.own.at(1), settings.check, settings.sheet},
                services);
        }};
    return kind;
}

const ColumnKind& upperDivisionColumn()
{
    static const ColumnKind kind{
        "gdchs1", "高段除算", {{"被除数位数", "3"}, {"除数位数", "1"}}, rowCounts("5", "25", "4"),
        ColumnCheck{"允许有余数", false}, [](const ColumnSettings& settings, const RunServices& services) {
            return div::runUpperDivisionSheet(
                div::UpperDivisionSettings{settings.own.at(0), settings.own.at(1), settings.check, settings.sheet},
                services);
        }};
    return kind;
}

} // namespace kestrin::app
