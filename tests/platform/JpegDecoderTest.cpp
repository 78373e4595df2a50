// Kestrova — identity photo maker.
// Decoding a JPEG while someone watches: every region the decoder calls done
// already holds its final pixels, however the photo is turned or coloured.
#include "platform/JpegDecoder.h"

#include "ProfiledPictures.h"
#include "TestPictures.h"
#include "platform/DecodeListener.h"

#include <QBuffer>
#include <QTest>

#include <mutex>
#include <vector>

namespace {

constexpr qint64 kMaxPixels = 120'000'000;
constexpr QSize kSize(301, 203);

/// Keeps a copy of each region's pixels as they were when it was called done.
class RecordingListener final : public DecodeListener
{
public:
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

    std::vector<Seen> seen;
    int startedCalls = 0;
    int stopAfter = -1;

private:
    mutable std::mutex m_mutex;
    QImage m_picture;
};

QImage decode(const QByteArray& jpeg, QImageIOHandler::Transformations turn,
              DecodeListener* listener)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    return JpegDecoder::decode(buffer, jpeg.size(), turn, kMaxPixels, listener);
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
        const auto transformation =
            QImageIOHandler::Transformations(QImageIOHandler::Transformation(turn));
        const QImage unwatched = decode(jpeg, transformation, nullptr);
        QVERIFY(!unwatched.isNull());

        RecordingListener listener;
        const QImage watched = decode(jpeg, transformation, &listener);
        QCOMPARE(watched, unwatched);
        QCOMPARE(listener.startedCalls, 1);
        QVERIFY(!listener.seen.empty());
        // Each region joins those before it into one rectangle, and they end
        // up covering the picture exactly once.
        QRect covered;
        qint64 area = 0;
        for (const RecordingListener::Seen& seen : listener.seen) {
            QVERIFY(!seen.region.isEmpty());
            QVERIFY2(!covered.intersects(seen.region), "a region was told twice");
            covered = covered.united(seen.region);
            area += qint64(seen.region.width()) * seen.region.height();
            QCOMPARE(qint64(covered.width()) * covered.height(), area);
            QCOMPARE(seen.pixels, unwatched.copy(seen.region));
        }
        QCOMPARE(covered, unwatched.rect());
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
