// Kestrova — identity photo maker.
#include "saving/OutputName.h"
#include "saving/QualityValue.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>

class SaveRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void fileNameIsDateThenTime_data();
    void fileNameIsDateThenTime();
    void pathIsInTheGivenFolder();
    void qualityValueIsTenTimesTheNumber_data();
    void qualityValueIsTenTimesTheNumber();
};

void SaveRulesTest::fileNameIsDateThenTime_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("morning") << QDateTime(QDate(2011, 8, 10), QTime(9, 5, 3))
                             << "08-10-2011_090503.jpg";
    // Date and time both belong to the one reading: the last instant of the
    // day keeps its own date.
    QTest::newRow("last instant of the day")
        << QDateTime(QDate(2011, 8, 10), QTime(23, 59, 59, 999)) << "08-10-2011_235959.jpg";
    QTest::newRow("midnight") << QDateTime(QDate(2011, 8, 11), QTime(0, 0, 0))
                              << "08-11-2011_000000.jpg";
    QTest::newRow("afternoon, 24-hour")
        << QDateTime(QDate(2024, 12, 31), QTime(13, 7, 0)) << "12-31-2024_130700.jpg";
}

void SaveRulesTest::fileNameIsDateThenTime()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, fileName);
    QCOMPARE(outputFileName(moment), fileName);
}

void SaveRulesTest::pathIsInTheGivenFolder()
{
    QCOMPARE(
        outputPath(QStringLiteral("/opt/kestrova"), QDateTime(QDate(2011, 8, 10), QTime(9, 5, 3))),
        QStringLiteral("/opt/kestrova/08-10-2011_090503.jpg"));
}

void SaveRulesTest::qualityValueIsTenTimesTheNumber_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -1: no value

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("en 3") << english << "3" << 30;
    QTest::newRow("en 1.5") << english << "1.5" << 15;
    QTest::newRow("en 10") << english << "10" << 100;
    QTest::newRow("en 10.5") << english << "10.5" << 105;
    QTest::newRow("en empty") << english << "" << -1;
    QTest::newRow("en -3") << english << "-3" << -1;
    QTest::newRow("en 100 is 1000, past 255") << english << "100" << -1;
    QTest::newRow("en 1e1") << english << "1e1" << 100;
    QTest::newRow("en 0") << english << "0" << 0;
    QTest::newRow("en 25.5, the largest") << english << "25.5" << 255;
    QTest::newRow("en 25.6") << english << "25.6" << -1;
    QTest::newRow("en 0.25 rounds half to even, down") << english << "0.25" << 2;
    QTest::newRow("en 0.75 rounds half to even, up") << english << "0.75" << 8;
    QTest::newRow("en 1,5 is not a number") << english << "1,5" << -1;
    QTest::newRow("en surrounding spaces are ignored") << english << " 7 " << 70;
    QTest::newRow("en 5x") << english << "5x" << -1;
    QTest::newRow("en nan") << english << "nan" << -1;
    QTest::newRow("en inf") << english << "inf" << -1;
    QTest::newRow("en 1e400 overflows") << english << "1e400" << -1;
    QTest::newRow("en full-width 5") << english << QStringLiteral("５") << -1;

    QTest::newRow("de 3") << german << "3" << 30;
    QTest::newRow("de 1,5") << german << "1,5" << 15;
    QTest::newRow("de 1.5 is not a number") << german << "1.5" << -1;
    QTest::newRow("de 10") << german << "10" << 100;
    QTest::newRow("de 10,5") << german << "10,5" << 105;
    QTest::newRow("de empty") << german << "" << -1;
    QTest::newRow("de -3") << german << "-3" << -1;
    QTest::newRow("de 100") << german << "100" << -1;
    QTest::newRow("de 1e1") << german << "1e1" << 100;
    QTest::newRow("de 0,25") << german << "0,25" << 2;
}

void SaveRulesTest::qualityValueIsTenTimesTheNumber()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<int> expected = value < 0 ? std::nullopt : std::optional<int>(value);
    QCOMPARE(qualityValue(text, locale), expected);
}

QTEST_APPLESS_MAIN(SaveRulesTest)
#include "SaveRulesTest.moc"
