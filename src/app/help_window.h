#pragma once

#include "app/control_table.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace kestrin::app {

// Window `help1`: the help text and a button that puts the window away. It is
// made on its first opening and then kept; "关闭" and the close box only hide
// it, and the next opening shows it again as it was left, text untouched.
class HelpWindow final : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The control of that name, or nullptr.
    QWidget* control(const QString& name) const { return controls_.byName.value(name); }
    const std::vector<QWidget*>& controlsInTableOrder() const { return controls_.inOrder; }
    QPlainTextEdit* textBox() const;
    QPushButton* closeButton() const;

    // Shows the window without blocking (centred, then maximized, the first
    // time; later as it was left, but never minimized) in front of the others.
    void open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    BuiltControls controls_;
    bool shownBefore_ = false;
};

} // namespace kestrin::app
