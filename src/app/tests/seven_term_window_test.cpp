// Window xqd7: its controls against the layout table, its defaults, and what
// the start and return buttons do, with recorded services.

#include "app/fonts.h"
#include "app/seven_term_window.h"
#include "gen/addsub/chain_sheet.h"
#include "window_checks.h"

#include <QButtonGroup>
#include <QFontInfo>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

using namespace kestrin;
using namespace kestrin::app;
using namespace kestrin::app::checks;

namespace {

// The layout of xqd7 in tab order, written out independently of the window's own table.
const std::vector<Row>& expectedRows()
{
    static const std::vector<Row> rows = {
        {"Label1", "label", "小学数学 [七笔加减] 自动出题系统", 2520, 720, 7215, 615, "黑体", 29},
        {"Command1", "button", "七笔加减(&C)", 7320, 4320, 1935, 495},
        {"Text1", "text", "15", 3600, 2040, 495, 375},
        {"Command2", "button", "返    回(&X)", 7320, 5160, 1935, 495},
        {"Frame1", "frame", "是否生成答案", 1680, 4080, 2535, 1695},
        {"Option1", "option", "是", 3120, 4440, 735, 495},
        {"Option2", "option", "否", 3120, 5040, 735, 495},
        {"Frame2", "frame", "智能生成", 6360, 3840, 3975, 2055},
        {"Text2", "text", "", 1680, 6480, 8775, 495, "宋体", 19},
        {"Label3", "label", "", 720, 7320, 10455, 495},
        {"Label2", "label", "每排生成题数", 1800, 2040, 1695, 375},
        {"Label4", "label", "每页生成几排", 1800, 2640, 1455, 495},
        {"Text3", "text", "5", 3600, 2640, 495, 375},
        {"Frame3", "frame", "输出位置", 6360, 1920, 3975, 1695},
        {"Check1", "check", "直接输出到打印机", 6600, 2520, 1575, 495},
        {"Check2", "check", "输出到Excel，调整后打印", 8280, 2520, 1935, 495},
        {"Label5", "label", "每次生成几页", 1800, 3360, 1455, 495},
        {"Text4", "text", "5", 3600, 3360, 495, 375},
    };
    return rows;
}

// This window's status line is narrower than the other windows'.
const QString sevenTermDone = QStringLiteral("                       100% 完成");

} // namespace

class SevenTermWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        run_ = std::make_unique<testing::RecordedRun>();
        window_ = std::make_unique<SevenTermWindow>(servicesOf(*run_));
    }
    void cleanup()
    {
        window_.reset();
        run_.reset();
    }

    void windowProperties()
    {
        checkWindowProperties(*window_, "xqd7", "Kestrin2.0 --低段加减", QColor(200, 200, 200));
    }

    void controls_data() { addIndexRows(expectedRows()); }
    void controls()
    {
        QFETCH(int, index);
        checkPlacement(*window_, expectedRows()[index], index);
    }

    void noOtherControls() { QCOMPARE(directChildWidgets(*window_), int(expectedRows().size())); }

    void tabOrderFollowsTheTable()
    {
        const QStringList expected = focusableInTableOrder(*window_, expectedRows());
        // The answers pair is one tab stop, on its selected option.
        QCOMPARE(expected, QStringList({"Command1", "Text1", "Command2", "Option2", "Text2", "Text3", "Check1",
                                        "Check2", "Text4"}));
        QCOMPARE(tabChain(window_.get(), window_->findChild<QWidget*>("Command1"), expected.size()), expected);
    }

    void labelsAndFramesTakeNoFocus()
    {
        for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Frame1", "Frame2", "Frame3"})
            QVERIFY2(!(window_->findChild<QWidget*>(name)->focusPolicy() & Qt::TabFocus), name);
    }

    void fonts()
    {
        for (const Row& row : expectedRows()) {
            checkFont(*window_->findChild<QWidget*>(row.name), row);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The Chinese font names of the layout reach the system's CJK fonts.
    // 黑体 and 宋体 are SimHei and SimSun where Windows' fonts are there (on
    // Windows, and under Wine as their stand-ins), else the Noto CJK fonts.
    void fontsFallBackToTheCjkFonts()
    {
        const QFontInfo title(window_->findChild<QWidget*>("Label1")->font());
        const QFontInfo body(window_->findChild<QWidget*>("Label2")->font());
        const auto installed = [](const QString& family) { return QFontInfo(QFont(family)).family() == family; };
        if (installed("SimSun") && installed("SimHei")) {
            QVERIFY2(title.family() == "SimHei" || title.family() == "黑体", qPrintable(title.family()));
            QVERIFY2(body.family() == "SimSun" || body.family() == "宋体", qPrintable(body.family()));
        } else if (installed("Noto Sans CJK SC")) {
            QCOMPARE(title.family(), QString("Noto Sans CJK SC"));
            QVERIFY2(body.family().startsWith("Noto") && body.family().contains("CJK SC"), qPrintable(body.family()));
        } else {
            QSKIP("neither Windows' Chinese fonts nor the Noto CJK fonts are installed");
        }
        QCOMPARE(title.pixelSize(), 29);
        QVERIFY(QFontMetrics(window_->findChild<QWidget*>("Label2")->font()).inFont(QChar(0x6BCF))); // 每
    }

    void everyControlPaints() { checkStatusPaintsBlack(*window_); }

    void framesLieBehindTheControlsInsideThem()
    {
        QVERIFY(openExposed(*window_));
        checkFramesHoldTheirControls(*window_);
    }

    void defaults()
    {
        QCOMPARE(window_->findChild<QLineEdit*>("Text1")->text(), QString("15"));
        QCOMPARE(window_->findChild<QLineEdit*>("Text3")->text(), QString("5"));
        QCOMPARE(window_->findChild<QLineEdit*>("Text4")->text(), QString("5"));
        checkSwitchDefaults(*window_);
    }

    void optionsAreOneExclusivePair()
    {
        auto* yes = window_->findChild<QRadioButton*>("Option1");
        auto* no = window_->findChild<QRadioButton*>("Option2");
        QButtonGroup* group = window_->optionGroup();
        QVERIFY(group);
        QVERIFY(group->exclusive());
        QCOMPARE(group->buttons().size(), 2);
        QCOMPARE(yes->group(), group);
        QCOMPARE(no->group(), group);
        QTest::mouseClick(yes, Qt::LeftButton);
        QVERIFY(yes->isChecked());
        QVERIFY(!no->isChecked());
        QTest::mouseClick(no, Qt::LeftButton);
        QVERIFY(!yes->isChecked());
        QVERIFY(no->isChecked());
        QTest::mouseClick(no, Qt::LeftButton); // clicking the selected one keeps it selected
        QVERIFY(no->isChecked());
    }

    void checkBoxesAreIndependent() { checkCheckBoxesIndependent(*window_); }

    void displayControls()
    {
        QLineEdit* status = window_->statusBox();
        QCOMPARE(status, window_->findChild<QLineEdit*>("Text2"));
        QCOMPARE(status->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(status->palette().color(QPalette::Base) != QColor(Qt::black));
        QVERIFY(status->isReadOnly());
        QLabel* completion = window_->completionLabel();
        QCOMPARE(completion, window_->findChild<QLabel*>("Label3"));
        QCOMPARE(completion->palette().color(QPalette::WindowText), QColor(128, 128, 255));
        QVERIFY(completion->wordWrap());
        QVERIFY(completion->alignment() & Qt::AlignTop);
        // The other text boxes are editable.
        for (const char* name : {"Text1", "Text3", "Text4"})
            QVERIFY(!window_->findChild<QLineEdit*>(name)->isReadOnly());
    }

    void buttonsPressOnEnterButNoneIsTheDefault()
    {
        for (QPushButton* button : {window_->startButton(), window_->returnButton()}) {
            QVERIFY(button->autoDefault());
            QVERIFY(!button->isDefault());
        }
    }

    void startRunsTheSevenTermSheetWithTheDefaults()
    {
        QTest::mouseClick(window_->startButton(), Qt::LeftButton);

        QVERIFY(run_->messages.shown.isEmpty());
        QVERIFY(run_->file.files.contains("学前段七笔加减速算.xls"));
        QCOMPARE(run_->printer.begins, 0);
        checkFinishedStatus(*window_, sevenTermDone);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(window_->completionLabel()->text().contains("[375]"));
        QVERIFY(window_->completionLabel()->text().contains("学前段七笔加减速算.xls"));
    }

    // The window hands the generator exactly what its controls hold.
    void startReadsEverySetting()
    {
        window_->findChild<QLineEdit*>("Text1")->setText("3");
        window_->findChild<QLineEdit*>("Text3")->setText("2");
        window_->findChild<QLineEdit*>("Text4")->setText("2");
        window_->findChild<QRadioButton*>("Option1")->setChecked(true);
        window_->findChild<QCheckBox*>("Check1")->setChecked(true);
        window_->findChild<QCheckBox*>("Check2")->setChecked(false);
        window_->startButton()->click();

        testing::RecordedRun expected;
        SheetSettings settings;
        settings.perRow = "3";
        settings.rowsPerPage = "2";
        settings.pages = "2";
        settings.answers = true;
        settings.toPrinter = true;
        settings.toFile = false;
        const RunResult result = addsub::runChainSheet(addsub::sevenTermKind(), settings, servicesOf(expected));
        QVERIFY(result.completed);

        QCOMPARE(run_->file.opens, 0);
        QCOMPARE(run_->printer.begins, 1);
        QCOMPARE(run_->printer.finishedPages, expected.printer.finishedPages);
        QCOMPARE(run_->random.draws, expected.random.draws);
        QCOMPARE(window_->completionLabel()->text(), result.completionText);
        QVERIFY(window_->completionLabel()->text().contains("[12]"));
    }

    void answersAreReadFromTheOption()
    {
        window_->findChild<QCheckBox*>("Check2")->setChecked(false);
        window_->findChild<QCheckBox*>("Check1")->setChecked(true);
        window_->startButton()->click();
        const auto without = run_->printer.finishedPages;
        window_->findChild<QRadioButton*>("Option1")->setChecked(true);
        window_->startButton()->click();
        QCOMPARE(run_->printer.finishes, 2);
        QVERIFY(run_->printer.finishedPages != without);
    }

    void refusedRunShowsTheSizeMessageAndChangesNothing()
    {
        window_->findChild<QLineEdit*>("Text1")->setText("1");
        window_->startButton()->click();
        QCOMPARE(run_->messages.shown,
                 QStringList{"可一次性每排输出2-50题，每页输出2-10排，每次输出1-20页。对不起！输入有误，谢谢使用。欢迎再来"});
        QCOMPARE(run_->file.opens, 0);
        QVERIFY(window_->statusBox()->text().isEmpty());
        QVERIFY(window_->statusBox()->palette().color(QPalette::Base) != QColor(Qt::black));
        QVERIFY(window_->completionLabel()->text().isEmpty());
    }

    void refusedRunKeepsThePreviousResult()
    {
        window_->startButton()->click();
        const QString completion = window_->completionLabel()->text();
        window_->findChild<QLineEdit*>("Text4")->setText("21");
        window_->startButton()->click();
        QCOMPARE(run_->messages.shown.size(), 1);
        QCOMPARE(run_->file.opens, 1);
        QCOMPARE(window_->statusBox()->text(), sevenTermDone);
        QCOMPARE(window_->statusBox()->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(window_->completionLabel()->text(), completion);
    }

    void startButtonHoldsTheFocusAndEnterPressesIt()
    {
        window_->open();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QCOMPARE(QApplication::focusWidget(), window_->startButton());
        QTest::keyClick(window_->windowHandle(), Qt::Key_Return);
        QCOMPARE(run_->file.closes, 1);
        QTest::keyClick(window_->windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(run_->file.closes, 2);
        QTest::keyClick(window_->windowHandle(), Qt::Key_Space);
        QCOMPARE(run_->file.closes, 3);
        QCOMPARE(window_->statusBox()->text(), sevenTermDone);
    }

    void enterOnAnotherButtonPressesThatOne()
    {
        window_->open();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QSignalSpy back(window_.get(), &GeneratorWindow::returnRequested);
        window_->returnButton()->setFocus();
        QTest::keyClick(window_->windowHandle(), Qt::Key_Return);
        QCOMPARE(back.count(), 1);
        QCOMPARE(run_->file.opens, 0);
        // Enter in a text box starts nothing.
        window_->findChild<QLineEdit*>("Text1")->setFocus();
        QTest::keyClick(window_->windowHandle(), Qt::Key_Return);
        QCOMPARE(run_->file.opens, 0);
    }

    void tabMovesAlongTheTable()
    {
        window_->open();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Text1"));
        QTest::keyClick(window_->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Command2"));
    }

    void accessKeys()
    {
        window_->open();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QSignalSpy back(window_.get(), &GeneratorWindow::returnRequested);
        window_->findChild<QLineEdit*>("Text4")->setFocus();
        // An access key presses its button with a short visible press.
        QTest::keyClick(window_->windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(run_->file.closes, 1);
        QCOMPARE(back.count(), 0);
        QTest::keyClick(window_->windowHandle(), Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(back.count(), 1);
        QCOMPARE(run_->file.closes, 1);
    }

    void closeBoxAsksToReturn()
    {
        window_->open();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QSignalSpy back(window_.get(), &GeneratorWindow::returnRequested);
        window_->findChild<QLineEdit*>("Text1")->setText("8");
        QVERIFY(!window_->close());
        QCOMPARE(back.count(), 1);
        QCOMPARE(window_->findChild<QLineEdit*>("Text1")->text(), QString("8"));
    }

    void opensMaximizedFirstAndLaterAsLeft()
    {
        QVERIFY(!window_->isVisible());
        window_->open();
        QVERIFY(window_->isVisible());
        QVERIFY(window_->isMaximized());
        window_->showNormal();
        window_->hide();
        window_->open();
        QVERIFY(window_->isVisible());
        QVERIFY(!window_->isMaximized());
        QCOMPARE(window_->size(), QSize(4680 / 15, 3195 / 15));
    }

    // Fixed geometry: nothing moves when the window changes size.
    void controlsKeepTheirPlacesOnResize()
    {
        window_->open();
        window_->showNormal();
        window_->resize(300, 200);
        QCOMPARE(window_->findChild<QWidget*>("Text2")->geometry(), QRect(112, 432, 585, 33));
        QCOMPARE(window_->findChild<QWidget*>("Label3")->geometry(), QRect(48, 488, 697, 33));
    }

private:
    std::unique_ptr<testing::RecordedRun> run_;
    std::unique_ptr<SevenTermWindow> window_;
};

QTEST_MAIN(SevenTermWindowTest)
#include "seven_term_window_test.moc"
