#include <QTest>
class FrameNudgeTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(FrameNudgeTest)
#include "FrameNudgeTest.moc"
