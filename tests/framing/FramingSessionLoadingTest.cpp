// Kestrova — identity photo maker.
// A photo shown while the rest of it is still decoded: what the user asks of
// it meanwhile waits, then comes out exactly as it would have on the photo
// complete.
#include "framing/FramingSession.h"

#include "ProcessMemory.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "framing/Form1.h"
#include "framing/PhotoPyramid.h"
#include "platform/DecodeListener.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <sys/resource.h>

#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

const QColor kCaptureBack(240, 240, 240);
constexpr QSize kClient(240, 360);
constexpr QSize kPhotoSize(1600, 1200);
// Rows decoded before the gate: the work area's part and then some.
constexpr int kFirstRows = 480;
// Room for the photo's levels, short of a thread's 8 MiB stack.
constexpr rlim_t kHeadroomBytes = 6 * 1024 * 1024;

/// Serves one picture for any name, decoding it as the real decoder does:
/// into memory already shown, the first rows at once, the rest once released.
/// Rows not yet decoded are black.
class GatedPictureLoader final : public PictureLoader
{
public:
    explicit GatedPictureLoader(QImage picture) : m_picture(std::move(picture)) {}

    std::optional<PendingPicture> open(const QString&) override
    {
        return PendingPicture(
            [this](DecodeListener* listener) -> std::optional<QImage> {
                if (listener == nullptr) {
                    return m_picture;
                }
                QImage decoded(m_picture.size(), QImage::Format_RGB32);
                decoded.fill(Qt::black);
                uchar* bits = decoded.bits();
                const qsizetype firstBytes = decoded.bytesPerLine() * kFirstRows;
                std::memcpy(bits, m_picture.constBits(), std::size_t(firstBytes));
                listener->started(decoded);
                listener->regionDone(QRect(0, 0, m_picture.width(), kFirstRows));
                {
                    std::unique_lock lock(m_mutex);
                    m_gate.wait(lock, [this] { return m_released; });
                }
                std::memcpy(bits + firstBytes, m_picture.constBits() + firstBytes,
                            std::size_t(decoded.sizeInBytes() - firstBytes));
                listener->regionDone(
                    QRect(0, kFirstRows, m_picture.width(), m_picture.height() - kFirstRows));
                return decoded;
            },
            true);
    }

    void release()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_gate.notify_all();
    }

private:
    QImage m_picture;
    std::mutex m_mutex;
    std::condition_variable m_gate;
    bool m_released = false;
};

QImage photo()
{
    return TestPictures::photoLike(kPhotoSize).convertToFormat(QImage::Format_RGB32);
}

/// What a user does straight after an open, before the photo could be complete.
void frameTheNewPhoto(FramingSession& session)
{
    session.zoom(kZoomOutFactor);
    session.pressOnPhoto(QPointF(50, 60));
    session.dragTo(QPointF(20, 10));
    session.startNudge(kNudgeRight);
    session.nudgeTick();
    session.nudgeTick();
    session.stopNudge();
    session.refreshPreview();
}

} // namespace

class FramingSessionLoadingTest : public QObject
{
    Q_OBJECT

private slots:
    void operationsWaitForThePhotoThenActAsOnItWhole()
    {
        FakeFaceFinder faces;
        GatedPictureLoader gated(photo());
        FramingSession session(gated, faces, TwipsScale{}, kClient, kCaptureBack);
        FakePictureLoader whole;
        whole.pictures.insert(QStringLiteral("photo.jpg"), photo());
        FramingSession reference(whole, faces, TwipsScale{}, kClient, kCaptureBack);

        QVERIFY(session.open(QStringLiteral("photo.jpg")));
        QVERIFY(reference.open(QStringLiteral("photo.jpg")));
        QVERIFY(session.isLoadingPhoto());
        QCOMPARE(session.photo().naturalSize(), kPhotoSize);
        const PhotoGeometry shown = session.photoGeometry();

        // The preview of the frame, inside the part in view, is made at once.
        QSignalSpy captures(&session, &FramingSession::captureChanged);
        session.refreshPreview();
        reference.refreshPreview();
        QCOMPARE(captures.count(), 1);
        QCOMPARE(session.capture(), reference.capture());

        QSignalSpy waiting(&session, &FramingSession::waitingChanged);
        frameTheNewPhoto(session);
        frameTheNewPhoto(reference);
        QVERIFY(session.isWaiting());
        QCOMPARE(waiting.count(), 1);
        QCOMPARE(session.photoGeometry(), shown);
        QCOMPARE(captures.count(), 1);

        gated.release();
        QTRY_VERIFY(!session.isWaiting());
        QVERIFY(!session.isLoadingPhoto());
        QCOMPARE(waiting.count(), 2);
        QCOMPARE(session.photoGeometry(), reference.photoGeometry());
        QCOMPARE(session.framePosition(), reference.framePosition());
        QVERIFY(!session.isNudging());
        QCOMPARE(session.capture(), reference.capture());
        QCOMPARE(session.photo().pyramid()->levelCount(),
                 reference.photo().pyramid()->levelCount());
    }

