// Window zcd: caption, colours and the menu bar against the menu tree.

#include "app/fonts.h"
#include "app/main_window.h"
#include "testsupport/fakes.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <algorithm>

using namespace kestrin;
using namespace kestrin::app;

namespace {

struct EntryRow {
    const char* menu;
    const char* name;
    QString caption;
    QKeySequence shortcut;
    bool works; // enabled
};

struct MenuRow {
    const char* name;
    QString caption;
};

const std::vector<MenuRow> expectedMenus = {
    {"xqd", "学前段(X)"}, {"dd", "低段(&D)"}, {"zd", "中段(&Z)"},  {"gd", "高段(&G)"},
    {"zh", "综合(&Z)"},   {"help", "帮助(&H)"}, {"quit", "退出(&X)"},
};

const std::vector<EntryRow>& expectedEntries()
{
    static const std::vector<EntryRow> rows = {
        {"xqd", "j5", "五笔加减", QKeySequence("Ctrl+F5"), true},
        {"xqd", "j7", "七笔加减", QKeySequence("Ctrl+F7"), true},
        {"xqd", "j10", "十笔加减", QKeySequence("Ctrl+A"), true},
        {"dd", "ddjj", "低段加减", QKeySequence("Ctrl+B"), true},
        {"zd", "zdjj", "中段加减", QKeySequence("Ctrl+C"), true},
        {"zd", "zdcs", "中段乘算", QKeySequence("Ctrl+D"), true},
        {"gd", "gdjj", "高段加减", QKeySequence("Ctrl+E"), true},
        {"gd", "gdcs", "高段乘算", QKeySequence("Ctrl+F"), true},
        {"gd", "gdchs", "高段除算", QKeySequence("Ctrl+G"), true},
        {"zh", "zhch", "综合乘算", QKeySequence("F2"), true},
        {"zh", "zhc", "综合除算", QKeySequence("F3"), true},
        {"zh", "yer", "幼儿加减", QKeySequence("F4"), true},
        {"help", "bz", "帮助", QKeySequence("F1"), true},
        {"quit", "tcxt", "退出系统", QKeySequence("Ctrl+Q"), true},
    };
    return rows;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        run_ = std::make_unique<testing::RecordedRun>();
        window_ = std::make_unique<MainWindow>(RunServices{run_->random, run_->messages, run_->file, run_->printer});
    }
    void cleanup()
    {
        window_.reset();
        run_.reset();
    }

    void windowProperties()
    {
        QCOMPARE(window_->objectName(), QString("zcd"));
        QCOMPARE(window_->windowTitle(), QString("重庆市Kestrin2.0"));
        QWidget* client = window_->centralWidget();
        QVERIFY(client);
        QVERIFY(client->autoFillBackground());
        QCOMPARE(client->palette().color(QPalette::Window), QColor(0, 128, 128));
    }

    void versionLabels()
    {
        auto* version = window_->findChild<QLabel*>("Label4");
        auto* number = window_->findChild<QLabel*>("Label7");
        QVERIFY(version && number);
        QCOMPARE(version->text(), QString("版本号"));
        QCOMPARE(number->text(), QString("V2.0"));
        QCOMPARE(version->geometry(), QRect(176, 336, 81, 25));
        QCOMPARE(number->geometry(), QRect(272, 336, 81, 25));
        QCOMPARE(number->palette().color(QPalette::WindowText), QColor(128, 0, 128));
        QCOMPARE(number->palette().color(QPalette::Window), QColor(0, 128, 128));
        QCOMPARE(version->font().pixelSize(), 19);
    }

    void sevenMenusInBarOrder()
    {
        const QList<QAction*> bar = window_->menuBar()->actions();
        QCOMPARE(bar.size(), int(expectedMenus.size()));
        for (int i = 0; i < bar.size(); ++i) {
            QMenu* menu = bar[i]->menu();
            QVERIFY(menu);
            QCOMPARE(menu->objectName(), QString(expectedMenus[i].name));
            QCOMPARE(menu->title(), expectedMenus[i].caption);
            QVERIFY(bar[i]->isEnabled());
        }
    }

