// Kestrova — identity photo maker.
// A picture decoded on a thread of its own: what can be shown while it comes
// in, and how a decode that fails or is abandoned ends.
#include "platform/PictureStream.h"

#include "TestPictures.h"
#include "platform/PictureLoader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// A work area's part of a photo, and the margin shown with it.
const QRect kFirstView(0, 0, 304, 424);

} // namespace

class PictureStreamTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void partInViewIsFinalOnceWaitedFor()
    {
        const QString path = TestPictures::writeFile(
            QDir(m_dir.path()), QStringLiteral("tall.jpg"),
            TestPictures::jpegFile(TestPictures::photoLike(QSize(700, 3000))));
        QtPictureLoader loader;
        const QImage whole = loader.load(path).value_or(QImage());
        QVERIFY(!whole.isNull());

        std::optional<PendingPicture> pending = loader.open(path);
        QVERIFY(pending);
        std::atomic<int> regions = 0;
        std::atomic<int> finished = 0;
        const std::unique_ptr<PictureStream> stream = pending->stream(
            QRect(), [&regions](const QImage&, const QRect&) { ++regions; },
            [&finished] { ++finished; });
        stream->waitFor(kFirstView);
        QVERIFY(stream->readyRegion().contains(kFirstView));
        const QImage early = stream->picture();
        QCOMPARE(early.size(), whole.size());
        QCOMPARE(early.copy(kFirstView), whole.copy(kFirstView));

        stream->waitUntilFinished();
        QVERIFY(stream->isFinished());
        QCOMPARE(stream->readyRegion(), whole.rect());
        QCOMPARE(stream->picture(), whole);
        // The picture shown early is the very memory decoded into, not a copy.
        QCOMPARE(stream->picture().constBits(), early.constBits());
        QVERIFY(regions > 1);
        QTRY_COMPARE(finished.load(), 1);
    }

    void partDecodedAheadOfItsRowsEndsTheWait()
    {
        // A decode that has the part wanted first, and then only ends when
        // asked to, or gives up after a while.
        auto stream = std::make_unique<PictureStream>(
            [](DecodeListener* listener) -> std::optional<QImage> {
                QImage picture(2000, 1500, QImage::Format_RGB32);
                listener->started(picture);
                listener->aheadDone(listener->wantedFirst());
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (!listener->stopRequested() && std::chrono::steady_clock::now() < giveUp) {
                    std::this_thread::yield();
                }
                return std::nullopt;
            },
            kFirstView, PictureStream::RegionDone{}, std::function<void()>{});
        stream->waitFor(kFirstView);
        QVERIFY(!stream->isFinished());
        QVERIFY(stream->readyRegion().isEmpty());
        QCOMPARE(stream->picture().size(), QSize(2000, 1500));
    }

    void workOfferedForThePartWantedFirstRunsOnTheThreadWaitingForIt()
    {
        // Work that tells the part wanted first done, offered by a decode
        // that then only ends when asked to, or gives up after a while.
        struct Corner final : AheadWork
        {
            DecodeListener* listener = nullptr;
            int claims = 0;
            std::thread::id ranOn;
            bool claim() override { return claims++ == 0; }
            void run() override
            {
                ranOn = std::this_thread::get_id();
                listener->aheadDone(listener->wantedFirst());
            }
        };
        Corner corner;
        PictureStream stream(
            [&corner](DecodeListener* listener) -> std::optional<QImage> {
                QImage picture(2000, 1500, QImage::Format_RGB32);
                listener->started(picture);
                corner.listener = listener;
                if (!listener->offerAhead(corner)) {
                    return std::nullopt;
                }
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (!listener->stopRequested() && std::chrono::steady_clock::now() < giveUp) {
                    std::this_thread::yield();
                }
                listener->withdrawAhead();
                return std::nullopt;
            },
            kFirstView, PictureStream::RegionDone{}, std::function<void()>{});
        stream.waitFor(kFirstView);
        QVERIFY(!stream.isFinished());
        QVERIFY(corner.ranOn == std::this_thread::get_id());
        QCOMPARE(corner.claims, 1);
    }

    void replacedFileNeverShowsThroughThePartWantedFirst()
    {
        // The part in view may be decoded from a second reader of the file;
        // a file replaced once the first was open must not lend it pixels.
        const QSize size(1200, 900);
        const QDir dir(m_dir.path());
        const QString path =
            TestPictures::writeFile(dir, QStringLiteral("replaced.jpg"),
                                    TestPictures::jpegFile(TestPictures::photoLike(size)));
        QtPictureLoader loader;
        const QImage first = loader.load(path).value_or(QImage());
        std::optional<PendingPicture> pending = loader.open(path);
        QVERIFY(pending);
        QImage other(size, QImage::Format_RGB32);
        other.fill(Qt::blue);
        const QString otherPath = TestPictures::writeFile(dir, QStringLiteral("other.jpg"),
                                                          TestPictures::jpegFile(other));
        QVERIFY(std::rename(QFile::encodeName(otherPath).constData(),
                            QFile::encodeName(path).constData()) == 0);

        const std::unique_ptr<PictureStream> stream =
            pending->stream(kFirstView, PictureStream::RegionDone{}, std::function<void()>{});
        stream->waitFor(kFirstView);
        QCOMPARE(stream->picture().copy(kFirstView), first.copy(kFirstView));
        stream->waitUntilFinished();
        QCOMPARE(stream->picture(), first);
    }

    void pictureNotShownWhileDecodedIsReadyWhenDone()
    {
        // Qt's BMP reader gives the picture only once it is whole.
        const QImage picture = TestPictures::photoLike(QSize(500, 600));
        const QString path =
            TestPictures::writeFile(QDir(m_dir.path()), QStringLiteral("photo.bmp"),
                                    TestPictures::bmpFile(picture, 24, false));
        QtPictureLoader loader;
        std::optional<PendingPicture> pending = loader.open(path);
        QVERIFY(pending);
        std::atomic<int> regions = 0;
        const std::unique_ptr<PictureStream> stream =
            pending->stream(kFirstView, [&regions](const QImage&, const QRect&) { ++regions; }, {});
        stream->waitFor(kFirstView);
        QVERIFY(stream->isFinished());
        QCOMPARE(stream->readyRegion(), picture.rect());
        QCOMPARE(stream->picture().convertToFormat(QImage::Format_RGB32),
                 picture.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(regions.load(), 0);
    }

    void decodeWithoutAPictureEndsEveryWait()
    {
        std::atomic<int> finished = 0;
        PictureStream stream([](DecodeListener*) -> std::optional<QImage> { return std::nullopt; },
                             kFirstView, {}, [&finished] { ++finished; });
        stream.waitFor(kFirstView);
        QVERIFY(stream.isFinished());
        QVERIFY(stream.picture().isNull());
        QVERIFY(stream.readyRegion().isEmpty());
        QTRY_COMPARE(finished.load(), 1);
    }

    void abandonedStreamStopsItsDecode()
    {
        // A decode that only ends when asked to: the stream's end must ask.
        std::atomic<bool> stopSeen = false;
        auto stream = std::make_unique<PictureStream>(
            [&stopSeen](DecodeListener* listener) -> std::optional<QImage> {
                QImage picture(400, 800, QImage::Format_RGB32);
                picture.fill(Qt::gray);
                listener->started(picture);
                listener->regionDone(QRect(0, 0, 400, 16));
                while (!listener->stopRequested()) {
                    std::this_thread::yield();
                }
                stopSeen = true;
                return std::nullopt;
            },
            QRect(), PictureStream::RegionDone{}, std::function<void()>{});
        stream->waitFor(QRect(0, 0, 400, 16));
        QVERIFY(!stream->isFinished());
        QCOMPARE(stream->readyRegion(), QRect(0, 0, 400, 16));
        stream.reset();
        QVERIFY(stopSeen);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(PictureStreamTest)
#include "PictureStreamTest.moc"
