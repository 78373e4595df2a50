// Kestrova — identity photo maker.
#include "platform/Rounding.h"
#include "platform/Twips.h"

#include <QTest>

#include <cmath>

class TwipsTest : public QObject
{
    Q_OBJECT

private slots:
    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("0.5") << 0.5 << 0.0;
        QTest::newRow("1.5") << 1.5 << 2.0;
        QTest::newRow("2.5") << 2.5 << 2.0;
        QTest::newRow("-0.5") << -0.5 << 0.0;
        QTest::newRow("-1.5") << -1.5 << -2.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
        QTest::newRow("2.5001") << 2.5001 << 3.0;
        QTest::newRow("-7.6") << -7.6 << -8.0;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(roundHalfEven(value), rounded);
    }

    void factorsFollowTheDisplayDpi_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<float>("factor");
        QTest::addColumn<int>("workAreaPixels");
        QTest::newRow("96 dpi") << 96.0 << 15.0f << 240;
        QTest::newRow("120 dpi") << 120.0 << 12.0f << 300;
        QTest::newRow("144 dpi") << 144.0 << 10.0f << 360;
        QTest::newRow("192 dpi") << 192.0 << 7.5f << 480;
        QTest::newRow("72 dpi") << 72.0 << 20.0f << 180;
    }
    void factorsFollowTheDisplayDpi()
    {
        QFETCH(double, dpi);
        QFETCH(float, factor);
        QFETCH(int, workAreaPixels);
        const TwipsScale tpp = TwipsScale::fromDpi(dpi, dpi);
        QCOMPARE(tpp.x, factor);
        QCOMPARE(tpp.y, factor);
        QCOMPARE(tpp.toPixelsX(3600), workAreaPixels);
        QCOMPARE(tpp.toPixelsY(5400), workAreaPixels * 3 / 2);
        QCOMPARE(tpp.toTwipsX(workAreaPixels), 3600.0f);
    }

    void horizontalAndVerticalFactorsAreIndependent()
    {
        const TwipsScale tpp = TwipsScale::fromDpi(96, 120);
        QCOMPARE(tpp.toPixels(1830, 2730, 1830, 2730), QRect(122, 228, 122, 228));
    }

    void pixelConversionRoundsHalvesToEven()
    {
        const TwipsScale tpp;
        // 1013 / 15 = 67.53, 4120 / 15 = 274.67, 22.5 / 15 = 1.5, 37.5 / 15 = 2.5
        QCOMPARE(tpp.toPixelsX(1013), 68);
        QCOMPARE(tpp.toPixelsY(4120), 275);
        QCOMPARE(tpp.toPixelsX(22.5), 2);
        QCOMPARE(tpp.toPixelsX(37.5), 2);
        QCOMPARE(tpp.toPixelsX(-22.5), -2);
    }

    void rectsPointsAndSizesConvertEachValueAlike_data()
    {
        QTest::addColumn<float>("factor");
        QTest::addColumn<QRectF>("twips");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("96 dpi") << 15.0f << QRectF(120, 1320, 3630, 5430) << QRect(8, 88, 242, 362);
        QTest::newRow("halves to even")
            << 15.0f << QRectF(22.5, 37.5, 7.5, -22.5) << QRect(2, 2, 0, -2);
        QTest::newRow("120 dpi") << 12.0f << QRectF(5160, 5460, 615, 615)
                                 << QRect(430, 455, 51, 51);
    }
    void rectsPointsAndSizesConvertEachValueAlike()
    {
        QFETCH(float, factor);
        QFETCH(QRectF, twips);
        QFETCH(QRect, pixels);
        const TwipsScale tpp{factor, factor};
        QCOMPARE(tpp.toPixels(twips), pixels);
        QCOMPARE(tpp.toPixels(twips.topLeft()), pixels.topLeft());
        QCOMPARE(tpp.toPixels(twips.size()), pixels.size());
        QCOMPARE(tpp.toPixels(twips),
                 tpp.toPixels(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(tpp.toTwips(QPointF(pixels.topLeft())),
                 QPointF(pixels.x() * factor, pixels.y() * factor));
        QCOMPARE(tpp.toTwips(QSizeF(pixels.size())),
                 QSizeF(pixels.width() * factor, pixels.height() * factor));
    }

    void pixelConversionStaysWithinTheLargestWidget_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        constexpr int kLargest = 16'777'215;
        QTest::newRow("largest exactly") << 15.0 * kLargest << kLargest;
        QTest::newRow("one pixel more") << 15.0 * (kLargest + 1.0) << kLargest;
        QTest::newRow("zoomed in 300 steps") << 4200.0 * std::pow(1.1, 300) << kLargest;
        QTest::newRow("beyond int") << 1e12 << kLargest;
        QTest::newRow("far left") << -1e12 << -kLargest;
        QTest::newRow("infinite") << double(INFINITY) << kLargest;
        QTest::newRow("minus infinite") << -double(INFINITY) << -kLargest;
        QTest::newRow("not a number") << double(NAN) << 0;
    }
    void pixelConversionStaysWithinTheLargestWidget()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        const TwipsScale tpp;
        QCOMPARE(tpp.toPixelsX(twips), pixels);
        QCOMPARE(tpp.toPixelsY(twips), pixels);
        QCOMPARE(tpp.toPixels(twips, twips, twips, twips), QRect(pixels, pixels, pixels, pixels));
    }
};

QTEST_APPLESS_MAIN(TwipsTest)
#include "TwipsTest.moc"
