// Kestrova — identity photo maker.
// Decoding a JPEG while someone watches: every region the decoder calls done
// already holds its final pixels, however the photo is turned or coloured.
#include "platform/JpegDecoder.h"

#include "ProfiledPictures.h"
#include "TestPictures.h"
#include "platform/DecodeListener.h"

#include <QBuffer>
#include <QTest>

#include <malloc.h>

#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr qint64 kMaxPixels = 120'000'000;
constexpr QSize kSize(301, 203);

/// Keeps a copy of each region's pixels as they were when it was called done.
class RecordingListener final : public DecodeListener
{
public:
    /// What the listener does with work offered to it.
    enum class Offers
    {
        Declined,
        RunAtOnce,
        NeverTakenUp,
    };

    struct Seen
    {
        QRect region;
        QImage pixels;
    };

    void started(const QImage& picture) override
    {
        const std::lock_guard lock(m_mutex);
        m_picture = picture;
        ++startedCalls;
    }
    void regionDone(const QRect& region) override
    {
        const std::lock_guard lock(m_mutex);
        seen.push_back({region, m_picture.copy(region)});
    }
    [[nodiscard]] bool stopRequested() const override
    {
        const std::lock_guard lock(m_mutex);
        return stopAfter >= 0 && int(seen.size()) >= stopAfter;
    }
    [[nodiscard]] QRect wantedFirst() const override { return wanted; }
    void aheadDone(const QRect& region) override
    {
        const std::lock_guard lock(m_mutex);
        ahead.push_back({region, m_picture.copy(region)});
    }
    [[nodiscard]] bool offerAhead(AheadWork& work) override
    {
        if (offers == Offers::Declined) {
            return false;
        }
        ++offersTaken;
        if (offers == Offers::RunAtOnce && work.claim()) {
            work.run();
        }
        return true;
    }

    std::vector<Seen> seen;
    std::vector<Seen> ahead;
    QRect wanted;
    int startedCalls = 0;
    int stopAfter = -1;
    Offers offers = Offers::Declined;
    int offersTaken = 0;

private:
    mutable std::mutex m_mutex;
    QImage m_picture;
};

QImage decode(const QByteArray& jpeg, QImageIOHandler::Transformations turn,
              DecodeListener* listener, const QByteArray* second = nullptr)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QBuffer ahead;
    if (second != nullptr) {
        ahead.setData(*second);
        ahead.open(QIODevice::ReadOnly);
    }
    return JpegDecoder::decode(buffer, jpeg.size(), turn, kMaxPixels, listener,
                               second != nullptr ? &ahead : nullptr);
}

/// A data row's transformation, stored as an int.
QImageIOHandler::Transformations turnOf(int turn)
{
    return QImageIOHandler::Transformations(QImageIOHandler::Transformation(turn));
}

/// Checks that the regions told done cover the picture exactly once, each
/// joining those before it into one rectangle, and held their final pixels
/// when told.
void checkRegionsTold(const std::vector<RecordingListener::Seen>& seen, const QImage& final)
{
    QVERIFY(!seen.empty());
    QRect covered;
    qint64 area = 0;
    for (const RecordingListener::Seen& region : seen) {
        QVERIFY(!region.region.isEmpty());
        QVERIFY2(!covered.intersects(region.region), "a region was told twice");
        covered = covered.united(region.region);
        area += qint64(region.region.width()) * region.region.height();
        QCOMPARE(qint64(covered.width()) * covered.height(), area);
        QCOMPARE(region.pixels, final.copy(region.region));
    }
    QCOMPARE(covered, final.rect());
}

} // namespace

