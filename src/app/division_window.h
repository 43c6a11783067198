#pragma once

#include "app/generator_window.h"

#include <QString>
#include <array>

namespace kestrin::div {
struct MixedGroupKind;
}

namespace kestrin::app {

// Windows of question sets mixed from four groups, each group a column of the
// grid w11 … w43 (two digit counts and a number of questions): `zhcs2`
// (division) and `zhch2` (multiplication) differ only in their texts, defaults
// and the generator's kind.
class DivisionWindow final : public GeneratorWindow {
    Q_OBJECT

public:
    struct Kind {
        QString name; // the window's objectName
        QString kind; // e.g. "综合除算": in the caption, the title and the start button
        std::array<QString, 3> rowCaptions; // the grid's rows: first digits, second digits, questions
        std::array<std::array<QString, 3>, 4> groups; // the grid's columns, top to bottom
        QString perRow;
        QString sets;
        const div::MixedGroupKind& (*generator)() = nullptr;
    };

    static const Kind& division();       // zhcs2 综合除算
    static const Kind& multiplication(); // zhch2 综合乘算

    // Window `zhcs2`.
    explicit DivisionWindow(const RunServices& services, QWidget* parent = nullptr);
    DivisionWindow(const Kind& kind, const RunServices& services, QWidget* parent = nullptr);

protected:
    RunResult runGenerator(const RunServices& services) override;

private:
    const Kind& kind_;
};

} // namespace kestrin::app
