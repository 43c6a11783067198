#pragma once

#include "app/generator_window.h"

#include <QString>

namespace kestrin::mul {
struct MultiplicationKind;
}

namespace kestrin::app {

// Windows of multiplication sheets, a factor of d1 digits times one of d2
// digits: `zdcs1` (middle stage) and `gdcs1` (upper stage) differ only in their
// texts, defaults and the generator's kind.
class MultiplicationWindow final : public GeneratorWindow {
    Q_OBJECT

public:
    struct Kind {
        QString name; // the window's objectName
        QString kind; // e.g. "中段乘算": in the caption, the title and the start button
        QString firstDigits;
        QString secondDigits;
        QString perRow;
        QString rowsPerPage;
        QString pages;
        const mul::MultiplicationKind& (*generator)() = nullptr;
    };

    static const Kind& middleStage(); // zdcs1 中段乘算
    static const Kind& upperStage();  // gdcs1 高段乘算

    // Window `zdcs1`.
    explicit MultiplicationWindow(const RunServices& services, QWidget* parent = nullptr);
    MultiplicationWindow(const Kind& kind, const RunServices& services, QWidget* parent = nullptr);

protected:
    RunResult runGenerator(const RunServices& services) override;

private:
    const Kind& kind_;
};

} // namespace kestrin::app