class JpegDecoderTest : public QObject
{
    Q_OBJECT

private slots:
    void regionsToldDoneHoldTheirFinalPixels_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("turn");
        const QImage photo = TestPictures::photoLike(kSize);
        const QByteArray plain = TestPictures::jpegFile(photo);
        // Every way a camera stores a turned photo: its rows land as rows,
        // bottom-up rows, or columns from either side.
        for (int turn = QImageIOHandler::TransformationNone;
             turn <= QImageIOHandler::TransformationRotate270; ++turn) {
            QTest::addRow("transformation %d", turn) << plain << turn;
        }
        const QByteArray p3 =
            ProfiledPictures::withIccProfile(plain, ProfiledPictures::displayP3Profile());
        QTest::newRow("Display P3, converted beside the decode") << p3 << 0;
        QTest::newRow("Display P3, turned") << p3 << int(QImageIOHandler::TransformationRotate90);
        QTest::newRow("grey profile, converted only once whole")
            << ProfiledPictures::withIccProfile(
                   TestPictures::jpegFile(photo.convertToFormat(QImage::Format_Grayscale8)),
                   ProfiledPictures::greyProfile(1.8))
            << 0;
        QTest::newRow("CMYK") << TestPictures::cmykJpegFile(kSize, 10, 200, 30, 40, false) << 0;
        QTest::newRow("progressive") << TestPictures::jpegFile(photo, 90, true)
                                     << int(QImageIOHandler::TransformationRotate180);
        QTest::newRow("truncated: the grey rest is told too") << plain.left(plain.size() / 2) << 0;
    }

    void regionsToldDoneHoldTheirFinalPixels()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, turn);
        const QImageIOHandler::Transformations transformation = turnOf(turn);
        const QImage unwatched = decode(jpeg, transformation, nullptr);
        QVERIFY(!unwatched.isNull());

        RecordingListener listener;
        const QImage watched = decode(jpeg, transformation, &listener);
        QCOMPARE(watched, unwatched);
        QCOMPARE(listener.startedCalls, 1);
        checkRegionsTold(listener.seen, unwatched);
    }

    void cornerDecodedAheadHoldsTheWholeDecodesPixels_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("turn");
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<bool>("aheadWhenAsked");
        const QImage photo = TestPictures::photoLike(QSize(1001, 803));
        const QRect view(0, 0, 241, 361);
        const QByteArray plain = TestPictures::sampledJpegFile(photo, QSize(2, 2));
        // Turned, the corner in view is stored elsewhere: at the bottom,
        // at the right, or down the side.
        for (int turn = QImageIOHandler::TransformationNone;
             turn <= QImageIOHandler::TransformationRotate270; ++turn) {
            QTest::addRow("4:2:0, transformation %d", turn) << plain << turn << view << true;
            QTest::addRow("4:2:2, transformation %d", turn)
                << TestPictures::sampledJpegFile(photo, QSize(2, 1)) << turn << view << true;
        }
        // However the colour is sampled, the corner's last columns are
        // upsampled from the same neighbours as in the whole decode.
        const std::pair<const char*, QSize> samplings[] = {
            {"4:2:0", QSize(2, 2)}, {"4:2:2", QSize(2, 1)}, {"4:4:0", QSize(1, 2)},
            {"4:4:4", QSize(1, 1)}, {"4:1:1", QSize(4, 1)},
        };
        for (const auto& [name, sampling] : samplings) {
            QTest::newRow(name) << TestPictures::sampledJpegFile(photo, sampling) << 0 << view
                                << true;
        }
        const int rotate90 = QImageIOHandler::TransformationRotate90;
        QTest::newRow("restart markers, turned")
            << TestPictures::sampledJpegFile(photo, QSize(2, 2), 1) << rotate90 << view << true;
        QTest::newRow("a dense screen's view") << plain << 0 << QRect(0, 0, 304, 424) << true;
        QTest::newRow("a view away from the corner")
            << plain << rotate90 << QRect(100, 200, 200, 300) << true;
        QTest::newRow("cut short past the corner's rows")
            << plain.left(plain.size() * 3 / 4) << 0 << view << true;
        // Rows the corner pass cannot read come from the whole decode instead.
        QTest::newRow("cut short within the corner's rows")
            << plain.left(plain.size() / 5) << 0 << view << false;
        QTest::newRow("cut short above the corner's rows, turned")
            << plain.left(plain.size() / 2) << rotate90 << view << false;
        QTest::newRow("too narrow to gain")
            << TestPictures::sampledJpegFile(photo.copy(0, 0, 500, 803), QSize(2, 2)) << 0 << view
            << false;
        QTest::newRow("progressive: its first rows need most of the file")
            << TestPictures::jpegFile(photo, 90, true) << 0 << view << false;
        QTest::newRow("a profile to convert")
            << ProfiledPictures::withIccProfile(plain, ProfiledPictures::displayP3Profile()) << 0
            << view << false;
    }

    void cornerDecodedAheadHoldsTheWholeDecodesPixels()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, turn);
        QFETCH(QRect, wanted);
        QFETCH(bool, aheadWhenAsked);
        const QImageIOHandler::Transformations transformation = turnOf(turn);
        const QImage unwatched = decode(jpeg, transformation, nullptr);
        QVERIFY(!unwatched.isNull());

        RecordingListener listener;
        listener.wanted = wanted;
        const QImage watched = decode(jpeg, transformation, &listener, &jpeg);
        QCOMPARE(watched, unwatched);
        checkRegionsTold(listener.seen, unwatched);
        if (!aheadWhenAsked) {
            QVERIFY(listener.ahead.empty());
            return;
        }
        QCOMPARE(int(listener.ahead.size()), 1);
        QCOMPARE(listener.ahead[0].region, wanted);
        QCOMPARE(listener.ahead[0].pixels, unwatched.copy(wanted));
    }

    void cornerOfferedToTheListenerIsRunOrLeftToTheWholeDecode()
    {
        const QImage photo = TestPictures::photoLike(QSize(1200, 803));
        const QRect wanted(0, 0, 240, 360);
        for (const bool cutShort : {false, true}) {
            QByteArray jpeg = TestPictures::sampledJpegFile(photo, QSize(2, 2));
            if (cutShort) {
                jpeg = jpeg.left(jpeg.size() / 5);
            }
            const QImage unwatched = decode(jpeg, {}, nullptr);

            RecordingListener runs;
            runs.wanted = wanted;
            runs.offers = RecordingListener::Offers::RunAtOnce;
            QCOMPARE(decode(jpeg, {}, &runs, &jpeg), unwatched);
            QCOMPARE(runs.offersTaken, 1);
            checkRegionsTold(runs.seen, unwatched);
            // Run by the listener, the pass tells what it decoded; a file cut
            // within the corner's rows leaves the corner to the whole decode.
            QCOMPARE(int(runs.ahead.size()), cutShort ? 0 : 1);
            if (!cutShort) {
                QCOMPARE(runs.ahead[0].pixels, unwatched.copy(wanted));
            }

            // Taken but never run: the whole decode fills the corner itself.
            RecordingListener keeps;
            keeps.wanted = wanted;
            keeps.offers = RecordingListener::Offers::NeverTakenUp;
            QCOMPARE(decode(jpeg, {}, &keeps, &jpeg), unwatched);
            QCOMPARE(keeps.offersTaken, 1);
            QVERIFY(keeps.ahead.empty());
            checkRegionsTold(keeps.seen, unwatched);
        }
    }

    void secondReaderThatFailsLeavesTheCornerToTheWholeDecode_data()
    {
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("turn");
        const QByteArray jpeg =
            TestPictures::sampledJpegFile(TestPictures::photoLike(QSize(900, 600)), QSize(2, 2));
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("empty, turned")
            << QByteArray() << int(QImageIOHandler::TransformationRotate90);
        QTest::newRow("cut short within the corner") << jpeg.left(jpeg.size() / 8) << 0;
        QTest::newRow("another size")
            << TestPictures::sampledJpegFile(TestPictures::photoLike(QSize(900, 601)), QSize(2, 2))
            << 0;
    }

    void secondReaderThatFailsLeavesTheCornerToTheWholeDecode()
    {
        QFETCH(QByteArray, second);
        QFETCH(int, turn);
        const QImageIOHandler::Transformations transformation = turnOf(turn);
        const QByteArray jpeg =
            TestPictures::sampledJpegFile(TestPictures::photoLike(QSize(900, 600)), QSize(2, 2));
        const QImage unwatched = decode(jpeg, transformation, nullptr);
        RecordingListener listener;
        listener.wanted = QRect(0, 0, 240, 360);
        const QImage watched = decode(jpeg, transformation, &listener, &second);
        QVERIFY(listener.ahead.empty());
        QCOMPARE(watched, unwatched);
        checkRegionsTold(listener.seen, unwatched);
    }

    void stopRequestedEndsTheDecodeWithNoPicture()
    {
        const QByteArray jpeg = TestPictures::jpegFile(TestPictures::photoLike(QSize(64, 640)));
        RecordingListener listener;
        listener.stopAfter = 1;
        QVERIFY(decode(jpeg, {}, &listener).isNull());
        // Stopped at the next strip, not after decoding the rest.
        QCOMPARE(int(listener.seen.size()), 1);
    }

    void memoryRunningOutInAListenerGivesBackLibjpegsMemory()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer's allocator does not report its use to mallinfo2");
