// Window zhcs2: its controls against the layout table, its defaults, and what
// its start button hands the division generator, with recorded services.

#include "app/division_window.h"
#include "app/fonts.h"
#include "gen/div/mixed_group_sheet.h"
#include "window_checks.h"

#include <QTest>

using namespace kestrin;
using namespace kestrin::app;
using namespace kestrin::app::checks;

namespace {

// The layout of zhcs2 in tab order.
const std::vector<Row>& expectedRows()
{
    static const std::vector<Row> rows = {
        {"Label1", "label", "小学数学 [综合除算] 自动出题系统", 2520, 720, 7215, 615, "黑体", 29},
        {"Label2", "label", "被除数位数", 1560, 2040, 1335, 375, "宋体", 14},
        {"Label3", "label", "除数位数", 1560, 2640, 1335, 255, "宋体", 14},
        {"w11", "text", "2", 3000, 2040, 615, 375},
        {"w12", "text", "1", 3000, 2520, 615, 375},
        {"Frame1", "frame", "是否打印答案", 1560, 5280, 3135, 1095},
        {"Option1", "option", "是", 2160, 5640, 855, 495},
        {"Option2", "option", "否", 3480, 5640, 735, 495},
        {"Frame2", "frame", "输出位置", 6600, 1920, 3975, 1815},
        {"Check1", "check", "直接输出到打印机", 6840, 2640, 1695, 495},
        {"Check2", "check", "输出到Excel，调整后打印", 8520, 2640, 1935, 495},
        {"Frame3", "frame", "智能生成", 6600, 4200, 3975, 2175},
        {"Command1", "button", "综合除算(&C)", 8160, 4680, 1695, 495},
        {"Command2", "button", "返    回(&X)", 8160, 5520, 1695, 495},
        {"Text3", "text", "", 1200, 6840, 9615, 495},
        {"Label4", "label", "", 1200, 7560, 9615, 495},
        {"Label5", "label", "每行题数", 1560, 3960, 1095, 375},
        {"ttt", "text", "5", 3000, 3840, 855, 375},
        {"w13", "text", "30", 3000, 3000, 615, 375},
        {"Label6", "label", "要生成几题", 1560, 3120, 1215, 375, "宋体", 14},
        {"w21", "text", "3", 3720, 2040, 615, 375},
        {"w22", "text", "1", 3720, 2520, 615, 375},
        {"w23", "text", "30", 3720, 3000, 615, 375},
        {"w31", "text", "3", 4440, 2040, 615, 375},
        {"w32", "text", "2", 4440, 2520, 615, 375},
        {"w33", "text", "20", 4440, 3000, 615, 375},
        {"w41", "text", "4", 5160, 2040, 615, 375},
        {"w42", "text", "2", 5160, 2520, 615, 375},
        {"w43", "text", "0", 5160, 3000, 615, 375},
        {"Label7", "label", "共生成几套", 1560, 4440, 1215, 375, "宋体", 14},
        {"Text1", "text", "10", 3000, 4440, 855, 375},
    };
    return rows;
}

const QString setsMessage = QStringLiteral("输入套数错误！每次规定出题在1-100套。");

div::MixedGroupSettings defaultSettings()
{
    div::MixedGroupSettings settings;
    settings.groups = {{{"2", "1", "30"}, {"3", "1", "30"}, {"3", "2", "20"}, {"4", "2", "0"}}};
    settings.perRow = "5";
    settings.sets = "10";
    settings.answers = false;
    settings.toPrinter = false;
    settings.toFile = true;
    return settings;
}

// One change on the window and the same change to the generator's settings.
struct Change {
    const char* name;
    BoxTexts boxes;       // box, typed text
    ButtonStates buttons; // option or check box, on
    void (*apply)(div::MixedGroupSettings&);
};

const std::vector<Change>& changes()
{
    using S = div::MixedGroupSettings;
    static const std::vector<Change> rows = {
        {"w11", {{"w11", "3"}}, {}, [](S& s) { s.groups[0].firstDigits = "3"; }},
        {"w12", {{"w12", "2"}}, {}, [](S& s) { s.groups[0].secondDigits = "2"; }},
        {"w13", {{"w13", "5"}}, {}, [](S& s) { s.groups[0].count = "5"; }},
        {"w21", {{"w21", "4"}}, {}, [](S& s) { s.groups[1].firstDigits = "4"; }},
        {"w22", {{"w22", "2"}}, {}, [](S& s) { s.groups[1].secondDigits = "2"; }},
        {"w23", {{"w23", "7"}}, {}, [](S& s) { s.groups[1].count = "7"; }},
        {"w31", {{"w31", "4"}}, {}, [](S& s) { s.groups[2].firstDigits = "4"; }},
        {"w32", {{"w32", "3"}}, {}, [](S& s) { s.groups[2].secondDigits = "3"; }},
        {"w33", {{"w33", "6"}}, {}, [](S& s) { s.groups[2].count = "6"; }},
        // The fourth group makes no questions by default, so its digit counts
        // show in the output only once it has some.
        {"w41", {{"w43", "4"}, {"w41", "5"}}, {},
         [](S& s) {
             s.groups[3].count = "4";
             s.groups[3].firstDigits = "5";
         }},
        {"w42", {{"w43", "4"}, {"w42", "3"}}, {},
         [](S& s) {
             s.groups[3].count = "4";
             s.groups[3].secondDigits = "3";
         }},
        {"w43", {{"w43", "4"}}, {}, [](S& s) { s.groups[3].count = "4"; }},
        {"ttt", {{"ttt", "4"}}, {}, [](S& s) { s.perRow = "4"; }},
        {"Text1", {{"Text1", "3"}}, {}, [](S& s) { s.sets = "3"; }},
        {"Option1", {}, {{"Option1", true}}, [](S& s) { s.answers = true; }},
        {"Check1", {}, {{"Check1", true}}, [](S& s) { s.toPrinter = true; }},
        {"Check2", {}, {{"Check1", true}, {"Check2", false}},
         [](S& s) {
             s.toPrinter = true;
             s.toFile = false;
         }},
        {"all at once",
         {{"w11", "3"}, {"w12", "2"}, {"w13", "5"}, {"w21", "4"}, {"w22", "1"}, {"w23", "7"}, {"w31", "5"},
          {"w32", "3"}, {"w33", "6"}, {"w41", "2"}, {"w42", "2"}, {"w43", "8"}, {"ttt", "4"}, {"Text1", "2"}},
         {{"Option1", true}, {"Check1", true}},
         [](S& s) {
             s.groups = {{{"3", "2", "5"}, {"4", "1", "7"}, {"5", "3", "6"}, {"2", "2", "8"}}};
             s.perRow = "4";
             s.sets = "2";
             s.answers = true;
             s.toPrinter = true;
         }},
    };
    return rows;
}

QStringList setFiles(int sets)
{
    QStringList names;
    for (int set = 1; set <= sets; ++set)
        names << QString("综合除算%1.xls").arg(set);
    names.sort(); // the order of the recorded map
    return names;
}

} // namespace

class DivisionWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        run_ = std::make_unique<kestrin::testing::RecordedRun>();
        window_ = std::make_unique<DivisionWindow>(servicesOf(*run_));
    }
    void cleanup()
    {
        window_.reset();
        run_.reset();
    }

    void windowProperties() { checkWindowProperties(*window_, "zhcs2", "Kestrin-综合除算"); }

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
        const QStringList focusable = {"w11", "w12", "Option2", "Check1", "Check2", "Command1", "Command2",
                                       "Text3", "ttt", "w13", "w21", "w22", "w23", "w31",
                                       "w32", "w33", "w41", "w42", "w43", "Text1"};
        QCOMPARE(focusableInTableOrder(*window_, expectedRows()), focusable);
        QCOMPARE(tabChain(window_.get(), window_->findChild<QWidget*>("w11"), focusable.size()), focusable);
    }

    void defaults()
    {
        checkSwitchDefaults(*window_);
        if (QTest::currentTestFailed())
            return;
        checkEditableBoxes(*window_, {"w11", "w12", "w13", "w21", "w22", "w23", "w31", "w32", "w33", "w41", "w42",
                                      "w43", "ttt", "Text1"});
    }

    void displayControls() { checkDisplayControls(*window_); }

    void firstShowingFocusesTheFirstGridBox() { checkFirstShowing(*window_, *run_, "w11", "w12"); }

    void optionsAreOneExclusivePair() { checkOptionPair(*window_); }

    void checkBoxesAreIndependent() { checkCheckBoxesIndependent(*window_); }

    void altCRunsTheDefaults()
    {
        QVERIFY(openActive(*window_));
        QTest::keyClick(window_->windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(run_->file.closes, 10);

        QVERIFY(run_->messages.shown.isEmpty());
        QCOMPARE(run_->file.files.keys(), setFiles(10));
        QCOMPARE(run_->file.openNumbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        for (const auto& records : run_->file.files)
            QCOMPARE(records.size(), std::size_t(2 + 16));
        QCOMPARE(run_->printer.begins, 0);
        checkFinishedStatus(*window_, statusDone);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(window_->completionLabel()->text(),
                 QString("智能生成[80]题已完成。如果选择输出到Excel，请在该系统目录"
                         "（/home/li）下将“综合除算X.xls”用Excel打开，"
                         "点完成即可。(千万不要直接双击进入)调整即可。谢谢！"));
    }

    void altXAsksToReturn() { checkAltXAsksToReturn(*window_, *run_); }

    void refusedRunShowsTheSetsMessageAndChangesNothing()
    {
        window_->findChild<QLineEdit*>("Text1")->setText("0");
        const QStringList before = stateOf(*window_);
        window_->startButton()->click();
        QCOMPARE(run_->messages.shown, QStringList{setsMessage});
        QCOMPARE(run_->file.opens, 0);
        QCOMPARE(run_->printer.begins, 0);
        QCOMPARE(stateOf(*window_), before);
    }

    void refusedRunKeepsThePreviousResult()
    {
        window_->startButton()->click();
        QVERIFY(run_->messages.shown.isEmpty());
        window_->findChild<QLineEdit*>("Text1")->setText("101");
        const QStringList before = stateOf(*window_);
        QVERIFY(before.join('\n').contains("[80]"));
        window_->startButton()->click();
        QCOMPARE(run_->messages.shown, QStringList{setsMessage});
        QCOMPARE(run_->file.opens, 10);
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
        QVERIFY(div::runMixedGroupSheet(div::divisionKind(), defaultSettings(), servicesOf(untouched)).completed);
        div::MixedGroupSettings settings = defaultSettings();
        change.apply(settings);
        kestrin::testing::RecordedRun expected;
        const RunResult result = div::runMixedGroupSheet(div::divisionKind(), settings, servicesOf(expected));
        QVERIFY(result.completed);
        QVERIFY(expected.messages.shown.isEmpty());
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
        QCOMPARE(window_->findChild<QWidget*>("w43")->geometry(), QRect(344, 200, 41, 25));
    }

private:
    std::unique_ptr<kestrin::testing::RecordedRun> run_;
    std::unique_ptr<DivisionWindow> window_;
};

QTEST_MAIN(DivisionWindowTest)
#include "division_window_test.moc"
