// Kestrova — identity photo maker.
// A picture in memory of its own: usable as any other, and its memory back
// with the system as soon as its last copy goes, whichever thread made it.
#include "platform/MappedImage.h"

#include "FailingAllocations.h"
#include "ProcessMemory.h"

#include <QFile>
#include <QTest>

#include <memory>
#include <new>
#include <thread>
#include <vector>

namespace {

constexpr QSize kPhotoSize(8000, 6000);
constexpr int kSmallestSide = 256;
constexpr int kPhotos = 4;
// A few pages of the allocator's own come and go.
constexpr qint64 kSlackKb = 4 * 1024;

/// What the kernel says of huge pages for the mapping holding address.
QString hugePagesAllowedAt(quintptr address)
{
    QFile maps(QStringLiteral("/proc/self/smaps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QStringLiteral("no /proc/self/smaps");
    }
    bool inside = false;
    for (QByteArray line = maps.readLine(); !line.isEmpty(); line = maps.readLine()) {
        const QByteArray range = line.left(line.indexOf(' '));
        const qsizetype dash = range.indexOf('-');
        bool startOk = false;
        bool endOk = false;
        const quintptr start = range.left(dash).toULongLong(&startOk, 16);
        const quintptr end = range.mid(dash + 1).toULongLong(&endOk, 16);
        if (dash > 0 && startOk && endOk) {
            inside = start <= address && address < end;
        } else if (inside && line.startsWith("THPeligible:")) {
            return QString::fromLatin1(line.mid(12).trimmed());
        }
    }
    return QStringLiteral("not found");
}

} // namespace

class MappedImageTest : public QObject
{
    Q_OBJECT

private slots:
    void holdsPixelsLikeAnyPicture()
    {
        QImage image = mappedImage(QSize(301, 7), QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(301, 7));
        QCOMPARE(image.format(), QImage::Format_RGB32);
        image.fill(qRgb(10, 20, 30));
        image.setPixel(300, 6, qRgb(1, 2, 3));
        const QImage copy = image;
        QCOMPARE(copy.constBits(), image.constBits());
        QCOMPARE(copy.pixel(300, 6), qRgb(1, 2, 3));
        QCOMPARE(copy.pixel(0, 0), qRgb(10, 20, 30));
        QVERIFY(mappedImage(QSize(0, 5), QImage::Format_RGB32).isNull());
    }

    void aLargePictureMayHaveHugePages()
    {
        QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
        if (!setting.open(QIODevice::ReadOnly) || setting.readAll().contains("[never]")) {
            QSKIP("this kernel gives no huge pages");
        }
        // Not a whole number of huge pages: the last row ends mid-page.
        QImage image = mappedImage(QSize(4001, 3001), QImage::Format_RGB32);
        QVERIFY(!image.isNull());
        image.setPixel(4000, 3000, qRgb(1, 2, 3));
        QCOMPARE(image.pixel(4000, 3000), qRgb(1, 2, 3));
        const auto at = reinterpret_cast<quintptr>(image.constBits());
        constexpr quintptr kHugePage = 2 * 1024 * 1024;
        QCOMPARE(at % kHugePage, quintptr(0));
        QCOMPARE(hugePagesAllowedAt(at), QStringLiteral("1"));
    }

