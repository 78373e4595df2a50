// Kestrova — identity photo maker.
#include "framing/CaptureGeometry.h"
#include "framing/HeadFraming.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QSizeF kClient(3600, 5400);
const TwipsScale kTpp;
// A whole pixel either way is the most rounding to whole pixels can cost.
constexpr double kRounding = 0.5;

/// Where a point of the photo lands in the capture, through the pixels the program shows
/// the photo at and the rectangle it captures.
QPointF inCapture(const HeadPlacement& placement, QSize natural, QPointF point)
{
    const PhotoGeometry& photo = placement.photo;
    const QRect shown = kTpp.toPixels(photo.left, photo.top, photo.width, photo.height);
    const QRect capture = captureSourceRect(placement.frame, kTpp);
    return QPointF(shown.x() + point.x() * shown.width() / natural.width() - capture.x(),
                   shown.y() + point.y() * shown.height() / natural.height() - capture.y());
}

/// Whether a drag could leave the photo there: no gap at either edge when it is at least as
/// large as the client area, otherwise against one edge.
bool dragClampAllows(float position, float extent, double client)
{
    if (extent >= client) {
        return position <= 0.0f && position + extent >= client;
    }
    return position == 0.0f || double(position) == client - extent;
}

bool onNudgeGrid(float position, float bound)
{
    return position >= 0.0f && position <= bound && std::fmod(position, kNudgeStepTwips) == 0.0f;
}

} // namespace

class HeadFramingTest : public QObject
{
    Q_OBJECT

private slots:
    void placesHeadOrClosestReachable_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QPointF>("eye");
        QTest::addColumn<QPointF>("chin");
        QTest::addColumn<QPointF>("expectedEye");
        QTest::addColumn<double>("expectedChinY");