    void openingAnotherPhotoFirstDoesWhatWaited()
    {
        FakeFaceFinder faces;
        GatedPictureLoader gated(photo());
        FramingSession session(gated, faces, TwipsScale{}, kClient, kCaptureBack);
        QVERIFY(session.open(QStringLiteral("first.jpg")));
        const FramePosition start = session.framePosition();
        session.zoom(kZoomInFactor);
        session.startNudge(kNudgeDown);
        session.nudgeTick();
        session.nudgeTick();
        session.stopNudge();
        QCOMPARE(session.framePosition(), start);

        // The decode ends, but word of it has not reached the session when the next open comes.
        gated.release();
        QVERIFY(session.open(QStringLiteral("second.jpg")));
        QVERIFY(!session.isWaiting());
        FramePosition nudged = start;
        QVERIFY(FrameNudge::step(nudged, kNudgeDown));
        QVERIFY(FrameNudge::step(nudged, kNudgeDown));
        QCOMPARE(session.framePosition(), nudged);
        // The zoom was made on the first photo; the second opens at its natural size.
        QVERIFY(!session.photoGeometry().stretch);
        QTRY_VERIFY(!session.isLoadingPhoto());
    }

    void photoOpensWholeWhenNoThreadCanBeHad()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer's own mappings need the address space this test takes away");
#endif
        // glibc keeps the stacks of finished threads for new ones; without the
        // tunable a thread could still be had.
        if (!qgetenv("GLIBC_TUNABLES").contains("glibc.pthread.stack_cache_size=0")) {
            QSKIP("needs GLIBC_TUNABLES=glibc.pthread.stack_cache_size=0, as CTest sets it");
        }
        FakeFaceFinder faces;
        // Its decode holds on a thread until released: one that gets a thread
        // shows only the first rows and is still loading when open returns.
        GatedPictureLoader gated(photo());
        FramingSession session(gated, faces, TwipsScale{}, kClient, kCaptureBack);

        // Address space for the photo's levels, none for a thread's stack.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_AS, &saved), 0);
        const rlimit tight{rlim_t(ProcessMemory::statusKb("VmSize")) * 1024 + kHeadroomBytes,
                           saved.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
        const bool opened = session.open(QStringLiteral("photo.jpg"));
        const bool loading = session.isLoadingPhoto();
        QCOMPARE(setrlimit(RLIMIT_AS, &saved), 0);
        gated.release();

        QVERIFY(opened);
        QVERIFY(!loading);
        QCOMPARE(session.photo().naturalSize(), kPhotoSize);
        QCOMPARE(session.photoControlRect(), QRect(QPoint(0, 0), kPhotoSize));
        QVERIFY(session.photo().pyramid()->levelCount() > 1);
    }

    void windowShowsTheWaitCursorWhileOperationsWait()
    {
        FakePlatform platform;
        GatedPictureLoader gated(photo());
        Services services = platform.withPictures(gated);
        Form1 form(services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        platform.openDialog.answers = QStringList{QStringLiteral("photo.jpg")};
        QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command8")), Qt::LeftButton);
        QVERIFY(form.session().isLoadingPhoto());
        QVERIFY(QApplication::overrideCursor() == nullptr);

        QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command7")), Qt::LeftButton);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Another open asked for meanwhile comes after the zoom.
        platform.openDialog.answers = QStringList{QStringLiteral("again.jpg")};
        QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command8")), Qt::LeftButton);
        QCOMPARE(platform.openDialog.requests.size(), 1);

        gated.release();
        QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(platform.openDialog.requests.size(), 2);
        QTRY_VERIFY(!form.session().isLoadingPhoto());
        QVERIFY(!form.session().photoGeometry().stretch);
    }
};

QTEST_MAIN(FramingSessionLoadingTest)
#include "FramingSessionLoadingTest.moc"
