// Kestrova — identity photo maker.
// Real portraits placed into phone-sized photos, opened through the program's loader, their
// faces found and framed: the head must land on the ID-photo marks of the capture.
#include "TestPictures.h"
#include "TestPortraits.h"
#include "framing/CaptureGeometry.h"
#include "framing/HeadFraming.h"
#include "framing/PhotoPyramid.h"
#include "framing/ScaledPhoto.h"
#include "framing/WorkAreaScene.h"
#include "platform/DlibFaceFinder.h"
#include "platform/PictureLoader.h"
#include "saving/Module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>

namespace {

const QSizeF kClient(3600, 5400);
const TwipsScale kTpp;
// How far from the marks the eyes' midpoint and the chin may land, in capture pixels.
constexpr double kEyeTolerance = 3.0;
constexpr double kChinTolerance = 4.0;
// The work area's back colour, and the save dialog's default quality of 10 on libjpeg's scale.
const QColor kBack(242, 255, 229);
constexpr int kSavedQuality = 100;

struct Truth
{
    QPointF eyeMidpoint;
    QPointF chin;
};

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

QString describe(QPointF point)
{
    return QStringLiteral("(%1, %2)").arg(point.x(), 0, 'f', 2).arg(point.y(), 0, 'f', 2);
}

} // namespace

class HeadFramingPortraitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo::exists(QString::fromLatin1(kFaceLandmarkModelPath))) {
            QSKIP("dlib's face landmark model is not installed: scripts/install-deps.sh "
                  "installs libdlib-data");
        }
        QVERIFY(m_dir.isValid());
        m_finder = makeDlibFaceFinder();
        const std::optional<QString> problem = m_finder->prepare();
        QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
    }

    void framesHeadOnTheMarks_data()
    {
        QTest::addColumn<int>("portrait");
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<double>("eyesToChin");
        QTest::addColumn<QPointF>("eyesAt");
        QTest::addColumn<int>("orientation");

        // Photo sizes of 12, 24 and 48 megapixels, landscape and upright; the eyes to chin
        // height in photo pixels; where the eyes' midpoint goes, as a fraction of the photo;
        // the EXIF orientation the file is stored with.
        const QSize mp12(4000, 3000);
        const QSize mp12Upright(3000, 4000);
        const QSize mp24(6000, 4000);
        const QSize mp24Upright(4000, 6000);
        const QSize mp48(8000, 6000);
        const QSize mp48Upright(6000, 8000);
        addRow(0, mp12, 600, QPointF(0.45, 0.40), 1);
        addRow(1, mp12Upright, 520, QPointF(0.50, 0.35), 6);
        addRow(2, mp24, 700, QPointF(0.30, 0.45), 1);
        addRow(3, mp48, 900, QPointF(0.60, 0.40), 8);
        addRow(4, mp24Upright, 800, QPointF(0.50, 0.30), 8);
        addRow(5, mp12, 450, QPointF(0.70, 0.50), 3);
        addRow(6, mp48, 1000, QPointF(0.40, 0.45), 1);
        addRow(7, mp48Upright, 1100, QPointF(0.55, 0.35), 6);
        addRow(8, mp24, 650, QPointF(0.50, 0.50), 1);
        addRow(9, mp12Upright, 480, QPointF(0.35, 0.40), 1);
    }

    void framesHeadOnTheMarks()
    {
        QFETCH(int, portrait);
        QFETCH(QSize, photo);
        QFETCH(double, eyesToChin);
        QFETCH(QPointF, eyesAt);
        QFETCH(int, orientation);

        const TestPortraits::Portrait& source = TestPortraits::all().at(portrait);
        const QImage image = TestPortraits::load(source);
        if (image.isNull()) {
            QSKIP(qPrintable(QStringLiteral("%1 is not installed: scripts/install-deps.sh --test "
                                            "installs %2")
                                 .arg(source.path, source.package)));
        }
        const Truth native = reference(portrait, image);
        QVERIFY(!QTest::currentTestFailed());

        // The portrait scaled so its eyes-to-chin height is eyesToChin, its eyes' midpoint at
        // eyesAt; these are where its face truly is in the photo.
        const double scale = eyesToChin / (native.chin.y() - native.eyeMidpoint.y());
        const QPointF eyes(eyesAt.x() * photo.width(), eyesAt.y() * photo.height());
        const QPointF topLeft = eyes - native.eyeMidpoint * scale;
        const Truth truth{eyes, topLeft + native.chin * scale};

        const QImage picture = TestPortraits::placedIn(photo, image, scale, topLeft);
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("photo.jpg"));
        writeFile(path, TestPortraits::storedWithOrientation(picture, orientation));

        QtPictureLoader loader;
        const QImage opened = loader.load(path).value_or(QImage());
        QCOMPARE(opened.size(), photo);
        const PhotoPyramid pyramid(opened);
        const FaceSearch search = m_finder->find(pyramid);
        QCOMPARE(search.outcome, FaceSearch::Outcome::Found);
        QVERIFY(search.face);

        const std::optional<HeadPlacement> placement =
            HeadFraming::place(photo, search.face->eyeMidpoint(), search.face->chin, kTpp, kClient);
        QVERIFY(placement);
        const QPointF eyesLanded = inCapture(*placement, photo, truth.eyeMidpoint);
        const QPointF chinLanded = inCapture(*placement, photo, truth.chin);
        const QString landed = QStringLiteral("eyes %1, chin %2 in the capture")
                                   .arg(describe(eyesLanded), describe(chinLanded));
        qInfo("%s", qPrintable(landed));
        QVERIFY2(std::abs(eyesLanded.x() - kChineseIdHead.eyeMidpointX) <= kEyeTolerance &&
                     std::abs(eyesLanded.y() - kChineseIdHead.eyeMidpointY) <= kEyeTolerance,
                 qPrintable(landed));
        QVERIFY2(std::abs(chinLanded.y() - kChineseIdHead.chinY) <= kChinTolerance,
                 qPrintable(landed));

        // The same through the pixels: the capture rendered as the work area shows it, saved
        // as the save button saves it, read back, and its face found again.
        const QString saved = QDir(m_dir.path()).filePath(QStringLiteral("capture.jpg"));
        QVERIFY(!Module1::saveJpeg(renderedCapture(opened, *placement), saved, kSavedQuality));
        const QImage capture(saved);
        QCOMPARE(capture.size(), kCaptureSize);
        const std::optional<FaceLandmarks> inSaved = faceInCapture(capture);
        QVERIFY2(inSaved, "no face in the saved capture");
        const QString found = QStringLiteral("eyes %1, chin %2 found in the saved capture")
                                  .arg(describe(inSaved->eyeMidpoint()), describe(inSaved->chin));
        qInfo("%s", qPrintable(found));
        QVERIFY2(
            std::abs(inSaved->eyeMidpoint().x() - kChineseIdHead.eyeMidpointX) <= kEyeTolerance &&
                std::abs(inSaved->eyeMidpoint().y() - kChineseIdHead.eyeMidpointY) <= kEyeTolerance,
            qPrintable(found));
        QVERIFY2(std::abs(inSaved->chin.y() - kChineseIdHead.chinY) <= kChinTolerance,
                 qPrintable(found));
    }

    void findsNoFaceWhereThereIsNone_data()
    {
        QTest::addColumn<bool>("withDogs");
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<int>("orientation");

        QTest::newRow("12 MP landscape, no one") << false << QSize(4000, 3000) << 1;
        QTest::newRow("24 MP of four dogs, stored sideways") << true << QSize(6000, 4000) << 6;
    }

    void findsNoFaceWhereThereIsNone()
    {
        QFETCH(bool, withDogs);
        QFETCH(QSize, photo);
        QFETCH(int, orientation);

        QImage picture;
        if (withDogs) {
            const TestPortraits::Portrait dogs = TestPortraits::dogs();
            const QImage image = TestPortraits::load(dogs);
            if (image.isNull()) {
                QSKIP(
                    qPrintable(QStringLiteral("%1 is not installed: scripts/install-deps.sh --test "
                                              "installs %2")
                                   .arg(dogs.path, dogs.package)));
            }
            picture = TestPortraits::placedIn(photo, image, 4.0, QPointF(600, 150));
        } else {
            picture = TestPictures::photoLike(photo);
        }
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("empty.jpg"));
        writeFile(path, TestPortraits::storedWithOrientation(picture, orientation));

        QtPictureLoader loader;
        const PhotoPyramid pyramid(loader.load(path).value_or(QImage()));
        const FaceSearch search = m_finder->find(pyramid);
        QCOMPARE(search.outcome, FaceSearch::Outcome::NoFace);
        QVERIFY(!search.face);
    }

    void picksTheLargestOfSeveralFaces()
    {
        const TestPortraits::Portrait& smallSource = TestPortraits::all().at(0);
        const TestPortraits::Portrait& largeSource = TestPortraits::all().at(1);
        const QImage small = TestPortraits::load(smallSource);
        const QImage large = TestPortraits::load(largeSource);
        if (small.isNull() || large.isNull()) {
            QSKIP("the portraits' packages are not installed: scripts/install-deps.sh --test "
                  "installs them");
        }
        const Truth smallNative = reference(0, small);
        const Truth largeNative = reference(1, large);
        QVERIFY(!QTest::currentTestFailed());

        // Side by side in a 12-megapixel photo, eyes to chin 300 and 600 pixels.
        const QSize photo(4000, 3000);
        const double smallScale = 300.0 / (smallNative.chin.y() - smallNative.eyeMidpoint.y());
        const double largeScale = 600.0 / (largeNative.chin.y() - largeNative.eyeMidpoint.y());
        const QPointF smallTopLeft(200, 300);
        const QPointF largeTopLeft(1800, 200);
        QImage picture = TestPortraits::placedIn(photo, small, smallScale, smallTopLeft);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(largeTopLeft, QSizeF(large.size()) * largeScale), large);
        }
        const Truth truth{largeTopLeft + largeNative.eyeMidpoint * largeScale,
                          largeTopLeft + largeNative.chin * largeScale};

        const FaceSearch search = m_finder->find(PhotoPyramid(picture));
        QCOMPARE(search.outcome, FaceSearch::Outcome::Found);
        const std::optional<HeadPlacement> placement =
            HeadFraming::place(photo, search.face->eyeMidpoint(), search.face->chin, kTpp, kClient);
        QVERIFY(placement);
        const QPointF eyesLanded = inCapture(*placement, photo, truth.eyeMidpoint);
        QVERIFY2(std::abs(eyesLanded.x() - kChineseIdHead.eyeMidpointX) <= kEyeTolerance &&
                     std::abs(eyesLanded.y() - kChineseIdHead.eyeMidpointY) <= kEyeTolerance,
                 qPrintable(describe(eyesLanded)));
    }

