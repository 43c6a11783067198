#pragma once

#include "app/control_table.h"
#include "app/run_repeat.h"
#include "output/run_services.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrin::app {

// Everything that sets one generator window apart: its window properties, its
// controls in tab order and which of them play the shared roles.
struct GeneratorLayout {
    QString name;              // the window's objectName
    QString caption;
    QColor background;
    int clientWidth = 4680;    // twips: the size of the restored window
    int clientHeight = 3195;
    bool centred = false;      // first placed at the centre of the screen
    std::vector<ControlSpec> controls;

    QString startButton = QStringLiteral("Command1");
    QString returnButton = QStringLiteral("Command2");
    QString statusBox;
    QString completionLabel;
    QString answersYes = QStringLiteral("Option1");
    QString toPrinter = QStringLiteral("Check1");
    QString toFile = QStringLiteral("Check2");
};

// The colour of scroll bars and of the status box behind a finished run's text.
QColor scrollBarColour();
QColor statusTextColour();

// A generator window: built from its layout, it runs its generator when the
// start button is pressed and shows the result in the status box and the
// completion label; the return button (and the close box) ask the shell to go
// back to the main window. Each kind of exercise derives one small class that
// supplies its layout and runs its generator.
class GeneratorWindow : public QWidget {
    Q_OBJECT

public:
    GeneratorWindow(const GeneratorLayout& layout, const RunServices& services, QWidget* parent = nullptr);

    const GeneratorLayout& layout() const { return layout_; }

    // The control of that name, or nullptr.
    QWidget* control(const QString& name) const { return controls_.byName.value(name); }
    template <class T>
    T* control(const QString& name) const
    {
        return qobject_cast<T*>(control(name));
    }
    const std::vector<QWidget*>& controlsInTableOrder() const { return controls_.inOrder; }
    QButtonGroup* optionGroup() const { return controls_.options; }

    QPushButton* startButton() const;
    QPushButton* returnButton() const;
    QLineEdit* statusBox() const;
    QLabel* completionLabel() const;

    // Shows the window without blocking (maximized the first time, later as it
    // was left) and makes it the active window.
    void open();

    // Runs the generator once, as the start button does. Where only the
    // answers choice differs from the last completed run, the run repeats its
    // questions (see RunRepeat).
    void start();

signals:
    void returnRequested();

protected:
    virtual RunResult runGenerator(const RunServices& services) = 0;

    // The sheet settings from three text boxes and the answers option and
    // output check boxes of the layout.
    SheetSettings readSheetSettings(const QString& perRowBox, const QString& rowsPerPageBox,
                                    const QString& pagesBox) const;
    QString textOf(const QString& boxName) const;
    bool isOn(const QString& buttonName) const;
    // The answers option and the two output check boxes of the layout.
    bool answersWanted() const { return isOn(layout_.answersYes); }
    bool toPrinterTicked() const { return isOn(layout_.toPrinter); }
    bool toFileTicked() const { return isOn(layout_.toFile); }
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showResult(const RunResult& result);
    // Shows the completion text whole in the completion label: the label keeps
    // its place and width and takes the lines the text needs, downward within
    // the window and above any control below it. Where even that is too little,
    // the folder in the text is shortened in its middle ("…") and shown whole
    // in the label's tool tip.
    void fitCompletionText();
    // Every setting of the window but the answers choice and the output
    // switches: the text boxes as typed and the window's own check boxes.
    QStringList repeatedSettings() const;

    GeneratorLayout layout_;
    RunServices services_;
    BuiltControls controls_;
    bool shownBefore_ = false;
    RunRepeat repeat_;
    QRect completionPlace_; // the completion label's place in the layout
    QString completionText_; // of the last completed run
};

// Makes the window of one kind where a window class serves several kinds: the
// class is built from the description that `kind` returns.
template <class Window, auto kind>
std::unique_ptr<GeneratorWindow> makeGeneratorOf(const RunServices& services)
{
    return std::make_unique<Window>(kind(), services);
}

} // namespace kestrin::app
