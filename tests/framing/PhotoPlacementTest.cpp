// Kestrova — identity photo maker.
#include "framing/PhotoPlacement.h"

#include <QTest>

namespace {

const QSizeF kClient(3600, 5400);
const TwipsScale kTpp;

PhotoGeometry photo(float left, float top, float width, float height)
{
    return PhotoGeometry{left, top, width, height, true};
}

} // namespace

Q_DECLARE_METATYPE(PhotoGeometry)

class PhotoPlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void zoomInThenOutLeavesNinetyNinePercent()
    {
        PhotoGeometry geometry = photo(-300, -450, 6000, 9000);
        PhotoPlacement::zoom(geometry, kZoomInFactor);
        QCOMPARE(geometry.width, 6600.0f);
        QCOMPARE(geometry.left, 0.0f);
        QCOMPARE(geometry.top, 0.0f);
        PhotoPlacement::zoom(geometry, kZoomOutFactor);
        QCOMPARE(geometry.width, 5940.0f);
        QCOMPARE(geometry.height, 8910.0f);
    }

    void zoomComputesInSinglePrecision()
    {
        // 4200 is the empty control's width; ten zoom-ins compound in float
        // exactly as the control's own values do.
        PhotoGeometry geometry;
        float expected = 4200.0f;
        for (int i = 0; i < 10; ++i) {
            PhotoPlacement::zoom(geometry, kZoomInFactor);
            const float change = expected * -0.1f;
            expected = expected - change;
        }
        QCOMPARE(geometry.width, expected);
        QVERIFY(geometry.stretch);
        // And differs from the double-precision product, which shows it is not
        // computed as a single multiplication.
        QVERIFY(double(geometry.width) != 4200.0 * std::pow(1.1, 10));
    }

    void zoomNeverClamps()
    {
        PhotoGeometry geometry = photo(0, 0, 1000, 1500);
        PhotoPlacement::zoom(geometry, kZoomOutFactor);
        QCOMPARE(geometry.left, 0.0f);
        QCOMPARE(geometry.width, 900.0f);
    }

    void openResetsToNaturalSizeAtTopLeft()
    {
        PhotoGeometry geometry = photo(-120, -45, 9999, 7777);
        PhotoPlacement::resetForOpen(geometry, QSize(400, 300), kTpp);
        QCOMPARE(geometry, (PhotoGeometry{0, 0, 6000, 4500, false}));
        PhotoGeometry empty = photo(-15, -15, 4620, 5940);
        PhotoPlacement::resetForOpen(empty, QSize(), kTpp);
        QCOMPARE(empty, (PhotoGeometry{0, 0, 4620, 5940, false}));
    }

    void anchorRoundsHalvesToEven()
    {
        QCOMPARE(PhotoPlacement::dragAnchor(QPointF(22.5, 37.5)), QPoint(22, 38));
        QCOMPARE(PhotoPlacement::dragAnchor(QPointF(-0.5, 14.49)), QPoint(0, 14));
    }

    void dragStepClamps_data()
    {
        QTest::addColumn<PhotoGeometry>("geometry");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QPointF>("expected");

        // Wide and tall photo (6000 x 9000) well inside its range.
        const PhotoGeometry large = photo(-600, -900, 6000, 9000);
        QTest::newRow("creeps by a fifteenth")
            << large << QPointF(1650, 2250) << QPoint(1500, 2100) << QPointF(-590, -890);
        QTest::newRow("offset rounds half to even")
            << large << QPointF(1522.5, 2100) << QPoint(1500, 2100) << QPointF(-598, -900);
        QTest::newRow("left edge snaps back to 0")
            << photo(-5, -5, 6000, 9000) << QPointF(1590, 2190) << QPoint(1500, 2100)
            << QPointF(0, 0);
        QTest::newRow("just under 1 stays") << photo(-1, -1, 6000, 9000) << QPointF(1500, 2100)
                                            << QPoint(1500, 2100) << QPointF(-1, -1);
        QTest::newRow("right edge held at client edge")
            << photo(-2395, -3595, 6000, 9000) << QPointF(1350, 1950) << QPoint(1500, 2100)
            << QPointF(-2400, -3600);
        QTest::newRow("fractional width rounds the right snap")
            << photo(-2400, 0, 6000.5f, 9000) << QPointF(1200, 2100) << QPoint(1500, 2100)
            << QPointF(-2400, 0);
        // Narrow photo (2000 x 3000): every step snaps to one side.
        const PhotoGeometry narrow = photo(0, 0, 2000, 3000);
        QTest::newRow("narrow moved right snaps left")
            << narrow << QPointF(600, 600) << QPoint(300, 300) << QPointF(0, 0);
        QTest::newRow("narrow moved left snaps right")
            << narrow << QPointF(285, 285) << QPoint(300, 300) << QPointF(1600, 2400);
        QTest::newRow("narrow at rest right-aligns")
            << narrow << QPointF(300, 300) << QPoint(300, 300) << QPointF(1600, 2400);
    }
    void dragStepClamps()
    {
        QFETCH(PhotoGeometry, geometry);
        QFETCH(QPointF, pointer);
        QFETCH(QPoint, anchor);
        QFETCH(QPointF, expected);
        QCOMPARE(PhotoPlacement::dragStep(geometry, pointer, anchor, kTpp, kClient), expected);
    }

    void widePhotoNeverShowsAGap()
    {
        // Whatever the pointer does, a photo at least as large as the client
        // area covers it after every step.
        PhotoGeometry geometry = photo(0, 0, 3700, 5500);
        for (int i = -3000; i <= 3000; i += 37) {
            const QPointF next =
                PhotoPlacement::dragStep(geometry, QPointF(i, -i), QPoint(0, 0), kTpp, kClient);
            geometry.left = float(next.x());
            geometry.top = float(next.y());
            QVERIFY(geometry.left <= 0 && geometry.left + geometry.width >= 3600);
            QVERIFY(geometry.top <= 0 && geometry.top + geometry.height >= 5400);
        }
    }
};

QTEST_APPLESS_MAIN(PhotoPlacementTest)
#include "PhotoPlacementTest.moc"
