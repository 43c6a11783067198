// Moving between the main window and a generator window by shortcut keys,
// buttons and close boxes, and ending the program.

#include "app/fonts.h"
#include "app/main_window.h"
#include "testsupport/fakes.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace kestrin;
using namespace kestrin::app;

namespace {

// The menu entries that open a generator window, with their shortcut keys.
struct Opening {
    const char* entry;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* window;
    const char* caption;
    const char* firstFocus; // the control that has the focus on the first showing
    const char* box;        // a settings box to type into
};

const std::vector<Opening>& openings()
{
    static const std::vector<Opening> rows = {
        {"j7", Qt::Key_F7, Qt::ControlModifier, "xqd7", "Kestrin2.0 --低段加减", "Command1", "Text1"},
        {"zdcs", Qt::Key_D, Qt::ControlModifier, "zdcs1", "Kestrin-中段乘算", "Text1", "Text5"},
        {"zhc", Qt::Key_F3, Qt::NoModifier, "zhcs2", "Kestrin-综合除算", "w11", "w23"},
        {"j5", Qt::Key_F5, Qt::ControlModifier, "xqd5", "Kestrin-五笔加减", "Text1", "Text2"},
        {"j10", Qt::Key_A, Qt::ControlModifier, "xqd10", "Kestrin-十笔加减", "Text1", "Text3"},
        {"zdjj", Qt::Key_C, Qt::ControlModifier, "zdjj1", "Kestrin-中段加减", "Text1", "Text2"},
        {"gdjj", Qt::Key_E, Qt::ControlModifier, "gdjj1", "Kestrin-高段加减", "Text1", "Text6"},
        {"yer", Qt::Key_F4, Qt::NoModifier, "yer1", "Kestrin-幼儿加减", "Text1", "Text1"},
        {"ddjj", Qt::Key_B, Qt::ControlModifier, "ddjj1", "Kestrin-低段加减", "Text1", "Text4"},
        {"gdcs", Qt::Key_F, Qt::ControlModifier, "gdcs1", "Kestrin-高段乘算", "Text1", "Text5"},
        {"gdchs", Qt::Key_G, Qt::ControlModifier, "gdchs1", "Kestrin-高段除算", "Text1", "Text2"},
        {"zhch", Qt::Key_F2, Qt::NoModifier, "zhch2", "Kestrin-综合乘算", "w11", "Text1"},
    };
    return rows;
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        run_ = std::make_unique<testing::RecordedRun>();
        main_ = std::make_unique<MainWindow>(RunServices{run_->random, run_->messages, run_->file, run_->printer});
        main_->showMaximized();
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    }
    void cleanup()
    {
        main_.reset();
        run_.reset();
    }

    void shortcutOpensItsWindowAndHidesTheMainWindow_data() { openingRows(); }
    void shortcutOpensItsWindowAndHidesTheMainWindow()
    {
        QFETCH(int, index);
        const Opening& opening = openings()[index];
        GeneratorWindow* window = press(opening);
        QVERIFY(window);
        QCOMPARE(window->objectName(), QString(opening.window));
        QCOMPARE(window->windowTitle(), QString(opening.caption));
        QVERIFY(window->isVisible());
        QVERIFY(window->isMaximized());
        QVERIFY(!main_->isVisible());
        QCOMPARE(visibleWindows(), QStringList{opening.window});
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(QApplication::focusWidget(), window->findChild<QWidget*>(opening.firstFocus));
    }

