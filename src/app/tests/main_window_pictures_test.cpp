// The two picture boxes of window zcd: place, border, focus and what they draw.

#include "app/control_table.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "testsupport/fakes.h"

#include <QImageReader>
#include <QLabel>
#include <QTest>

using namespace kestrin;
using namespace kestrin::app;

namespace {

struct PictureRow {
    const char* name;
    const char* source;
    QRect pixels; // the box: left, top, width, height in twips / 15
    QSize natural;
};

const std::vector<PictureRow> pictures = {
    {"Picture1", ":/pictures/banner.bmp", QRect(56, 40, 697, 73), QSize(694, 77)},
    {"Picture2", ":/pictures/small.gif", QRect(584, 256, 121, 129), QSize(125, 140)},
};

QImage frameOf(const QString& source, int index)
{
    QImageReader reader(source);
    QImage image;
    for (int i = 0; i <= index; ++i)
        image = reader.read();
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class MainWindowPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        run_ = std::make_unique<testing::RecordedRun>();
        window_ = std::make_unique<MainWindow>(RunServices{run_->random, run_->messages, run_->file, run_->printer});
    }
    void cleanup()
    {
        window_.reset();
        run_.reset();
    }

    void bothPictureFormatsCanBeRead()
    {
        const QList<QByteArray> formats = QImageReader::supportedImageFormats();
        QVERIFY(formats.contains("bmp"));
        QVERIFY2(formats.contains("gif"), "Qt's gif image plugin is missing");
    }

    void picturesAreCompiledIn()
    {
        // The files as drawn: a 24-bit bitmap and a two-frame GIF89a.
        QImageReader banner(":/pictures/banner.bmp");
        QCOMPARE(banner.format(), QByteArray("bmp"));
        QCOMPARE(banner.size(), QSize(694, 77));
        QImageReader small(":/pictures/small.gif");
        QCOMPARE(small.format(), QByteArray("gif"));
        QCOMPARE(small.size(), QSize(125, 140));
        QCOMPARE(small.imageCount(), 2);
        const QImage first = frameOf(":/pictures/small.gif", 0);
        const QImage second = frameOf(":/pictures/small.gif", 1);
        QCOMPARE(second.size(), QSize(125, 140));
        QVERIFY(first != second);
    }

    void placeAndBorder_data() { rows(); }
    void placeAndBorder()
    {
        QFETCH(int, index);
        const PictureRow& row = pictures[index];
        auto* box = window_->findChild<PictureBox*>(row.name);
        QVERIFY(box);
        QCOMPARE(box->parentWidget(), window_->centralWidget());
        QCOMPARE(box->geometry(), row.pixels);
        QCOMPARE(box->frameShape(), QFrame::WinPanel);
        QCOMPARE(box->frameShadow(), QFrame::Sunken);
        QCOMPARE(box->frameWidth(), 2);
        QCOMPARE(box->contentsRect(), QRect(2, 2, row.pixels.width() - 4, row.pixels.height() - 4));
    }

    void eachHoldsItsPictureAtNaturalSize_data() { rows(); }
    void eachHoldsItsPictureAtNaturalSize()
    {
        QFETCH(int, index);
        const PictureRow& row = pictures[index];
        auto* box = window_->findChild<PictureBox*>(row.name);
        QVERIFY(box);
        QVERIFY(!box->picture().isNull());
        QCOMPARE(box->picture().size(), row.natural);
        // The box keeps its own size once shown; it does not grow to the picture.
        window_->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QCOMPARE(box->geometry(), row.pixels);
    }

    void drawsFromTheTopLeftCornerClipped_data() { rows(); }
    void drawsFromTheTopLeftCornerClipped()
    {
        QFETCH(int, index);
        const PictureRow& row = pictures[index];
        window_->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        auto* box = window_->findChild<PictureBox*>(row.name);
        QVERIFY(box);
        const QImage drawn = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(drawn.size(), row.pixels.size());

        // Inside the border: the first frame of the picture, pixel for pixel,
        // from the corner on; the part that overhangs the box is not drawn.
        const QImage first = frameOf(row.source, 0);
        QCOMPARE(first.size(), row.natural);
        const QRect inside = box->contentsRect();
        QVERIFY(row.natural.width() >= inside.width() && row.natural.height() >= inside.height());
        QCOMPARE(drawn.copy(inside), first.copy(QRect(QPoint(0, 0), inside.size())));

        // The border is the same as that of a box without a picture.
        PictureBox empty(QString(), window_->centralWidget());
        empty.setGeometry(QRect(QPoint(0, 0), row.pixels.size()));
        const QImage border = empty.grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (!inside.contains(x, y) && drawn.pixel(x, y) != border.pixel(x, y))
                    QFAIL(qPrintable(QString("the picture covers the border at %1,%2").arg(x).arg(y)));
    }

    void animatedPictureShowsItsFirstFrameOnly()
    {
        window_->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        auto* box = window_->findChild<PictureBox*>("Picture2");
        QVERIFY(box);
        const QImage second = frameOf(":/pictures/small.gif", 1);
        const QRect inside = box->contentsRect();
        const QImage before = box->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(inside);
        QVERIFY(before != second.copy(QRect(QPoint(0, 0), inside.size())));
        // Longer than a frame's 0.15 s: nothing animates it.
        QTest::qWait(400);
        QCOMPARE(box->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(inside), before);
    }

    void onlyThePicturesTakeTheFocusFirstBeforeSecond()
    {
        auto* first = window_->findChild<PictureBox*>("Picture1");
        auto* second = window_->findChild<PictureBox*>("Picture2");
        QVERIFY(first && second);
        QCOMPARE(first->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(second->focusPolicy(), Qt::StrongFocus);
        for (const char* name : {"Label4", "Label7"})
            QCOMPARE(window_->findChild<QLabel*>(name)->focusPolicy(), Qt::NoFocus);

        window_->showMaximized();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QCOMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), second);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), second);
    }

    void clickGivesAPictureTheFocus()
    {
        window_->showMaximized();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto* second = window_->findChild<PictureBox*>("Picture2");
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(QApplication::focusWidget(), second);
    }

private:
    static void rows()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(pictures.size()); ++i)
            QTest::newRow(pictures[i].name) << i;
    }

    std::unique_ptr<testing::RecordedRun> run_;
    std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(MainWindowPicturesTest)
#include "main_window_pictures_test.moc"
