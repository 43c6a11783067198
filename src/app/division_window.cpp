#include "app/division_window.h"

#include "gen/div/mixed_group_sheet.h"

namespace kestrin::app {

namespace {

GeneratorLayout makeLayout()
{
    using K = ControlKind;
    GeneratorLayout layout;
    layout.name = QStringLiteral("zhcs2");
    layout.caption = QStringLiteral("Kestrin-综合除算");
    layout.background = buttonFaceColour();
    layout.clientWidth = 4680;
    layout.clientHeight = 3195;
    layout.statusBox = QStringLiteral("Text3");
    layout.completionLabel = QStringLiteral("Label4");

    using C = ControlSpec;
    // In tab order. The grid box wNk holds row k of group N: 1 dividend digits,
    // 2 divisor digits, 3 questions of the group in each set.
    layout.controls = {
        C("Label1", K::Label, "小学数学 [综合除算] 自动出题系统", 2520, 720, 7215, 615).withFont(titleFont()),
        C("Label2", K::Label, "被除数位数", 1560, 2040, 1335, 375).withFont(smallFont()),
        C("Label3", K::Label, "除数位数", 1560, 2640, 1335, 255).withFont(smallFont()),
        C("w11", K::TextBox, "2", 3000, 2040, 615, 375),
        C("w12", K::TextBox, "1", 3000, 2520, 615, 375),
        C("Frame1", K::Frame, "是否打印答案", 1560, 5280, 3135, 1095),
        C("Option1", K::Option, "是", 2160, 5640, 855, 495),
        C("Option2", K::Option, "否", 3480, 5640, 735, 495).selected(),
        C("Frame2", K::Frame, "输出位置", 6600, 1920, 3975, 1815),
        C("Check1", K::Check, "直接输出到打印机", 6840, 2640, 1695, 495),
        C("Check2", K::Check, "输出到Excel，调整后打印", 8520, 2640, 1935, 495).selected(),
        C("Frame3", K::Frame, "智能生成", 6600, 4200, 3975, 2175),
        C("Command1", K::Button, "综合除算(&C)", 8160, 4680, 1695, 495),
        C("Command2", K::Button, "返    回(&X)", 8160, 5520, 1695, 495),
        C("Text3", K::TextBox, "", 1200, 6840, 9615, 495).withTextColour(statusTextColour()).asReadOnly(),
        C("Label4", K::Label, "", 1200, 7560, 9615, 495),
        C("Label5", K::Label, "每行题数", 1560, 3960, 1095, 375),
        C("ttt", K::TextBox, "5", 3000, 3840, 855, 375),
        C("w13", K::TextBox, "30", 3000, 3000, 615, 375),
        C("Label6", K::Label, "要生成几题", 1560, 3120, 1215, 375).withFont(smallFont()),
        C("w21", K::TextBox, "3", 3720, 2040, 615, 375),
        C("w22", K::TextBox, "1", 3720, 2520, 615, 375),
        C("w23", K::TextBox, "30", 3720, 3000, 615, 375),
        C("w31", K::TextBox, "3", 4440, 2040, 615, 375),
        C("w32", K::TextBox, "2", 4440, 2520, 615, 375),
        C("w33", K::TextBox, "20", 4440, 3000, 615, 375),
        C("w41", K::TextBox, "4", 5160, 2040, 615, 375),
        C("w42", K::TextBox, "2", 5160, 2520, 615, 375),
        C("w43", K::TextBox, "0", 5160, 3000, 615, 375),
        C("Label7", K::Label, "共生成几套", 1560, 4440, 1215, 375).withFont(smallFont()),
        C("Text1", K::TextBox, "10", 3000, 4440, 855, 375),
    };
    return layout;
}

} // namespace

DivisionWindow::DivisionWindow(const RunServices& services, QWidget* parent)
    : GeneratorWindow(windowLayout(), services, parent)
{
}

const GeneratorLayout& DivisionWindow::windowLayout()
{
    static const GeneratorLayout layout = makeLayout();
    return layout;
}

RunResult DivisionWindow::runGenerator(const RunServices& services)
{
    div::MixedGroupSettings settings;
    for (int group = 0; group < int(settings.groups.size()); ++group) {
        const QString column = QStringLiteral("w") + QString::number(group + 1);
        settings.groups[group].firstDigits = textOf(column + QStringLiteral("1"));
        settings.groups[group].secondDigits = textOf(column + QStringLiteral("2"));
        settings.groups[group].count = textOf(column + QStringLiteral("3"));
    }
    settings.perRow = textOf(QStringLiteral("ttt"));
    settings.sets = textOf(QStringLiteral("Text1"));
    settings.answers = answersWanted();
    settings.toPrinter = toPrinterTicked();
    settings.toFile = toFileTicked();
    return div::runMixedGroupSheet(div::divisionKind(), settings, services);
}

} // namespace kestrin::app
