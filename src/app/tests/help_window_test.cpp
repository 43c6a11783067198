// Window help1: its text, its controls, and opening and putting it away from
// the main window.

#include "app/fonts.h"
#include "app/help_text.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "output/gbk_encoder.h"
#include "testsupport/fakes.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace kestrin;
using namespace kestrin::app;

namespace {

const QString crlf = QStringLiteral("\r\n");

QStringList helpLines()
{
    QStringList lines = helpText().split(crlf);
    lines.removeLast(); // after the final line break
    return lines;
}

} // namespace

class HelpWindowTest : public QObject {
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

    // --- the text ---

    void textLinesEndInCrLfAndTheTextEndsWithOne()
    {
        const QString text = helpText();
        QVERIFY(text.endsWith(crlf));
        QVERIFY(!text.endsWith(crlf + crlf + crlf));
        QCOMPARE(text.count(crlf), 29);
        QCOMPARE(text.count(QLatin1Char('\r')), 29);
        QCOMPARE(text.count(QLatin1Char('\n')), 29);
        QCOMPARE(helpLines().size(), 29);
    }

    void fixedLines()
    {
        const QStringList lines = helpLines();
        QCOMPARE(lines.size(), 29);
        QCOMPARE(lines[0], QString("KestrinV2.0"));
        QCOMPARE(lines[2], QString("该系统是根据重庆市速算竞赛要求，设计生成的自动出题系统。"));
        QCOMPARE(lines[4], QString("软件说明：1.能自动生成学前段，小学低、中、高段的加减速算题。"));
        QCOMPARE(lines[6],
                 QString("2.该题可直接生成输出到打印机，无需任何设置；也可将题自动导入到EXCEL软件里，简单修改，即可打印。"));
        QCOMPARE(lines[8],
                 QString("3.生成的题如果是用Excel导出，不要直接双击该文件进入。而是先打开Excel，再从Excel里打开该文件，此时"));
        QCOMPARE(lines[9],
                 QString("会出现“文本导入向导”，这时直接点击“完成”即可。再进入Excel将引入“替换”为空格将引号去掉，再根"));
        QCOMPARE(lines[10], QString("据自己的需要调整宽度、高度、字体、字号，还可设页眉、页脚。"));
        const QString fourStart = "4.如果需要题和答案同时输出，只需分两次生成即可。";
        QVERIFY(lines[12].startsWith(fourStart));
        QVERIFY2(lines[12].size() > fourStart.size() + 4, "item 4 goes on with a sentence to the author");
        QVERIFY(lines[12].endsWith(QString("。")));
        QVERIFY(lines[14].startsWith(QString("5.")));
        QCOMPARE(lines[19], QString("6.最后，无论你通过何种途径使用何版本，都感谢你对本人的支持。谢谢！"));
        // The curly quotation marks are the text's own, and "EXCEL" is in capitals only in item 2.
        QCOMPARE(lines[9].count(QChar(0x201C)), 3);
        QCOMPARE(lines[9].count(QChar(0x201D)), 3);
        QCOMPARE(lines.join("").count("EXCEL"), 1);
    }

    void blankLinesBetweenTheParagraphs()
    {
        const QStringList lines = helpLines();
        const QList<int> blanks = {1, 3, 5, 7, 11, 13, 18, 20};
        for (int i = 0; i < 21; ++i)
            QVERIFY2(lines[i].isEmpty() == blanks.contains(i), qPrintable(QString("line %1").arg(i + 1)));
        // Paragraph 5 is four lines, none of them blank.
        for (int i = 14; i <= 17; ++i)
            QVERIFY(!lines[i].trimmed().isEmpty());
        // The contact block: eight lines, some of them blank, starting with text.
        const QStringList contact = lines.mid(21);
        QCOMPARE(contact.size(), 8);
        QVERIFY(!contact.first().isEmpty());
        QVERIFY(contact.contains(QString()));
        for (const QString& line : lines)
            QVERIFY2(line == line.trimmed(), qPrintable(line));
    }

    void everyCharacterHasAGbkCode()
    {
        const auto gbk = makeSystemGbkEncoder();
        QVERIFY(gbk);
        for (const QString& line : helpLines()) {
            QByteArray bytes;
            QVERIFY2(gbk->encode(line, bytes), qPrintable(line));
            QVERIFY(!bytes.contains('?'));
        }
    }

    // --- the window ---

