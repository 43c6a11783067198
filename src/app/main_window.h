#pragma once

#include "app/generator_window.h"
#include "app/help_window.h"
#include "output/run_services.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace kestrin::app {

using GeneratorFactory = std::unique_ptr<GeneratorWindow> (*)(const RunServices& services);

template <class Window>
std::unique_ptr<GeneratorWindow> makeGenerator(const RunServices& services)
{
    return std::make_unique<Window>(services);
}

// One entry of a drop-down menu and what choosing it does. An entry that
// neither opens a window nor ends the program is shown disabled.
struct MenuEntrySpec {
    QString name;     // objectName of the QAction
    QString caption;  // "&" marks the access key
    QKeySequence shortcut;
    GeneratorFactory opens = nullptr; // the generator window it opens
    bool endsProgram = false;
    bool opensHelp = false; // shows the help window over the main window
};

struct MenuSpec {
    QString name;    // objectName of the QMenu
    QString caption; // "&" marks the access key; without one the menu has none
    std::vector<MenuEntrySpec> entries;
};

// The whole menu bar of the main window, menus in bar order.
const std::vector<MenuSpec>& menuTable();

// Window `zcd`, the hub of the program: its menu opens the generator windows
// (each made on its first opening and then kept, hidden or shown) and the help
// window, and ends the program. While a generator window is in use the main
// window is hidden, so its shortcut keys are dead; the generator's return button
// brings it back. The help window opens over the main window, which stays shown.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const RunServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The menu entry of that name, or nullptr.
    QAction* entry(const QString& name) const;
    // The generator window of a menu entry, or nullptr while it was never opened.
    GeneratorWindow* generatorWindow(const QString& entryName) const;

    // Opens the generator window of a menu entry and hides the main window.
    void openGenerator(const MenuEntrySpec& entry);

    // The help window, or nullptr while it was never opened.
    HelpWindow* helpWindow() const { return help_.get(); }
    // Shows the help window in front of the main window, making it first.
    void openHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void dropFromTheBar(QMenu* menu);
    void choose(const MenuEntrySpec& entry);
    void returnFrom(GeneratorWindow* window);

    RunServices services_;
    std::map<QString, std::unique_ptr<GeneratorWindow>> generators_;
    std::unique_ptr<HelpWindow> help_;
};

// Ends the program at once: nothing is asked, saved or closed first.
void endProgram();

} // namespace kestrin::app
