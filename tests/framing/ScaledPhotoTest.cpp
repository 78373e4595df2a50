// Kestrova — identity photo maker.
#include "framing/ScaledPhoto.h"

#include "TestPictures.h"
#include "framing/AreaScaler.h"
#include "framing/PhotoPyramid.h"
#include "framing/TileCache.h"

#include <QPaintEngine>
#include <QPainter>
#include <QSet>
#include <QTest>

namespace {

const QRgb kBack = qRgb(242, 255, 229);

QImage checkerboard(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    return image;
}

/// What the photo draws into a target of targetSize, over the back colour.
QImage drawn(const ScaledPhoto& photo, QSize targetSize, QPoint topLeft, const QRect& clip)
{
    QImage target(targetSize, QImage::Format_RGB32);
    target.fill(kBack);
    QPainter painter(&target);
    photo.draw(painter, topLeft, clip);
    painter.end();
    return target;
}

QImage drawnWhole(const ScaledPhoto& photo)
{
    return drawn(photo, photo.displaySize(), QPoint(0, 0),
                 QRect(QPoint(0, 0), photo.displaySize()));
}

struct Difference
{
    int worst = 0;
    double mean = 0.0;
};

Difference difference(const QImage& a, const QImage& b)
{
    Difference d;
    qint64 total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            for (int delta : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) {
                d.worst = std::max(d.worst, std::abs(delta));
                total += std::abs(delta);
            }
        }
    }
    d.mean = double(total) / (3.0 * a.width() * a.height());
    return d;
}

/// A paint device that keeps the images a painter is asked to draw, to tell
/// pixels scaled anew from pixels drawn again.
class ImageRecorder final : public QPaintDevice
{
public:
    explicit ImageRecorder(QSize size) : m_size(size) {}

    [[nodiscard]] QPaintEngine* paintEngine() const override { return &m_engine; }
    [[nodiscard]] const QList<QImage>& images() const { return m_engine.images(); }

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    class Engine final : public QPaintEngine
    {
    public:
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}

        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage& image, const QRectF&,
                       Qt::ImageConversionFlags) override
        {
            m_images.append(image);
        }
        [[nodiscard]] Type type() const override { return QPaintEngine::User; }
        [[nodiscard]] const QList<QImage>& images() const { return m_images; }

    private:
        QList<QImage> m_images;
    };

    QSize m_size;
    mutable Engine m_engine;
};

/// The images the photo draws from for a view of viewSize, the photo's top-left at topLeft.
QList<QImage> imagesDrawn(const ScaledPhoto& photo, QSize viewSize, QPoint topLeft)
{
    ImageRecorder recorder(viewSize);
    QPainter painter(&recorder);
    photo.draw(painter, topLeft, QRect(QPoint(0, 0), viewSize));
    painter.end();
    return recorder.images();
}

/// The distinct images among images, by their cache keys: a copy keeps its original's key.
QSet<qint64> keysOf(const QList<QImage>& images)
{
    QSet<qint64> keys;
    for (const QImage& image : images) {
        keys.insert(image.cacheKey());
    }
    return keys;
}

/// The whole photo at display size, rendered in one piece from the level ScaledPhoto uses.
QImage renderedWhole(const QImage& picture, QSize display)
{
    const PhotoPyramid pyramid(picture);
    return AreaScaler::render(pyramid.level(pyramid.levelFor(display)), display,
                              QRect(QPoint(0, 0), display));
}

} // namespace

class ScaledPhotoTest : public QObject
{
    Q_OBJECT

private slots:
    void fineCheckerboardShrinksToMidGrey_data()
    {
        QTest::addColumn<QSize>("display");
        QTest::newRow("a half") << QSize(300, 210);
        QTest::newRow("a third") << QSize(200, 140);
        QTest::newRow("ten zoom-out steps") << QSize(209, 146);
        QTest::newRow("a tenth") << QSize(60, 42);
        QTest::newRow("a fortieth, from a small level") << QSize(15, 10);
    }