    void entries_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(expectedEntries().size()); ++i)
            QTest::newRow(expectedEntries()[i].name) << i;
    }
    void entries()
    {
        QFETCH(int, index);
        const EntryRow& row = expectedEntries()[index];
        QAction* action = window_->entry(row.name);
        QVERIFY(action);
        QCOMPARE(action->text(), row.caption);
        QCOMPARE(action->shortcut(), row.shortcut);
        QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
        QCOMPARE(action->isEnabled(), row.works);
        auto* menu = window_->findChild<QMenu*>(row.menu);
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(action));
    }

    void entriesInMenuOrderAndNothingElse()
    {
        int total = 0;
        for (const MenuRow& menuRow : expectedMenus) {
            QStringList expected;
            for (const EntryRow& row : expectedEntries())
                if (QString(row.menu) == menuRow.name)
                    expected << row.name;
            QStringList actual;
            for (QAction* action : window_->findChild<QMenu*>(menuRow.name)->actions())
                actual << action->objectName();
            QCOMPARE(actual, expected);
            total += actual.size();
        }
        QCOMPARE(total, int(expectedEntries().size()));
    }

    void noGeneratorWindowBeforeItsFirstOpening()
    {
        for (const char* name :
             {"j5", "j7", "j10", "ddjj", "zdjj", "zdcs", "gdjj", "gdcs", "gdchs", "zhch", "zhc", "yer"})
            QVERIFY2(!window_->generatorWindow(name), name);
        QCOMPARE(windows(), 1);
    }

    // Alt and a menu's access key open that menu, dropping from the menu bar,
    // also in the restored window, whose menu bar is too narrow for all seven
    // and folds the last into "»". The two menus with Z take turns; either may open.
    void accessKeyOpensItsMenuAtEverySize_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("menus");
        const std::vector<std::pair<Qt::Key, QStringList>> keys = {
            {Qt::Key_D, {"dd"}}, {Qt::Key_Z, {"zd", "zh"}}, {Qt::Key_G, {"gd"}}, {Qt::Key_H, {"help"}},
            {Qt::Key_X, {"quit"}}};
        for (bool maximized : {false, true}) {
            for (const auto& [key, menus] : keys) {
                const QString row = QStringLiteral("%1 Alt+%2").arg(maximized ? "maximized" : "restored",
                                                                     QKeySequence(key).toString());
                QTest::newRow(row.toUtf8().constData()) << maximized << int(key) << menus;
            }
        }
    }
    void accessKeyOpensItsMenuAtEverySize()
    {
        QFETCH(bool, maximized);
        QFETCH(int, key);
        QFETCH(QStringList, menus);
        if (maximized)
            window_->showMaximized();
        else
            window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QMenuBar* bar = window_->menuBar();
        const QList<QAction*> actions = bar->actions();
        const bool folded = std::any_of(actions.begin(), actions.end(),
            [bar](QAction* action) { return !bar->rect().contains(bar->actionGeometry(action)); });
        QCOMPARE(folded, !maximized); // else the row tests nothing

        QTest::keyClick(window_->windowHandle(), Qt::Key(key), Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(open);
        QVERIFY2(menus.contains(open->objectName()), qPrintable(open->objectName() + " opened"));
        // It drops from the bar, inside the window's width: not where the
        // title of a folded menu would stand, beyond the window's right edge.
        const QRect barOnScreen(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        QCOMPARE(open->geometry().top(), barOnScreen.bottom() + 1);
        QVERIFY2(open->geometry().left() >= barOnScreen.left() && open->geometry().left() <= barOnScreen.right(),
                 qPrintable(QStringLiteral("menu at x=%1, bar from %2 to %3")
                                .arg(open->geometry().left())
                                .arg(barOnScreen.left())
                                .arg(barOnScreen.right())));
        open->close();
    }

private:
    // Top-level windows, the drop-down menus left out.
    static int windows()
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->windowType() != Qt::Popup)
                ++count;
        return count;
    }

    std::unique_ptr<testing::RecordedRun> run_;
    std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
