// Kestrova — identity photo maker.
// Reductions made while a photo is decoded, region by region, from whichever
// edge its rows arrive: the same pixels as halving the whole photo after.
#include "framing/PyramidBuilder.h"

#include "FailingAllocations.h"
#include "TestPictures.h"
#include "framing/PhotoPyramid.h"

#include <QTest>

#include <new>

namespace {

enum class Edge
{
    Top,
    Bottom,
    Left,
    Right
};

/// The picture cut into bands of step pixels, in the order a decoder
/// growing from edge finishes them.
QList<QRect> bands(QSize size, Edge edge, int step)
{
    QList<QRect> result;
    const bool rows = edge == Edge::Top || edge == Edge::Bottom;
    const int length = rows ? size.height() : size.width();
    for (int start = 0; start < length; start += step) {
        const int extent = std::min(step, length - start);
        const int from =
            edge == Edge::Bottom || edge == Edge::Right ? length - start - extent : start;
        result << (rows ? QRect(0, from, size.width(), extent)
                        : QRect(from, 0, extent, size.height()));
    }
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Edge)

class PyramidBuilderTest : public QObject
{
    Q_OBJECT

private slots:
    void reductionsMatchHalvingTheWholePhoto_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Edge>("edge");
        QTest::addColumn<int>("step");
        // Odd sizes, so the last column and row are averaged with themselves;
        // odd bands, so a band ends halfway through a pair of rows.
        QTest::newRow("rows down, 16 at a time") << QSize(1031, 517) << Edge::Top << 16;
        QTest::newRow("rows down, one at a time") << QSize(603, 301) << Edge::Top << 1;
        QTest::newRow("rows down, 37 at a time") << QSize(1024, 768) << Edge::Top << 37;
        QTest::newRow("rows up (flipped photo)") << QSize(1031, 517) << Edge::Bottom << 16;
        QTest::newRow("columns from the right (turned photo)")
            << QSize(517, 1031) << Edge::Right << 16;
        QTest::newRow("columns from the left (turned photo)")
            << QSize(517, 1031) << Edge::Left << 7;
        QTest::newRow("wide and thin") << QSize(3001, 9) << Edge::Top << 3;
        QTest::newRow("one region") << QSize(801, 601) << Edge::Top << 601;
    }

    void reductionsMatchHalvingTheWholePhoto()
    {
        QFETCH(QSize, size);
        QFETCH(Edge, edge);
        QFETCH(int, step);
        const QImage picture = TestPictures::photoLike(size).convertToFormat(QImage::Format_RGB32);
        const PhotoPyramid whole(picture);

        PyramidBuilder builder;
        for (const QRect& band : bands(size, edge, step)) {
            builder.regionDone(picture, band);
        }
        std::optional<std::vector<QImage>> reductions = builder.finish();
        QVERIFY(reductions);
        QCOMPARE(int(reductions->size()) + 1, whole.levelCount());
        for (int level = 1; level < whole.levelCount(); ++level) {
            QCOMPARE((*reductions)[std::size_t(level - 1)], whole.level(level));
        }
    }

    void partOfThePhotoGivesNoReductions()
    {
        // A decode abandoned half-way leaves the levels to be made the usual way.
        const QImage picture =
            TestPictures::photoLike(QSize(800, 600)).convertToFormat(QImage::Format_RGB32);
        PyramidBuilder builder;
        const QList<QRect> all = bands(picture.size(), Edge::Top, 16);
        for (qsizetype index = 0; index < all.size() / 2; ++index) {
            builder.regionDone(picture, all[index]);
        }
        QVERIFY(!builder.finish());
        QVERIFY(!PyramidBuilder().finish());
    }

    void memoryRunningOutLeavesTheLevelsToBeMadeAfter()
    {
        // Each allocation the levels need, on their own thread, fails in turn
        // with all after it. Rows keep coming from the decoder meanwhile, one
        // at a time, more than wait their turn at once; handing them over must
        // never need memory, nor throw on the decoding thread.
        const QImage picture =
            TestPictures::photoLike(QSize(800, 600)).convertToFormat(QImage::Format_RGB32);
        const QList<QRect> rows = bands(picture.size(), Edge::Top, 1);
        bool failedOnce = false;
        for (int allowed = 0; allowed < 8; ++allowed) {
            PyramidBuilder builder;
            bool threw = false;
            FailingAllocations::fail(allowed);
            try {
                for (const QRect& row : rows) {
                    builder.regionDone(picture, row);
                }
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            std::optional<std::vector<QImage>> reductions = builder.finish();
            FailingAllocations::stop();
            const bool failed = FailingAllocations::anyFailed();
            QVERIFY2(!threw, qPrintable(QStringLiteral("threw after %1 allocations").arg(allowed)));
            // Without them, the photo's pyramid halves it again the usual way.
            QCOMPARE(bool(reductions), !failed);
            failedOnce = failedOnce || failed;
        }
        QVERIFY(failedOnce);
    }
};

QTEST_GUILESS_MAIN(PyramidBuilderTest)
#include "PyramidBuilderTest.moc"
