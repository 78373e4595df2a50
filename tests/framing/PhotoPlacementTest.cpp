#include <QTest>
class PhotoPlacementTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(PhotoPlacementTest)
#include "PhotoPlacementTest.moc"