    void noHelpWindowBeforeItsFirstOpening()
    {
        QVERIFY(!main_->helpWindow());
        QCOMPARE(visibleWindows(), QStringList{"zcd"});
        QAction* entry = main_->entry("bz");
        QVERIFY(entry);
        QVERIFY(entry->isEnabled());
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void windowProperties()
    {
        HelpWindow window;
        QCOMPARE(window.objectName(), QString("help1"));
        QCOMPARE(window.windowTitle(), QString("Kestrin2.0 --帮助"));
        QVERIFY(window.isWindow());
        QVERIFY(window.autoFillBackground());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(240, 240, 240));
        QCOMPARE(window.size(), QSize(312, 213));
        QVERIFY(!window.isVisible());
    }

    void controlsInTabOrder()
    {
        HelpWindow window;
        QStringList names;
        for (QWidget* control : window.controlsInTableOrder())
            names << control->objectName();
        QCOMPARE(names, (QStringList{"Text2", "Command2"}));

        auto* text = qobject_cast<QPlainTextEdit*>(window.control("Text2"));
        QVERIFY(text);
        QCOMPARE(text->geometry(), QRect(0, 8, 785, 481));
        auto* close = qobject_cast<QPushButton*>(window.control("Command2"));
        QVERIFY(close);
        QCOMPARE(close->text(), QString("关闭"));
        QCOMPARE(close->geometry(), QRect(472, 512, 73, 33));
        for (QWidget* control : {static_cast<QWidget*>(text), static_cast<QWidget*>(close)}) {
            QCOMPARE(control->font().family(), QString("宋体"));
            QCOMPARE(control->font().pixelSize(), 16);
            QCOMPARE(control->font().weight(), QFont::Normal);
            QVERIFY(!control->font().italic());
        }
        QCOMPARE(window.findChildren<QPlainTextEdit*>().size(), 1);
        QCOMPARE(window.findChildren<QPushButton*>().size(), 1);
    }

    void boxShowsTheTextLineForLine()
    {
        HelpWindow window;
        QPlainTextEdit* text = window.textBox();
        QCOMPARE(text->toPlainText(), QString(helpText()).replace(crlf, "\n"));
        // One paragraph per line, blank ones included, and an empty one after
        // the final line break; no carriage return shows as a character.
        const QStringList lines = helpLines();
        QTextDocument* document = text->document();
        QCOMPARE(document->blockCount(), lines.size() + 1);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(document->findBlockByNumber(i).text(), lines[i]);
        QCOMPARE(document->lastBlock().text(), QString());
        QVERIFY(!text->toPlainText().contains(QLatin1Char('\r')));
    }

    void boxIsReadOnly()
    {
        HelpWindow* help = pressF1();
        QPlainTextEdit* text = help->textBox();
        QVERIFY(text->isReadOnly());
        text->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClicks(text, "abc");
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::keyClick(text, Qt::Key_Backspace);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(text->toPlainText(), QString(helpText()).replace(crlf, "\n"));
        // It can still be read with the keyboard.
        QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QTest::keyClick(text, Qt::Key_Down);
        QCOMPARE(text->textCursor().blockNumber(), 1);
    }

    void longLinesWrapAtTheRightEdge()
    {
        HelpWindow* help = pressF1();
        QPlainTextEdit* text = help->textBox();
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(text->geometry(), QRect(0, 8, 785, 481));
        const int width = text->viewport()->width();
        QVERIFY(width > 700);
        const int em = QFontMetrics(text->font()).horizontalAdvance(QChar(0x4E2D));
        QVERIFY(em >= 14);

        QTextDocument* document = text->document();
        QCOMPARE(document->findBlockByNumber(0).layout()->lineCount(), 1);
        for (int number : {6, 8, 12}) { // items 7, 9 and 13, longer than a line of the box
            const QTextBlock block = document->findBlockByNumber(number);
            QTextLayout* layout = block.layout();
            QVERIFY2(layout->lineCount() >= 2, qPrintable(block.text()));
            const QTextLine first = layout->lineAt(0);
            QVERIFY(first.naturalTextWidth() <= width);
            QVERIFY2(first.naturalTextWidth() > width - 3 * em, "the line breaks near the right edge");
        }
        QCOMPARE(text->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        // The wrapped text is taller than the box: the vertical scroll bar shows.
        QVERIFY(text->verticalScrollBar()->isVisible());
        QVERIFY(text->verticalScrollBar()->maximum() > 0);
    }

    // --- opening and putting away ---

    void f1OpensItOverTheMainWindow()
    {
        HelpWindow* help = pressF1();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->isMaximized());
        QVERIFY(main_->isVisible());
        QVERIFY(main_->isMaximized());
        QCOMPARE(visibleWindows(), (QStringList{"help1", "zcd"}));
        QVERIFY(QTest::qWaitForWindowActive(help));
    }

