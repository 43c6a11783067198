#include "app/control_table.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QFontInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>

namespace kestrin::app {

namespace {

// Wrapped captions are set line under line at one em and a pixel, as the
// layouts were designed for; the CJK fonts' own line spacing is far larger and
// would push the second line of a caption out of its rectangle.
int linePitch(const QFont& font)
{
    return QFontInfo(font).pixelSize() + 1;
}

// The lines of a caption wrapped at `width` pixels, laid out in `layout`.
std::vector<QTextLine> wrapLines(QTextLayout& layout, const QString& text, int width)
{
    QString plain = text;
    plain.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    layout.setText(plain);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<QTextLine> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.push_back(line);
    }
    layout.endLayout();
    return lines;
}

void drawWrappedText(QPainter& painter, const QRect& rect, const QString& text, Qt::Alignment vertical)
{
    const QFont font = painter.font();
    const int em = QFontInfo(font).pixelSize();
    const qreal pitch = linePitch(font);
    const qreal ascent = em * 0.88; // where the ideographs stand on their base line

    QTextLayout layout(QString(), font, painter.device());
    const std::vector<QTextLine> lines = wrapLines(layout, text, rect.width());

    const qreal block = pitch * qreal(lines.size());
    qreal top = rect.top();
    if (vertical & Qt::AlignVCenter)
        top = rect.top() + (rect.height() - block) / 2;
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const qreal baseline = top + pitch * qreal(i) + ascent + (pitch - em) / 2;
        lines[i].draw(&painter, QPointF(rect.left(), baseline - lines[i].ascent()));
    }
    painter.restore();
}

// Labels that wrap their caption inside their rectangle, top-aligned, and cut
// off what does not fit. The height for a width is that of their lines.
class WrappingLabel : public QLabel {
public:
    using QLabel::QLabel;

    int heightForWidth(int width) const override
    {
        const QMargins margins = contentsMargins();
        return wrappedTextHeight(*this, text(), width - margins.left() - margins.right()) + margins.top()
            + margins.bottom();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        drawWrappedText(painter, contentsRect(), text(), Qt::AlignTop);
    }
};

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
        painter.setPen(option.palette.color(this->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            QPalette::WindowText));
        drawWrappedText(painter, textRect, caption, Qt::AlignVCenter);
    }
};

using WrappingCheckBox = WrappingButton<QCheckBox, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents>;
using WrappingRadioButton = WrappingButton<QRadioButton, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents>;

// The options of a group are one tab stop: the selected one, or the first
// while none is selected.
void makeSelectedTheTabStop(QButtonGroup* group)
{
    const QList<QAbstractButton*> buttons = group->buttons();
    QAbstractButton* stop = group->checkedButton();
    if (!stop && !buttons.isEmpty())
        stop = buttons.first();
    for (QAbstractButton* button : buttons)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

// Option buttons as on the desktop: Tab comes to the group on its selected
// option, and the arrow keys select the previous (Up, Left) or the next
// (Down, Right) option of the group, round from the last to the first,
// whichever way the options are laid out.
class OptionButton final : public WrappingRadioButton {
public:
    using WrappingRadioButton::WrappingRadioButton;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        // Qt makes the focused option the group's tab stop; here it stays the selected one.
        WrappingRadioButton::focusInEvent(event);
        if (group())
            makeSelectedTheTabStop(group());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        int step = 0;
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Left)
            step = -1;
        else if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Right)
            step = 1;
        if (step == 0 || !group() || (event->modifiers() & ~Qt::KeypadModifier)) {
            WrappingRadioButton::keyPressEvent(event);
            return;
        }
        event->accept();
        const QList<QAbstractButton*> buttons = group()->buttons();
        const qsizetype count = buttons.size();
        const qsizetype here = buttons.indexOf(this);
        for (qsizetype i = 1; i < count; ++i) {
            QAbstractButton* next = buttons[((here + step * i) % count + count) % count];
            if (next->isEnabled() && next->isVisible()) {
                next->setChecked(true);
                next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
                return;
            }
        }
    }
};

QWidget* makeControl(QWidget* window, const ControlSpec& spec, QButtonGroup*& options)
{
    switch (spec.kind) {
    case ControlKind::Label: {
        auto* label = new WrappingLabel(spec.text, window);
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
        auto* option = new OptionButton(spec.text, window);
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
    case ControlKind::Picture:
        return new PictureBox(spec.text, window);
    case ControlKind::TextArea: {
        auto* box = new QPlainTextEdit(window);
        // Lines break at CR LF as well as at LF; each becomes one line of the box.
        box->setPlainText(spec.text);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Tab goes on to the next control instead of into the text.
        box->setTabChangesFocus(true);
        box->setReadOnly(spec.readOnly);
        if (spec.readOnly) // still read by the keyboard: arrows and page keys move through it
            box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        QPalette palette = box->palette();
        if (spec.textColour)
            palette.setColor(QPalette::Text, *spec.textColour);
        if (spec.backColour)
            palette.setColor(QPalette::Base, *spec.backColour);
        box->setPalette(palette);
        return box;
    }
    }
    return nullptr;
}

} // namespace

int wrappedTextHeight(const QWidget& widget, const QString& text, int width)
{
    QTextLayout layout(QString(), widget.font(), const_cast<QWidget*>(&widget));
    return linePitch(widget.font()) * int(wrapLines(layout, text, width).size());
}

PictureBox::PictureBox(const QString& source, QWidget* parent) : QFrame(parent)
{
    // The two-pixel sunken border of Windows' picture boxes.
    setFrameShape(QFrame::WinPanel);
    setFrameShadow(QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    // Button face shows where the picture does not reach.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, buttonFaceColour());
    setPalette(palette);
    setAutoFillBackground(true);
    // The reader gives the first frame of an animated picture.
    QImageReader reader(source);
    picture_ = QPixmap::fromImage(reader.read());
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setClipRect(contentsRect());
        painter.drawPixmap(contentsRect().topLeft(), picture_);
    }
    QFrame::paintEvent(event);
}

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

    // Every option takes its place in the tab order; then only the selected
    // one of the group keeps its tab stop.
    QWidget* previous = nullptr;
    for (QWidget* control : built.inOrder) {
        if (qobject_cast<QGroupBox*>(control))
            control->lower();
        if ((control->focusPolicy() & Qt::TabFocus) == 0)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    if (QButtonGroup* options = built.options) {
        makeSelectedTheTabStop(options);
        QObject::connect(options, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), options,
                         [options] { makeSelectedTheTabStop(options); });
    }
    for (QWidget* control : built.inOrder) {
        if (control->focusPolicy() & Qt::TabFocus) {
            built.firstFocus = control;
            break;
        }
    }
    return built;
}

} // namespace kestrin::app
