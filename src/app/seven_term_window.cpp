#include "app/seven_term_window.h"

#include "gen/addsub/chain_sheet.h"

namespace kestrin::app {

namespace {

GeneratorLayout makeLayout()
{
    using K = ControlKind;
    GeneratorLayout layout;
    layout.name = QStringLiteral("xqd7");
    layout.caption = QStringLiteral("Kestrin2.0 --低段加减");
    layout.background = scrollBarColour();
    layout.clientWidth = 4680;
    layout.clientHeight = 3195;
    layout.centred = true;
    layout.statusBox = QStringLiteral("Text2");
    layout.completionLabel = QStringLiteral("Label3");

    using C = ControlSpec;
    // In tab order.
    layout.controls = {
        C("Label1", K::Label, "小学数学 [七笔加减] 自动出题系统", 2520, 720, 7215, 615).withFont(titleFont()),
        C("Command1", K::Button, "七笔加减(&C)", 7320, 4320, 1935, 495),
        C("Text1", K::TextBox, "15", 3600, 2040, 495, 375),
        C("Command2", K::Button, "返    回(&X)", 7320, 5160, 1935, 495),
        C("Frame1", K::Frame, "是否生成答案", 1680, 4080, 2535, 1695),
        C("Option1", K::Option, "是", 3120, 4440, 735, 495),
        C("Option2", K::Option, "否", 3120, 5040, 735, 495).selected(),
        C("Frame2", K::Frame, "智能生成", 6360, 3840, 3975, 2055),
        C("Text2", K::TextBox, "", 1680, 6480, 8775, 495)
            .withFont(largeFont())
            .withTextColour(statusTextColour())
            .asReadOnly(),
        C("Label3", K::Label, "", 720, 7320, 10455, 495).withTextColour(QColor(128, 128, 255)),
        C("Label2", K::Label, "每排生成题数", 1800, 2040, 1695, 375),
        C("Label4", K::Label, "每页生成几排", 1800, 2640, 1455, 495),
        C("Text3", K::TextBox, "5", 3600, 2640, 495, 375),
        C("Frame3", K::Frame, "输出位置", 6360, 1920, 3975, 1695),
        C("Check1", K::Check, "直接输出到打印机", 6600, 2520, 1575, 495),
        C("Check2", K::Check, "输出到Excel，调整后打印", 8280, 2520, 1935, 495).selected(),
        C("Label5", K::Label, "每次生成几页", 1800, 3360, 1455, 495),
        C("Text4", K::TextBox, "5", 3600, 3360, 495, 375),
    };
    return layout;
}

} // namespace

SevenTermWindow::SevenTermWindow(const RunServices& services, QWidget* parent)
    : GeneratorWindow(windowLayout(), services, parent)
{
}

const GeneratorLayout& SevenTermWindow::windowLayout()
{
    static const GeneratorLayout layout = makeLayout();
    return layout;
}

RunResult SevenTermWindow::runGenerator(const RunServices& services)
{
    const SheetSettings settings
        = readSheetSettings(QStringLiteral("Text1"), QStringLiteral("Text3"), QStringLiteral("Text4"));
    return addsub::runChainSheet(addsub::sevenTermKind(), settings, services);
}

} // namespace kestrin::app