    void returnBringsTheMainWindowBack_data() { openingRows(); }
    void returnBringsTheMainWindowBack()
    {
        QFETCH(int, index);
        GeneratorWindow* window = press(openings()[index]);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->windowHandle(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(main_->isVisible());
        QVERIFY(!window->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        QCOMPARE(visibleWindows(), QStringList{"zcd"});
        QCOMPARE(main_->generatorWindow(openings()[index].entry), window);
    }

    void typedValueSurvivesReturnAndReopen_data() { openingRows(); }
    void typedValueSurvivesReturnAndReopen()
    {
        QFETCH(int, index);
        const Opening& opening = openings()[index];
        GeneratorWindow* window = press(opening);
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* box = window->findChild<QLineEdit*>(opening.box);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(window->windowHandle(), Qt::Key_8);
        QCOMPARE(box->text(), QString("8"));
        QTest::mouseClick(window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        QVERIFY(!window->isVisible());

        QCOMPARE(press(opening), window);
        QVERIFY(window->isVisible());
        QVERIFY(!main_->isVisible());
        QCOMPARE(window->findChild<QLineEdit*>(opening.box)->text(), QString("8"));
    }

    // The answers pair is one tab stop, on the selected option, and the arrow
    // keys move the selection round the pair, as option buttons do on the
    // desktop: whichever way the pair is laid out.
    void answersPairIsOneTabStopOnTheSelectedOption_data() { openingRows(); }
    void answersPairIsOneTabStopOnTheSelectedOption()
    {
        QFETCH(int, index);
        GeneratorWindow* window = press(openings()[index]);
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* yes = window->findChild<QRadioButton*>("Option1");
        auto* no = window->findChild<QRadioButton*>("Option2");
        QVERIFY(yes && no && no->isChecked());
        // The tab stops around the pair in the window's tab order.
        auto tabStop = [](QWidget* from, QWidget* (QWidget::*step)() const) {
            QWidget* widget = (from->*step)();
            while (!(widget->focusPolicy() & Qt::TabFocus) || qobject_cast<QRadioButton*>(widget))
                widget = (widget->*step)();
            return widget;
        };
        QWidget* before = tabStop(yes, &QWidget::previousInFocusChain);
        QWidget* after = tabStop(no, &QWidget::nextInFocusChain);
        auto key = [window](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(window->windowHandle(), k, modifiers);
            return QApplication::focusWidget();
        };

        before->setFocus();
        QCOMPARE(key(Qt::Key_Tab), no);
        QCOMPARE(key(Qt::Key_Tab), after);
        QCOMPARE(key(Qt::Key_Backtab, Qt::ShiftModifier), no);
        // Each arrow moves to the other option of the two and selects it.
        for (Qt::Key arrow : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right}) {
            QRadioButton* other = QApplication::focusWidget() == yes ? no : yes;
            QCOMPARE(key(arrow), other);
            QVERIFY(other->isChecked());
        }
        QCOMPARE(key(Qt::Key_Up), yes);
        QVERIFY(yes->isChecked() && !no->isChecked());
        QCOMPARE(key(Qt::Key_Tab), after);
        QCOMPARE(key(Qt::Key_Backtab, Qt::ShiftModifier), yes);
        QCOMPARE(key(Qt::Key_Backtab, Qt::ShiftModifier), before);
    }

    // Moving from one generator window to another through the main window
    // leaves only the one chosen last on the screen.
    void oneGeneratorWindowAtATime()
    {
        for (const Opening& opening : openings()) {
            GeneratorWindow* window = press(opening);
            QVERIFY(QTest::qWaitForWindowActive(window));
            QCOMPARE(visibleWindows(), QStringList{opening.window});
            QTest::mouseClick(window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
            QVERIFY(QTest::qWaitForWindowActive(main_.get()));
            QCOMPARE(visibleWindows(), QStringList{"zcd"});
        }
    }

    void ctrlF7OpensTheSevenTermWindowAndHidesTheMainWindow()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(xqd7);
        QCOMPARE(xqd7->objectName(), QString("xqd7"));
        QVERIFY(xqd7->isVisible());
        QVERIFY(xqd7->isMaximized());
        QVERIFY(!main_->isVisible());
        QCOMPARE(visibleWindows(), QStringList{"xqd7"});
    }

    void menuEntryOpensItToo()
    {
        main_->entry("j7")->trigger();
        GeneratorWindow* xqd7 = main_->generatorWindow("j7");
        QVERIFY(xqd7 && xqd7->isVisible());
        QVERIFY(!main_->isVisible());
    }

    void enterRightAfterOpeningStartsARun()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowActive(xqd7));
        QTest::keyClick(xqd7->windowHandle(), Qt::Key_Return);

        QVERIFY(run_->file.files.contains("学前段七笔加减速算.xls"));
        QCOMPARE(xqd7->findChild<QLineEdit*>("Text2")->text(), QString("                       100% 完成"));
        QCOMPARE(xqd7->findChild<QLineEdit*>("Text2")->palette().color(QPalette::Base), QColor(Qt::black));
        QVERIFY(xqd7->findChild<QLabel*>("Label3")->text().contains("[375]"));
        QVERIFY(run_->messages.shown.isEmpty());
    }