#endif
        // Memory running out past the header (a strip, the corner's copy)
        // unwinds the decode, and libjpeg's buffers must not stay behind. A
        // listener running out is the simplest way to make that happen here.
        class RunningOut final : public DecodeListener
        {
        public:
            void started(const QImage&) override {}
            void regionDone(const QRect&) override { throw std::bad_alloc(); }
            [[nodiscard]] bool stopRequested() const override { return false; }
        };
        const QByteArray jpeg = TestPictures::jpegFile(TestPictures::photoLike(QSize(2400, 64)));
        RunningOut listener;
        const auto inUse = [] { return qint64(mallinfo2().uordblks); };
        (void)decode(jpeg, {}, nullptr);
        const qint64 before = inUse();
        for (int attempt = 0; attempt < 4; ++attempt) {
            QVERIFY_THROWS_EXCEPTION(std::bad_alloc, (void)decode(jpeg, {}, &listener));
        }
        // Each decode of this width holds well over this much of libjpeg's.
        constexpr qint64 kSlackBytes = 64 * 1024;
        QVERIFY2(inUse() - before < kSlackBytes,
                 qPrintable(QStringLiteral("%1 bytes more in use").arg(inUse() - before)));
    }

    void deviceEndingEarlyReadsAsTruncated()
    {
        // However little of a file a device gives, what came is kept and the
        // rest is grey, as for a file cut short on disk.
        const QImage photo = TestPictures::photoLike(QSize(320, 240));
        const QByteArray jpeg = TestPictures::jpegFile(photo);
        QBuffer buffer;
        buffer.setData(jpeg);
        buffer.open(QIODevice::ReadOnly);
        const QImage cut = JpegDecoder::decode(buffer, jpeg.size() * 6 / 10, {}, kMaxPixels);
        QCOMPARE(cut.size(), photo.size());
        const QImage whole = decode(jpeg, {}, nullptr);
        QCOMPARE(cut.copy(0, 0, 320, 16), whole.copy(0, 0, 320, 16));
        QCOMPARE(cut.pixel(160, 236) & 0xffffff, 0x808080u);
    }
};

QTEST_GUILESS_MAIN(JpegDecoderTest)
#include "JpegDecoderTest.moc"
