#include <QTest>
class TwipsTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(TwipsTest)
#include "TwipsTest.moc"
