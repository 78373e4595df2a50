// Kestrova — identity photo maker.
#include "framing/FramingSession.h"

#include "TestDoubles.h"
#include "TestPictures.h"
#include "framing/HeadFraming.h"

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

Q_DECLARE_METATYPE(FaceSearch)

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
        m_session = std::make_unique<FramingSession>(m_pictures, m_faces, TwipsScale{}, kClient,
                                                     kCaptureBack);
        m_session->setColors(kBoxBack, Qt::black);
        m_faces.answer = FaceSearch{};
        m_faces.searches = 0;
    }
    void cleanup()
    {
        m_faces.release();
        m_session.reset();
    }

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

    void autoFramePlacesTheHeadByTheRule_data()
    {
        QTest::addColumn<QPointF>("leftEye");
        QTest::addColumn<QPointF>("rightEye");
        QTest::addColumn<QPointF>("chin");
        QTest::newRow("middle, natural size")
            << QPointF(180, 250) << QPointF(220, 250) << QPointF(200, 307);
        QTest::newRow("near the left edge")
            << QPointF(25, 250) << QPointF(55, 250) << QPointF(40, 307);
        QTest::newRow("near the bottom right, enlarged")
            << QPointF(360, 540) << QPointF(380, 540) << QPointF(370, 568.5);
        QTest::newRow("large face, reduced")
            << QPointF(100, 150) << QPointF(300, 150) << QPointF(200, 378);
    }
    void autoFramePlacesTheHeadByTheRule()
    {
        QFETCH(QPointF, leftEye);
        QFETCH(QPointF, rightEye);
        QFETCH(QPointF, chin);
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_faces.answer = FakeFaceFinder::found(leftEye, rightEye, chin);
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        QSignalSpy notFramed(m_session.get(), &FramingSession::faceNotFramed);

        m_session->autoFrame();
        QVERIFY(m_session->isSearchingFace());
        QTRY_VERIFY(!m_session->isSearchingFace());

        const std::optional<HeadPlacement> expected = HeadFraming::place(
            QSize(400, 600), (leftEye + rightEye) / 2, chin, TwipsScale{}, QSizeF(3600, 5400));
        QVERIFY(expected);
        QCOMPARE(m_session->photoGeometry(), expected->photo);
        QCOMPARE(m_session->framePosition(), expected->frame);
        QCOMPARE(m_session->photo().displaySize(),
                 QSize(qRound(expected->photo.width / 15), qRound(expected->photo.height / 15)));
        QCOMPARE(captures.count(), 1);
        QCOMPARE(notFramed.count(), 0);
        QCOMPARE(m_faces.searches.load(), 1);
        if (QByteArray(QTest::currentDataTag()) == "middle, natural size") {
            // At natural size the eyes' midpoint (200, 250) falls exactly on the mark.
            QCOMPARE(m_session->capture().pixel(60, 81), coordinate(200, 250));
            QCOMPARE(m_session->capture().pixel(60, 138), coordinate(200, 307));
        }
    }

    void zoomAfterAFramingCompoundsFromItsSizeAtTheCorner_data()
    {
        QTest::addColumn<bool>("head");
        QTest::newRow("head") << true;
        QTest::newRow("whole photo") << false;
    }
    void zoomAfterAFramingCompoundsFromItsSizeAtTheCorner()
    {
        QFETCH(bool, head);
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_faces.answer =
            FakeFaceFinder::found(QPointF(100, 150), QPointF(300, 150), QPointF(200, 378));
        if (head) {
            m_session->autoFrame();
            QTRY_VERIFY(!m_session->isSearchingFace());
        } else {
            m_session->showWholePhoto();
        }
        const PhotoGeometry framed = m_session->photoGeometry();
        QVERIFY(framed.width != 6000.0f);
        m_session->zoom(kZoomOutFactor);
        const PhotoGeometry once = m_session->photoGeometry();
        QCOMPARE(once, (PhotoGeometry{0, 0, framed.width - framed.width * kZoomOutFactor,
                                      framed.height - framed.height * kZoomOutFactor, true}));
        m_session->zoom(kZoomInFactor);
        QCOMPARE(m_session->photoGeometry().width, once.width - once.width * kZoomInFactor);
        QCOMPARE(m_session->photoControlRect().topLeft(), QPoint(0, 0));
    }

    void autoFrameThatFindsNoUsableFaceChangesNothing_data()
    {
        QTest::addColumn<FaceSearch>("answer");
        QTest::addColumn<int>("told");
        const auto told = [](FaceSearch::Outcome outcome) { return int(outcome); };
        QTest::newRow("no face") << FaceSearch{} << told(FaceSearch::Outcome::NoFace);
        QTest::newRow("model missing")
            << FaceSearch{FaceSearch::Outcome::ModelUnavailable, std::nullopt,
                          QStringLiteral("The face landmark model /nowhere.dat is missing.")}
            << told(FaceSearch::Outcome::ModelUnavailable);
        QTest::newRow("search failed")
            << FaceSearch{FaceSearch::Outcome::Failed, std::nullopt, QStringLiteral("bad_alloc")}
            << told(FaceSearch::Outcome::Failed);
        // Eyes to chin a thousandth of a pixel: the photo would have to grow past any zoom.
        QTest::newRow("face too small to frame")
            << FakeFaceFinder::found(QPointF(199, 250), QPointF(201, 250), QPointF(200, 250.001))
            << told(FaceSearch::Outcome::NoFace);
    }
    void autoFrameThatFindsNoUsableFaceChangesNothing()
    {
        QFETCH(FaceSearch, answer);
        QFETCH(int, told);
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->zoom(kZoomOutFactor);
        nudgeBy(kNudgeRight, 3);
        const PhotoGeometry photo = m_session->photoGeometry();
        const FramePosition frame = m_session->framePosition();
        const QImage capture = m_session->capture();
        m_faces.answer = answer;
        QSignalSpy changes(m_session.get(), &FramingSession::photoChanged);
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        QSignalSpy notFramed(m_session.get(), &FramingSession::faceNotFramed);

        m_session->autoFrame();
        QTRY_COMPARE(notFramed.count(), 1);
        QCOMPARE(int(notFramed.at(0).at(0).value<FaceSearch::Outcome>()), told);
        QVERIFY(!m_session->isSearchingFace());
        QCOMPARE(m_session->photoGeometry(), photo);
        QCOMPARE(m_session->framePosition(), frame);
        QCOMPARE(m_session->capture(), capture);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(captures.count(), 0);
        QCOMPARE(m_session->lastFaceSearch().problem, answer.problem);
    }

    void framingWithoutAPhotoDoesNothing()
    {
        QSignalSpy changes(m_session.get(), &FramingSession::photoChanged);
        QSignalSpy searches(m_session.get(), &FramingSession::faceSearchChanged);
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        m_session->autoFrame();
        m_session->showWholePhoto();
        QVERIFY(!m_session->isSearchingFace());
        QCOMPARE(m_faces.searches.load(), 0);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(searches.count(), 0);
        QCOMPARE(captures.count(), 0);
        QCOMPARE(m_session->photoGeometry(), (PhotoGeometry{0, 0, 4200, 5400, false}));
    }

    void operationsWaitForARunningFaceSearch()
    {
        QVERIFY(m_session->open("/photos/big.jpg"));
        m_session->startNudge(kNudgeRight);
        m_faces.answer =
            FakeFaceFinder::found(QPointF(180, 250), QPointF(220, 250), QPointF(200, 307));
        m_faces.hold();
        QSignalSpy searching(m_session.get(), &FramingSession::faceSearchChanged);
        m_session->autoFrame();
        QCOMPARE(searching.count(), 1);
        QCOMPARE(searching.at(0).at(0).toBool(), true);
        // The nudge would carry the frame away from where the face puts it.
        QVERIFY(!m_session->isNudging());

        const PhotoGeometry photo = m_session->photoGeometry();
        const FramePosition frame = m_session->framePosition();
        m_session->zoom(kZoomInFactor);
        m_session->pressOnPhoto(QPointF(100, 100));
        m_session->dragTo(QPointF(10, 10));
        m_session->startNudge(kNudgeDown);
        m_session->showWholePhoto();
        m_session->autoFrame();
        QCOMPARE(m_session->photoGeometry(), photo);
        QCOMPARE(m_session->framePosition(), frame);
        QVERIFY(!m_session->isNudging());
        QCOMPARE(searching.count(), 1);

        m_faces.release();
        QTRY_VERIFY(!m_session->isSearchingFace());
        QCOMPARE(searching.count(), 2);
        QCOMPARE(searching.at(1).at(0).toBool(), false);
        QCOMPARE(m_faces.searches.load(), 1);
        QCOMPARE(m_session->capture().pixel(60, 81), coordinate(200, 250));
    }

    void wholePhotoFitsTheWorkAreaAndRefreshes_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("tall") << QSize(400, 600) << QSize(240, 360);
        QTest::newRow("small") << QSize(100, 150) << QSize(240, 360);
    }
    void wholePhotoFitsTheWorkAreaAndRefreshes()
    {
        QFETCH(QSize, natural);
        QFETCH(QSize, shown);
        QVERIFY(m_session->open(natural.width() == 400 ? "/photos/big.jpg" : "/photos/small.bmp"));
        nudgeBy(kNudgeRight, 2);
        QSignalSpy captures(m_session.get(), &FramingSession::captureChanged);
        m_session->showWholePhoto();
        QCOMPARE(m_session->photoControlRect(), QRect(QPoint(0, 0), shown));
        QCOMPARE(m_session->photo().displaySize(), shown);
        QCOMPARE(m_session->framePosition().left, 30.0f);
        QCOMPARE(captures.count(), 1);
        QVERIFY(m_session->capture().pixel(60, 90) != kBoxBack.rgb());
    }

private:
    void nudgeBy(short direction, int ticks)
    {
        m_session->startNudge(direction);
        for (int i = 0; i < ticks; ++i) {
            m_session->nudgeTick();
        }
        m_session->stopNudge();
    }
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
    FakeFaceFinder m_faces;
    std::unique_ptr<FramingSession> m_session;
};

QTEST_MAIN(FramingSessionTest)
#include "FramingSessionTest.moc"
