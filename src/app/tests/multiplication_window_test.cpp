// Window zdcs1: its controls against the layout table, its defaults, and what
// its start button hands the multiplication generator, with recorded services.

#include "app/fonts.h"
#include "app/multiplication_window.h"
#include "gen/mul/multiplication_sheet.h"
#include "window_checks.h"

#include <QTest>

using namespace kestrin;
using namespace kestrin::app;
using namespace kestrin::app::checks;

namespace {

// The layout of zdcs1 in tab order.
const std::vector<Row>& expectedRows()
{
    static const std::vector<Row> rows = {
        {"Label1", "label", "小学数学 [中段乘算] 自动出题系统", 2520, 720, 7215, 615, "黑体", 29},
        {"Label2", "label", "第一因数位数", 1680, 2040, 1575, 375},
        {"Label3", "label", "第二因数位数", 1680, 2580, 1575, 375},
        {"Text1", "text", "3", 3360, 2040, 855, 375},
        {"Text2", "text", "1", 3360, 2580, 855, 375},
        {"Frame1", "frame", "是否打印答案", 1560, 5040, 3135, 1335},
        {"Option1", "option", "是", 2160, 5640, 855, 495},
        {"Option2", "option", "否", 3480, 5640, 735, 495},
        {"Frame2", "frame", "输出位置", 6120, 1920, 4455, 1815},
        {"Check1", "check", "直接输出到打印机", 6480, 2640, 1695, 495},
        {"Check2", "check", "输出到Excel，调整后打印", 8280, 2640, 1935, 495},
        {"Frame3", "frame", "智能生成", 6120, 4200, 4455, 2175},
        {"Command1", "button", "中段乘算(&C)", 8160, 4680, 1695, 495},
        {"Command2", "button", "返    回(&X)", 8160, 5520, 1695, 495},
        {"Text3", "text", "", 1200, 6840, 9615, 495},
        {"Label4", "label", "", 1200, 7560, 9615, 495},
        {"Label5", "label", "每行题数", 1680, 3120, 1575, 375},
        {"Text4", "text", "5", 3360, 3120, 855, 375},
        {"Label6", "label", "每页行数", 1680, 3660, 1575, 375},
        {"Label7", "label", "每次页数", 1680, 4200, 1575, 375},
        {"Text5", "text", "30", 3360, 3660, 855, 375},
        {"Text6", "text", "4", 3360, 4200, 855, 375},
    };
    return rows;
}

const QString digitsMessage = QStringLiteral("输入位数错误！，第一因数位数为1-6位，第二因数位数为1-5位。");

mul::MultiplicationSettings defaultSettings()
{
    mul::MultiplicationSettings settings;
    settings.firstDigits = "3";
    settings.secondDigits = "1";
    settings.sheet.perRow = "5";
    settings.sheet.rowsPerPage = "30";
    settings.sheet.pages = "4";
    settings.sheet.answers = false;
    settings.sheet.toPrinter = false;
    settings.sheet.toFile = true;
    return settings;
}

// One change on the window and the same change to the generator's settings.
struct Change {
    const char* name;
    BoxTexts boxes;       // box, typed text
    ButtonStates buttons; // option or check box, on
    void (*apply)(mul::MultiplicationSettings&);
};

const std::vector<Change>& changes()
{
    using S = mul::MultiplicationSettings;
    static const std::vector<Change> rows = {
        {"Text1 first factor digits", {{"Text1", "4"}}, {}, [](S& s) { s.firstDigits = "4"; }},
        {"Text2 second factor digits", {{"Text2", "2"}}, {}, [](S& s) { s.secondDigits = "2"; }},
        {"Text4 per row", {{"Text4", "3"}}, {}, [](S& s) { s.sheet.perRow = "3"; }},
        {"Text5 rows per page", {{"Text5", "7"}}, {}, [](S& s) { s.sheet.rowsPerPage = "7"; }},
        {"Text6 pages", {{"Text6", "2"}}, {}, [](S& s) { s.sheet.pages = "2"; }},
        {"Option1 answers", {}, {{"Option1", true}}, [](S& s) { s.sheet.answers = true; }},
        {"Check1 printer", {}, {{"Check1", true}}, [](S& s) { s.sheet.toPrinter = true; }},
        {"Check2 no file", {}, {{"Check1", true}, {"Check2", false}},
         [](S& s) {
             s.sheet.toPrinter = true;
             s.sheet.toFile = false;
         }},
        {"all at once",
         {{"Text1", "4"}, {"Text2", "2"}, {"Text4", "3"}, {"Text5", "6"}, {"Text6", "2"}},
         {{"Option1", true}, {"Check1", true}},
         [](S& s) {
             s.firstDigits = "4";
             s.secondDigits = "2";
             s.sheet.perRow = "3";
             s.sheet.rowsPerPage = "6";
             s.sheet.pages = "2";
             s.sheet.answers = true;
             s.sheet.toPrinter = true;
         }},
    };
    return rows;
}

} // namespace

class MultiplicationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        run_ = std::make_unique<kestrin::testing::RecordedRun>();
        window_ = std::make_unique<MultiplicationWindow>(servicesOf(*run_));
    }
    void cleanup()
    {
        window_.reset();
        run_.reset();
    }

    void windowProperties() { checkWindowProperties(*window_, "zdcs1", "Kestrin-中段乘算"); }

    void controls_data() { addIndexRows(expectedRows()); }
    void controls()
    {
        QFETCH(int, index);
        checkControl(*window_, expectedRows()[index], index);
    }

    void noOtherControls() { QCOMPARE(directChildWidgets(*window_), int(expectedRows().size())); }

    void tabOrderFollowsTheTable()
    {
        // The answers pair is one tab stop, on its selected option.
        const QStringList focusable = {"Text1",    "Text2", "Option2", "Check1", "Check2", "Command1",
                                       "Command2", "Text3", "Text4",   "Text5",  "Text6"};
        QCOMPARE(focusableInTableOrder(*window_, expectedRows()), focusable);
        QCOMPARE(tabChain(window_.get(), window_->findChild<QWidget*>("Text1"), focusable.size()), focusable);
    }

    void defaults()
    {
        checkSwitchDefaults(*window_);
        if (QTest::currentTestFailed())
            return;
        checkEditableBoxes(*window_, {"Text1", "Text2", "Text4", "Text5", "Text6"});
    }

    void displayControls() { checkDisplayControls(*window_); }

    void firstShowingFocusesTheFirstDigitsBox() { checkFirstShowing(*window_, *run_, "Text1", "Text2"); }

    void optionsAreOneExclusivePair() { checkOptionPair(*window_); }

    void checkBoxesAreIndependent()
    {
        checkCheckBoxesIndependent(*window_);
        if (QTest::currentTestFailed())
            return;
        auto* printer = window_->findChild<QCheckBox*>("Check1");
        auto* file = window_->findChild<QCheckBox*>("Check2");
        QTest::mouseClick(printer, Qt::LeftButton, {}, QPoint(5, printer->height() / 2));
        QVERIFY(!printer->isChecked() && !file->isChecked());
    }

    void altCRunsTheDefaults()
    {
        QVERIFY(openActive(*window_));
        QTest::keyClick(window_->windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(run_->file.closes, 1);

        QVERIFY(run_->messages.shown.isEmpty());
        QCOMPARE(run_->file.files.keys(), QStringList{"中段3位乘1位速算.xls"});
        QCOMPARE(run_->file.files.first().size(), std::size_t(122));
        QCOMPARE(run_->file.files.first().front(), kestrin::testing::Record("小学中段3位乘1位速算试题"));
        QCOMPARE(run_->printer.begins, 0);
        checkFinishedStatus(*window_, statusDone);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(window_->completionLabel()->text(),
                 QString("智能生成[600]题已完成。如果选择输出到Excel，请在该系统目录"
                         "（/home/li）下将“中段3位乘1位速算.xls”用Excel"
                         "打开，点完成即可。(千万不要直接双击进入)调整即可。谢谢！"));
    }

    void altXAsksToReturn() { checkAltXAsksToReturn(*window_, *run_); }

    void refusedRunShowsTheDigitsMessageAndChangesNothing()
    {
        window_->findChild<QLineEdit*>("Text1")->setText("7");
        const QStringList before = stateOf(*window_);
        window_->startButton()->click();
        QCOMPARE(run_->messages.shown, QStringList{digitsMessage});
        QCOMPARE(run_->file.opens, 0);
        QCOMPARE(run_->printer.begins, 0);
        QCOMPARE(stateOf(*window_), before);
    }

    void refusedRunKeepsThePreviousResult()
    {
        window_->startButton()->click();
        QVERIFY(run_->messages.shown.isEmpty());
        window_->findChild<QLineEdit*>("Text2")->setText("6");
        const QStringList before = stateOf(*window_);
        QVERIFY(before.join('\n').contains("[600]"));
        window_->startButton()->click();
        QCOMPARE(run_->messages.shown, QStringList{digitsMessage});
        QCOMPARE(run_->file.opens, 1);
        QCOMPARE(stateOf(*window_), before);
    }

    // What the window hands the generator is what its controls hold: the same
    // settings given to the generator directly, with a fresh random source of
    // the same start, make the same output.
    void everySettingReachesTheGenerator_data() { addIndexRows(changes()); }
    void everySettingReachesTheGenerator()
    {
        QFETCH(int, index);
        const Change& change = changes()[index];
        setControls(*window_, change.boxes, change.buttons);
        window_->startButton()->click();

        kestrin::testing::RecordedRun untouched;
        QVERIFY(mul::runMultiplicationSheet(mul::middleStageKind(), defaultSettings(), servicesOf(untouched))
                    .completed);
        mul::MultiplicationSettings settings = defaultSettings();
        change.apply(settings);
        kestrin::testing::RecordedRun expected;
        const RunResult result = mul::runMultiplicationSheet(mul::middleStageKind(), settings, servicesOf(expected));
        QVERIFY(result.completed);
        QVERIFY2(!sameOutput(expected, untouched), "the change must show in the output");

        checkSameRunAs(*window_, *run_, expected, result);
    }

    void everyControlPaints() { checkStatusPaintsBlack(*window_); }

    void framesLieBehindTheControlsInsideThem()
    {
        QVERIFY(openExposed(*window_));
        checkFramesHoldTheirControls(*window_);
    }

    void opensMaximizedFirstAndLaterAsLeft()
    {
        checkReopensAsLeft(*window_);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(window_->findChild<QWidget*>("Text3")->geometry(), QRect(80, 456, 641, 33));
    }

private:
    std::unique_ptr<kestrin::testing::RecordedRun> run_;
    std::unique_ptr<MultiplicationWindow> window_;
};

QTEST_MAIN(MultiplicationWindowTest)
#include "multiplication_window_test.moc"
