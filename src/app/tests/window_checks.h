#pragma once

// What the tests of the generator windows share: a layout row written out
// independently of the windows' own tables, the kind and text of a control as
// the user sees them, the whole visible state of a window, and the checks that
// walk a written-out table or press through a window the same way for every
// window. The checks report through QtTest; a test that goes on after one of
// them stops first when it failed.

#include "app/generator_window.h"
#include "testsupport/fakes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include <initializer_list>
#include <utility>
#include <vector>

namespace kestrin::app::checks {

struct Row {
    const char* name;
    const char* kind;
    QString text;
    int left, top, width, height; // twips
    QString family = QStringLiteral("宋体");
    int pixels = 16;
};

inline QString kindOf(const QWidget* widget)
{
    if (qobject_cast<const QLabel*>(widget))
        return QStringLiteral("label");
    if (qobject_cast<const QLineEdit*>(widget))
        return QStringLiteral("text");
    if (qobject_cast<const QPushButton*>(widget))
        return QStringLiteral("button");
    if (qobject_cast<const QGroupBox*>(widget))
        return QStringLiteral("frame");
    if (qobject_cast<const QRadioButton*>(widget))
        return QStringLiteral("option");
    if (qobject_cast<const QCheckBox*>(widget))
        return QStringLiteral("check");
    return QStringLiteral("other");
}

inline QString textOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* box = qobject_cast<const QLineEdit*>(widget))
        return box->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    return QString();
}

// Every control's text, check state and colours, one line each, in table order.
inline QStringList stateOf(const GeneratorWindow& window)
{
    QStringList lines;
    for (const QWidget* control : window.controlsInTableOrder()) {
        QString line = control->objectName() + QLatin1Char('=') + textOf(control);
        if (auto* button = qobject_cast<const QAbstractButton*>(control))
            line += button->isChecked() ? QStringLiteral(" [on]") : QStringLiteral(" [off]");
        const QPalette& palette = control->palette();
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Text, QPalette::Window, QPalette::WindowText})
            line += QLatin1Char(' ') + palette.color(role).name();
        lines << line;
    }
    return lines;
}

// The names of the controls that Tab visits, from `first` on, `count` of them.
inline QStringList tabChain(QWidget* window, QWidget* first, int count)
{
    QStringList chain;
    QWidget* widget = first;
    for (int i = 0; i < count; ++i) {
        chain << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (widget != window && !(widget->focusPolicy() & Qt::TabFocus));
    }
    return chain;
}

inline RunServices servicesOf(kestrin::testing::RecordedRun& run)
{
    return RunServices{run.random, run.messages, run.file, run.printer};
}

// Everything a run left in its services.
inline bool sameOutput(const kestrin::testing::RecordedRun& a, const kestrin::testing::RecordedRun& b)
{
    return a.messages.shown == b.messages.shown && a.file.files == b.file.files
        && a.file.openNumbers == b.file.openNumbers && a.printer.finishedPages == b.printer.finishedPages
        && a.printer.document == b.printer.document && a.printer.begins == b.printer.begins
        && a.random.draws == b.random.draws;
}

inline const QString statusDone = QString(36, u' ') + QStringLiteral("100% 完成");

// A row's place in pixels.
QRect pixelsOf(const Row& row);

// One data row per table entry, by its name, with its index in the column "index".
template <class Table>
void addIndexRows(const Table& rows)
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(rows.size()); ++i)
        QTest::newRow(rows[i].name) << i;
}

// Opens the window and waits until it is active, or only shown and exposed.
bool openActive(GeneratorWindow& window);
bool openExposed(GeneratorWindow& window);

void checkWindowProperties(GeneratorWindow& window, const QString& name, const QString& caption,
                           const QColor& background = QColor(240, 240, 240));

// The control of `row`: a direct child of the window of its kind, text and
// place, at `index` of the window's table; checkControl adds its font.
void checkPlacement(GeneratorWindow& window, const Row& row, int index);
void checkFont(const QWidget& widget, const Row& row);
void checkControl(GeneratorWindow& window, const Row& row, int index);

int directChildWidgets(const QWidget& window);

// The names of the rows whose controls take the focus by Tab, in table order.
QStringList focusableInTableOrder(const QWidget& window, const std::vector<Row>& rows);

// Answers off, output to the file only, the printer box free, status and
// completion empty.
void checkSwitchDefaults(GeneratorWindow& window);
// Each of the boxes is editable and left-aligned.
void checkEditableBoxes(GeneratorWindow& window, std::initializer_list<const char*> names);
// Status box Text3 red on the usual base, read-only; completion label Label4
// in the usual colour, wrapping.
void checkDisplayControls(GeneratorWindow& window);

// The first showing focuses `first`, Tab moves to `second`, and Enter there
// starts nothing.
void checkFirstShowing(GeneratorWindow& window, const kestrin::testing::RecordedRun& run, const QString& first,
                       const QString& second);
// Option1 and Option2 form the window's exclusive group; clicks move the choice.
void checkOptionPair(GeneratorWindow& window);
// Clicking the printer box ticks it alone, then clicking the file box clears it alone.
void checkCheckBoxesIndependent(GeneratorWindow& window);
// Alt+X asks to return and starts nothing.
void checkAltXAsksToReturn(GeneratorWindow& window, const kestrin::testing::RecordedRun& run);

// The status box of a finished run: `text`, red on black.
void checkFinishedStatus(GeneratorWindow& window, const QString& text);
// After a run the window paints, its status box black.
void checkStatusPaintsBlack(GeneratorWindow& window);
// The buttons lie in front of the frames around them.
void checkFramesHoldTheirControls(GeneratorWindow& window);
// Maximized on the first opening, as left on the next, at its own normal size.
void checkReopensAsLeft(GeneratorWindow& window);

// Texts typed into boxes and buttons set.
using BoxTexts = std::vector<std::pair<const char*, const char*>>;
using ButtonStates = std::vector<std::pair<const char*, bool>>;
void setControls(GeneratorWindow& window, const BoxTexts& boxes, const ButtonStates& buttons);

// The window's run made what the direct run `expected` made and shows its result.
void checkSameRunAs(GeneratorWindow& window, const kestrin::testing::RecordedRun& run,
                    const kestrin::testing::RecordedRun& expected, const RunResult& result);

} // namespace kestrin::app::checks
