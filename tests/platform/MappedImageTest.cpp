// Kestrova — identity photo maker.
// A picture in memory of its own: usable as any other, and its memory back
// with the system as soon as its last copy goes, whichever thread made it.
#include "platform/MappedImage.h"

#include "ProcessMemory.h"

#include <QTest>

#include <thread>
#include <vector>

namespace {

constexpr QSize kPhotoSize(8000, 6000);
constexpr int kSmallestSide = 256;
constexpr int kPhotos = 4;
// A few pages of the allocator's own come and go.
constexpr qint64 kSlackKb = 4 * 1024;

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
};

QTEST_GUILESS_MAIN(MappedImageTest)
#include "MappedImageTest.moc"
