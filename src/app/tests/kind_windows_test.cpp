// The windows of 五笔加减, 十笔加减, 中段加减, 高段加减, 幼儿加减, 低段加减,
// 高段乘算, 高段除算 and 综合乘算, each made as its menu entry makes it: their
// controls against layout tables written out here, their defaults, focus and
// tab order, and what their start buttons hand the generators, with recorded
// services.

#include "app/fonts.h"
#include "app/main_window.h"
#include "gen/addsub/chain_sheet.h"
#include "gen/addsub/row_kinds.h"
#include "gen/div/mixed_group_sheet.h"
#include "gen/div/upper_division.h"
#include "gen/mul/mixed_multiplication.h"
#include "gen/mul/multiplication_sheet.h"
#include "window_checks.h"

#include <QButtonGroup>
#include <QHash>
#include <QTest>

using namespace kestrin;
using namespace kestrin::app;
using namespace kestrin::app::checks;

namespace {

// What a window's controls hold: box texts and the on state of its options and
// check boxes, by control name.
struct Values {
    QHash<QString, QString> texts;
    QHash<QString, bool> on;

    QString text(const char* box) const
    {
        Q_ASSERT(texts.contains(box));
        return texts.value(box);
    }
    SheetSettings sheet(const char* perRow, const char* rows, const char* pages) const
    {
        SheetSettings settings;
        settings.perRow = text(perRow);
        settings.rowsPerPage = text(rows);
        settings.pages = text(pages);
        settings.answers = on.value("Option1");
        settings.toPrinter = on.value("Check1");
        settings.toFile = on.value("Check2");
        return settings;
    }
};

using DirectRun = RunResult (*)(const Values& values, const RunServices& services);

struct Refusal {
    const char* box;
    const char* text;
    QString message;
};

// A change that must reach the generator: texts typed into boxes, buttons set.
struct Change {
    BoxTexts boxes = {};
    ButtonStates buttons = {};
};

struct WindowCase {
    const char* entry;
    const char* name;
    QString caption;
    std::vector<Row> rows;       // every control, in table order
    QStringList tabOrder;        // the controls Tab visits, from the first focus on
    QHash<QString, bool> on;     // options and check boxes ticked at the start
    QStringList files;           // what the defaults write
    QString completion;          // and the completion text they leave
    std::vector<Refusal> refusals;
    std::vector<Change> changes;
    DirectRun direct; // the generator called directly with the values of the controls
    // Two controls whose edges overlap by one pixel, where the window copies a
    // layout that has them so.
    std::pair<QString, QString> copiedOverlap = {};
};

const QString sizeOfChains = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-10排，每次输出1-20页。对不起！输入有误，谢谢使用。欢迎再来");
const QString sizeOfRows = QStringLiteral(
    "可一次性每排输出2-50题，每页输出2-200排，每次输出1-40页。对不起！输入有误，谢谢使用。欢迎再来");

QString chainCompletion(const QString& stage, int made, const QString& file)
{
    return QStringLiteral("智能生成") + stage
        + QStringLiteral("[%1]题已完成。如果选择输出到Excel，请在该系统目录（/home/li）下将“").arg(made) + file
        + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可打印。谢谢！");
}

QString rowCompletion(int made, const QString& file)
{
    return QStringLiteral("智能生成[%1]题已完成。如果选择输出到Excel，请在该系统目录（/home/li）下将“").arg(made) + file
        + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可。谢谢！");
}

// The controls every settings-column window has beside its column: the
// answers frame at one of its two places, the output and action frames, the
// buttons, the status box and the completion label.
enum class Answers { AtTheUsualPlace, MovedDown };

std::vector<Row> columnWindow(const QString& kind, std::vector<Row> column, Answers answers)
{
    std::vector<Row> rows{{"Label1", "label", "小学数学 [" + kind + "] 自动出题系统", 2520, 720, 7215, 615, "黑体", 29}};
    rows.insert(rows.end(), column.begin(), column.end());
    if (answers == Answers::AtTheUsualPlace)
        rows.push_back({"Frame1", "frame", "是否打印答案", 1560, 5040, 3135, 1335});
    else
        rows.push_back({"Frame1", "frame", "是否打印答案", 1560, 5280, 3135, 1095});
    const std::vector<Row> rest = {
        {"Option1", "option", "是", 2160, 5640, 855, 495},
        {"Option2", "option", "否", 3480, 5640, 735, 495},
        {"Frame2", "frame", "输出位置", 6120, 1920, 4455, 1815},
        {"Check1", "check", "直接输出到打印机", 6480, 2640, 1695, 495},
        {"Check2", "check", "输出到Excel，调整后打印", 8280, 2640, 1935, 495},
        {"Frame3", "frame", "智能生成", 6120, 4200, 4455, 2175},
        {"Command1", "button", kind + "(&C)", 8160, 4680, 1695, 495},
        {"Command2", "button", "返    回(&X)", 8160, 5520, 1695, 495},
        {"Text9", "text", "", 1200, 6840, 9615, 495},
        {"Label9", "label", "", 1200, 7560, 9615, 495},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    return rows;
}

// The answers pair is one tab stop, on its selected option (否 at the start).
const QStringList buttonsAndStatus = {"Option2", "Check1", "Check2", "Command1", "Command2", "Text9"};

QStringList columnTabOrder(QStringList settings)
{
    return settings + buttonsAndStatus;
}

const QHash<QString, bool> usualButtons = {{"Option1", false}, {"Option2", true}, {"Check1", false}, {"Check2", true}};

QHash<QString, bool> withCheck3(bool ticked)
{
    QHash<QString, bool> on = usualButtons;
    on.insert("Check3", ticked);
    return on;
}

// The changes every window has: answers, printer, printer without file.
std::vector<Change> withSwitches(std::vector<Change> changes)
{
    changes.push_back({{}, {{"Option1", true}}});
    changes.push_back({{}, {{"Check1", true}}});
    changes.push_back({{}, {{"Check1", true}, {"Check2", false}}});
    return changes;
}

std::vector<WindowCase> makeCases()
{
    std::vector<WindowCase> cases;

    cases.push_back({"j5", "xqd5", "Kestrin-五笔加减",
                     columnWindow("五笔加减",
                                  {{"Label2", "label", "每排生成题数", 1680, 2040, 1575, 375},
                                   {"Text1", "text", "15", 3360, 2040, 855, 375},
                                   {"Label3", "label", "每页生成几排", 1680, 2580, 1575, 375},
                                   {"Text2", "text", "5", 3360, 2580, 855, 375},
                                   {"Label4", "label", "每次生成几页", 1680, 3120, 1575, 375},
                                   {"Text3", "text", "5", 3360, 3120, 855, 375}},
                                  Answers::AtTheUsualPlace),
                     columnTabOrder({"Text1", "Text2", "Text3"}), usualButtons, {"学前段五笔加减速算.xls"},
                     chainCompletion("学前段五笔加减", 375, "学前段五笔加减速算.xls"),
                     {{"Text1", "1", sizeOfChains}, {"Text2", "11", sizeOfChains}, {"Text3", "21", sizeOfChains}},
                     withSwitches({{{{"Text1", "3"}}}, {{{"Text2", "2"}}}, {{{"Text3", "2"}}}}),
                     [](const Values& v, const RunServices& s) {
                         return addsub::runChainSheet(addsub::fiveTermKind(),
                                                      addsub::ChainSettings{v.sheet("Text1", "Text2", "Text3"), {}}, s);
                     }});

    cases.push_back({"j10", "xqd10", "Kestrin-十笔加减",
                     columnWindow("十笔加减",
                                  {{"Label2", "label", "每排生成题数", 1680, 2040, 1575, 375},
                                   {"Text1", "text", "15", 3360, 2040, 855, 375},
                                   {"Label3", "label", "每页生成几排", 1680, 2580, 1575, 375},
                                   {"Text2", "text", "5", 3360, 2580, 855, 375},
                                   {"Label4", "label", "每次生成几页", 1680, 3120, 1575, 375},
                                   {"Text3", "text", "5", 3360, 3120, 855, 375}},
                                  Answers::AtTheUsualPlace),
                     columnTabOrder({"Text1", "Text2", "Text3"}), usualButtons, {"学前段十笔加减速算.xls"},
                     chainCompletion("学前段十笔加减", 375, "学前段十笔加减速算.xls"),
                     {{"Text1", "51", sizeOfChains}, {"Text3", "0", sizeOfChains}},
                     withSwitches({{{{"Text1", "4"}}}, {{{"Text2", "3"}}}, {{{"Text3", "1"}}}}),
                     [](const Values& v, const RunServices& s) {
                         return addsub::runChainSheet(addsub::tenTermKind(),
                                                      addsub::ChainSettings{v.sheet("Text1", "Text2", "Text3"), {}}, s);
                     }});

    const QString middleMessage = "每题笔数为3-10笔，每笔位数为1-4位。对不起！输入有误，谢谢使用。欢迎再来";
    cases.push_back(
        {"zdjj", "zdjj1", "Kestrin-中段加减",
         columnWindow("中段加减",
                      {{"Label2", "label", "每题笔数", 1680, 2040, 1575, 375},
                       {"Text1", "text", "5", 3360, 2040, 855, 375},
                       {"Label3", "label", "每笔位数", 1680, 2580, 1575, 375},
                       {"Text2", "text", "2", 3360, 2580, 855, 375},
                       {"Label4", "label", "每排生成题数", 1680, 3120, 1575, 375},
                       {"Text3", "text", "10", 3360, 3120, 855, 375},
                       {"Label5", "label", "每页生成几排", 1680, 3660, 1575, 375},
                       {"Text4", "text", "5", 3360, 3660, 855, 375},
                       {"Label6", "label", "每次生成几页", 1680, 4200, 1575, 375},
                       {"Text5", "text", "5", 3360, 4200, 855, 375}},
                      Answers::AtTheUsualPlace),
         columnTabOrder({"Text1", "Text2", "Text3", "Text4", "Text5"}), usualButtons, {"中段2位5笔加减速算.xls"},
         chainCompletion("中段加减", 250, "中段2位5笔加减速算.xls"),
         {{"Text1", "11", middleMessage}, {"Text2", "5", middleMessage}, {"Text4", "1", sizeOfChains}},
         withSwitches({{{{"Text1", "7"}}},
                       {{{"Text2", "3"}}},
                       {{{"Text3", "6"}}},
                       {{{"Text4", "3"}}},
                       {{{"Text5", "2"}}}}),
         [](const Values& v, const RunServices& s) {
             return addsub::runChainSheet(
                 addsub::middleStageKind(),
                 addsub::ChainSettings{v.sheet("Text3", "Text4", "Text5"), {v.text("Text1"), v.text("Text2")}}, s);
         }});

    const QString upperMessage
        = "每题笔数为3-15笔，每笔位数为1-5位，小数位数为0-2位。对不起！输入有误，谢谢使用。欢迎再来";
    cases.push_back(
        {"gdjj", "gdjj1", "Kestrin-高段加减",
         columnWindow("高段加减",
                      {{"Label2", "label", "每题笔数", 1680, 2040, 1575, 375},
                       {"Text1", "text", "5", 3360, 2040, 855, 375},
                       {"Label3", "label", "每笔位数", 1680, 2580, 1575, 375},
                       {"Text2", "text", "3", 3360, 2580, 855, 375},
                       {"Label4", "label", "小数位数", 1680, 3120, 1575, 375},
                       {"Text3", "text", "0", 3360, 3120, 855, 375},
                       {"Label5", "label", "每排生成题数", 1680, 3660, 1575, 375},
                       {"Text4", "text", "10", 3360, 3660, 855, 375},
                       {"Label6", "label", "每页生成几排", 1680, 4200, 1575, 375},
                       {"Text5", "text", "5", 3360, 4200, 855, 375},
                       {"Label7", "label", "每次生成几页", 1680, 4740, 1575, 375},
                       {"Text6", "text", "5", 3360, 4740, 855, 375}},
                      Answers::MovedDown),
         columnTabOrder({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"}), usualButtons,
         {"高段3位5笔加减速算.xls"}, chainCompletion("高段加减", 250, "高段3位5笔加减速算.xls"),
         {{"Text1", "16", upperMessage}, {"Text2", "6", upperMessage}, {"Text3", "3", upperMessage},
          {"Text6", "21", sizeOfChains}},
         withSwitches({{{{"Text1", "12"}}},
                       {{{"Text2", "5"}}},
                       {{{"Text3", "2"}}},
                       {{{"Text4", "6"}}},
                       {{{"Text5", "3"}}},
                       {{{"Text6", "2"}}}}),
         [](const Values& v, const RunServices& s) {
             return addsub::runChainSheet(addsub::upperStageKind(),
                                          addsub::ChainSettings{v.sheet("Text4", "Text5", "Text6"),
                                                                {v.text("Text1"), v.text("Text2"), v.text("Text3")}},
                                          s);
         }});

    const QString infantMessage = "数的范围为5-20。对不起！输入有误，谢谢使用。欢迎再来";
    cases.push_back({"yer", "yer1", "Kestrin-幼儿加减",
                     columnWindow("幼儿加减",
                                  {{"Label2", "label", "数的范围", 1680, 2040, 1575, 375},
                                   {"Text1", "text", "10", 3360, 2040, 855, 375},
                                   {"Label3", "label", "每行题数", 1680, 2580, 1575, 375},
                                   {"Text2", "text", "5", 3360, 2580, 855, 375},
                                   {"Label4", "label", "每页行数", 1680, 3120, 1575, 375},
                                   {"Text3", "text", "20", 3360, 3120, 855, 375},
                                   {"Label5", "label", "每次页数", 1680, 3660, 1575, 375},
                                   {"Text4", "text", "4", 3360, 3660, 855, 375}},
                                  Answers::AtTheUsualPlace),
                     columnTabOrder({"Text1", "Text2", "Text3", "Text4"}), usualButtons, {"幼儿10以内加减速算.xls"},
                     rowCompletion(400, "幼儿10以内加减速算.xls"),
                     {{"Text1", "21", infantMessage}, {"Text1", "4", infantMessage}, {"Text3", "201", sizeOfRows}},
                     withSwitches({{{{"Text1", "20"}}}, {{{"Text2", "3"}}}, {{{"Text3", "7"}}}, {{{"Text4", "2"}}}}),
                     [](const Values& v, const RunServices& s) {
                         return addsub::runInfantSheet(
                             addsub::InfantSettings{v.text("Text1"), v.sheet("Text2", "Text3", "Text4")}, s);
                     }});

    const QString lowerMessage = "数的范围为20-1000，每题几个数为2-3。对不起！输入有误，谢谢使用。欢迎再来";
    cases.push_back(
        {"ddjj", "ddjj1", "Kestrin-低段加减",
         columnWindow("低段加减",
                      {{"Label2", "label", "数的范围", 1680, 2040, 1575, 375},
                       {"Text1", "text", "100", 3360, 2040, 855, 375},
                       {"Label3", "label", "每题几个数", 1680, 2580, 1575, 375},
                       {"Text2", "text", "2", 3360, 2580, 855, 375},
                       {"Label4", "label", "每行题数", 1680, 3120, 1575, 375},
                       {"Text3", "text", "4", 3360, 3120, 855, 375},
                       {"Label5", "label", "每页行数", 1680, 3660, 1575, 375},
                       {"Text4", "text", "25", 3360, 3660, 855, 375},
                       {"Label6", "label", "每次页数", 1680, 4200, 1575, 375},
                       {"Text5", "text", "4", 3360, 4200, 855, 375},
                       {"Check3", "check", "含进位退位", 1680, 4740, 2535, 375}},
                      Answers::MovedDown),
         columnTabOrder({"Text1", "Text2", "Text3", "Text4", "Text5", "Check3"}), withCheck3(true),
         {"低段100以内加减速算.xls"}, rowCompletion(400, "低段100以内加减速算.xls"),
         {{"Text1", "1001", lowerMessage}, {"Text2", "4", lowerMessage}, {"Text5", "41", sizeOfRows}},
         withSwitches({{{{"Text1", "50"}}},
                       {{{"Text2", "3"}}},
                       {{{"Text3", "5"}}},
                       {{{"Text4", "9"}}},
                       {{{"Text5", "2"}}},
                       {{}, {{"Check3", false}}}}),
         [](const Values& v, const RunServices& s) {
             return addsub::runLowerSheet(addsub::LowerSettings{v.text("Text1"), v.text("Text2"), v.on.value("Check3"),
                                                                v.sheet("Text3", "Text4", "Text5")},
                                          s);
         }});

    cases.push_back(
        {"gdcs", "gdcs1", "Kestrin-高段乘算",
         {
             {"Label1", "label", "小学数学 [高段乘算] 自动出题系统", 2520, 720, 7215, 615, "黑体", 29},
             {"Label2", "label", "第一因数位数", 1680, 2040, 1575, 375},
             {"Label3", "label", "第二因数位数", 1680, 2580, 1575, 375},
             {"Text1", "text", "3", 3360, 2040, 855, 375},
             {"Text2", "text", "2", 3360, 2580, 855, 375},
             {"Frame1", "frame", "是否打印答案", 1560, 5040, 3135, 1335},
             {"Option1", "option", "是", 2160, 5640, 855, 495},
             {"Option2", "option", "否", 3480, 5640, 735, 495},
             {"Frame2", "frame", "输出位置", 6120, 1920, 4455, 1815},
             {"Check1", "check", "直接输出到打印机", 6480, 2640, 1695, 495},
             {"Check2", "check", "输出到Excel，调整后打印", 8280, 2640, 1935, 495},
             {"Frame3", "frame", "智能生成", 6120, 4200, 4455, 2175},
             {"Command1", "button", "高段乘算(&C)", 8160, 4680, 1695, 495},
             {"Command2", "button", "返    回(&X)", 8160, 5520, 1695, 495},
             {"Text3", "text", "", 1200, 6840, 9615, 495},
             {"Label4", "label", "", 1200, 7560, 9615, 495},
             {"Label5", "label", "每行题数", 1680, 3120, 1575, 375},
             {"Text4", "text", "4", 3360, 3120, 855, 375},
             {"Label6", "label", "每页行数", 1680, 3660, 1575, 375},
             {"Label7", "label", "每次页数", 1680, 4200, 1575, 375},
             {"Text5", "text", "25", 3360, 3660, 855, 375},
             {"Text6", "text", "4", 3360, 4200, 855, 375},
         },
         {"Text1", "Text2", "Option2", "Check1", "Check2", "Command1", "Command2", "Text3", "Text4", "Text5", "Text6"},
         usualButtons, {"高段3位乘2位速算.xls"}, rowCompletion(400, "高段3位乘2位速算.xls"),
         {{"Text1", "7", "输入位数错误！，第一因数位数为1-6位，第二因数位数为1-5位。"},
          {"Text2", "6", "输入位数错误！，第一因数位数为1-6位，第二因数位数为1-5位。"},
          // The upper stage takes whole counts only.
          {"Text4", "3.5", sizeOfRows}},
         withSwitches({{{{"Text1", "5"}}}, {{{"Text2", "1"}}}, {{{"Text4", "6"}}}, {{{"Text5", "8"}}}, {{{"Text6", "1"}}}}),
         [](const Values& v, const RunServices& s) {
             return mul::runMultiplicationSheet(
                 mul::upperStageKind(),
                 mul::MultiplicationSettings{v.text("Text1"), v.text("Text2"), v.sheet("Text4", "Text5", "Text6")}, s);
         }});

    const QString divisionMessage
        = "被除数位数为1-6位，除数位数为1-4位且不多于被除数位数。对不起！输入有误，谢谢使用。欢迎再来";
    cases.push_back(
        {"gdchs", "gdchs1", "Kestrin-高段除算",
         columnWindow("高段除算",
                      {{"Label2", "label", "被除数位数", 1680, 2040, 1575, 375},
                       {"Text1", "text", "3", 3360, 2040, 855, 375},
                       {"Label3", "label", "除数位数", 1680, 2580, 1575, 375},
                       {"Text2", "text", "1", 3360, 2580, 855, 375},
                       {"Label4", "label", "每行题数", 1680, 3120, 1575, 375},
                       {"Text3", "text", "5", 3360, 3120, 855, 375},
                       {"Label5", "label", "每页行数", 1680, 3660, 1575, 375},
                       {"Text4", "text", "25", 3360, 3660, 855, 375},
                       {"Label6", "label", "每次页数", 1680, 4200, 1575, 375},
                       {"Text5", "text", "4", 3360, 4200, 855, 375},
                       {"Check3", "check", "允许有余数", 1680, 4740, 2535, 375}},
                      Answers::MovedDown),
         columnTabOrder({"Text1", "Text2", "Text3", "Text4", "Text5", "Check3"}), withCheck3(false),
         {"高段3位除以1位速算.xls"}, rowCompletion(500, "高段3位除以1位速算.xls"),
         {{"Text2", "4", divisionMessage}, {"Text1", "7", divisionMessage}, {"Text4", "1", sizeOfRows}},
         withSwitches({{{{"Text1", "5"}}},
                       {{{"Text2", "2"}}},
                       {{{"Text3", "3"}}},
                       {{{"Text4", "6"}}},
                       {{{"Text5", "1"}}},
                       {{}, {{"Check3", true}}}}),
         [](const Values& v, const RunServices& s) {
             return div::runUpperDivisionSheet(div::UpperDivisionSettings{v.text("Text1"), v.text("Text2"),
                                                                          v.on.value("Check3"),
                                                                          v.sheet("Text3", "Text4", "Text5")},
                                               s);
         }});

    QStringList setFiles;
    for (int set = 1; set <= 10; ++set)
        setFiles << QString("综合乘算%1.xls").arg(set);
    setFiles.sort(); // the order of the recorded map
    cases.push_back(
        {"zhch", "zhch2", "Kestrin-综合乘算",
         {
             {"Label1", "label", "小学数学 [综合乘算] 自动出题系统", 2520, 720, 7215, 615, "黑体", 29},
             {"Label2", "label", "第一因数位数", 1560, 2040, 1335, 375, "宋体", 14},
             {"Label3", "label", "第二因数位数", 1560, 2640, 1335, 255, "宋体", 14},
             {"w11", "text", "2", 3000, 2040, 615, 375},
             {"w12", "text", "1", 3000, 2520, 615, 375},
             {"Frame1", "frame", "是否打印答案", 1560, 5280, 3135, 1095},
             {"Option1", "option", "是", 2160, 5640, 855, 495},
             {"Option2", "option", "否", 3480, 5640, 735, 495},
             {"Frame2", "frame", "输出位置", 6600, 1920, 3975, 1815},
             {"Check1", "check", "直接输出到打印机", 6840, 2640, 1695, 495},
             {"Check2", "check", "输出到Excel，调整后打印", 8520, 2640, 1935, 495},
             {"Frame3", "frame", "智能生成", 6600, 4200, 3975, 2175},
             {"Command1", "button", "综合乘算(&C)", 8160, 4680, 1695, 495},
             {"Command2", "button", "返    回(&X)", 8160, 5520, 1695, 495},
             {"Text3", "text", "", 1200, 6840, 9615, 495},
             {"Label4", "label", "", 1200, 7560, 9615, 495},
             {"Label5", "label", "每行题数", 1560, 3960, 1095, 375},
             {"ttt", "text", "5", 3000, 3840, 855, 375},
             {"w13", "text", "30", 3000, 3000, 615, 375},
             {"Label6", "label", "要生成几题", 1560, 3120, 1215, 375, "宋体", 14},
             {"w21", "text", "3", 3720, 2040, 615, 375},
             {"w22", "text", "1", 3720, 2520, 615, 375},
             {"w23", "text", "30", 3720, 3000, 615, 375},
             {"w31", "text", "2", 4440, 2040, 615, 375},
             {"w32", "text", "2", 4440, 2520, 615, 375},
             {"w33", "text", "20", 4440, 3000, 615, 375},
             {"w41", "text", "3", 5160, 2040, 615, 375},
             {"w42", "text", "2", 5160, 2520, 615, 375},
             {"w43", "text", "0", 5160, 3000, 615, 375},
             {"Label7", "label", "共生成几套", 1560, 4440, 1215, 375, "宋体", 14},
             {"Text1", "text", "10", 3000, 4440, 855, 375},
         },
         {"w11", "w12", "Option2", "Check1", "Check2", "Command1", "Command2", "Text3", "ttt", "w13", "w21", "w22",
          "w23", "w31", "w32", "w33", "w41", "w42", "w43", "Text1"},
         usualButtons, setFiles,
         "智能生成[80]题已完成。如果选择输出到Excel，请在该系统目录"
         "（/home/li）下将“综合乘算X.xls”用Excel打开，点完成即可。(千万不要"
         "直接双击进入)调整即可。谢谢！",
         {{"Text1", "0", "输入套数错误！每次规定出题在1-100套。"},
          {"w11", "7", "输入位数错误！第一因数位数为1-6位，第二因数位数为1-5位。"},
          {"w42", "6", "输入位数错误！第一因数位数为1-6位，第二因数位数为1-5位。"},
          {"w23", "51", "输入题数错误！输入题数在0-50题。"}},
         withSwitches({{{{"w11", "6"}}},
                       {{{"w12", "2"}}},
                       {{{"w13", "5"}}},
                       {{{"w21", "4"}}},
                       {{{"w22", "3"}}},
                       {{{"w23", "7"}}},
                       {{{"w31", "5"}}},
                       {{{"w32", "1"}}},
                       {{{"w33", "6"}}},
                       // The fourth group makes no questions by default, so its
                       // digit counts show only once it has some.
                       {{{"w43", "4"}, {"w41", "5"}}},
                       {{{"w43", "4"}, {"w42", "4"}}},
                       {{{"w43", "4"}}},
                       {{{"ttt", "4"}}},
                       {{{"Text1", "3"}}}}),
         [](const Values& v, const RunServices& s) {
             div::MixedGroupSettings settings;
             for (int group = 0; group < 4; ++group) {
                 const QString column = QString("w%1").arg(group + 1);
                 settings.groups[group] = {v.texts.value(column + "1"), v.texts.value(column + "2"),
                                           v.texts.value(column + "3")};
             }
             settings.perRow = v.text("ttt");
             settings.sets = v.text("Text1");
             settings.answers = v.on.value("Option1");
             settings.toPrinter = v.on.value("Check1");
             settings.toFile = v.on.value("Check2");
             return div::runMixedGroupSheet(mul::mixedMultiplicationKind(), settings, s);
         }});
    // As in the window of 综合除算: 6840 + 1695 reaches 15 twips past 8520.
    cases.back().copiedOverlap = {"Check1", "Check2"};
    return cases;
}

const std::vector<WindowCase>& cases()
{
    static const std::vector<WindowCase> all = makeCases();
    return all;
}

const MenuEntrySpec& menuEntry(const char* name)
{
    for (const MenuSpec& menu : menuTable())
        for (const MenuEntrySpec& entry : menu.entries)
            if (entry.name == QLatin1String(name))
                return entry;
    qFatal("no menu entry %s", name);
}

// The window of a case as its menu entry makes it.
std::unique_ptr<GeneratorWindow> windowOf(const WindowCase& c, kestrin::testing::RecordedRun& run)
{
    const MenuEntrySpec& entry = menuEntry(c.entry);
    Q_ASSERT(entry.opens);
    return entry.opens(servicesOf(run));
}

// The window of the case `index` with the services it records into; the
// window goes before its services.
struct Opened {
    explicit Opened(int index) : c(cases()[index]), window(windowOf(c, run)) {}

    const WindowCase& c;
    kestrin::testing::RecordedRun run;
    std::unique_ptr<GeneratorWindow> window;
};

Values defaultValues(const WindowCase& c)
{
    Values values;
    for (const Row& row : c.rows)
        if (QString(row.kind) == "text")
            values.texts.insert(row.name, row.text);
    values.on = c.on;
    return values;
}

void caseRows()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(cases().size()); ++i)
        QTest::newRow(cases()[i].name) << i;
}

} // namespace

class KindWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void windowProperties_data() { caseRows(); }
    void windowProperties()
    {
        QFETCH(int, index);
        Opened o(index);
        checkWindowProperties(*o.window, o.c.name, o.c.caption);
    }

