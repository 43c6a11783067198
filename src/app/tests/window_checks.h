#pragma once

// What the tests of the generator windows share: a layout row written out
// independently of the windows' own tables, the kind and text of a control as
// the user sees them, and the whole visible state of a window.

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

} // namespace kestrin::app::checks
