// Kestrova — identity photo maker.
#include "framing/WorkAreaScene.h"

#include "TestPictures.h"
#include "framing/ScaledPhoto.h"

#include <QPainter>
#include <QTest>

namespace {

const QColor kBack(242, 255, 229);
const QSize kClient(240, 360);
// The capture at the frame's furthest corner reaches two pixels past the client area.
const QRect kFarCapture(122, 182, 120, 180);

/// The photo alone, drawn at its display size with nothing around it.
QImage photoPixels(const ScaledPhoto& photo)
{
    QImage image(photo.displaySize(), QImage::Format_RGB32);
    image.fill(kBack);
    QPainter painter(&image);
    photo.draw(painter, QPoint(0, 0), image.rect());
    return image;
}

} // namespace

class WorkAreaSceneTest : public QObject
{
    Q_OBJECT

private slots:
    void captureBeyondClientAreaContinuesTheScene_data()
    {
        QTest::addColumn<QRect>("photoRect");
        QTest::newRow("photo reaching past the client area") << QRect(-100, -60, 460, 620);
        QTest::newRow("photo ending at the client edge") << QRect(0, 0, 240, 360);
        QTest::newRow("photo ending one pixel past it") << QRect(-20, -20, 261, 381);
    }

    void captureBeyondClientAreaContinuesTheScene()
    {
        QFETCH(QRect, photoRect);
        ScaledPhoto photo(TestPictures::photoLike(QSize(900, 1200)));
        photo.setDisplaySize(photoRect.size());
        WorkAreaScene scene;
        scene.setBackColor(kBack);
        scene.setPhoto(&photo);
        scene.setPhotoRect(photoRect);

        const QImage capture = scene.render(kFarCapture);
        QCOMPARE(capture.size(), kFarCapture.size());
        const QImage alone = photoPixels(photo);
        for (int y = 0; y < capture.height(); ++y) {
            for (int x = 0; x < capture.width(); ++x) {
                const QPoint at = kFarCapture.topLeft() + QPoint(x, y);
                const QRgb expected =
                    photoRect.contains(at) ? alone.pixel(at - photoRect.topLeft()) : kBack.rgb();
                if (capture.pixel(x, y) != expected) {
                    QFAIL(qPrintable(QStringLiteral("wrong pixel at %1, %2").arg(x).arg(y)));
                }
            }
        }
    }

    void transparentPixelsShowTheBackColour()
    {
        QImage picture(30, 30, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = 0; y < 30; ++y) {
            picture.setPixel(5, y, qRgba(0, 0, 255, 255));
        }
        ScaledPhoto photo(picture);
        WorkAreaScene scene;
        scene.setBackColor(kBack);
        scene.setPhoto(&photo);
        scene.setPhotoRect(QRect(QPoint(10, 10), picture.size()));

        const QImage capture = scene.render(QRect(0, 0, 120, 180));
        QCOMPARE(capture.pixelColor(25, 25), kBack);
        QCOMPARE(capture.pixel(15, 25), qRgb(0, 0, 255));
        QCOMPARE(capture.pixelColor(60, 100), kBack);
    }

    void paintAndRenderShowTheSamePixels()
    {
        ScaledPhoto photo(TestPictures::photoLike(QSize(2000, 1500)));
        photo.setDisplaySize(QSize(731, 548));
        WorkAreaScene scene;
        scene.setBackColor(kBack);
        scene.setFrameColor(Qt::black);
        scene.setPhoto(&photo);
        scene.setPhotoRect(QRect(QPoint(-300, -100), photo.displaySize()));
        scene.setFrameRect(QRect(40, 60, 120, 180));

        QImage screen(kClient, QImage::Format_RGB32);
        QPainter painter(&screen);
        scene.paint(painter, screen.rect());
        painter.end();
        const QImage capture = scene.render(QRect(40, 60, 120, 180));
        QCOMPARE(capture, screen.copy(40, 60, 120, 180));
        // The frame's outline runs along the outermost pixels of its block.
        QCOMPARE(capture.pixel(0, 90), qRgb(0, 0, 0));
        QCOMPARE(capture.pixel(119, 90), qRgb(0, 0, 0));
        QVERIFY(capture.pixel(1, 90) != qRgb(0, 0, 0));
    }

    void zoomedPhotoIsCapturedSmoothly()
    {
        QImage board(360, 540, QImage::Format_RGB32);
        for (int y = 0; y < board.height(); ++y) {
            for (int x = 0; x < board.width(); ++x) {
                board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            }
        }
        ScaledPhoto photo(board);
        photo.setDisplaySize(QSize(120, 180));
        WorkAreaScene scene;
        scene.setPhoto(&photo);
        scene.setPhotoRect(QRect(QPoint(0, 0), photo.displaySize()));
        const QImage capture = scene.render(QRect(0, 0, 120, 180));
        for (int y = 0; y < capture.height(); y += 7) {
            for (int x = 0; x < capture.width(); x += 5) {
                QVERIFY(std::abs(qGray(capture.pixel(x, y)) - 128) <= 16);
            }
        }
    }
};

QTEST_MAIN(WorkAreaSceneTest)
#include "WorkAreaSceneTest.moc"
