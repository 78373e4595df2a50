// Kestrova — identity photo maker.
#include "framing/FramingSession.h"

#include "TestDoubles.h"
#include "TestPictures.h"

#include <QSignalSpy>
#include <QTest>

using TestPictures::coordinate;
using TestPictures::coordinatePicture;

namespace {

const QColor kBoxBack(242, 255, 229);
const QColor kCaptureBack(240, 240, 240);
// The work area's client size at 96 dpi.
constexpr QSize kClient(240, 360);

} // namespace

// The framing behaviour, without a window: what each user operation does to
// the placement, the frame and the capture.
class FramingSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pictures.pictures.insert("/photos/big.jpg", coordinatePicture(400, 600));
        m_pictures.pictures.insert("/photos/small.bmp", coordinatePicture(100, 150));
        m_session =
            std::make_unique<FramingSession>(m_pictures, TwipsScale{}, kClient, kCaptureBack);
        m_session->setColors(kBoxBack, Qt::black);
    }
    void cleanup() { m_session.reset(); }

    void startsEmptyWithTheCaptureInItsBackColour()
    {
        QCOMPARE(m_session->photoGeometry(), (PhotoGeometry{0, 0, 4200, 5400, false}));
        QVERIFY(m_session->photo().isNull());
        QCOMPARE(m_session->framePosition().left, 0.0f);
        QCOMPARE(m_session->nudgeDirection(), short(kNudgeNone));
        QVERIFY(!m_session->isNudging());
        QCOMPARE(m_session->capture().size(), QSize(120, 180));
        QCOMPARE(QColor(m_session->capture().pixel(60, 90)), kCaptureBack);
        QCOMPARE(m_session->frameRect(), QRect(0, 0, 122, 182));
    }

    void openShowsThePictureAtNaturalSizeWithoutRefreshing()
    {
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        QVERIFY(m_session->open("/photos/big.jpg"));
        QCOMPARE(m_session->photoGeometry(), (PhotoGeometry{0, 0, 6000, 9000, false}));
        QCOMPARE(m_session->photoControlRect(), QRect(0, 0, 400, 600));
        QCOMPARE(m_session->scene().photoRect(), QRect(0, 0, 400, 600));
        QCOMPARE(captures.count(), 0);
    }

    void openThatFailsLeavesThePreviousPictureAtNaturalSize_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("unreadable") << "/photos/broken.gif";
        QTest::newRow("no name") << "";
    }
    void openThatFailsLeavesThePreviousPictureAtNaturalSize()
    {
        QFETCH(QString, fileName);
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->zoom(kZoomInFactor);
        m_session->pressOnPhoto(QPointF(50, 50));
        m_session->dragTo(QPointF(-50, -50));
        QVERIFY(m_session->photoGeometry().left < 0);
        QVERIFY(!m_session->open(fileName));
        const PhotoGeometry expected = fileName.isEmpty() ? m_session->photoGeometry()
                                                          : PhotoGeometry{0, 0, 6000, 9000, false};
        QCOMPARE(m_session->photoGeometry(), expected);
        QCOMPARE(m_session->photo().naturalSize(), QSize(400, 600));
    }

    void openAfterZoomShowsTheNewPictureAtNaturalSizeWithoutRefreshing()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->zoom(kZoomOutFactor);
        const QImage previous = m_session->capture();
        QVERIFY(m_session->open("/photos/small.bmp"));
        QCOMPARE(m_session->photoGeometry(), (PhotoGeometry{0, 0, 1500, 2250, false}));
        QCOMPARE(m_session->capture(), previous);
    }

    void zoomWithNoPictureScalesTheEmptyControl()
    {
        m_session->zoom(kZoomOutFactor);
        QCOMPARE(m_session->photoGeometry(), (PhotoGeometry{0, 0, 3780, 4860, true}));
        QCOMPARE(QColor(m_session->capture().pixel(0, 0)), kBoxBack);
    }

    void refreshingTwiceGivesTheSamePixels()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->zoom(kZoomOutFactor);
        m_session->refreshPreview();
        const QImage first = m_session->capture();
        m_session->refreshPreview();
        QCOMPARE(m_session->capture(), first);
    }

    void tickWithNoDirectionOnlyRefreshes()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->nudgeTick();
        QCOMPARE(m_session->framePosition().left, 0.0f);
        QCOMPARE(m_session->capture().pixel(0, 0), coordinate(1, 1));
    }

    void zoomScalesByTenPercentAndRefreshes()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        m_session->zoom(kZoomInFactor);
        QCOMPARE(m_session->photoGeometry(), (PhotoGeometry{0, 0, 6600, 9900, true}));
        QCOMPARE(m_session->photo().displaySize(), QSize(440, 660));
        m_session->zoom(kZoomOutFactor);
        QCOMPARE(m_session->photoGeometry().width, 5940.0f);
        QCOMPARE(m_session->photo().displaySize(), QSize(396, 594));
        QCOMPARE(captures.count(), 2);
        QVERIFY(m_session->capture().pixel(60, 90) != kBoxBack.rgb());
    }

    void dragCreepsAfterThePointerAndRefreshes()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->pressOnPhoto(QPointF(100, 100));
        QCOMPARE(m_session->dragAnchor(), QPoint(1500, 1500));
        m_session->dragTo(QPointF(70, 40));
        // (-450 / 15, -900 / 15) twips = (-30, -60), i.e. two and four pixels.
        QCOMPARE(m_session->photoGeometry().left, -30.0f);
        QCOMPARE(m_session->photoGeometry().top, -60.0f);
        QCOMPARE(m_session->photoControlRect().topLeft(), QPoint(-2, -4));
        QCOMPARE(m_session->capture().pixel(0, 0), coordinate(3, 5));
    }

    void anchorIsRoundedHalfToEven()
    {
        m_session->pressOnPhoto(QPointF(10.5, 20));
        QCOMPARE(m_session->dragAnchor(), QPoint(158, 300));
    }

    void nudgeMovesTheFrameEveryTickUntilStopped()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->startNudge(kNudgeRight);
        QVERIFY(m_session->isNudging());
        QCOMPARE(m_session->nudgeDirection(), short(kNudgeRight));
        for (int tick = 1; tick <= 3; ++tick) {
            m_session->nudgeTick();
            QCOMPARE(m_session->framePosition().left, 15.0f * tick);
            QCOMPARE(m_session->frameRect().topLeft(), QPoint(tick, 0));
            QCOMPARE(m_session->capture().pixel(0, 0), coordinate(tick + 1, 1));
        }
        m_session->stopNudge();
        QVERIFY(!m_session->isNudging());
        QCOMPARE(m_session->nudgeDirection(), short(kNudgeRight));
    }

    void reachingAnEdgeStopsTheNudgeAndRefreshes()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->startNudge(kNudgeLeft);
        m_session->nudgeTick();
        QVERIFY(!m_session->isNudging());
        QCOMPARE(m_session->framePosition().left, 0.0f);
        QCOMPARE(m_session->capture().pixel(0, 0), coordinate(1, 1));
    }

    void theTimerDrivesTheNudge()
    {
        m_session->startNudge(kNudgeDown);
        QTRY_VERIFY(m_session->framePosition().top >= 30.0f);
        m_session->stopNudge();
        QVERIFY(!m_session->isNudging());
    }

    void captureAtTheSnapPositionsReadsPastTheClientArea()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        nudge(kNudgeRight, 120);
        nudge(kNudgeDown, 179);
        QCOMPARE(m_session->framePosition().left, 1800.0f);
        QCOMPARE(m_session->framePosition().top, 2700.0f);
        // Interior (121..240, 181..360): its last column and row lie beyond
        // the 240 x 360 client area, where the photo goes on.
        QCOMPARE(m_session->capture().pixel(0, 0), coordinate(121, 181));
        QCOMPARE(m_session->capture().pixel(119, 179), coordinate(240, 360));
    }

    void captureBeyondASmallPhotoIsBackColour()
    {
        QVERIFY(m_session->open("/photos/small.bmp"));
        m_session->refreshPreview();
        QCOMPARE(m_session->capture().pixel(98, 148), coordinate(99, 149));
        QCOMPARE(QColor(m_session->capture().pixel(99, 149)), kBoxBack);
        QCOMPARE(QColor(m_session->capture().pixel(119, 0)), kBoxBack);
        nudge(kNudgeRight, 120);
        QCOMPARE(QColor(m_session->capture().pixel(119, 179)), kBoxBack);
    }

    void placeSetsPhotoAndFrameAndTellsTheViews()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        QSignalSpy photos(m_session.get(), &FramingSession::photoChanged);
        QSignalSpy frames(m_session.get(), &FramingSession::frameChanged);
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        m_session->place(PhotoGeometry{-150, -300, 3000, 4500, true}, FramePosition{300, 600});
        QCOMPARE(m_session->photo().displaySize(), QSize(200, 300));
        QCOMPARE(m_session->photoControlRect(), QRect(-10, -20, 200, 300));
        QCOMPARE(m_session->frameRect(), QRect(20, 40, 122, 182));
        QCOMPARE(photos.count(), 1);
        QCOMPARE(frames.count(), 1);
        QCOMPARE(captures.count(), 1);
        // Frame interior pixel (21, 41) is photo pixel (31, 61) at half size,
        // averaged from the picture's pixels around (62, 122).
        const QRgb shown = m_session->capture().pixel(0, 0);
        const QRgb source = coordinate(62, 122);
        QVERIFY2(qAbs(qRed(shown) - qRed(source)) <= 2 && qAbs(qGreen(shown) - qGreen(source)) <= 2,
                 qPrintable(QColor(shown).name()));
    }

private:
    // Ticks until the frame stops at its edge.
    void nudge(short direction, int ticks)
    {
        m_session->startNudge(direction);
        for (int i = 0; i < ticks; ++i) {
            m_session->nudgeTick();
        }
        QVERIFY(!m_session->isNudging());
    }

    FakePictureLoader m_pictures;
    std::unique_ptr<FramingSession> m_session;
};

QTEST_MAIN(FramingSessionTest)
#include "FramingSessionTest.moc"
