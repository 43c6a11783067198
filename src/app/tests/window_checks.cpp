#include "window_checks.h"

#include <QApplication>
#include <QButtonGroup>
#include <QSignalSpy>

namespace kestrin::app::checks {

QRect pixelsOf(const Row& row)
{
    return QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15);
}

bool openActive(GeneratorWindow& window)
{
    window.open();
    return QTest::qWaitForWindowActive(&window);
}

bool openExposed(GeneratorWindow& window)
{
    window.open();
    return QTest::qWaitForWindowExposed(&window);
}

void checkWindowProperties(GeneratorWindow& window, const QString& name, const QString& caption,
                           const QColor& background)
{
    QCOMPARE(window.objectName(), name);
    QCOMPARE(window.windowTitle(), caption);
    QVERIFY(window.isWindow());
    QCOMPARE(window.palette().color(QPalette::Window), background);
    QVERIFY(window.autoFillBackground());
}

void checkPlacement(GeneratorWindow& window, const Row& row, int index)
{
    auto* widget = window.findChild<QWidget*>(row.name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &window);
    QCOMPARE(kindOf(widget), QString(row.kind));
    QCOMPARE(textOf(widget), row.text);
    QCOMPARE(widget->geometry(), pixelsOf(row));
    QCOMPARE(window.controlsInTableOrder().at(index), widget);
}

void checkFont(const QWidget& widget, const Row& row)
{
    QCOMPARE(widget.font().family(), row.family);
    QCOMPARE(widget.font().pixelSize(), row.pixels);
    QVERIFY2(!widget.font().bold() && !widget.font().italic() && !widget.font().underline(), row.name);
}

void checkControl(GeneratorWindow& window, const Row& row, int index)
{
    checkPlacement(window, row, index);
    if (QTest::currentTestFailed())
        return;
    checkFont(*window.findChild<QWidget*>(row.name), row);
}

int directChildWidgets(const QWidget& window)
{
    int direct = 0;
    for (QObject* child : window.children())
        if (child->isWidgetType())
            ++direct;
    return direct;
}

QStringList focusableInTableOrder(const QWidget& window, const std::vector<Row>& rows)
{
    QStringList names;
    for (const Row& row : rows)
        if (window.findChild<QWidget*>(row.name)->focusPolicy() & Qt::TabFocus)
            names << row.name;
    return names;
}

void checkSwitchDefaults(GeneratorWindow& window)
{
    QVERIFY(!window.findChild<QRadioButton*>("Option1")->isChecked());
    QVERIFY(window.findChild<QRadioButton*>("Option2")->isChecked());
    QVERIFY(!window.findChild<QCheckBox*>("Check1")->isChecked());
    QVERIFY(window.findChild<QCheckBox*>("Check1")->isEnabled());
    QVERIFY(window.findChild<QCheckBox*>("Check2")->isChecked());
    QVERIFY(window.statusBox()->text().isEmpty());
    QVERIFY(window.completionLabel()->text().isEmpty());
}

void checkEditableBoxes(GeneratorWindow& window, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        auto* box = window.findChild<QLineEdit*>(name);
        QVERIFY2(!box->isReadOnly(), name);
        QVERIFY2(box->alignment() & Qt::AlignLeft, name);
    }
}

void checkDisplayControls(GeneratorWindow& window)
{
    QLineEdit* status = window.statusBox();
    QCOMPARE(status, window.findChild<QLineEdit*>("Text3"));
    QCOMPARE(status->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(status->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    QVERIFY(status->isReadOnly());
    QLabel* completion = window.completionLabel();
    QCOMPARE(completion, window.findChild<QLabel*>("Label4"));
    QCOMPARE(completion->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText));
    QVERIFY(completion->wordWrap());
}

void checkFirstShowing(GeneratorWindow& window, const kestrin::testing::RecordedRun& run, const QString& first,
                       const QString& second)
{
    QVERIFY(openActive(window));
    QVERIFY(window.isMaximized());
    QCOMPARE(QApplication::focusWidget(), window.findChild<QWidget*>(first));
    QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), second);
    // Enter in a text box starts nothing.
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    QCOMPARE(run.file.opens, 0);
}

