#include "app/column_window.h"

#include <QtGlobal>
#include <algorithm>

namespace kestrin::app {

namespace {

// The settings column, in twips: caption labels on the left, boxes on the
// right, one row every 540 twips.
constexpr int captionLeft = 1680;
constexpr int captionWidth = 1575;
constexpr int boxLeft = 3360;
constexpr int boxWidth = 855;
constexpr int rowHeight = 375;
constexpr int firstRowTop = 2040;
constexpr int rowPitch = 540;

// The answers frame sits at 5040 unless the column reaches down that far; then
// it starts one row below the last one. Its bottom edge stays put, clear of
// the status box.
constexpr int answersFrameTop = 5040;
constexpr int answersFrameBottom = 6375;
constexpr int answersOptionsTop = 5640;
constexpr int answersOptionsBelowFrameTop = 360;
constexpr int optionHeight = 495;
constexpr int statusTop = 6840;

// The window's controls in tab order: the title, the column top to bottom, the
// answers options, the output check boxes, the buttons, then the displays.
GeneratorLayout layoutOf(const ColumnKind& kind)
{
    using K = ControlKind;
    using C = ControlSpec;
    GeneratorLayout layout;
    layout.name = kind.name;
    layout.caption = QStringLiteral("Kestrin-") + kind.kind;
    layout.background = buttonFaceColour();
    layout.clientWidth = 4680;
    layout.clientHeight = 3195;
    layout.statusBox = QStringLiteral("Text9");
    layout.completionLabel = QStringLiteral("Label9");

    std::vector<C>& controls = layout.controls;
    controls.push_back(
        C("Label1", K::Label, QStringLiteral("小学数学 [") + kind.kind + QStringLiteral("] 自动出题系统"), 2520, 720,
          7215, 615)
            .withFont(titleFont()));

    std::vector<SettingRow> rows = kind.own;
    rows.insert(rows.end(), kind.counts.begin(), kind.counts.end());
    int top = firstRowTop;
    for (std::size_t i = 0; i < rows.size(); ++i, top += rowPitch) {
        const QString number = QString::number(i + 1);
        controls.push_back(C(QStringLiteral("Label") + QString::number(i + 2), K::Label, rows[i].caption, captionLeft,
                             top, captionWidth, rowHeight));
        controls.push_back(
            C(QStringLiteral("Text") + number, K::TextBox, rows[i].initial, boxLeft, top, boxWidth, rowHeight));
    }
    if (kind.check) {
        C check("Check3", K::Check, kind.check->caption, captionLeft, top, boxLeft + boxWidth - captionLeft, rowHeight);
        controls.push_back(kind.check->ticked ? check.selected() : check);
        top += rowPitch;
    }
    const int frameTop = std::max(answersFrameTop, top);
    const int optionsTop = std::max(answersOptionsTop, frameTop + answersOptionsBelowFrameTop);
    Q_ASSERT(optionsTop + optionHeight < answersFrameBottom && answersFrameBottom < statusTop);

    controls.insert(controls.end(), {
        C("Frame1", K::Frame, "是否打印答案", 1560, frameTop, 3135, answersFrameBottom - frameTop),
        C("Option1", K::Option, "是", 2160, optionsTop, 855, optionHeight),
        C("Option2", K::Option, "否", 3480, optionsTop, 735, optionHeight).selected(),
        C("Frame2", K::Frame, "输出位置", 6120, 1920, 4455, 1815),
        C("Check1", K::Check, "直接输出到打印机", 6480, 2640, 1695, 495),
        C("Check2", K::Check, "输出到Excel，调整后打印", 8280, 2640, 1935, 495).selected(),
        C("Frame3", K::Frame, "智能生成", 6120, 4200, 4455, 2175),
        C("Command1", K::Button, kind.kind + QStringLiteral("(&C)"), 8160, 4680, 1695, 495),
        C("Command2", K::Button, "返    回(&X)", 8160, 5520, 1695, 495),
        C("Text9", K::TextBox, "", 1200, statusTop, 9615, 495).withTextColour(statusTextColour()).asReadOnly(),
        C("Label9", K::Label, "", 1200, 7560, 9615, 495),
    });
    return layout;
}

} // namespace

std::array<SettingRow, 3> chainCounts(const QString& perRow, const QString& rows, const QString& pages)
{
    return {{{QStringLiteral("每排生成题数"), perRow},
             {QStringLiteral("每页生成几排"), rows},
             {QStringLiteral("每次生成几页"), pages}}};
}

std::array<SettingRow, 3> rowCounts(const QString& perRow, const QString& rows, const QString& pages)
{
    return {{{QStringLiteral("每行题数"), perRow}, {QStringLiteral("每页行数"), rows}, {QStringLiteral("每次页数"), pages}}};
}

SettingsColumnWindow::SettingsColumnWindow(const ColumnKind& kind, const RunServices& services, QWidget* parent)
    : GeneratorWindow(layoutOf(kind), services, parent), kind_(kind)
{
}

RunResult SettingsColumnWindow::runGenerator(const RunServices& services)
{
    ColumnSettings settings;
    for (std::size_t i = 0; i < kind_.own.size(); ++i)
        settings.own << textOf(QStringLiteral("Text") + QString::number(i + 1));
    const auto countBox = [this](std::size_t i) {
        return QStringLiteral("Text") + QString::number(kind_.own.size() + i + 1);
    };
    settings.sheet = readSheetSettings(countBox(0), countBox(1), countBox(2));
    settings.check = kind_.check && isOn(QStringLiteral("Check3"));
    return kind_.run(settings, services);
}

} // namespace kestrin::app
