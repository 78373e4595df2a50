// Kestrova — identity photo maker.
#include "ProcessMemory.h"
#include "TestPortraits.h"
#include "framing/PhotoPyramid.h"
#include "platform/DlibFaceFinder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <memory>
#include <thread>

namespace {

const QString kModel = QString::fromLatin1(kFaceLandmarkModelPath);
constexpr qint64 kSearchGrowthLimitKb = 24 * 1024;

bool modelInstalled()
{
    return QFileInfo::exists(kModel);
}

// What a run without the packages that install the model and the pictures
// skips, and why; QSKIP must stand in the test function itself.
#define SKIP_WITHOUT_MODEL()                                                                       \
    if (!modelInstalled())                                                                         \
    QSKIP("dlib's face landmark model is not installed: scripts/install-deps.sh installs "         \
          "libdlib-data")
#define SKIP_WITHOUT_PORTRAIT(image)                                                               \
    if ((image).isNull())                                                                          \
    QSKIP("dlib's example pictures are not installed: scripts/install-deps.sh --test installs "    \
          "libdlib19.1")

QImage portrait()
{
    return TestPortraits::load(TestPortraits::all().at(0));
}

} // namespace

class DlibFaceFinderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void unusableModelIsReportedNotThrown_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");

        QTest::newRow("missing") << QStringLiteral("missing.dat") << QByteArray();
        QTest::newRow("empty file") << QStringLiteral("empty.dat") << QByteArray("");
        QTest::newRow("text") << QStringLiteral("text.dat") << QByteArray("not a landmark model\n");
        QTest::newRow("random bytes")
            << QStringLiteral("random.dat") << QByteArray::fromHex("7f3a00ffee10203040ab");
        QTest::newRow("a folder") << QStringLiteral("folder.dat") << QByteArray();
        if (modelInstalled()) {
            // The real model cut off early, as by a full disk or an interrupted install.
            QFile model(kModel);
            QVERIFY(model.open(QIODevice::ReadOnly));
            QTest::newRow("truncated model")
                << QStringLiteral("truncated.dat") << model.read(1024 * 1024);
        }
    }

    void unusableModelIsReportedNotThrown()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);

        const QString path = QDir(m_dir.path()).filePath(name);
        if (QByteArray(QTest::currentDataTag()) == "a folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }

        const std::unique_ptr<FaceFinder> finder = makeDlibFaceFinder(path);
        const std::optional<QString> problem = finder->prepare();
        QVERIFY(problem);
        QVERIFY2(problem->contains(path), qPrintable(*problem));

        const FaceSearch search = finder->find(PhotoPyramid(QImage(64, 64, QImage::Format_RGB32)));
        QCOMPARE(search.outcome, FaceSearch::Outcome::ModelUnavailable);
        QVERIFY(!search.face);
        QCOMPARE(search.problem, *problem);
    }

    void modelInstalledLaterIsPickedUp()
    {
        SKIP_WITHOUT_MODEL();
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("later.dat"));
        const std::unique_ptr<FaceFinder> finder = makeDlibFaceFinder(path);
        QVERIFY(finder->prepare());
        // A user who installs the model after a failed attempt need not restart the program.
        QVERIFY(QFile::link(kModel, path));
        const std::optional<QString> problem = finder->prepare();
        QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
    }

    void concurrentFirstUsesShareOneModel()
    {
        SKIP_WITHOUT_MODEL();
        const QImage image = portrait();
        SKIP_WITHOUT_PORTRAIT(image);
        const PhotoPyramid pyramid(image);
        const std::unique_ptr<FaceFinder> finder = makeDlibFaceFinder();
        // Both threads arrive before the model is loaded, as when a worker thread starts the
        // first search while another is already loading.
        std::array<FaceSearch, 2> results;
        std::thread first([&] { results[0] = finder->find(pyramid); });
        std::thread second([&] { results[1] = finder->find(pyramid); });
        first.join();
        second.join();
        for (const FaceSearch& result : results) {
            QCOMPARE(result.outcome, FaceSearch::Outcome::Found);
            QVERIFY(result.face);
        }
        QCOMPARE(results[0].face->eyeMidpoint(), results[1].face->eyeMidpoint());
        QCOMPARE(results[0].face->chin, results[1].face->chin);
    }

    void picturesTooThinForAFaceHaveNone_data()
    {
        QTest::addColumn<QSize>("size");

        QTest::newRow("one pixel") << QSize(1, 1);
        QTest::newRow("a column") << QSize(1, 5000);
        QTest::newRow("a strip") << QSize(6000, 4);
    }

    void picturesTooThinForAFaceHaveNone()
    {
        SKIP_WITHOUT_MODEL();
        QFETCH(QSize, size);
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        const FaceSearch search = finder().find(PhotoPyramid(picture));
        QCOMPARE(search.outcome, FaceSearch::Outcome::NoFace);
        QVERIFY(search.problem.isEmpty());
    }

    void searchOfA48MegapixelPhotoCopiesNoFullLevel()
    {
        SKIP_WITHOUT_MODEL();
        const QImage image = portrait();
        SKIP_WITHOUT_PORTRAIT(image);
        QVERIFY(!finder().prepare());
        const QSize size(8000, 6000);
        const double scale = 0.6 * size.height() / image.height();
        const PhotoPyramid pyramid(
            TestPortraits::placedIn(size, image, scale, QPointF(2500, 1200)));

        const qint64 residentBefore = ProcessMemory::statusKb("VmRSS");
        ProcessMemory::resetPeakResident();
        const FaceSearch search = finder().find(pyramid);
        const qint64 growthKb = ProcessMemory::statusKb("VmHWM") - residentBefore;
        QCOMPARE(search.outcome, FaceSearch::Outcome::Found);
        // Even a grey copy of the photo would be 48 MB; the search works on a reduced level
        // and a crop around the face.
        QVERIFY2(residentBefore > 0 && growthKb < kSearchGrowthLimitKb,
                 qPrintable(QStringLiteral("peak grew by %1 kB").arg(growthKb)));
    }

    void landmarksLieInsideTheFace()
    {
        SKIP_WITHOUT_MODEL();
        const QImage image = portrait();
        SKIP_WITHOUT_PORTRAIT(image);
        const FaceSearch search = finder().find(PhotoPyramid(image));
        QCOMPARE(search.outcome, FaceSearch::Outcome::Found);
        const FaceLandmarks& face = *search.face;
        // The photo's left eye is left of its right eye, both above the chin, all within or
        // just below the detector's box.
        QVERIFY(face.leftEye.x() < face.rightEye.x());
        QVERIFY(face.leftEye.y() < face.chin.y() && face.rightEye.y() < face.chin.y());
        const QRectF reach = face.box.adjusted(0, 0, 0, face.box.height() * 0.25);
        QVERIFY(reach.contains(face.leftEye) && reach.contains(face.rightEye));
        QVERIFY(reach.contains(face.chin));
        QVERIFY(face.box.width() > image.width() / 2);
    }

private:
    /// One finder for the tests that only search, so the model is read once.
    FaceFinder& finder()
    {
        if (!m_finder) {
            m_finder = makeDlibFaceFinder();
        }
        return *m_finder;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<FaceFinder> m_finder;
};

QTEST_GUILESS_MAIN(DlibFaceFinderTest)
#include "DlibFaceFinderTest.moc"
