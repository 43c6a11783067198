#pragma once

#include "app/generator_window.h"

namespace kestrin::app {

// Window `xqd7`: seven-term addition and subtraction chains of the preschool stage.
class SevenTermWindow final : public GeneratorWindow {
    Q_OBJECT

public:
    explicit SevenTermWindow(const RunServices& services, QWidget* parent = nullptr);

    static const GeneratorLayout& windowLayout();

protected:
    RunResult runGenerator(const RunServices& services) override;
};

} // namespace kestrin::app