void checkOptionPair(GeneratorWindow& window)
{
    auto* yes = window.findChild<QRadioButton*>("Option1");
    auto* no = window.findChild<QRadioButton*>("Option2");
    QButtonGroup* group = window.optionGroup();
    QVERIFY(group && group->exclusive());
    QCOMPARE(group->buttons().size(), 2);
    QCOMPARE(yes->group(), group);
    QCOMPARE(no->group(), group);
    QTest::mouseClick(yes, Qt::LeftButton, {}, QPoint(5, yes->height() / 2));
    QVERIFY(yes->isChecked());
    QVERIFY(!no->isChecked());
    QTest::mouseClick(no, Qt::LeftButton, {}, QPoint(5, no->height() / 2));
    QVERIFY(!yes->isChecked());
    QVERIFY(no->isChecked());
    // Clicking the selected one keeps it selected.
    QTest::mouseClick(no, Qt::LeftButton, {}, QPoint(5, no->height() / 2));
    QVERIFY(no->isChecked());
}

void checkCheckBoxesIndependent(GeneratorWindow& window)
{
    auto* printer = window.findChild<QCheckBox*>("Check1");
    auto* file = window.findChild<QCheckBox*>("Check2");
    QTest::mouseClick(printer, Qt::LeftButton, {}, QPoint(5, printer->height() / 2));
    QVERIFY(printer->isChecked() && file->isChecked());
    QTest::mouseClick(file, Qt::LeftButton, {}, QPoint(5, file->height() / 2));
    QVERIFY(printer->isChecked() && !file->isChecked());
}

void checkAltXAsksToReturn(GeneratorWindow& window, const kestrin::testing::RecordedRun& run)
{
    QVERIFY(openActive(window));
    QSignalSpy back(&window, &GeneratorWindow::returnRequested);
    QTest::keyClick(window.windowHandle(), Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(back.count(), 1);
    QCOMPARE(run.file.opens, 0);
}

void checkFinishedStatus(GeneratorWindow& window, const QString& text)
{
    QCOMPARE(window.statusBox()->text(), text);
    QCOMPARE(window.statusBox()->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(window.statusBox()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

void checkStatusPaintsBlack(GeneratorWindow& window)
{
    window.startButton()->click();
    QVERIFY(openExposed(window));
    const QImage image = window.grab().toImage();
    QVERIFY(!image.isNull());
    // The status box of a finished run is black behind its red text.
    const QRect status = window.statusBox()->geometry();
    QCOMPARE(image.pixelColor(status.left() + 4, status.center().y()), QColor(Qt::black));
}

void checkFramesHoldTheirControls(GeneratorWindow& window)
{
    for (const char* name : {"Option1", "Option2", "Command1", "Command2", "Check1", "Check2"}) {
        auto* widget = window.findChild<QWidget*>(name);
        QCOMPARE(window.childAt(widget->geometry().center()), widget);
    }
}

void checkReopensAsLeft(GeneratorWindow& window)
{
    window.open();
    QVERIFY(window.isMaximized());
    window.showNormal();
    window.hide();
    window.open();
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMaximized());
    QCOMPARE(window.size(), QSize(4680 / 15, 3195 / 15));
}

void setControls(GeneratorWindow& window, const BoxTexts& boxes, const ButtonStates& buttons)
{
    for (const auto& [box, text] : boxes)
        window.findChild<QLineEdit*>(box)->setText(text);
    for (const auto& [button, on] : buttons)
        window.findChild<QAbstractButton*>(button)->setChecked(on);
}

void checkSameRunAs(GeneratorWindow& window, const kestrin::testing::RecordedRun& run,
                    const kestrin::testing::RecordedRun& expected, const RunResult& result)
{
    QVERIFY(sameOutput(run, expected));
    QCOMPARE(run.file.files.keys(), expected.file.files.keys());
    QCOMPARE(run.printer.finishedPages, expected.printer.finishedPages);
    QCOMPARE(window.statusBox()->text(), result.statusText);
    QCOMPARE(window.completionLabel()->text(), result.completionText);
}

} // namespace kestrin::app::checks
