#include "app/generator_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

namespace kestrin::app {

QColor scrollBarColour()
{
    return QColor(200, 200, 200);
}

QColor statusTextColour()
{
    return QColor(255, 0, 0);
}

GeneratorWindow::GeneratorWindow(const GeneratorLayout& layout, const RunServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window), layout_(layout), services_(services)
{
    setObjectName(layout.name);
    setWindowTitle(layout.caption);
    setFont(makeFont(standardFont()));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, layout.background);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));

    controls_ = buildControls(this, layout.controls);
    if (controls_.firstFocus)
        controls_.firstFocus->setFocus();

    if (QLabel* label = completionLabel())
        completionPlace_ = label->geometry();
    connect(startButton(), &QPushButton::clicked, this, &GeneratorWindow::start);
    connect(returnButton(), &QPushButton::clicked, this, &GeneratorWindow::returnRequested);
}

QPushButton* GeneratorWindow::startButton() const
{
    return control<QPushButton>(layout_.startButton);
}

QPushButton* GeneratorWindow::returnButton() const
{
    return control<QPushButton>(layout_.returnButton);
}

QLineEdit* GeneratorWindow::statusBox() const
{
    return control<QLineEdit>(layout_.statusBox);
}

QLabel* GeneratorWindow::completionLabel() const
{
    return control<QLabel>(layout_.completionLabel);
}

void GeneratorWindow::open()
{
    if (!shownBefore_) {
        shownBefore_ = true;
        if (layout_.centred) {
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect placed(QPoint(), size());
                placed.moveCenter(screen->availableGeometry().center());
                move(placed.topLeft());
            }
        }
        showMaximized();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void GeneratorWindow::start()
{
    const RunRepeat::Run run = repeat_.begin(repeatedSettings(), answersWanted(), services_.random);
    TaggedWorksheetFile file(services_.file, run.fileTag);
    const RunResult result = runGenerator(RunServices{run.random, services_.messages, file, services_.printer});
    repeat_.end(result.completed, file.written());
    if (result.completed)
        showResult(result);
}

QStringList GeneratorWindow::repeatedSettings() const
{
    QStringList settings;
    for (const QWidget* control : controls_.inOrder) {
        if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
            if (!box->isReadOnly())
                settings << control->objectName() + u'=' + box->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            const QString& name = control->objectName();
            const bool answersChoice = controls_.options && button->group() == controls_.options;
            if (button->isCheckable() && !answersChoice && name != layout_.toPrinter && name != layout_.toFile)
                settings << name + (button->isChecked() ? QStringLiteral("=1") : QStringLiteral("=0"));
        }
    }
    return settings;
}

void GeneratorWindow::showResult(const RunResult& result)
{
    if (QLineEdit* box = statusBox()) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, Qt::black);
        box->setPalette(palette);
        box->setText(result.statusText);
    }
    completionText_ = result.completionText;
    fitCompletionText();
}

void GeneratorWindow::fitCompletionText()
{
    QLabel* label = completionLabel();
    if (!label)
        return;
    const QRect place = completionPlace_;
    // A window not shown yet opens maximized.
    int bottom = isVisible() || !screen() ? height() : screen()->availableGeometry().height();
    for (const QWidget* control : controls_.inOrder) {
        const QRect other = control->geometry();
        if (control != label && other.top() >= place.bottom() && other.left() <= place.right()
            && other.right() >= place.left())
            bottom = std::min(bottom, other.top());
    }
    const int room = std::max(place.height(), bottom - place.top());
    const auto fits = [&](const QString& text) { return wrappedTextHeight(*label, text, place.width()) <= room; };

    QString shown = completionText_;
    const QString folder = services_.file.folder();
    const qsizetype at = shown.indexOf(folder);
    if (!fits(shown) && !folder.isEmpty() && at >= 0) {
        // The most characters of the folder, its head and its tail, that fit.
        const auto shortened = [&](qsizetype kept) {
            return completionText_.left(at) + folder.left((kept + 1) / 2) + QStringLiteral("…")
                + folder.right(kept / 2) + completionText_.mid(at + folder.size());
        };
        qsizetype low = 0;
        qsizetype high = folder.size() - 1;
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (fits(shortened(middle)))
                low = middle;
            else
                high = middle - 1;
        }
        shown = shortened(low);
    }
    label->setText(shown);
    label->setToolTip(shown == completionText_ ? QString() : folder);
    label->setGeometry(place.left(), place.top(), place.width(),
        std::clamp(wrappedTextHeight(*label, shown, place.width()), place.height(), room));
}

void GeneratorWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!completionText_.isEmpty())
        fitCompletionText();
}

SheetSettings GeneratorWindow::readSheetSettings(const QString& perRowBox, const QString& rowsPerPageBox,
                                                 const QString& pagesBox) const
{
    SheetSettings settings;
    settings.perRow = textOf(perRowBox);
    settings.rowsPerPage = textOf(rowsPerPageBox);
    settings.pages = textOf(pagesBox);
    settings.answers = answersWanted();
    settings.toPrinter = toPrinterTicked();
    settings.toFile = toFileTicked();
    return settings;
}

QString GeneratorWindow::textOf(const QString& boxName) const
{
    const QLineEdit* box = control<QLineEdit>(boxName);
    return box ? box->text() : QString();
}

bool GeneratorWindow::isOn(const QString& buttonName) const
{
    const QAbstractButton* button = control<QAbstractButton>(buttonName);
    return button && button->isChecked();
}

void GeneratorWindow::closeEvent(QCloseEvent* event)
{
    // The close box goes back to the main window like the return button: the
    // window stays in existence with its values, and some window stays visible.
    event->ignore();
    if (isVisible())
        emit returnRequested();
}

} // namespace kestrin::app
