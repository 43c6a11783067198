#include "app/multiplication_window.h"

#include "gen/mul/multiplication_sheet.h"

namespace kestrin::app {

namespace {

GeneratorLayout makeLayout(const MultiplicationWindow::Kind& kind)
{
    using K = ControlKind;
    GeneratorLayout layout;
    layout.name = kind.name;
    layout.caption = QStringLiteral("Kestrin-") + kind.kind;
    layout.background = buttonFaceColour();
    layout.clientWidth = 4680;
    layout.clientHeight = 3195;
    layout.statusBox = QStringLiteral("Text3");
    layout.completionLabel = QStringLiteral("Label4");

    using C = ControlSpec;
    // In tab order.
    layout.controls = {
        C("Label1", K::Label, QStringLiteral("小学数学 [") + kind.kind + QStringLiteral("] 自动出题系统"), 2520, 720,
          7215, 615)
            .withFont(titleFont()),
        C("Label2", K::Label, "第一因数位数", 1680, 2040, 1575, 375),
        C("Label3", K::Label, "第二因数位数", 1680, 2580, 1575, 375),
        C("Text1", K::TextBox, kind.firstDigits, 3360, 2040, 855, 375),
        C("Text2", K::TextBox, kind.secondDigits, 3360, 2580, 855, 375),
        C("Frame1", K::Frame, "是否打印答案", 1560, 5040, 3135, 1335),
        C("Option1", K::Option, "是", 2160, 5640, 855, 495),
        C("Option2", K::Option, "否", 3480, 5640, 735, 495).selected(),
        C("Frame2", K::Frame, "输出位置", 6120, 1920, 4455, 1815),
        C("Check1", K::Check, "直接输出到打印机", 6480, 2640, 1695, 495),
        C("Check2", K::Check, "输出到Excel，调整后打印", 8280, 2640, 1935, 495).selected(),
        C("Frame3", K::Frame, "智能生成", 6120, 4200, 4455, 2175),
        C("Command1", K::Button, kind.kind + QStringLiteral("(&C)"), 8160, 4680, 1695, 495),
        C("Command2", K::Button, "返    回(&X)", 8160, 5520, 1695, 495),
        C("Text3", K::TextBox, "", 1200, 6840, 9615, 495).withTextColour(statusTextColour()).asReadOnly(),
        C("Label4", K::Label, "", 1200, 7560, 9615, 495),
        C("Label5", K::Label, "每行题数", 1680, 3120, 1575, 375),
        C("Text4", K::TextBox, kind.perRow, 3360, 3120, 855, 375),
        C("Label6", K::Label, "每页行数", 1680, 3660, 1575, 375),
        C("Label7", K::Label, "每次页数", 1680, 4200, 1575, 375),
        C("Text5", K::TextBox, kind.rowsPerPage, 3360, 3660, 855, 375),
        C("Text6", K::TextBox, kind.pages, 3360, 4200, 855, 375),
    };
    return layout;
}

} // namespace

const MultiplicationWindow::Kind& MultiplicationWindow::middleStage()
{
    static const Kind kind{"zdcs1", "中段乘算", "3", "1", "5", "30", "4", &mul::middleStageKind};
    return kind;
}

const MultiplicationWindow::Kind& MultiplicationWindow::upperStage()
{
    static const Kind kind{"gdcs1", "高段乘算", "3", "2", "4", "25", "4", &mul::upperStageKind};
    return kind;
}

MultiplicationWindow::MultiplicationWindow(const RunServices& services, QWidget* parent)
    : MultiplicationWindow(middleStage(), services, parent)
{
}

MultiplicationWindow::MultiplicationWindow(const Kind& kind, const RunServices& services, QWidget* parent)
    : GeneratorWindow(makeLayout(kind), services, parent), kind_(kind)
{
}

RunResult MultiplicationWindow::runGenerator(const RunServices& services)
{
    mul::MultiplicationSettings settings;
    settings.firstDigits = textOf(QStringLiteral("Text1"));
    settings.secondDigits = textOf(QStringLiteral("Text2"));
    settings.sheet = readSheetSettings(QStringLiteral("Text4"), QStringLiteral("Text5"), QStringLiteral("Text6"));
    return mul::runMultiplicationSheet(kind_.generator(), settings, services);
}

} // namespace kestrin::app
