// Kestrova — identity photo maker.
#include "platform/Rounding.h"
#include "platform/Twips.h"

#include <QTest>

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
};

QTEST_APPLESS_MAIN(TwipsTest)
#include "TwipsTest.moc"
