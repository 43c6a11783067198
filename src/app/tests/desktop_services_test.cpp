// The running program's services: where a worksheet file lands and what the
// window tells the teacher about it. Started from a desktop menu, the program's
// working directory is the teacher's home folder, often with a Chinese name.

#include "app/desktop_services.h"
#include "app/fonts.h"
#include "app/seven_term_window.h"

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
};

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