    void firstPlacedAtTheCentreOfTheScreen()
    {
        HelpWindow* help = pressF1();
        const QRect normal = help->normalGeometry();
        QCOMPARE(normal.size(), QSize(312, 213));
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2((normal.center() - centre).manhattanLength() <= 2,
                 qPrintable(QString("%1,%2").arg(normal.center().x()).arg(normal.center().y())));
    }

    void closeButtonLeavesOnlyTheMainWindow()
    {
        HelpWindow* help = pressF1();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::mouseClick(help->closeButton(), Qt::LeftButton);
        QVERIFY(!help->isVisible());
        QCOMPARE(main_->helpWindow(), help);
        QCOMPARE(visibleWindows(), QStringList{"zcd"});
        QVERIFY(main_->isMaximized());
    }

    void closeButtonTakesSpaceAndEnter_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void closeButtonTakesSpaceAndEnter()
    {
        QFETCH(int, key);
        HelpWindow* help = pressF1();
        QVERIFY(QTest::qWaitForWindowActive(help));
        help->closeButton()->setFocus();
        QCOMPARE(QApplication::focusWidget(), help->closeButton());
        QTest::keyClick(help->closeButton(), Qt::Key(key));
        QVERIFY(!help->isVisible());
        QCOMPARE(visibleWindows(), QStringList{"zcd"});
    }

    void enterInTheTextDoesNotCloseIt()
    {
        HelpWindow* help = pressF1();
        QVERIFY(QTest::qWaitForWindowActive(help));
        help->textBox()->setFocus();
        QTest::keyClick(help->textBox(), Qt::Key_Return);
        QTest::keyClick(help->textBox(), Qt::Key_Space);
        QVERIFY(help->isVisible());
    }

    void tabGoesFromTheTextToTheButton()
    {
        HelpWindow* help = pressF1();
        QVERIFY(QTest::qWaitForWindowActive(help));
        help->textBox()->setFocus();
        QTest::keyClick(help->textBox(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), help->closeButton());
        QTest::keyClick(help->closeButton(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), help->textBox());
        QVERIFY(!help->textBox()->toPlainText().contains(QLatin1Char('\t')));
    }

    void closeBoxHidesItToo()
    {
        HelpWindow* help = pressF1();
        QPointer<HelpWindow> kept(help);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QVERIFY(!help->close());
        QVERIFY(kept);
        QVERIFY(!help->isVisible());
        QCOMPARE(main_->helpWindow(), help);
        QCOMPARE(visibleWindows(), QStringList{"zcd"});
        backToTheMainWindow();
        QCOMPARE(pressF1(), help);
        QVERIFY(help->isVisible());
    }

    void f1TwiceGivesOneWindow()
    {
        HelpWindow* first = pressF1();
        backToTheMainWindow();
        HelpWindow* second = pressF1();
        QCOMPARE(second, first);
        QCOMPARE(helpWindows(), 1);
        // Brought to the front again.
        QVERIFY(QTest::qWaitForWindowActive(first));
        QCOMPARE(visibleWindows(), (QStringList{"help1", "zcd"}));
    }

    void reopenedAsItWasLeft()
    {
        HelpWindow* help = pressF1();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QPlainTextEdit* text = help->textBox();
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(10);
        cursor.setPosition(40, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
        const int revision = text->document()->revision();
        help->showNormal();
        QTest::mouseClick(help->closeButton(), Qt::LeftButton);
        QVERIFY(!help->isVisible());

        backToTheMainWindow();
        QCOMPARE(pressF1(), help);
        QVERIFY(help->isVisible());
        QVERIFY2(!help->isMaximized(), "shown again in the state it was left in");
        QCOMPARE(text->document()->revision(), revision);
        QCOMPARE(text->textCursor().anchor(), 10);
        QCOMPARE(text->textCursor().position(), 40);
        QCOMPARE(text->toPlainText(), QString(helpText()).replace(crlf, "\n"));
        QVERIFY(main_->isVisible());
    }

    void menuEntryOpensItToo()
    {
        main_->entry("bz")->trigger();
        HelpWindow* help = main_->helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(main_->isVisible());
    }

private:
    // What the window manager does when a window goes: the main window is the
    // active one again, so its shortcut keys work.
    void backToTheMainWindow()
    {
        main_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    }

    HelpWindow* pressF1()
    {
        QTest::keyClick(main_->windowHandle(), Qt::Key_F1);
        return main_->helpWindow();
    }

    static QStringList visibleWindows()
    {
        QStringList names;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible())
                names << widget->objectName();
        names.sort();
        return names;
    }

    static int helpWindows()
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("help1"))
                ++count;
        return count;
    }

    std::unique_ptr<testing::RecordedRun> run_;
    std::unique_ptr<MainWindow> main_;
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
