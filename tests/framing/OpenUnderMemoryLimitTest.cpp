// Kestrova — identity photo maker.
// Opening a photo with less and less memory left: whatever runs out on the
// threads that decode it, place it and make its levels, the photo opens or is
// refused, and no thread dies of it. (Memory running out on the window's own
// thread is for the application object to report, and counts as neither.)
// Each open runs in a process of its own, started from this test, with its
// address space capped a little above what it has before the open.
#include "framing/FramingSession.h"

#include "ProcessMemory.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "platform/PictureLoader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <cstdlib>
#include <new>

namespace {

const char* const kOpenUnderLimit = "--open-under-limit";
const QColor kCaptureBack(240, 240, 240);
constexpr QSize kClient(240, 360);
constexpr QSize kPhotoSize(2000, 1500);
// From too little for anything to all the photo, its levels and its threads need.
constexpr qint64 kMostExtraKb = 48 * 1024;
constexpr qint64 kStepKb = 512;
constexpr int kLoadPatienceMs = 30'000;

// How an open under the limit ended.
enum Outcome
{
    Opened = 0,
    Refused = 1,
    // Memory ran out on the window's thread: in the program, its application
    // object reports that and ends it, as for any library running out.
    OutOfMemoryOnWindowThread = 2,
    StillLoading = 3,
};

int openUnderLimit(int argc, char** argv)
{
    const QString path = QString::fromLocal8Bit(argv[2]);
    const qint64 extraKb = std::atoll(argv[3]);
    // Never destroyed: the program ends with _Exit, so nothing runs out while it ends.
    auto* app = new QGuiApplication(argc, argv);
    (void)app;
    auto* loader = new QtPictureLoader;
    auto* faces = new FakeFaceFinder;
    auto* session = new FramingSession(*loader, *faces, TwipsScale{}, kClient, kCaptureBack);
    const rlimit cap{rlim_t(ProcessMemory::statusKb("VmSize") + extraKb) * 1024, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &cap) != 0) {
        std::_Exit(StillLoading);
    }
    try {
        if (!session->open(path)) {
            std::_Exit(Refused);
        }
        QElapsedTimer patience;
        patience.start();
        while (session->isLoadingPhoto() && patience.elapsed() < kLoadPatienceMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (session->isLoadingPhoto()) {
            std::_Exit(StillLoading);
        }
        session->showWholePhoto();
    } catch (const std::bad_alloc&) {
        std::_Exit(OutOfMemoryOnWindowThread);
    }
    std::_Exit(Opened);
}

} // namespace

class OpenUnderMemoryLimitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer's own mappings need the address space this test takes away");
#endif
        QVERIFY(m_dir.isValid());
        // No fonts at all for the opens: fontconfig scanning fonts with its
        // memory cut short writes their caches empty, for every program after.
        m_fonts = TestPictures::writeFile(
            QDir(m_dir.path()), QStringLiteral("fonts.conf"),
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
            "<fontconfig></fontconfig>\n");
    }

    void photoOpensOrIsRefusedHoweverLittleMemoryIsLeft_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray jpeg = TestPictures::jpegFile(TestPictures::photoLike(kPhotoSize));
        // Decoded straight into place, its corner ahead on a thread of its own.
        QTest::newRow("upright") << jpeg;
        // Placed turned by a thread of its own.
        QTest::newRow("on its side") << TestPictures::withExifOrientation(jpeg, 6);
    }

    void photoOpensOrIsRefusedHoweverLittleMemoryIsLeft()
    {
        QFETCH(QByteArray, file);
        const QString path =
            TestPictures::writeFile(QDir(m_dir.path()), QStringLiteral("photo.jpg"), file);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FONTCONFIG_FILE"), m_fonts);
        int opened = 0;
        int refused = 0;
        for (qint64 extraKb = 0; extraKb <= kMostExtraKb; extraKb += kStepKb) {
            QProcess open;
            open.setProcessEnvironment(environment);
            open.start(QCoreApplication::applicationFilePath(),
                       {QString::fromLatin1(kOpenUnderLimit), path, QString::number(extraKb)});
            QVERIFY(open.waitForFinished(2 * kLoadPatienceMs));
            const QString at = QStringLiteral("%1 kB above the open").arg(extraKb);
            QVERIFY2(open.exitStatus() == QProcess::NormalExit,
                     qPrintable(at + QStringLiteral(": died\n") +
                                QString::fromLocal8Bit(open.readAllStandardError())));
            QVERIFY2(open.exitCode() != StillLoading, qPrintable(at + QStringLiteral(": hung")));
            opened += open.exitCode() == Opened ? 1 : 0;
            refused += open.exitCode() == Refused ? 1 : 0;
        }
        // The limits reach from too little to open it to enough.
        QVERIFY(refused > 0);
        QVERIFY(opened > 0);
    }

private:
    QTemporaryDir m_dir;
    QString m_fonts;
};

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], kOpenUnderLimit) == 0) {
        return openUnderLimit(argc, argv);
    }
    QGuiApplication app(argc, argv);
    OpenUnderMemoryLimitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OpenUnderMemoryLimitTest.moc"
