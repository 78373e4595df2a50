// Kestrova — identity photo maker.
#include "framing/TileCache.h"

#include "TestPictures.h"

#include <QPainter>
#include <QTest>

using TestPictures::coordinate;

namespace {

const QRgb kBack = qRgb(242, 255, 229);
constexpr int kTile = TileCache::kTileSize;

/// Makes tiles of a display of a given size whose every pixel tells its place, and
/// keeps count of the tiles it was asked for.
class CountingMaker
{
public:
    explicit CountingMaker(QSize display) : m_display(display) {}

    [[nodiscard]] TileCache::TileMaker maker()
    {
        return [this](const QRect& area) {
            m_asked.append(area);
            const QRect inside = area.intersected(QRect(QPoint(0, 0), m_display));
            QImage tile(inside.size(), QImage::Format_RGB32);
            for (int y = 0; y < tile.height(); ++y) {
                for (int x = 0; x < tile.width(); ++x) {
                    tile.setPixel(x, y, coordinate(inside.x() + x, inside.y() + y));
                }
            }
            return tile;
        };
    }
    [[nodiscard]] int made() const { return int(m_asked.size()); }
    [[nodiscard]] const QList<QRect>& asked() const { return m_asked; }

private:
    QSize m_display;
    QList<QRect> m_asked;
};

/// Draws area of the display into a target of targetSize, the display's top-left at topLeft.
QImage drawn(TileCache& cache, const TileCache::TileMaker& make, QSize targetSize, QPoint topLeft,
             const QRect& area)
{
    QImage target(targetSize, QImage::Format_RGB32);
    target.fill(kBack);
    QPainter painter(&target);
    cache.draw(painter, topLeft, area, make);
    painter.end();
    return target;
}

/// Draws the nth tile of a long drag across a wide display, one tile at a time.
void drawTile(TileCache& cache, const TileCache::TileMaker& make, int n)
{
    const QRect area(n * kTile, 0, kTile, kTile);
    (void)drawn(cache, make, area.size(), -area.topLeft(), area);
}

} // namespace

class TileCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void makesATileOnlyWhereNoneIsKept_data()
    {
        QTest::addColumn<QList<QRect>>("views");
        QTest::addColumn<int>("made");
        QTest::newRow("one tile, twice") << QList<QRect>{{0, 0, 64, 64}, {10, 10, 20, 20}} << 1;
        QTest::newRow("a view across four tiles") << QList<QRect>{{40, 40, 64, 64}} << 4;
        QTest::newRow("the same view again")
            << QList<QRect>{{40, 40, 64, 64}, {40, 40, 64, 64}} << 4;
        QTest::newRow("a work area, then a capture inside it")
            << QList<QRect>{{100, 50, 240, 360}, {160, 110, 120, 180}} << 5 * 7;
        QTest::newRow("a work area dragged a pixel and back")
            << QList<QRect>{{100, 50, 240, 360}, {101, 51, 240, 360}, {100, 50, 240, 360}} << 5 * 7;
        QTest::newRow("column and row swapped are different tiles")
            << QList<QRect>{{128, 320, 1, 1}, {320, 128, 1, 1}} << 2;
        QTest::newRow("dragged by a tile") << QList<QRect>{{0, 0, 128, 64}, {64, 0, 128, 64}} << 3;
    }

    void makesATileOnlyWhereNoneIsKept()
    {
        QFETCH(QList<QRect>, views);
        QFETCH(int, made);
        CountingMaker maker(QSize(4000, 3000));
        const TileCache::TileMaker make = maker.maker();
        TileCache cache;
        for (const QRect& view : views) {
            (void)drawn(cache, make, view.size(), -view.topLeft(), view);
        }
        QCOMPARE(maker.made(), made);
    }

    void aViewMakesOnlyTheTilesUnderIt_data()
    {
        QTest::addColumn<QRect>("view");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("on tile edges") << QRect(128, 64, 256, 384) << 4 << 6;
        QTest::newRow("across tile edges") << QRect(100, 50, 240, 360) << 5 << 7;
        // However large the photo is shown, a zoom step costs about a work area's worth.
        QTest::newRow("far into a huge display") << QRect(1800, 1200, 240, 360) << 4 << 7;
        QTest::newRow("one pixel") << QRect(3599, 2699, 1, 1) << 1 << 1;
    }

    void aViewMakesOnlyTheTilesUnderIt()
    {
        QFETCH(QRect, view);
        QFETCH(int, columns);
        QFETCH(int, rows);
        CountingMaker maker(QSize(3600, 2700));
        TileCache cache;
        (void)drawn(cache, maker.maker(), view.size(), -view.topLeft(), view);
        QCOMPARE(maker.made(), columns * rows);
        for (const QRect& area : maker.asked()) {
            QVERIFY2(area.intersects(view),
                     qPrintable(QStringLiteral("tile at %1, %2").arg(area.x()).arg(area.y())));
            QCOMPARE(area.size(), QSize(kTile, kTile));
            QCOMPARE(area.x() % kTile, 0);
            QCOMPARE(area.y() % kTile, 0);
        }
    }

    void drawsEachPixelFromTheTileUnderIt_data()
    {
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QRect>("area");
        QTest::newRow("inside the display") << QPoint(-90, -20) << QRect(100, 30, 150, 160);
        QTest::newRow("out to the display's edges")
            << QPoint(-200, -150) << QRect(210, 160, 90, 40);
        QTest::newRow("shown at an offset") << QPoint(20, 10) << QRect(0, 0, 180, 150);
    }

    void drawsEachPixelFromTheTileUnderIt()
    {
        QFETCH(QPoint, topLeft);
        QFETCH(QRect, area);
        // The edge tiles are cut short.
        const QSize display(300, 200);
        CountingMaker maker(display);
        TileCache cache;
        const QImage image = drawn(cache, maker.maker(), QSize(240, 220), topLeft, area);
        const QRect shown = area.translated(topLeft);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QPoint at(x, y);
                const QRgb expected =
                    shown.contains(at) ? coordinate(x - topLeft.x(), y - topLeft.y()) : kBack;
                if (image.pixel(at) != expected) {
                    QFAIL(qPrintable(QStringLiteral("wrong pixel at %1, %2").arg(x).arg(y)));
                }
            }
        }
    }

    void keepsTheMostRecentlyDrawnHalfPastItsBound()
    {
        CountingMaker maker(QSize(kTile * 4 * int(TileCache::kMaxTiles), kTile));
        const TileCache::TileMaker make = maker.maker();
        TileCache cache;
        const int bound = int(TileCache::kMaxTiles);
        for (int n = 0; n < bound; ++n) {
            drawTile(cache, make, n);
        }
        // The first tile drawn again is the most recently drawn, not the oldest.
        drawTile(cache, make, 0);
        QCOMPARE(maker.made(), bound);
        drawTile(cache, make, bound);
        QCOMPARE(maker.made(), bound + 1);

        drawTile(cache, make, 0);
        for (int n = bound / 2 + 1; n <= bound; ++n) {
            drawTile(cache, make, n);
        }
        QCOMPARE(maker.made(), bound + 1);
        for (int n = 1; n <= bound / 2; ++n) {
            drawTile(cache, make, n);
        }
        QCOMPARE(maker.made(), bound + 1 + bound / 2);
    }

    void staysBoundedOverALongDrag()
    {
        const int bound = int(TileCache::kMaxTiles);
        const int length = 10 * bound;
        CountingMaker maker(QSize(kTile * length, kTile));
        const TileCache::TileMaker make = maker.maker();
        TileCache cache;
        for (int n = 0; n < length; ++n) {
            drawTile(cache, make, n);
        }
        QCOMPARE(maker.made(), length);
        // Back over the drag from its end: the tiles still kept are the latest ones.
        int kept = 0;
        for (int n = length - 1; n >= 0 && maker.made() == length; --n) {
            drawTile(cache, make, n);
            kept += maker.made() == length ? 1 : 0;
        }
        QVERIFY2(kept >= bound / 2 && kept <= bound, qPrintable(QString::number(kept)));
    }

    void clearDropsEveryTile()
    {
        CountingMaker maker(QSize(1000, 1000));
        const TileCache::TileMaker make = maker.maker();
        TileCache cache;
        const QRect view(100, 50, 240, 360);
        (void)drawn(cache, make, view.size(), -view.topLeft(), view);
        const int perView = maker.made();
        QVERIFY(perView > 0);

        cache.clear();
        (void)drawn(cache, make, view.size(), -view.topLeft(), view);
        QCOMPARE(maker.made(), 2 * perView);
    }
};

QTEST_MAIN(TileCacheTest)
#include "TileCacheTest.moc"
