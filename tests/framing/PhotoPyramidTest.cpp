// Kestrova — identity photo maker.
#include "framing/PhotoPyramid.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

class PhotoPyramidTest : public QObject
{
    Q_OBJECT

private slots:
    void halvingAveragesEachBlockRounded()
    {
        QImage image(3, 2, QImage::Format_RGB32);
        image.setPixel(0, 0, qRgb(0, 10, 255));
        image.setPixel(1, 0, qRgb(1, 20, 255));
        image.setPixel(0, 1, qRgb(1, 30, 255));
        image.setPixel(1, 1, qRgb(0, 41, 255));
        image.setPixel(2, 0, qRgb(100, 0, 0));
        image.setPixel(2, 1, qRgb(201, 0, 0));
        const QImage half = PhotoPyramid::halved(image);
        QCOMPARE(half.size(), QSize(2, 1));
        // (0+1+1+0)/4 = 0.5 and (10+20+30+41)/4 = 25.25 round to 1 and 25;
        // the odd last column is averaged with itself.
        QCOMPARE(half.pixel(0, 0), qRgb(1, 25, 255));
        QCOMPARE(half.pixel(1, 0), qRgb(151, 0, 0));
    }

    void halvingKeepsPremultipliedAlpha()
    {
        QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setPixel(0, 0, qPremultiply(qRgba(255, 0, 0, 255)));
        const QImage half = PhotoPyramid::halved(image);
        QCOMPARE(qAlpha(half.pixel(0, 0)), 64);
        QCOMPARE(qRed(half.pixel(0, 0)), 64);
    }

    // Wide enough for the four-at-a-time path and its leftovers, and large
    // enough to be split over threads; every byte random, the extremes included.
    void halvingEqualsTheBlockAverageEverywhere_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("odd both ways, split over threads") << QSize(3003, 2801);
        QTest::newRow("even, one thread") << QSize(64, 32);
        QTest::newRow("narrower than one group of four") << QSize(7, 5);
    }

    void halvingEqualsTheBlockAverageEverywhere()
    {
        QFETCH(QSize, size);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        QRandomGenerator random(size.width());
        for (int y = 0; y < image.height(); ++y) {
            random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
        }
        reinterpret_cast<quint32*>(image.scanLine(0))[0] = 0xffffffffu;
        reinterpret_cast<quint32*>(image.scanLine(0))[1] = 0xffffffffu;
        const QImage half = PhotoPyramid::halved(image);
        QCOMPARE(half.size(), QSize((size.width() + 1) / 2, (size.height() + 1) / 2));
        const int lastX = size.width() - 1;
        const int lastY = size.height() - 1;
        for (int y = 0; y < half.height(); ++y) {
            const auto* top = image.constScanLine(2 * y);
            const auto* bottom = image.constScanLine(std::min(2 * y + 1, lastY));
            const auto* out = half.constScanLine(y);
            for (int x = 0; x < half.width(); ++x) {
                const int left = 4 * (2 * x);
                const int right = 4 * std::min(2 * x + 1, lastX);
                for (int channel = 0; channel < 4; ++channel) {
                    const int sum = top[left + channel] + top[right + channel] +
                                    bottom[left + channel] + bottom[right + channel];
                    if (out[4 * x + channel] != (sum + 2) / 4) {
                        QFAIL(qPrintable(QStringLiteral("pixel %1, %2 channel %3: %4, not %5")
                                             .arg(x)
                                             .arg(y)
                                             .arg(channel)
                                             .arg(out[4 * x + channel])
                                             .arg((sum + 2) / 4)));
                    }
                }
            }
        }
    }

    void levelsHalveDownToASmallPicture()
    {
        const PhotoPyramid pyramid(QImage(3001, 2001, QImage::Format_RGB32));
        QCOMPARE(pyramid.naturalSize(), QSize(3001, 2001));
        const QList<QSize> expected{QSize(3001, 2001), QSize(1501, 1001), QSize(751, 501),
                                    QSize(376, 251), QSize(188, 126)};
        QCOMPARE(pyramid.levelCount(), expected.size());
        for (int i = 0; i < pyramid.levelCount(); ++i) {
            QCOMPARE(pyramid.level(i).size(), expected[i]);
        }
    }

    void levelForPicksTheSmallestLevelStillLargeEnough_data()
    {
        QTest::addColumn<QSize>("display");
        QTest::addColumn<int>("level");
        QTest::newRow("natural size") << QSize(3001, 2001) << 0;
        QTest::newRow("enlarged") << QSize(3301, 2201) << 0;
        QTest::newRow("just over a half") << QSize(1502, 1001) << 0;
        QTest::newRow("exactly the first halving") << QSize(1501, 1001) << 1;
        QTest::newRow("taller than the shape allows") << QSize(700, 600) << 1;
        QTest::newRow("a third") << QSize(1000, 667) << 1;
        QTest::newRow("a fifth") << QSize(600, 400) << 2;
        QTest::newRow("tiny") << QSize(3, 2) << 4;
    }

    void levelForPicksTheSmallestLevelStillLargeEnough()
    {
        QFETCH(QSize, display);
        QFETCH(int, level);
        const PhotoPyramid pyramid(QImage(3001, 2001, QImage::Format_RGB32));
        QCOMPARE(pyramid.levelFor(display), level);
    }

    void transparencyIsPremultipliedOnce()
    {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(qRgba(200, 100, 50, 128));
        const PhotoPyramid pyramid(picture);
        QCOMPARE(pyramid.level(0).format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(pyramid.level(0).pixel(1, 1), qPremultiply(qRgba(200, 100, 50, 128)));
        const PhotoPyramid opaque(QImage(4, 4, QImage::Format_Indexed8));
        QCOMPARE(opaque.level(0).format(), QImage::Format_RGB32);
    }
};

QTEST_GUILESS_MAIN(PhotoPyramidTest)
#include "PhotoPyramidTest.moc"
