// Kestrova — identity photo maker.
#include "framing/FrameNudge.h"

#include <QTest>

namespace {

// Ticks until the step reports an edge; returns the number of ticks taken.
int ticksToEdge(FramePosition& frame, short direction)
{
    int ticks = 0;
    while (ticks < 10000) {
        ++ticks;
        if (!FrameNudge::step(frame, direction)) {
            break;
        }
    }
    return ticks;
}

} // namespace

class FrameNudgeTest : public QObject
{
    Q_OBJECT

private slots:
    void walksToEachEdge_data()
    {
        QTest::addColumn<short>("direction");
        QTest::addColumn<float>("startLeft");
        QTest::addColumn<float>("startTop");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<float>("endLeft");
        QTest::addColumn<float>("endTop");
        QTest::newRow("right from 0")
            << short(kNudgeRight) << 0.0f << 0.0f << 120 << 1800.0f << 0.0f;
        QTest::newRow("down from 0") << short(kNudgeDown) << 0.0f << 0.0f << 179 << 0.0f << 2700.0f;
        QTest::newRow("left from snap")
            << short(kNudgeLeft) << 1800.0f << 0.0f << 121 << 0.0f << 0.0f;
        QTest::newRow("up from snap") << short(kNudgeUp) << 0.0f << 2700.0f << 181 << 0.0f << 0.0f;
        QTest::newRow("left at 0") << short(kNudgeLeft) << 0.0f << 30.0f << 1 << 0.0f << 30.0f;
        QTest::newRow("up at 0") << short(kNudgeUp) << 45.0f << 0.0f << 1 << 45.0f << 0.0f;
    }
    void walksToEachEdge()
    {
        QFETCH(short, direction);
        QFETCH(float, startLeft);
        QFETCH(float, startTop);
        QFETCH(int, ticks);
        QFETCH(float, endLeft);
        QFETCH(float, endTop);
        FramePosition frame{startLeft, startTop};
        QCOMPARE(ticksToEdge(frame, direction), ticks);
        QCOMPARE(frame.left, endLeft);
        QCOMPARE(frame.top, endTop);
    }

    void rightAdmitsEqualityButDownDoesNot()
    {
        // 1770 + 1830 == 3600: still a step. 2670 + 2730 == 5400: the snap.
        FramePosition right{1770, 0};
        QVERIFY(FrameNudge::step(right, kNudgeRight));
        QCOMPARE(right.left, 1785.0f);
        QVERIFY(!FrameNudge::step(right, kNudgeRight));
        QCOMPARE(right.left, 1800.0f);

        FramePosition down{0, 2655};
        QVERIFY(FrameNudge::step(down, kNudgeDown));
        QCOMPARE(down.top, 2670.0f);
        QVERIFY(!FrameNudge::step(down, kNudgeDown));
        QCOMPARE(down.top, 2700.0f);
    }

    void walkingRightPassesThroughEveryPixel()
    {
        FramePosition frame;
        for (int i = 1; i <= 119; ++i) {
            QVERIFY(FrameNudge::step(frame, kNudgeRight));
            QCOMPARE(frame.left, 15.0f * i);
        }
        QCOMPARE(frame.left, 1785.0f);
    }

    void otherDirectionsMoveNothing_data()
    {
        QTest::addColumn<short>("direction");
        QTest::newRow("none") << short(0);
        QTest::newRow("5") << short(5);
        QTest::newRow("-1") << short(-1);
    }
    void otherDirectionsMoveNothing()
    {
        QFETCH(short, direction);
        FramePosition frame{300, 600};
        QVERIFY(FrameNudge::step(frame, direction));
        QCOMPARE(frame.left, 300.0f);
        QCOMPARE(frame.top, 600.0f);
    }
};

QTEST_APPLESS_MAIN(FrameNudgeTest)
#include "FrameNudgeTest.moc"
