#pragma once

// Windows with fixed layouts build their controls from a table: one row per
// control, in tab order, with its name, kind, caption or initial text and its
// rectangle in twips. Every control sits directly on the window at its fixed
// place; nothing re-lays out on resize.

#include "app/fonts.h"

#include <QColor>
#include <QFrame>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class QButtonGroup;
class QWidget;

namespace kestrin::app {

enum class ControlKind {
    Label,   // QLabel: left and top aligned, wrapping inside its rectangle, clipped
    TextBox, // QLineEdit: single line, editable
    Button,  // QPushButton: "&" marks the access key; Enter or Space presses it when focused
    Frame,   // QGroupBox: drawn behind the other controls, groups nothing
    Option,  // QRadioButton: all options of a window form one exclusive group, one tab stop on the
             // selected option; the arrow keys move the selection
    Check,   // QCheckBox
    Picture, // PictureBox: the picture named by the text column (a resource path), sunken border
    TextArea, // QPlainTextEdit: several lines, wrapping at the right edge, vertical scroll bar as needed
};

// One row of a control table. The look columns that most rows leave at their
// defaults are set by the with...() calls: row(...).withFont(titleFont()).
struct ControlSpec {
    ControlSpec(QString name, ControlKind kind, QString text, int left, int top, int width, int height)
        : name(std::move(name)), kind(kind), text(std::move(text)), left(left), top(top), width(width),
          height(height)
    {
    }

    QString name;
    ControlKind kind;
    QString text; // caption or initial text
    int left;     // twips from the top-left corner of the client area
    int top;
    int width;
    int height;
    FontSpec font = standardFont();
    bool on = false; // an option selected or a check box ticked at the start
    std::optional<QColor> textColour;
    std::optional<QColor> backColour;
    bool readOnly = false; // text boxes only

    ControlSpec withFont(FontSpec value) const { return with(&ControlSpec::font, std::move(value)); }
    ControlSpec selected() const { return with(&ControlSpec::on, true); }
    ControlSpec withTextColour(QColor value) const { return with(&ControlSpec::textColour, value); }
    ControlSpec withBackColour(QColor value) const { return with(&ControlSpec::backColour, value); }
    ControlSpec asReadOnly() const { return with(&ControlSpec::readOnly, true); }

private:
    template <class Member, class Value>
    ControlSpec with(Member member, Value value) const
    {
        ControlSpec copy = *this;
        copy.*member = std::move(value);
        return copy;
    }
};

// A picture box: draws its picture at the picture's own pixel size from the
// top-left corner inside its sunken border and cuts off what overhangs; the box
// keeps its size whatever the picture's. Of an animated picture it shows the
// first frame as a still. It takes the focus by Tab and by click, and shows no
// sign of having it.
class PictureBox final : public QFrame {
    Q_OBJECT

public:
    // `source` is a file or resource path; a picture that cannot be read
    // leaves the box empty.
    explicit PictureBox(const QString& source, QWidget* parent = nullptr);

    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

// 15 twips make one pixel at 96 dots per inch.
constexpr int twipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return (twips + (twips >= 0 ? twipsPerPixel / 2 : -(twipsPerPixel / 2))) / twipsPerPixel;
}

// What labels show behind their text unless a table says otherwise: the
// colour of button faces.
QColor buttonFaceColour();

// The height that `text` takes in `widget`'s font, wrapped as the labels,
// check boxes and option buttons wrap their captions at `width` pixels.
int wrappedTextHeight(const QWidget& widget, const QString& text, int width);

struct BuiltControls {
    QHash<QString, QWidget*> byName;
    std::vector<QWidget*> inOrder;    // table order
    QButtonGroup* options = nullptr; // the window's option buttons, if it has any
    QWidget* firstFocus = nullptr;   // the first control in tab order that takes the focus
};

// Builds the controls of `table` as children of `window`: fixed geometry,
// fonts and colours, initial states, frames lowered behind the rest, tab order
// in table order over the controls that take the focus.
BuiltControls buildControls(QWidget* window, std::span<const ControlSpec> table);

} // namespace kestrin::app
