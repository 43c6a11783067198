#include "app/division_window.h"

#include "gen/div/mixed_group_sheet.h"
#include "gen/mul/mixed_multiplication.h"

namespace kestrin::app {

namespace {

GeneratorLayout makeLayout(const DivisionWindow::Kind& kind)
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

    const auto& g = kind.groups;
    using C = ControlSpec;
    // In tab order. The grid box wNk holds row k of group N: 1 first digits,
    // 2 second digits, 3 questions of the group in each set.
    layout.controls = {
        C("Label1", K::Label, QStringLiteral("小学数学 [") + kind.kind + QStringLiteral("] 自动出题系统"), 2520, 720,
          7215, 615)
            .withFont(titleFont()),
        C("Label2", K::Label, kind.rowCaptions[0], 1560, 2040, 1335, 375).withFont(smallFont()),
        C("Label3", K::Label, kind.rowCaptions[1], 1560, 2640, 1335, 255).withFont(smallFont()),
        C("w11", K::TextBox, g[0][0], 3000, 2040, 615, 375),
        C("w12", K::TextBox, g[0][1], 3000, 2520, 615, 375),
        C("Frame1", K::Frame, "是否打印答案", 1560, 5280, 3135, 1095),
        C("Option1", K::Option, "是", 2160, 5640, 855, 495),
        C("Option2", K::Option, "否", 3480, 5640, 735, 495).selected(),
        C("Frame2", K::Frame, "输出位置", 6600, 1920, 3975, 1815),
        C("Check1", K::Check, "直接输出到打印机", 6840, 2640, 1695, 495),
        C("Check2", K::Check, "输出到Excel，调整后打印", 8520, 2640, 1935, 495).selected(),
        C("Frame3", K::Frame, "智能生成", 6600, 4200, 3975, 2175),
        C("Command1", K::Button, kind.kind + QStringLiteral("(&C)"), 8160, 4680, 1695, 495),
        C("Command2", K::Button, "返    回(&X)", 8160, 5520, 1695, 495),
        C("Text3", K::TextBox, "", 1200, 6840, 9615, 495).withTextColour(statusTextColour()).asReadOnly(),
        C("Label4", K::Label, "", 1200, 7560, 9615, 495),
        C("Label5", K::Label, "每行题数", 1560, 3960, 1095, 375),
        C("ttt", K::TextBox, kind.perRow, 3000, 3840, 855, 375),
        C("w13", K::TextBox, g[0][2], 3000, 3000, 615, 375),
        C("Label6", K::Label, kind.rowCaptions[2], 1560, 3120, 1215, 375).withFont(smallFont()),
        C("w21", K::TextBox, g[1][0], 3720, 2040, 615, 375),
        C("w22", K::TextBox, g[1][1], 3720, 2520, 615, 375),
        C("w23", K::TextBox, g[1][2], 3720, 3000, 615, 375),
        C("w31", K::TextBox, g[2][0], 4440, 2040, 615, 375),
        C("w32", K::TextBox, g[2][1], 4440, 2520, 615, 375),
        C("w33", K::TextBox, g[2][2], 4440, 3000, 615, 375),
        C("w41", K::TextBox, g[3][0], 5160, 2040, 615, 375),
        C("w42", K::TextBox, g[3][1], 5160, 2520, 615, 375),
        C("w43", K::TextBox, g[3][2], 5160, 3000, 615, 375),
        C("Label7", K::Label, "共生成几套", 1560, 4440, 1215, 375).withFont(smallFont()),
        C("Text1", K::TextBox, kind.sets, 3000, 4440, 855, 375),
    };
    return layout;
}

} // namespace

const DivisionWindow::Kind& DivisionWindow::division()
{
    static const Kind kind{"zhcs2",
                           "综合除算",
                           {"被除数位数", "除数位数", "要生成几题"},
                           {{{"2", "1", "30"}, {"3", "1", "30"}, {"3", "2", "20"}, {"4", "2", "0"}}},
                           "5",
                           "10",
                           &div::divisionKind};
    return kind;
}

const DivisionWindow::Kind& DivisionWindow::multiplication()
{
    static const Kind kind{"zhch2",
                           "综合乘算",
                           {"第一因数位数", "第二因数位数", "要生成几题"},
                           {{{"2", "1", "30"}, {"3", "1", "30"}, {"2", "2", "20"}, {"3", "2", "0"}}},
                           "5",
                           "10",
                           &mul::mixedMultiplicationKind};
    return kind;
}

DivisionWindow::DivisionWindow(const RunServices& services, QWidget* parent)
    : DivisionWindow(division(), services, parent)
{
}

DivisionWindow::DivisionWindow(const Kind& kind, const RunServices& services, QWidget* parent)
    : GeneratorWindow(makeLayout(kind), services, parent), kind_(kind)
{
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
    return div::runMixedGroupSheet(kind_.generator(), settings, services);
}

} // namespace kestrin::app