    void fineCheckerboardShrinksToMidGrey()
    {
        QFETCH(QSize, display);
        ScaledPhoto photo(checkerboard(QSize(600, 420)));
        photo.setDisplaySize(display);
        const QImage image = drawnWhole(photo);
        // Point sampling would show black and white; averaging shows grey everywhere.
        int darkest = 255;
        int lightest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
                lightest = std::max(lightest, qGray(image.pixel(x, y)));
            }
        }
        QVERIFY2(darkest >= 112 && lightest <= 143,
                 qPrintable(QStringLiteral("grey from %1 to %2").arg(darkest).arg(lightest)));
    }

    void scaledPhotoMatchesQtSmoothScaling_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("worst");
        QTest::newRow("one zoom-out step") << 0.9 << 4;
        QTest::newRow("just above a level") << 0.51 << 4;
        QTest::newRow("a half") << 0.5 << 4;
        // Between levels the 2 x 2 halving softens one-pixel lines a little
        // more than a single box over the picture would.
        QTest::newRow("a third") << 0.333 << 28;
        QTest::newRow("twenty zoom-out steps") << 0.1216 << 16;
        QTest::newRow("one zoom-in step") << 1.1 << 4;
        QTest::newRow("twice") << 2.0 << 4;
    }

    void scaledPhotoMatchesQtSmoothScaling()
    {
        QFETCH(double, factor);
        QFETCH(int, worst);
        const QImage picture = TestPictures::photoLike(QSize(900, 600));
        const QSize display(int(900 * factor), int(600 * factor));
        ScaledPhoto photo(picture);
        photo.setDisplaySize(display);
        const QImage reference =
            picture.scaled(display, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

        const Difference d = difference(drawnWhole(photo), reference);
        // The grain is one pixel fine, the hardest case for filters that differ slightly.
        QVERIFY2(d.mean < 2.0, qPrintable(QString::number(d.mean)));
        QVERIFY2(d.worst <= worst, qPrintable(QString::number(d.worst)));
    }

    void tilesJoinWithoutSeams()
    {
        const QImage picture = TestPictures::photoLike(QSize(1000, 700));
        const QSize display(631, 442);
        ScaledPhoto photo(picture);
        photo.setDisplaySize(display);
        // Drawn in odd-sized pieces, it is the very same as rendered whole.
        QImage pieces(display, QImage::Format_RGB32);
        pieces.fill(Qt::red);
        QPainter painter(&pieces);
        for (int y = 0; y < display.height(); y += 37) {
            for (int x = 0; x < display.width(); x += 53) {
                photo.draw(painter, QPoint(0, 0), QRect(x, y, 53, 37));
            }
        }
        painter.end();
        const QImage whole = renderedWhole(picture, display);
        QCOMPARE(difference(pieces, whole).worst, 0);
    }

    void drawsOnlyInsideClipAtAnyOffset_data()
    {
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QRect>("clip");
        QTest::newRow("dragged up and left") << QPoint(-170, -95) << QRect(0, 0, 240, 360);
        QTest::newRow("dragged down and right") << QPoint(30, 50) << QRect(0, 0, 240, 360);
        QTest::newRow("clip beyond the target's edge")
            << QPoint(-150, -60) << QRect(118, 178, 124, 184);
    }

    void drawsOnlyInsideClipAtAnyOffset()
    {
        QFETCH(QPoint, topLeft);
        QFETCH(QRect, clip);
        const QImage picture = TestPictures::photoLike(QSize(800, 900));
        const QSize display(517, 582);
        ScaledPhoto photo(picture);
        photo.setDisplaySize(display);
        const QImage whole = renderedWhole(picture, display);

        const QImage image = drawn(photo, QSize(242, 362), topLeft, clip);
        const QRect photoRect(topLeft, display);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QPoint at(x, y);
                const QRgb expected =
                    clip.contains(at) && photoRect.contains(at) ? whole.pixel(at - topLeft) : kBack;
                if (image.pixel(at) != expected) {
                    QFAIL(qPrintable(QStringLiteral("wrong pixel at %1, %2").arg(x).arg(y)));
                }
            }
        }
    }

    void transparentEdgesBlendWithoutDarkFringe()
    {
        // Opaque red on the left half, fully transparent on the right.
        QImage picture(40, 20, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                picture.setPixel(x, y, qRgba(255, 0, 0, 255));
            }
        }
        ScaledPhoto photo(picture);
        photo.setDisplaySize(QSize(13, 7));
        const QImage image = drawnWhole(photo);
        QCOMPARE(image.pixel(12, 3), kBack);
        QCOMPARE(image.pixel(0, 3), qRgb(255, 0, 0));
        // Column 6 covers red and transparent pixels alike: a mix of red and
        // the back colour, never the darkening of averaging unweighted colour.
        const QRgb mixed = image.pixel(6, 3);
        QVERIFY(qRed(mixed) >= 242 && qGreen(mixed) > 100 && qBlue(mixed) > 90);
    }

    void sameSizeAgainRescalesNothing()
    {
        const QImage picture = TestPictures::photoLike(QSize(1200, 800));
        ScaledPhoto photo(picture);
        photo.setDisplaySize(QSize(700, 467));
        const QRect view(0, 0, 240, 360);
        const QPoint topLeft(-100, -50);
        const QImage first = drawn(photo, view.size(), topLeft, view);
        const QSet<qint64> tiles = keysOf(imagesDrawn(photo, view.size(), topLeft));
        QVERIFY(!tiles.isEmpty());

        // Drawn again from the very images drawn before: nothing is scaled anew.
        photo.setDisplaySize(QSize(700, 467));
        QCOMPARE(drawn(photo, view.size(), topLeft, view), first);
        QCOMPARE(keysOf(imagesDrawn(photo, view.size(), topLeft)), tiles);
        // A capture of part of the same view, and a drag back and forth over it, reuse it too.
        QVERIFY(tiles.contains(keysOf(imagesDrawn(photo, QSize(120, 180), QPoint(-160, -110)))));
        QVERIFY(tiles.contains(keysOf(imagesDrawn(photo, view.size(), QPoint(-101, -51)))));
        QCOMPARE(keysOf(imagesDrawn(photo, view.size(), topLeft)), tiles);

        // Another size shows its own pixels, from tiles scaled for it.
        const QSize zoomed(630, 420);
        photo.setDisplaySize(zoomed);
        QVERIFY(!keysOf(imagesDrawn(photo, view.size(), topLeft)).intersects(tiles));
        const QImage expected = renderedWhole(picture, zoomed).copy(view.translated(-topLeft));
        QCOMPARE(difference(drawn(photo, view.size(), topLeft, view), expected).worst, 0);
    }

    void oneZoomStepScalesOnlyWhatIsSeen()
    {
        // However large the photo, a zoom step scales about a work area's worth: the tiles
        // under the view, not the whole photo at its new size.
        ScaledPhoto photo(TestPictures::photoLike(QSize(4000, 3000)));
        photo.setDisplaySize(QSize(3600, 2700));
        const QList<QImage> images = imagesDrawn(photo, QSize(240, 360), QPoint(-1800, -1200));
        QVERIFY(!images.isEmpty());
        QVERIFY(keysOf(images).size() <= 5 * 7);
        for (const QImage& image : images) {
            QVERIFY(image.width() <= TileCache::kTileSize &&
                    image.height() <= TileCache::kTileSize);
        }
    }

    void naturalSizeIsDrawnUnscaled()
    {
        const QImage picture = TestPictures::photoLike(QSize(300, 400));
        ScaledPhoto photo(picture);
        QCOMPARE(photo.displaySize(), picture.size());
        QCOMPARE(difference(drawnWhole(photo), picture).worst, 0);
        // Straight from the picture's own pixels, with no tile scaled.
        const QList<QImage> images = imagesDrawn(photo, picture.size(), QPoint(0, 0));
        QCOMPARE(images.size(), 1);
        QCOMPARE(images.front().constBits(), picture.constBits());
    }

    void pyramidSharesThePicturesPixels()
    {
        // A face search reads the open photo's own pixels; a 48-megapixel photo copied for
        // it would cost another 190 MB.
        const QImage picture = TestPictures::photoLike(QSize(900, 600));
        const ScaledPhoto photo(picture);
        QVERIFY(photo.pyramid());
        QCOMPARE(photo.pyramid()->level(0).constBits(), picture.constBits());
        QCOMPARE(photo.pyramid()->level(1).size(), QSize(450, 300));
        QVERIFY(!ScaledPhoto().pyramid());
    }

    void degenerateSizesDrawNothingOrOnePixel()
    {
        ScaledPhoto photo(TestPictures::photoLike(QSize(300, 200)));
        photo.setDisplaySize(QSize(0, 0));
        QCOMPARE(drawn(photo, QSize(4, 4), QPoint(0, 0), QRect(0, 0, 4, 4)).pixel(0, 0), kBack);
        photo.setDisplaySize(QSize(1, 1));
        const QRgb single = drawn(photo, QSize(4, 4), QPoint(0, 0), QRect(0, 0, 4, 4)).pixel(0, 0);
        QVERIFY(single != kBack);

        ScaledPhoto empty;
        QVERIFY(empty.isNull());
        empty.setDisplaySize(QSize(50, 50));
        QCOMPARE(drawn(empty, QSize(4, 4), QPoint(0, 0), QRect(0, 0, 4, 4)).pixel(1, 1), kBack);
    }
};

QTEST_MAIN(ScaledPhotoTest)
#include "ScaledPhotoTest.moc"
