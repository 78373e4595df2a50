// Kestrova — identity photo maker.
#include "saving/QualityLevel.h"

#include <QTest>

class QualityLevelTest : public QObject
{
    Q_OBJECT

private slots:
    void levelFollowsQualityText_data();
    void levelFollowsQualityText();
    void otherTextsLeaveLevelUnchanged_data();
    void otherTextsLeaveLevelUnchanged();
};

void QualityLevelTest::levelFollowsQualityText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("level");

    const QString low = QStringLiteral("低");
    const QString medium = QStringLiteral("中");
    const QString high = QStringLiteral("高");
    const QString best = QStringLiteral("最佳");
    const QString error = QStringLiteral("错误");
    QTest::newRow("1") << "1" << low;
    QTest::newRow("2") << "2" << low;
    QTest::newRow("3") << "3" << low;
    QTest::newRow("4") << "4" << medium;
    QTest::newRow("5") << "5" << medium;
    QTest::newRow("6") << "6" << medium;
    QTest::newRow("7") << "7" << high;
    QTest::newRow("8") << "8" << high;
    QTest::newRow("9") << "9" << high;
    QTest::newRow("10") << "10" << best;
    QTest::newRow("0") << "0" << error;
    QTest::newRow("11, the first text past the scale") << "11" << error;
    QTest::newRow("12") << "12" << error;
    QTest::newRow("50") << "50" << error;
    QTest::newRow("99") << "99" << error;
    QTest::newRow("999 sorts after 11") << "999" << error;
    QTest::newRow("2a") << "2a" << error;
    QTest::newRow("1a") << "1a" << error;
    QTest::newRow("a") << "a" << error;
    QTest::newRow("5.5") << "5.5" << error;
    QTest::newRow("full-width 5") << QStringLiteral("５") << error;
    QTest::newRow("full-width 1") << QStringLiteral("１") << error;
    QTest::newRow("letters after a level") << "7x" << error;
    QTest::newRow("1e1 sorts after 11") << "1e1" << error;
}

void QualityLevelTest::levelFollowsQualityText()
{
    QFETCH(QString, text);
    QFETCH(QString, level);
    QCOMPARE(levelForQuality(text), std::optional<QString>(level));
}

void QualityLevelTest::otherTextsLeaveLevelUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("00") << "00";
    QTest::newRow("05") << "05";
    QTest::newRow("space then 7") << " 7";
    QTest::newRow("1 then space") << "1 ";
    QTest::newRow("-3") << "-3";
    QTest::newRow("1.5") << "1.5";
    QTest::newRow("10a") << "10a";
    QTest::newRow("100") << "100";
    QTest::newRow("10.5") << "10.5";
    QTest::newRow("+5") << "+5";
}

void QualityLevelTest::otherTextsLeaveLevelUnchanged()
{
    QFETCH(QString, text);
    QCOMPARE(levelForQuality(text), std::nullopt);
}

QTEST_APPLESS_MAIN(QualityLevelTest)
#include "QualityLevelTest.moc"