    void memoryGoesBackWithTheLastCopy()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer holds freed memory in quarantine: a photo let go stays resident");
#endif
        // Photo after photo, as they are opened: the picture made here, its
        // levels on a new thread each time, all of it let go before the next.
        // Memory the allocator kept in the threads' pools would pile up.
        std::vector<QImage> levels;
        qint64 firstRest = -1;
        for (int photo = 0; photo < kPhotos; ++photo) {
            levels.clear();
            QImage picture(kPhotoSize, QImage::Format_RGB32);
            picture.fill(qRgb(1, 2, 3));
            std::thread([&levels] {
                for (QSize size = kPhotoSize / 2; size.width() > kSmallestSide; size /= 2) {
                    QImage level = mappedImage(size, QImage::Format_RGB32);
                    level.fill(qRgb(200, 100, 50));
                    levels.push_back(level);
                }
            }).join();
            QCOMPARE(levels.back().pixel(0, 0), qRgb(200, 100, 50));
            picture = QImage();
            levels.clear();
            const qint64 rest = ProcessMemory::statusKb("VmRSS");
            QVERIFY(rest > 0);
            if (firstRest < 0) {
                firstRest = rest;
            }
            QVERIFY2(rest - firstRest < kSlackKb,
                     qPrintable(QStringLiteral("photo %1: %2 kB more kept than after the first")
                                    .arg(photo + 1)
                                    .arg(rest - firstRest)));
        }
    }

    void noRoomToHoldItGivesNoPictureAndHandsTheMemoryBack()
    {
        // Each small allocation the picture needs fails in turn, as when memory
        // runs out with the photo's pages just mapped: the worker making it
        // gets a null picture, as for any picture there is no memory for, and
        // the mapping goes back at once instead of staying mapped for good.
        const qint64 before = ProcessMemory::statusKb("VmSize");
        QVERIFY(before > 0);
        bool failedOnce = false;
        for (int allowed = 0; allowed < 4; ++allowed) {
            QImage image;
            FailingAllocations::fail(allowed);
            try {
                image = mappedImage(kPhotoSize, QImage::Format_RGB32);
            } catch (const std::bad_alloc&) {
                FailingAllocations::stop();
                QFAIL(
                    qPrintable(QStringLiteral("no room after %1 allocations threw").arg(allowed)));
            }
            FailingAllocations::stop();
            if (FailingAllocations::anyFailed()) {
                failedOnce = true;
                QVERIFY(image.isNull());
            } else {
                QCOMPARE(image.size(), kPhotoSize);
            }
            image = QImage();
            const qint64 after = ProcessMemory::statusKb("VmSize");
            QVERIFY2(after - before < kSlackKb,
                     qPrintable(QStringLiteral("after %1 allocations: %2 kB still mapped")
                                    .arg(allowed)
                                    .arg(after - before)));
        }
        QVERIFY(failedOnce);
    }

