#pragma once

#include "app/generator_window.h"

namespace kestrin::app {

// Window `zhcs2`: sets of exact divisions mixed from four groups, each group a
// column of the grid w11 … w43 (dividend digits, divisor digits, questions).
class DivisionWindow final : public GeneratorWindow {
    Q_OBJECT

public:
    explicit DivisionWindow(const RunServices& services, QWidget* parent = nullptr);

    static const GeneratorLayout& windowLayout();

protected:
    RunResult runGenerator(const RunServices& services) override;
};

} // namespace kestrin::app