    void controls_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("control");
        for (int i = 0; i < int(cases().size()); ++i)
            for (int k = 0; k < int(cases()[i].rows.size()); ++k)
                QTest::addRow("%s %s", cases()[i].name, cases()[i].rows[k].name) << i << k;
    }
    void controls()
    {
        QFETCH(int, index);
        QFETCH(int, control);
        Opened o(index);
        const Row& row = o.c.rows[control];
        checkControl(*o.window, row, control);
        if (QTest::currentTestFailed())
            return;
        auto* widget = o.window->findChild<QWidget*>(row.name);
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable())
            QCOMPARE(button->isChecked(), o.c.on.value(row.name));
        if (auto* box = qobject_cast<QLineEdit*>(widget))
            QCOMPARE(box->isReadOnly(), box == o.window->statusBox());
    }

    void noOtherControls_data() { caseRows(); }
    void noOtherControls()
    {
        QFETCH(int, index);
        Opened o(index);
        QCOMPARE(directChildWidgets(*o.window), int(o.c.rows.size()));
    }

    // Controls do not overlap, except that a frame wholly holds the controls
    // that lie on it; all of them lie within 11,200 × 8,100 twips.
    void nothingOverlaps_data() { caseRows(); }
    void nothingOverlaps()
    {
        QFETCH(int, index);
        const WindowCase& c = cases()[index];
        const QRect bounds(0, 0, 11200, 8100);
        for (const Row& a : c.rows) {
            const QRect ra(a.left, a.top, a.width, a.height);
            QVERIFY2(bounds.contains(ra), a.name);
            for (const Row& b : c.rows) {
                if (&a == &b)
                    continue;
                const QRect rb(b.left, b.top, b.width, b.height);
                if (!ra.intersects(rb))
                    continue;
                const bool aFrame = QString(a.kind) == "frame";
                const bool bFrame = QString(b.kind) == "frame";
                const bool held = (aFrame && !bFrame && ra.contains(rb)) || (bFrame && !aFrame && rb.contains(ra));
                const bool copied = std::pair<QString, QString>(a.name, b.name) == c.copiedOverlap
                    || std::pair<QString, QString>(b.name, a.name) == c.copiedOverlap;
                if (copied)
                    QCOMPARE(ra.intersected(rb).width(), 15);
                else
                    QVERIFY2(held, qPrintable(QString("%1 and %2").arg(a.name, b.name)));
            }
        }
        // And the window is built as the rows say.
        Opened o(index);
        for (const Row& row : c.rows)
            QCOMPARE(o.window->findChild<QWidget*>(row.name)->geometry(), pixelsOf(row));
    }

    void tabOrder_data() { caseRows(); }
    void tabOrder()
    {
        QFETCH(int, index);
        Opened o(index);
        const QStringList focusable = focusableInTableOrder(*o.window, o.c.rows);
        QCOMPARE(QSet<QString>(focusable.begin(), focusable.end()),
                 QSet<QString>(o.c.tabOrder.begin(), o.c.tabOrder.end()));
        QWidget* first = o.window->findChild<QWidget*>(o.c.tabOrder.first());
        QCOMPARE(tabChain(o.window.get(), first, o.c.tabOrder.size()), o.c.tabOrder);
    }

    void firstShowingFocusesTheFirstSettingsBox_data() { caseRows(); }
    void firstShowingFocusesTheFirstSettingsBox()
    {
        QFETCH(int, index);
        Opened o(index);
        checkFirstShowing(*o.window, o.run, o.c.tabOrder.first(), o.c.tabOrder.at(1));
    }

    void optionsAreOneExclusivePair_data() { caseRows(); }
    void optionsAreOneExclusivePair()
    {
        QFETCH(int, index);
        Opened o(index);
        auto* yes = o.window->findChild<QRadioButton*>("Option1");
        auto* no = o.window->findChild<QRadioButton*>("Option2");
        QButtonGroup* group = o.window->optionGroup();
        QVERIFY(group && group->exclusive());
        QCOMPARE(group->buttons().size(), 2);
        QTest::mouseClick(yes, Qt::LeftButton, {}, QPoint(5, yes->height() / 2));
        QVERIFY(yes->isChecked() && !no->isChecked());
        QTest::mouseClick(no, Qt::LeftButton, {}, QPoint(5, no->height() / 2));
        QVERIFY(!yes->isChecked() && no->isChecked());
    }

    void altCRunsTheDefaults_data() { caseRows(); }
    void altCRunsTheDefaults()
    {
        QFETCH(int, index);
        Opened o(index);
        QVERIFY(openActive(*o.window));
        QTest::keyClick(o.window->windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(o.run.file.closes, int(o.c.files.size()));

        QCOMPARE(o.run.messages.shown, QStringList());
        QCOMPARE(o.run.file.files.keys(), o.c.files);
        QCOMPARE(o.run.printer.begins, 0);
        checkFinishedStatus(*o.window, statusDone);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(o.window->completionLabel()->text(), o.c.completion);
    }

    void altXAsksToReturn_data() { caseRows(); }
    void altXAsksToReturn()
    {
        QFETCH(int, index);
        Opened o(index);
        checkAltXAsksToReturn(*o.window, o.run);
    }

    void refusedRunShowsItsMessageAndChangesNothing_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("refusal");
        for (int i = 0; i < int(cases().size()); ++i)
            for (int k = 0; k < int(cases()[i].refusals.size()); ++k) {
                const Refusal& r = cases()[i].refusals[k];
                QTest::addRow("%s %s=%s", cases()[i].name, r.box, r.text) << i << k;
            }
    }
    void refusedRunShowsItsMessageAndChangesNothing()
    {
        QFETCH(int, index);
        QFETCH(int, refusal);
        Opened o(index);
        const WindowCase& c = o.c;
        const Refusal& r = c.refusals[refusal];
        // A first run leaves its result on the window; the refused one keeps it.
        o.window->startButton()->click();
        QVERIFY(o.run.messages.shown.isEmpty());
        const int opens = o.run.file.opens;
        o.window->findChild<QLineEdit*>(r.box)->setText(r.text);
        const QStringList before = stateOf(*o.window);
        QVERIFY(before.join('\n').contains(c.completion));
        o.window->startButton()->click();
        QCOMPARE(o.run.messages.shown, QStringList{r.message});
        QCOMPARE(o.run.file.opens, opens);
        QCOMPARE(o.run.printer.begins, 0);
        QCOMPARE(stateOf(*o.window), before);
    }

    // What a window hands its generator is what its controls hold: the same
    // settings given to the generator directly, with a fresh random source of
    // the same start, make the same output.
    void everySettingReachesTheGenerator_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("change");
        for (int i = 0; i < int(cases().size()); ++i)
            for (int k = 0; k < int(cases()[i].changes.size()); ++k) {
                QStringList what;
                for (const auto& [box, text] : cases()[i].changes[k].boxes)
                    what << QString("%1=%2").arg(box, text);
                for (const auto& [button, on] : cases()[i].changes[k].buttons)
                    what << QString("%1=%2").arg(button).arg(on ? "on" : "off");
                QTest::addRow("%s %s", cases()[i].name, qPrintable(what.join(' '))) << i << k;
            }
    }
    void everySettingReachesTheGenerator()
    {
        QFETCH(int, index);
        QFETCH(int, change);
        Opened o(index);
        const WindowCase& c = o.c;
        const Change& ch = c.changes[change];
        Values values = defaultValues(c);
        setControls(*o.window, ch.boxes, ch.buttons);
        for (const auto& [box, text] : ch.boxes)
            values.texts[box] = text;
        for (const auto& [button, on] : ch.buttons) {
            values.on[button] = on;
            if (QString(button) == "Option1")
                values.on["Option2"] = !on;
        }
        o.window->startButton()->click();

        kestrin::testing::RecordedRun untouched;
        QVERIFY(c.direct(defaultValues(c), servicesOf(untouched)).completed);
        kestrin::testing::RecordedRun expected;
        const RunResult result = c.direct(values, servicesOf(expected));
        QVERIFY(result.completed);
        QVERIFY(expected.messages.shown.isEmpty());
        QVERIFY2(!sameOutput(expected, untouched), "the change must show in the output");

        checkSameRunAs(*o.window, o.run, expected, result);
    }

    // The defaults make what the generator makes of the same values.
    void defaultsReachTheGenerator_data() { caseRows(); }
    void defaultsReachTheGenerator()
    {
        QFETCH(int, index);
        Opened o(index);
        const WindowCase& c = o.c;
        o.window->startButton()->click();
        kestrin::testing::RecordedRun expected;
        QVERIFY(c.direct(defaultValues(c), servicesOf(expected)).completed);
        QVERIFY(sameOutput(o.run, expected));
        QCOMPARE(o.run.file.files.keys(), c.files);
    }

    void everyControlPaints_data() { caseRows(); }
    void everyControlPaints()
    {
        QFETCH(int, index);
        Opened o(index);
        o.window->startButton()->click();
        QVERIFY(openExposed(*o.window));
        const QImage image = o.window->grab().toImage();
        const QRect status = o.window->statusBox()->geometry();
        QCOMPARE(image.pixelColor(status.left() + 4, status.center().y()), QColor(Qt::black));
        // The frames lie behind the controls on them.
        checkFramesHoldTheirControls(*o.window);
    }
};

QTEST_MAIN(KindWindowsTest)
#include "kind_windows_test.moc"