    void memoryLetGoWhileReusedGoesToTheNextPictures()
    {
        const QSize size(1000, 700);
        const auto bytes = qsizetype(size.width()) * size.height() * 4;
        {
            QImage unkept = mappedImage(size, QImage::Format_RGB32);
            QVERIFY(!unkept.isNull());
        }
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));

        const MappedImageReuse reuse;
        QImage old = mappedImage(size, QImage::Format_RGB32);
        old.fill(qRgb(9, 9, 9));
        const uchar* oldBits = old.constBits();
        // Kept only once the last copy goes.
        const QImage copy = old;
        old = QImage();
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));
        QCOMPARE(copy.pixel(size.width() - 1, size.height() - 1), qRgb(9, 9, 9));
        const_cast<QImage&>(copy) = QImage();
        QCOMPARE(MappedImageReuse::keptBytes(), bytes);

        const QImage next = mappedImage(size, QImage::Format_RGB32);
        QCOMPARE(next.constBits(), oldBits);
        QCOMPARE(next.size(), size);
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));
    }

    void keptMemoryIsResizedToFitAndGoesWithTheLastReuse()
    {
        const QSize large(1200, 900);
        const QSize small(300, 200);
        auto bytesOf = [](QSize size) { return qsizetype(size.width()) * size.height() * 4; };
        auto outer = std::make_unique<MappedImageReuse>();
        {
            const MappedImageReuse inner;
            {
                const QImage a = mappedImage(large, QImage::Format_RGB32);
                const QImage b = mappedImage(small, QImage::Format_RGB32);
                QVERIFY(!a.isNull() && !b.isNull());
            }
            QCOMPARE(MappedImageReuse::keptBytes(), bytesOf(large) + bytesOf(small));
            // The smallest that is large enough, cut down to size.
            const QSize middle(400, 300);
            QImage cut = mappedImage(middle, QImage::Format_RGB32);
            QCOMPARE(MappedImageReuse::keptBytes(), bytesOf(small));
            cut.fill(qRgb(3, 3, 3));
            QCOMPARE(cut.pixel(middle.width() - 1, middle.height() - 1), qRgb(3, 3, 3));
            cut = QImage();
            // None large enough: the largest, grown, every pixel of it usable.
            const QSize huge(1600, 1200);
            QImage grown = mappedImage(huge, QImage::Format_RGB32);
            QCOMPARE(MappedImageReuse::keptBytes(), bytesOf(small));
            grown.fill(qRgb(4, 4, 4));
            QCOMPARE(grown.pixel(huge.width() - 1, huge.height() - 1), qRgb(4, 4, 4));
        }
        // Still kept while another reuse lasts, handed back with the last.
        QCOMPARE(MappedImageReuse::keptBytes(), bytesOf(QSize(1600, 1200)) + bytesOf(small));
        outer.reset();
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));
        QImage after = mappedImage(small, QImage::Format_RGB32);
        after = QImage();
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));
    }

    void preparedMemoryIsMappedInForThePicturesToTake()
    {
        // A 12 MP photo and its first level: large enough to be mapped in ahead.
        const QSize photo(4000, 3000);
        const QSize level(2000, 1500);
        const auto photoBytes = qsizetype(photo.width()) * photo.height() * 4;
        const qsizetype levelBytes = photoBytes / 4;
        const qint64 photoKb = photoBytes / 1024;
        const qint64 levelKb = levelBytes / 1024;
        const MappedImageReuse reuse;
        const qint64 before = ProcessMemory::statusKb("VmRSS");
        QVERIFY(before > 0);
        PreparedPictures prepared({photo, level});
        prepared.wait();
        const qint64 ready = ProcessMemory::statusKb("VmRSS");
        QVERIFY2(ready - before > photoKb + levelKb - kSlackKb,
                 qPrintable(QStringLiteral("%1 kB mapped in of %2")
                                .arg(ready - before)
                                .arg(photoKb + levelKb)));

        prepared.handOver();
        QCOMPARE(MappedImageReuse::keptBytes(), photoBytes + levelBytes);
        // Each picture takes the memory made for its own size.
        QImage first = mappedImage(level, QImage::Format_RGB32);
        QCOMPARE(MappedImageReuse::keptBytes(), photoBytes);
        QImage second = mappedImage(photo, QImage::Format_RGB32);
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));
        first.fill(qRgb(5, 6, 7));
        second.fill(qRgb(8, 9, 10));
        QCOMPARE(second.pixel(photo.width() - 1, photo.height() - 1), qRgb(8, 9, 10));
        // Written, they cost nothing beyond what was made ready.
        QVERIFY(ProcessMemory::statusKb("VmRSS") - ready < kSlackKb);
    }

    void preparedMemoryNotTakenGoesBack()
    {
        const QSize photo(4000, 3000);
        const qint64 before = ProcessMemory::statusKb("VmRSS");
        QVERIFY(before > 0);
        {
            // Let go unfinished, as when the user highlights another file.
            const PreparedPictures hurried({photo});
        }
        {
            PreparedPictures unused({photo});
            unused.wait();
        }
        QVERIFY2(ProcessMemory::statusKb("VmRSS") - before < kSlackKb,
                 "memory prepared and never handed over was kept");
        {
            // Handed over while nothing keeps memory: back at once.
            PreparedPictures prepared({photo});
            prepared.wait();
            prepared.handOver();
        }
        QCOMPARE(MappedImageReuse::keptBytes(), qsizetype(0));
        QVERIFY2(ProcessMemory::statusKb("VmRSS") - before < kSlackKb,
                 "memory handed over with no one to take it was kept");
    }
};

QTEST_GUILESS_MAIN(MappedImageTest)
#include "MappedImageTest.moc"
