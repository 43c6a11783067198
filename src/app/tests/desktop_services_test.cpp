// The running program's services: where a worksheet file lands and what the
// window tells the teacher about it. Started from a desktop menu, the program's
// working directory is the teacher's home folder, often with a Chinese name.

#include "app/desktop_services.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "app/seven_term_window.h"
#include "window_checks.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrin;
using namespace kestrin::app;

class DesktopServicesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void theFileLandsInTheWorkingDirectoryAndTheWindowSaysWhere()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        QVERIFY(QDir().mkpath(scratch.filePath(QStringLiteral("李 老师"))));
        const QString home = QFileInfo(scratch.filePath(QStringLiteral("李 老师"))).canonicalFilePath();
        const QString startedIn = QDir::currentPath();
        QVERIFY(QDir::setCurrent(home));

        DesktopServices services;
        SevenTermWindow window(services.services());
        window.startButton()->click();
        const QString completion = window.completionLabel()->text();
        QVERIFY(QDir::setCurrent(startedIn));

        QVERIFY(QFileInfo(home + QStringLiteral("/学前段七笔加减速算.xls")).isFile());
        QVERIFY2(completion.contains(QStringLiteral("请在该系统目录（") + QDir::toNativeSeparators(home)
                                     + QStringLiteral("）下将“学前段七笔加减速算.xls”用Excel打开")),
                 qPrintable(completion));
    }

    // Run from a long folder, every window's completion label grows downward to show the whole text; a
    // folder too long for the window is shortened in its middle, whole in the tool tip. Nothing moves.
    void everyWindowShowsItsWholeCompletionText()
    {
        QTemporaryDir scratch;
        const QString path = QStringLiteral("/张老师的文档/2026年秋季学期/三年级二班/速算练习");
        QVERIFY(QDir().mkpath(scratch.path() + path));
        for (const MenuSpec& menu : menuTable()) {
            for (int entry = 0; entry < int(menu.entries.size()) * 2; ++entry) {
                // The far too long folder only as the file channel names it: longer than Windows' paths.
                DiskWorksheetFile disk(scratch.path() + path);
                kestrin::testing::RecordedRun run;
                run.file.folderName = QDir::toNativeSeparators(scratch.path() + path.repeated(40));
                WorksheetFile& file = entry % 2 ? static_cast<WorksheetFile&>(run.file) : disk;
                const auto opens = menu.entries[entry / 2].opens;
                if (!opens)
                    continue;
                const auto window = opens(RunServices{run.random, run.messages, file, run.printer});
                QVERIFY(checks::openExposed(*window));
                std::vector<QRect> places;
                for (const QWidget* control : window->controlsInTableOrder())
                    places.push_back(control->geometry());
                window->start();
                QLabel* label = window->completionLabel();
                const bool whole = label->text().contains(file.folder());
                QVERIFY(label->text().endsWith("谢谢！") && whole == (entry % 2 == 0));
                QCOMPARE(label->toolTip(), whole ? QString() : file.folder());
                QVERIFY(label->height() >= label->heightForWidth(label->width())
                        && label->geometry().bottom() < window->height());
                for (std::size_t i = 0; i < places.size(); ++i) {
                    const QWidget* control = window->controlsInTableOrder()[i];
                    const QRect now = control->geometry();
                    QVERIFY2(control == label ? now.topLeft() == places[i].topLeft() && now.width() == places[i].width()
                                              : now == places[i] && !now.intersects(label->geometry()),
                             qPrintable(window->windowTitle() + u' ' + control->objectName()));
                }
            }
        }
    }
};

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
