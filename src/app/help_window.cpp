#include "app/help_window.h"

#include "app/help_text.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace kestrin::app {

namespace {

std::vector<ControlSpec> makeHelpControls()
{
    using C = ControlSpec;
    return {
        C("Text2", ControlKind::TextArea, helpText(), 0, 120, 11775, 7215).asReadOnly(),
        C("Command2", ControlKind::Button, "关闭", 7080, 7680, 1095, 495),
    };
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("help1"));
    setWindowTitle(QStringLiteral("Kestrin2.0 --帮助"));
    setFont(makeFont(standardFont()));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, buttonFaceColour());
    setPalette(palette);
    setAutoFillBackground(true);
    resize(twipsToPixels(4680), twipsToPixels(3195));

    static const std::vector<ControlSpec> controls = makeHelpControls();
    controls_ = buildControls(this, controls);
    if (controls_.firstFocus)
        controls_.firstFocus->setFocus();

    connect(closeButton(), &QPushButton::clicked, this, &QWidget::hide);
}

QPlainTextEdit* HelpWindow::textBox() const
{
    return qobject_cast<QPlainTextEdit*>(control(QStringLiteral("Text2")));
}

QPushButton* HelpWindow::closeButton() const
{
    return qobject_cast<QPushButton*>(control(QStringLiteral("Command2")));
}

void HelpWindow::open()
{
    if (!shownBefore_) {
        shownBefore_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect placed(QPoint(), size());
            placed.moveCenter(screen->availableGeometry().center());
            move(placed.topLeft());
        }
        showMaximized();
    } else {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    }
    raise();
    activateWindow();
}

void HelpWindow::closeEvent(QCloseEvent* event)
{
    // The close box puts the window away like "关闭": it is kept for the next opening.
    event->ignore();
    hide();
}

} // namespace kestrin::app