private:
    /// The capture as the program renders it: the photo shown at the placement under the
    /// frame, the frame's interior copied.
    static QImage renderedCapture(const QImage& opened, const HeadPlacement& placement)
    {
        ScaledPhoto shown(opened);
        const PhotoGeometry& photo = placement.photo;
        const QRect rect = kTpp.toPixels(photo.left, photo.top, photo.width, photo.height);
        shown.setDisplaySize(rect.size());
        WorkAreaScene scene;
        scene.setBackColor(kBack);
        scene.setPhoto(&shown);
        scene.setPhotoRect(rect);
        scene.setFrameRect(kTpp.toPixels(placement.frame.left, placement.frame.top,
                                         kFrameWidthTwips, kFrameHeightTwips));
        return scene.render(captureSourceRect(placement.frame, kTpp));
    }

    /// The face in a capture, in capture pixels. The capture is searched with a grey border,
    /// since the detector wants some context around a face this large, and at four times the
    /// size, so the landmarks, whole pixels where they are found, measure to a quarter of a
    /// capture pixel.
    std::optional<FaceLandmarks> faceInCapture(const QImage& capture)
    {
        constexpr int kBorder = 60;
        constexpr int kEnlarged = 4;
        QImage framed(capture.size() + QSize(2 * kBorder, 2 * kBorder), QImage::Format_RGB32);
        framed.fill(Qt::gray);
        {
            QPainter painter(&framed);
            painter.drawImage(QPoint(kBorder, kBorder), capture);
        }
        const FaceSearch search = m_finder->find(PhotoPyramid(framed.scaled(
            framed.size() * kEnlarged, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        if (!search.face) {
            return std::nullopt;
        }
        const QPointF offset(kBorder, kBorder);
        FaceLandmarks face = *search.face;
        face.leftEye = face.leftEye / kEnlarged - offset;
        face.rightEye = face.rightEye / kEnlarged - offset;
        face.chin = face.chin / kEnlarged - offset;
        return face;
    }

    static void addRow(int portrait, QSize photo, double eyesToChin, QPointF eyesAt,
                       int orientation)
    {
        const QString name = QStringLiteral("%1, %2 MP, orientation %3")
                                 .arg(TestPortraits::all().at(portrait).name)
                                 .arg(qint64(photo.width()) * photo.height() / 1'000'000)
                                 .arg(orientation);
        QTest::newRow(qPrintable(name)) << portrait << photo << eyesToChin << eyesAt << orientation;
    }

    /// The portrait's landmarks found at its own size: where the face truly is.
    Truth reference(int portrait, const QImage& image)
    {
        auto it = m_references.find(portrait);
        if (it == m_references.end()) {
            const FaceSearch search = m_finder->find(PhotoPyramid(image));
            if (!search.face) {
                QTest::qFail("no face in the portrait at its own size", __FILE__, __LINE__);
                return Truth{};
            }
            it =
                m_references.emplace(portrait, Truth{search.face->eyeMidpoint(), search.face->chin})
                    .first;
        }
        return it->second;
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QTemporaryDir m_dir;
    std::unique_ptr<FaceFinder> m_finder;
    std::map<int, Truth> m_references;
};

QTEST_GUILESS_MAIN(HeadFramingPortraitTest)
#include "HeadFramingPortraitTest.moc"
