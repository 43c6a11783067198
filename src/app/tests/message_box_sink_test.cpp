// The message box of a run: modal, the text, one OK button, no icon, no title.

#include "app/message_box_sink.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace kestrin::app;

class MessageBoxSinkTest : public QObject {
    Q_OBJECT

private slots:
    void showsAModalBoxWithOkOnlyAndWaitsForIt()
    {
        QWidget owner;
        owner.show();
        owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&owner));

        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = true;
            QCOMPARE(box->text(), QString("对不起！输入有误"));
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QVERIFY(box->windowTitle().isEmpty());
            QVERIFY(box->isModal());
            QCOMPARE(box->parentWidget(), &owner);
            QTest::keyClick(box, Qt::Key_Return);
        });
        MessageBoxSink sink;
        sink.show("对不起！输入有误");
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void escapeClosesItToo()
    {
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        failSafe.start(5000);
        QElapsedTimer clock;
        clock.start();
        MessageBoxSink().show("x");
        QVERIFY(clock.elapsed() < 4000);
    }
};

QTEST_MAIN(MessageBoxSinkTest)
#include "message_box_sink_test.moc"
