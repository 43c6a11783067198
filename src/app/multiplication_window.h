#pragma once

#include "app/generator_window.h"

namespace kestrin::app {

// Window `zdcs1`: middle-stage multiplication, a factor of d1 digits times one of d2 digits.
class MultiplicationWindow final : public GeneratorWindow {
    Q_OBJECT

public:
    explicit MultiplicationWindow(const RunServices& services, QWidget* parent = nullptr);

    static const GeneratorLayout& windowLayout();

protected:
    RunResult runGenerator(const RunServices& services) override;
};

} // namespace kestrin::app
