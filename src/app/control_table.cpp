#include "app/control_table.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace kestrin::app {

namespace {

// Check boxes and option buttons whose caption wraps onto further lines inside
// their rectangle, as the fixed layouts expect of long captions.
template <class Base, QStyle::ControlElement element, QStyle::SubElement contents>
class WrappingButton : public Base {
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(element, option);
        const QRect textRect = this->style()->subElementRect(contents, &option, this);
        this->style()->drawItemText(&painter, textRect,
                                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                                    option.palette, this->isEnabled(), caption, QPalette::WindowText);
    }
};

using WrappingCheckBox = WrappingButton<QCheckBox, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents>;
using WrappingRadioButton = WrappingButton<QRadioButton, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents>;

QWidget* makeControl(QWidget* window, const ControlSpec& spec, QButtonGroup*& options)
{
    switch (spec.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(spec.text, window);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, spec.backColour.value_or(buttonFaceColour()));
        if (spec.textColour)
            palette.setColor(QPalette::WindowText, *spec.textColour);
        label->setPalette(palette);
        return label;
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(spec.text, window);
        box->setReadOnly(spec.readOnly);
        QPalette palette = box->palette();
        if (spec.textColour)
            palette.setColor(QPalette::Text, *spec.textColour);
        if (spec.backColour)
            palette.setColor(QPalette::Base, *spec.backColour);
        box->setPalette(palette);
        return box;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(spec.text, window);
        // Enter or Return presses the focused button; no button is the window's default.
        button->setAutoDefault(true);
        button->setDefault(false);
        return button;
    }
    case ControlKind::Frame:
        return new QGroupBox(spec.text, window);
    case ControlKind::Option: {
        auto* option = new WrappingRadioButton(spec.text, window);
        if (!options) {
            options = new QButtonGroup(window);
            options->setExclusive(true);
        }
        options->addButton(option);
        option->setChecked(spec.on);
        return option;
    }
    case ControlKind::Check: {
        auto* check = new WrappingCheckBox(spec.text, window);
        check->setChecked(spec.on);
        return check;
    }
    }
    return nullptr;
}

} // namespace

QColor buttonFaceColour()
{
    return QColor(240, 240, 240);
}

BuiltControls buildControls(QWidget* window, std::span<const ControlSpec> table)
{
    BuiltControls built;
    for (const ControlSpec& spec : table) {
        QWidget* control = makeControl(window, spec, built.options);
        control->setObjectName(spec.name);
        control->setFont(makeFont(spec.font));
        control->setGeometry(twipsToPixels(spec.left), twipsToPixels(spec.top), twipsToPixels(spec.width),
                             twipsToPixels(spec.height));
        built.byName.insert(spec.name, control);
        built.inOrder.push_back(control);
    }

    QWidget* previous = nullptr;
    for (QWidget* control : built.inOrder) {
        if (qobject_cast<QGroupBox*>(control))
            control->lower();
        if ((control->focusPolicy() & Qt::TabFocus) == 0)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        else
            built.firstFocus = control;
        previous = control;
    }
    return built;
}

} // namespace kestrin::app