        // A 3000 x 4000 phone photo with eyes to chin 570 pixels is shown at 300 x 400,
        // larger than the 240 x 360 work area both ways.
        const QSize phone(3000, 4000);
        QTest::newRow("face in the middle")
            << phone << QPointF(1500, 1800) << QPointF(1500, 2370) << QPointF(60, 81) << 138.0;
        QTest::newRow("tilted chin still sets the height")
            << phone << QPointF(1500, 1800) << QPointF(1620, 2370) << QPointF(60, 81) << 138.0;
        // The eye is 10 shown pixels from the left edge: photo and frame both at the left.
        QTest::newRow("near the left edge")
            << phone << QPointF(100, 1800) << QPointF(100, 2370) << QPointF(9, 81) << 138.0;
        // Photo right-aligned at -60, frame at its last step before the snap (119 pixels).
        QTest::newRow("near the right edge")
            << phone << QPointF(2950, 1800) << QPointF(2950, 2370) << QPointF(115, 81) << 138.0;
        QTest::newRow("near the top edge")
            << phone << QPointF(1500, 50) << QPointF(1500, 620) << QPointF(60, 4) << 61.0;
        // Photo bottom-aligned at -40, frame at 179 pixels.
        QTest::newRow("near the bottom edge")
            << phone << QPointF(1500, 3400) << QPointF(1500, 3970) << QPointF(60, 120) << 177.0;
        QTest::newRow("top-left corner")
            << phone << QPointF(100, 50) << QPointF(100, 620) << QPointF(9, 4) << 61.0;
        QTest::newRow("top-right corner")
            << phone << QPointF(2950, 50) << QPointF(2950, 620) << QPointF(115, 4) << 61.0;
        QTest::newRow("bottom-left corner")
            << phone << QPointF(100, 3400) << QPointF(100, 3970) << QPointF(9, 120) << 177.0;
        QTest::newRow("bottom-right corner")
            << phone << QPointF(2950, 3400) << QPointF(2950, 3970) << QPointF(115, 120) << 177.0;
        // Eyes to chin 19 pixels: the photo grows threefold to 12000 x 9000.
        QTest::newRow("tiny face") << QSize(4000, 3000) << QPointF(2000, 1500)
                                   << QPointF(2000, 1519) << QPointF(60, 81) << 138.0;
        // Eyes to chin 2000 pixels: shown at 86 x 114, smaller than the capture. Against the
        // right and bottom edges with the frame at its last steps the eye comes closest.
        QTest::newRow("huge face, photo smaller than the capture")
            << QSize(3000, 4000) << QPointF(1500, 1500) << QPointF(1500, 3500)
            << QPointF(77, 108.75) << 165.75;
        // Shown at 120 x 180: right- and bottom-aligned, the frame reaches the target exactly.
        QTest::newRow("photo smaller than the work area")
            << QSize(1000, 1500) << QPointF(500, 500) << QPointF(500, 975) << QPointF(60, 81)
            << 138.0;
        // Shown at exactly 240 x 360: the clamp pins the photo, so only the frame moves, and
        // it cannot go left of 0.
        // A chin cut off by the photo's bottom edge still gives the head's size; the eye can
        // come no lower than the bottom-aligned photo and the last frame step allow.
        QTest::newRow("chin below the photo's edge")
            << phone << QPointF(1500, 3700) << QPointF(1500, 4270) << QPointF(60, 150) << 207.0;
        QTest::newRow("scale pins the photo, frame takes up the rest")
            << QSize(2400, 3600) << QPointF(1200, 1200) << QPointF(1200, 1770) << QPointF(60, 81)
            << 138.0;
        QTest::newRow("scale pins the photo, frame at its edge")
            << QSize(2400, 3600) << QPointF(600, 300) << QPointF(600, 870) << QPointF(59, 29)
            << 86.0;
    }

    void placesHeadOrClosestReachable()
    {
        QFETCH(QSize, natural);
        QFETCH(QPointF, eye);
        QFETCH(QPointF, chin);
        QFETCH(QPointF, expectedEye);
        QFETCH(double, expectedChinY);

        const std::optional<HeadPlacement> placement =
            HeadFraming::place(natural, eye, chin, kTpp, kClient);
        QVERIFY(placement);
        const QPointF landedEye = inCapture(*placement, natural, eye);
        const QPointF landedChin = inCapture(*placement, natural, chin);
        QVERIFY2(std::abs(landedEye.x() - expectedEye.x()) <= kRounding &&
                     std::abs(landedEye.y() - expectedEye.y()) <= kRounding,
                 qPrintable(QStringLiteral("eye at %1, %2").arg(landedEye.x()).arg(landedEye.y())));
        QVERIFY2(std::abs(landedChin.y() - expectedChinY) <= kRounding,
                 qPrintable(QStringLiteral("chin at %1").arg(landedChin.y())));

        const PhotoGeometry& photo = placement->photo;
        QVERIFY(photo.stretch);
        QVERIFY(dragClampAllows(photo.left, photo.width, kClient.width()));
        QVERIFY(dragClampAllows(photo.top, photo.height, kClient.height()));
        // Aspect kept, to the pixel each side is rounded to.
        const double widthForHeight = photo.height * natural.width() / double(natural.height());
        QVERIFY(std::abs(photo.width - widthForHeight) <= kTpp.x);
        QVERIFY(onNudgeGrid(placement->frame.left, kFrameRightSnap));
        QVERIFY(onNudgeGrid(placement->frame.top, kFrameBottomSnap));
    }

    void centresFrameWhenTheTargetLeavesAChoice()
    {
        const std::optional<HeadPlacement> placement = HeadFraming::place(
            QSize(3000, 4000), QPointF(1500, 1800), QPointF(1500, 2370), kTpp, kClient);
        QVERIFY(placement);
        QCOMPARE(placement->frame.left, 885.0f);
        QCOMPARE(placement->frame.top, 1335.0f);
        QCOMPARE(placement->photo, (PhotoGeometry{-450.0f, -135.0f, 4500.0f, 6000.0f, true}));
    }

    void keepsCaptureInsideTheWorkArea()
    {
        // At the frame's snap position the capture's last column lies outside the client
        // area, beyond the end of a right-aligned photo: the saved picture would get a
        // stripe of back colour for one pixel nearer the target.
        const std::optional<HeadPlacement> placement = HeadFraming::place(
            QSize(3000, 4000), QPointF(2990, 3420), QPointF(2990, 3990), kTpp, kClient);
        QVERIFY(placement);
        const QRect shown = kTpp.toPixels(placement->photo.left, placement->photo.top,
                                          placement->photo.width, placement->photo.height);
        QVERIFY(shown.contains(captureSourceRect(placement->frame, kTpp)));
    }

    void refusesPointsThatGiveNoPlacement_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QPointF>("eye");
        QTest::addColumn<QPointF>("chin");

        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("no picture") << QSize() << QPointF(1, 1) << QPointF(1, 2);
        QTest::newRow("chin above the eyes")
            << QSize(400, 600) << QPointF(200, 300) << QPointF(200, 200);
        QTest::newRow("chin level with the eyes")
            << QSize(400, 600) << QPointF(200, 300) << QPointF(260, 300);
        QTest::newRow("infinite") << QSize(400, 600) << QPointF(200, 300)
                                  << QPointF(200, std::numeric_limits<double>::infinity());
        QTest::newRow("not a number") << QSize(400, 600) << QPointF(nan, 300) << QPointF(200, 400);
        // 57 capture pixels for a thousandth of a photo pixel: far past the largest zoom.
        QTest::newRow("photo would outgrow the largest zoom")
            << QSize(12000, 9000) << QPointF(6000, 4000) << QPointF(6000, 4000.001);
    }

    void refusesPointsThatGiveNoPlacement()
    {
        QFETCH(QSize, natural);
        QFETCH(QPointF, eye);
        QFETCH(QPointF, chin);
        QVERIFY(!HeadFraming::place(natural, eye, chin, kTpp, kClient));
    }

    void wholePhotoFitsTheWorkArea_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QSize>("shown");

        QTest::newRow("wide 48-megapixel") << QSize(8000, 6000) << QSize(240, 180);
        QTest::newRow("tall phone photo") << QSize(3000, 4000) << QSize(240, 320);
        QTest::newRow("taller than the work area's shape") << QSize(1000, 4000) << QSize(90, 360);
        QTest::newRow("panorama") << QSize(12000, 2000) << QSize(240, 40);
        QTest::newRow("tiny photo grows") << QSize(12, 9) << QSize(240, 180);
        QTest::newRow("exactly the work area") << QSize(240, 360) << QSize(240, 360);
        QTest::newRow("sliver keeps a pixel") << QSize(1, 10000) << QSize(1, 360);
    }

    void wholePhotoFitsTheWorkArea()
    {
        QFETCH(QSize, natural);
        QFETCH(QSize, shown);
        const std::optional<PhotoGeometry> photo = HeadFraming::wholePhoto(natural, kTpp, kClient);
        QVERIFY(photo);
        QCOMPARE(*photo, (PhotoGeometry{0.0f, 0.0f, float(shown.width()) * kTpp.x,
                                        float(shown.height()) * kTpp.y, true}));
    }

    void wholePhotoNeedsAPicture() { QVERIFY(!HeadFraming::wholePhoto(QSize(), kTpp, kClient)); }
};

QTEST_GUILESS_MAIN(HeadFramingTest)
#include "HeadFramingTest.moc"