    void altCStartsARun()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowActive(xqd7));
        QTest::keyClick(xqd7->windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(run_->file.closes, 1);
        QVERIFY(xqd7->findChild<QLabel*>("Label3")->text().contains("[375]"));
    }

    void refusedRunShowsTheMessageOnly()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        xqd7->findChild<QLineEdit*>("Text1")->setText("1");
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(run_->messages.shown.size(), 1);
        QVERIFY(run_->messages.shown.first().contains("每排输出2-50题"));
        QVERIFY(run_->file.files.isEmpty());
        QVERIFY(xqd7->findChild<QLineEdit*>("Text2")->text().isEmpty());
        QVERIFY(xqd7->findChild<QLabel*>("Label3")->text().isEmpty());
        QVERIFY(xqd7->isVisible());
    }

    void returnShowsTheMainWindowAndHidesTheGenerator()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(main_->isVisible());
        QVERIFY(!xqd7->isVisible());
        QCOMPARE(main_->generatorWindow("j7"), xqd7);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        QCOMPARE(visibleWindows(), QStringList{"zcd"});
    }

    void altXReturns()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowActive(xqd7));
        QTest::keyClick(xqd7->windowHandle(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(main_->isVisible());
        QVERIFY(!xqd7->isVisible());
    }

    void closeBoxOfTheGeneratorReturns()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowExposed(xqd7));
        xqd7->close();
        QVERIFY(main_->isVisible());
        QVERIFY(!xqd7->isVisible());
        QCOMPARE(main_->generatorWindow("j7"), xqd7);
    }

    void typedValuesSurviveReturnAndReopen()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowActive(xqd7));
        auto* perRow = xqd7->findChild<QLineEdit*>("Text1");
        perRow->setFocus();
        perRow->selectAll();
        QTest::keyClick(xqd7->windowHandle(), Qt::Key_8);
        QCOMPARE(perRow->text(), QString("8"));
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));

        GeneratorWindow* again = pressCtrlF7();
        QCOMPARE(again, xqd7);
        QVERIFY(xqd7->isVisible());
        QCOMPARE(xqd7->findChild<QLineEdit*>("Text1")->text(), QString("8"));
        QVERIFY(!main_->isVisible());
    }

    void mainWindowShortcutsAreDeadWhileItIsHidden()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowActive(xqd7));
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        pressCtrlF7();
        QVERIFY(QTest::qWaitForWindowActive(xqd7));

        // Ctrl+F7 and Ctrl+Q in the generator window reach no menu of the hidden main window.
        QTest::keyClick(xqd7->windowHandle(), Qt::Key_F7, Qt::ControlModifier);
        QTest::keyClick(xqd7->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!main_->isVisible());
        QVERIFY(xqd7->isVisible());
        QCOMPARE(run_->file.opens, 0);

        // The shortcuts work again once the main window is back.
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        QCOMPARE(pressCtrlF7(), xqd7);
        QVERIFY(xqd7->isVisible());
    }

    void secondOpeningShowsAsLeft()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        xqd7->showNormal();
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        pressCtrlF7();
        QVERIFY(xqd7->isVisible());
        QVERIFY(!xqd7->isMaximized());
    }

    void ctrlQEndsTheProgramEvenWithHiddenWindows()
    {
        GeneratorWindow* xqd7 = pressCtrlF7();
        QTest::mouseClick(xqd7->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
        // The key press goes to the running loop as a window system's would. QTest::keyClick
        // would process events itself once the shortcut has asked the loop to end: on
        // Windows' event dispatcher that nested round takes the loop's wake-up, and the loop
        // then sleeps until its next event.
        QCOMPARE(runEventLoopWhile([this] {
            QCoreApplication::postEvent(main_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier));
        }),
                 0);
    }

    void exitEntryEndsTheProgram()
    {
        QCOMPARE(runEventLoopWhile([this] { main_->entry("tcxt")->trigger(); }), 0);
    }

    void closeBoxOfTheMainWindowEndsTheProgram()
    {
        pressCtrlF7();
        QTest::mouseClick(main_->generatorWindow("j7")->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QCOMPARE(runEventLoopWhile([this] { main_->close(); }), 0);
    }

private:
    static void openingRows()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(openings().size()); ++i)
            QTest::newRow(openings()[i].window) << i;
    }

    GeneratorWindow* press(const Opening& opening)
    {
        QTest::keyClick(main_->windowHandle(), opening.key, opening.modifiers);
        return main_->generatorWindow(opening.entry);
    }

    GeneratorWindow* pressCtrlF7()
    {
        QTest::keyClick(main_->windowHandle(), Qt::Key_F7, Qt::ControlModifier);
        return main_->generatorWindow("j7");
    }

    static QStringList visibleWindows()
    {
        QStringList names;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible())
                names << widget->objectName();
        return names;
    }

    // Runs the application's event loop with `action` as its first event;
    // gives the exit code, or -1 when the loop did not end by itself.
    template <class Action>
    static int runEventLoopWhile(Action action)
    {
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
        timeout.start(5000);
        QTimer::singleShot(0, action);
        return QCoreApplication::exec();
    }

    std::unique_ptr<testing::RecordedRun> run_;
    std::unique_ptr<MainWindow> main_;
};

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
