#include "app/main_window.h"

#include "app/column_window.h"
#include "app/control_table.h"
#include "app/division_window.h"
#include "app/multiplication_window.h"
#include "app/seven_term_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

// The pictures are compiled into this library (pictures.qrc): a static
// library's resources are registered only when asked for by name, and
// Q_INIT_RESOURCE wants to be outside any namespace.
static void registerPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace kestrin::app {

namespace {

QKeySequence keys(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeySequence(static_cast<int>(modifiers) | static_cast<int>(key));
}

std::vector<MenuSpec> makeMenuTable()
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    return {
        {"xqd", "学前段(X)",
         {
             {"j5", "五笔加减", keys(ctrl, Qt::Key_F5), &makeGeneratorOf<SettingsColumnWindow, &fiveTermColumn>},
             {"j7", "七笔加减", keys(ctrl, Qt::Key_F7), &makeGenerator<SevenTermWindow>},
             {"j10", "十笔加减", keys(ctrl, Qt::Key_A), &makeGeneratorOf<SettingsColumnWindow, &tenTermColumn>},
         }},
        {"dd", "低段(&D)",
         {{"ddjj", "低段加减", keys(ctrl, Qt::Key_B), &makeGeneratorOf<SettingsColumnWindow, &lowerColumn>}}},
        {"zd", "中段(&Z)",
         {
             {"zdjj", "中段加减", keys(ctrl, Qt::Key_C), &makeGeneratorOf<SettingsColumnWindow, &middleChainColumn>},
             {"zdcs", "中段乘算", keys(ctrl, Qt::Key_D), &makeGenerator<MultiplicationWindow>},
         }},
        {"gd", "高段(&G)",
         {
             {"gdjj", "高段加减", keys(ctrl, Qt::Key_E), &makeGeneratorOf<SettingsColumnWindow, &upperChainColumn>},
             {"gdcs", "高段乘算", keys(ctrl, Qt::Key_F),
              &makeGeneratorOf<MultiplicationWindow, &MultiplicationWindow::upperStage>},
             {"gdchs", "高段除算", keys(ctrl, Qt::Key_G), &makeGeneratorOf<SettingsColumnWindow, &upperDivisionColumn>},
         }},
        {"zh", "综合(&Z)",
         {
             {"zhch", "综合乘算", keys({}, Qt::Key_F2), &makeGeneratorOf<DivisionWindow, &DivisionWindow::multiplication>},
             {"zhc", "综合除算", keys({}, Qt::Key_F3), &makeGenerator<DivisionWindow>},
             {"yer", "幼儿加减", keys({}, Qt::Key_F4), &makeGeneratorOf<SettingsColumnWindow, &infantColumn>},
         }},
        {"help", "帮助(&H)", {{"bz", "帮助", keys({}, Qt::Key_F1), nullptr, false, true}}},
        {"quit", "退出(&X)", {{"tcxt", "退出系统", keys(ctrl, Qt::Key_Q), nullptr, true}}},
    };
}

// The labels and pictures of the main window, in tab order.
std::vector<ControlSpec> makeMainControls()
{
    const QColor teal(0, 128, 128);
    using C = ControlSpec;
    return {
        C("Label4", ControlKind::Label, "版本号", 2640, 5040, 1215, 375)
            .withFont(largeFont())
            .withTextColour(QColor(255, 255, 255))
            .withBackColour(teal),
        C("Label7", ControlKind::Label, "V2.0", 4080, 5040, 1215, 375)
            .withFont(largeFont())
            .withTextColour(QColor(128, 0, 128))
            .withBackColour(teal),
        C("Picture1", ControlKind::Picture, ":/pictures/banner.bmp", 840, 600, 10455, 1095),
        C("Picture2", ControlKind::Picture, ":/pictures/small.gif", 8760, 3840, 1815, 1935),
    };
}

} // namespace

const std::vector<MenuSpec>& menuTable()
{
    static const std::vector<MenuSpec> table = makeMenuTable();
    return table;
}

void endProgram()
{
    // exit() leaves the event loop without asking any window to close first.
    QCoreApplication::exit(0);
}

MainWindow::MainWindow(const RunServices& services, QWidget* parent) : QMainWindow(parent), services_(services)
{
    registerPictures();
    setObjectName(QStringLiteral("zcd"));
    setWindowTitle(QStringLiteral("重庆市Kestrin2.0"));
    setFont(makeFont(standardFont()));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 128));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    static const std::vector<ControlSpec> controls = makeMainControls();
    buildControls(client, controls);

    buildMenus();
    resize(twipsToPixels(4680), twipsToPixels(3195) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    for (const MenuSpec& menuSpec : menuTable()) {
        QMenu* menu = menuBar()->addMenu(menuSpec.caption);
        menu->setObjectName(menuSpec.name);
        menu->installEventFilter(this);
        for (const MenuEntrySpec& entrySpec : menuSpec.entries) {
            QAction* action = menu->addAction(entrySpec.caption);
            action->setObjectName(entrySpec.name);
            action->setShortcut(entrySpec.shortcut);
            // The shortcut keys belong to the main window: dead while it is hidden.
            action->setShortcutContext(Qt::WindowShortcut);
            action->setEnabled(entrySpec.opens != nullptr || entrySpec.endsProgram || entrySpec.opensHelp);
            connect(action, &QAction::triggered, this, [this, &entrySpec] { choose(entrySpec); });
        }
    }
}

QAction* MainWindow::entry(const QString& name) const
{
    return findChild<QAction*>(name);
}

GeneratorWindow* MainWindow::generatorWindow(const QString& entryName) const
{
    const auto found = generators_.find(entryName);
    return found == generators_.end() ? nullptr : found->second.get();
}

void MainWindow::choose(const MenuEntrySpec& entry)
{
    if (entry.endsProgram)
        endProgram();
    else if (entry.opensHelp)
        openHelp();
    else if (entry.opens)
        openGenerator(entry);
}

void MainWindow::openGenerator(const MenuEntrySpec& entry)
{
    std::unique_ptr<GeneratorWindow>& slot = generators_[entry.name];
    if (!slot) {
        slot = entry.opens(services_);
        GeneratorWindow* window = slot.get();
        connect(window, &GeneratorWindow::returnRequested, this, [this, window] { returnFrom(window); });
    }
    slot->open();
    hide();
}

void MainWindow::openHelp()
{
    if (!help_)
        help_ = std::make_unique<HelpWindow>();
    help_->open();
}

void MainWindow::returnFrom(GeneratorWindow* window)
{
    show();
    raise();
    activateWindow();
    window->hide();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The menu is placed by now and not yet on the screen.
    if (event->type() == QEvent::Show) {
        if (auto* menu = qobject_cast<QMenu*>(watched))
            dropFromTheBar(menu);
    }
    return QMainWindow::eventFilter(watched, event);
}

// Where the window is too narrow for the whole menu bar, the last menus fold
// into "»". Opened by its access key, such a menu would drop where its title
// would stand, beyond the window's right edge; it drops from the right end of
// the bar instead. A menu opened from the "»" list (another menu is open then)
// stays beside that list.
void MainWindow::dropFromTheBar(QMenu* menu)
{
    QMenuBar* bar = menuBar();
    if (QApplication::activePopupWidget() || bar->rect().contains(bar->actionGeometry(menu->menuAction())))
        return;
    const QPoint barLeft = bar->mapToGlobal(QPoint(0, bar->height()));
    const int barRight = bar->mapToGlobal(QPoint(bar->width(), 0)).x();
    menu->move(std::max(barLeft.x(), barRight - menu->width()), barLeft.y());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box of the main window ends the program, hidden windows and all.
    event->accept();
    endProgram();
}

} // namespace kestrin::app
