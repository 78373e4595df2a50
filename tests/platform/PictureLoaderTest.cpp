// Kestrova — identity photo maker.
#include "platform/PictureLoader.h"
#include "ProcessMemory.h"

#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace TestPictures;

namespace {

const QList<QRgb> kPrimaries{qRgb(0, 0, 0),     qRgb(255, 255, 255), qRgb(255, 0, 0),
                             qRgb(0, 255, 0),   qRgb(0, 0, 255),     qRgb(255, 255, 0),
                             qRgb(0, 255, 255), qRgb(255, 0, 255)};

/// Whether the loader refuses the file.
bool refused(const QString& path)
{
    QtPictureLoader loader;
    return !loader.load(path).has_value();
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

int maxDistance(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            worst = std::max(worst, channelDistance(a.pixel(x, y), b.pixel(x, y)));
        }
    }
    return worst;
}

/// Blocks of red in the top-left and green in the top-right corner of a blue picture.
QImage cornerMarkers(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    const QSize block(size.width() / 4, size.height() / 4);
    for (int y = 0; y < block.height(); ++y) {
        for (int x = 0; x < block.width(); ++x) {
            image.setPixel(x, y, qRgb(255, 0, 0));
            image.setPixel(size.width() - 1 - x, y, qRgb(0, 255, 0));
        }
    }
    return image;
}

/// The corner of the picture whose colour is nearest to colour: 0 top-left,
/// 1 top-right, 2 bottom-left, 3 bottom-right.
int cornerOf(const QImage& image, QRgb colour)
{
    const int inset = 2;
    const std::array<QPoint, 4> corners{
        QPoint(inset, inset), QPoint(image.width() - 1 - inset, inset),
        QPoint(inset, image.height() - 1 - inset),
        QPoint(image.width() - 1 - inset, image.height() - 1 - inset)};
    int best = -1;
    int bestDistance = 256;
    for (int i = 0; i < 4; ++i) {
        const int d = channelDistance(image.pixel(corners[i]), colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return bestDistance < 40 ? best : -1;
}

} // namespace

class PictureLoaderTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeFile(QDir(m_dir.path()), name, bytes);
    }

    /// The loaded picture; a null image, failing the comparisons after it, when refused.
    QImage load(const QString& path)
    {
        QtPictureLoader loader;
        const std::optional<QImage> picture = loader.load(path);
        if (!picture) {
            qWarning("refused: %s", qPrintable(path));
        }
        return picture.value_or(QImage());
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void bmpOfEveryDepthAndRowOrderLoadsItsPixels_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("topDown");
        for (int bits : {1, 4, 8, 16, 24, 32}) {
            for (bool topDown : {false, true}) {
                QTest::addRow("%d-bit %s", bits, topDown ? "top-down" : "bottom-up")
                    << bits << topDown;
            }
        }
    }

    void bmpOfEveryDepthAndRowOrderLoadsItsPixels()
    {
        QFETCH(int, bits);
        QFETCH(bool, topDown);
        // An odd width, so every depth has padding at the end of its rows.
        const QList<QRgb> palette = kPrimaries.mid(0, bits == 1 ? 2 : kPrimaries.size());
        const QImage source = palettePattern(QSize(13, 7), palette);
        const QString path = write(QStringLiteral("depth%1-%2.bmp").arg(bits).arg(topDown),
                                   bmpFile(source, bits, topDown));

        const QImage loaded = load(path);
        QCOMPARE(loaded.size(), source.size());
        QVERIFY(!loaded.hasAlphaChannel() || loaded.pixelColor(0, 0).alpha() == 255);
        // Qt widens 5-bit channels by shifting alone, so 16-bit white reads as 248.
        QVERIFY(maxDistance(loaded, source) <= (bits == 16 ? 7 : 0));
    }

    void bmpOfEitherHeaderKindLoadsWhateverItsFirstPixels_data()
    {
        QTest::addColumn<bool>("os2");
        QTest::addColumn<QList<QRgb>>("firstPixels");
        // The first stored pixels follow right after a 12-byte OS/2 header,
        // where a 40-byte Windows header would still hold its depth and coding.
        const QList<QRgb> nearBlack{qRgb(8, 0, 0), qRgb(0, 0, 8), qRgb(0, 0, 0)};
        const QList<QRgb> black{qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)};
        // Bytes that read as 8-bit run-length coding in the Windows layout.
        const QList<QRgb> lookLikeRunLength{qRgb(0, 0, 0), qRgb(0, 1, 0), qRgb(0, 0, 0)};
        const QList<QRgb> light{qRgb(220, 200, 180), qRgb(250, 240, 230), qRgb(200, 210, 220)};
        for (const bool os2 : {true, false}) {
            const char* kind = os2 ? "OS/2 1.x" : "Windows";
            QTest::addRow("%s, near-black", kind) << os2 << nearBlack;
            QTest::addRow("%s, black", kind) << os2 << black;
            QTest::addRow("%s, run-length lookalike", kind) << os2 << lookLikeRunLength;
            QTest::addRow("%s, light", kind) << os2 << light;
        }
    }

    void bmpOfEitherHeaderKindLoadsWhateverItsFirstPixels()
    {
        QFETCH(bool, os2);
        QFETCH(QList<QRgb>, firstPixels);
        QImage source = photoLike(QSize(7, 5));
        // Rows are stored bottom-up, so the bottom row comes first.
        for (int x = 0; x < firstPixels.size(); ++x) {
            source.setPixel(x, source.height() - 1, firstPixels[x]);
        }
        const QByteArray bytes = os2 ? os2BmpFile(source) : bmpFile(source, 24, false);
        const QString path = write(QStringLiteral("first-pixels.bmp"), bytes);
        const QImage loaded = load(path);
        QCOMPARE(loaded.size(), source.size());
        QCOMPARE(maxDistance(loaded, source), 0);
        // The check that refuses a file cut inside its rows still holds.
        QVERIFY(refused(write(QStringLiteral("first-pixels-cut.bmp"), bytes.chopped(4))));
    }

    void bmpOldLayoutStoredTopDownLoads()
    {
        // Qt reads the old layout's sizes as signed, and a negative height as
        // rows stored top-down; the file holds every row it needs.
        const QImage source = photoLike(QSize(7, 5));
        QByteArray bytes = os2BmpFile(source);
        qToLittleEndian<qint16>(qint16(-source.height()), bytes.data() + 20);
        const QImage loaded = load(write(QStringLiteral("top-down.bmp"), bytes));
        QCOMPARE(loaded.size(), source.size());
        QCOMPARE(maxDistance(loaded, source.mirrored(false, true)), 0);
    }

    void jpegVariantsLoadTheirPixels_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<bool>("grey");
        QTest::newRow("baseline") << false << false;
        QTest::newRow("progressive") << true << false;
        QTest::newRow("greyscale") << false << true;
        QTest::newRow("progressive greyscale") << true << true;
    }

    void jpegVariantsLoadTheirPixels()
    {
        QFETCH(bool, progressive);
        QFETCH(bool, grey);
        QImage source = photoLike(QSize(160, 96));
        if (grey) {
            source = source.convertToFormat(QImage::Format_Grayscale8);
        }
        const QByteArray bytes = jpegFile(source, 95, progressive);
        const QString path = write(QStringLiteral("variant.jpg"), bytes);
        QCOMPARE(QImageReader(path).format(), QByteArray("jpeg"));

        const QImage loaded = load(path);
        QCOMPARE(loaded.size(), source.size());
        // Both go through libjpeg-turbo, so they must agree to the last bit;
        // and the colours must still be the source's, not swapped or shifted.
        QCOMPARE(maxDistance(loaded, QImageReader(path).read()), 0);
        const QImage blurredLoaded =
            loaded.scaled(20, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage blurredSource =
            source.convertToFormat(QImage::Format_RGB32)
                .scaled(20, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY(maxDistance(blurredLoaded, blurredSource) <= 6);
        if (grey) {
            const QRgb pixel = loaded.pixel(37, 41);
            QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
        }
    }

    void cmykJpegLoadsAsQtReadsIt_data()
    {
        QTest::addColumn<bool>("ycck");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("k");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("magenta and yellow ink") << false << 0 << 255 << 255 << 0 << qRgb(255, 0, 0);
        QTest::newRow("cyan ink") << false << 255 << 0 << 0 << 0 << qRgb(0, 255, 255);
        QTest::newRow("half black") << false << 0 << 0 << 0 << 128 << qRgb(127, 127, 127);
        QTest::newRow("YCCK magenta and yellow") << true << 0 << 255 << 255 << 0 << qRgb(255, 0, 0);
    }

    void cmykJpegLoadsAsQtReadsIt()
    {
        QFETCH(bool, ycck);
        QFETCH(int, c);
        QFETCH(int, m);
        QFETCH(int, y);
        QFETCH(int, k);
        QFETCH(QRgb, expected);
        const QString path =
            write(QStringLiteral("cmyk.jpg"),
                  cmykJpegFile(QSize(24, 16), uchar(c), uchar(m), uchar(y), uchar(k), ycck));
        const QImage loaded = load(path);
        QCOMPARE(loaded.size(), QSize(24, 16));
        QVERIFY2(channelDistance(loaded.pixel(12, 8), expected) <= 3,
                 qPrintable(QString::number(loaded.pixel(12, 8), 16)));
        const QImage byQt = QImageReader(path).read();
        QVERIFY(maxDistance(loaded, byQt.convertToFormat(QImage::Format_RGB32)) <= 1);
    }

    void animatedGifShowsItsFirstFrame()
    {
        const QImage first = palettePattern(QSize(20, 10), kPrimaries);
        QImage second = first;
        second.fill(uchar(4));
        const QString path =
            write(QStringLiteral("animated.gif"), gifFile({first, second, second}, -1));

        const QImage loaded = load(path);
        QCOMPARE(loaded.size(), first.size());
        QCOMPARE(maxDistance(loaded, first), 0);
    }

    void gifTransparencyIsKept()
    {
        QImage frame = palettePattern(QSize(16, 12), kPrimaries);
        constexpr int kClearIndex = 5;
        int transparentPixels = 0;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                transparentPixels += frame.pixelIndex(x, y) == kClearIndex;
            }
        }
        QVERIFY(transparentPixels > 0);
        const QString path = write(QStringLiteral("clear.gif"), gifFile({frame}, kClearIndex));

        const QImage loaded = load(path);
        QVERIFY(loaded.hasAlphaChannel());
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const bool clear = frame.pixelIndex(x, y) == kClearIndex;
                QCOMPARE(qAlpha(loaded.pixel(x, y)), clear ? 0 : 255);
                if (!clear) {
                    QCOMPARE(loaded.pixel(x, y), frame.pixel(x, y));
                }
            }
        }
    }

    void formatIsTakenFromContentNotName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("opens");
        const QImage picture = palettePattern(QSize(8, 8), kPrimaries);
        QTest::newRow("PNG named .jpg") << "png.jpg" << pngFile(picture) << false;
        QTest::newRow("PNG named .png") << "png.png" << pngFile(picture) << false;
        QTest::newRow("JPEG named .gif") << "jpeg.gif" << jpegFile(picture) << true;
        QTest::newRow("BMP named .jpg") << "bmp.jpg" << bmpFile(picture, 24, false) << true;
        QTest::newRow("GIF named .bmp") << "gif.bmp" << gifFile({picture}, -1) << true;
        QTest::newRow("JPEG without extension") << "jpeg" << jpegFile(picture) << true;
    }

    void formatIsTakenFromContentNotName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, opens);
        QCOMPARE(refused(write(name, bytes)), !opens);
    }

    void unusualNamesOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("upper case") << QStringLiteral("PHOTO.JPG");
        QTest::newRow("spaces") << QStringLiteral("my passport photo.jpg");
        QTest::newRow("CJK") << QStringLiteral("证件照.jpg");
        QTest::newRow("CJK, space, upper-case BMP") << QStringLiteral("照片 二.BMP");
    }

    void unusualNamesOpen()
    {
        QFETCH(QString, name);
        const QImage picture = photoLike(QSize(30, 20));
        const QByteArray bytes =
            name.endsWith(QStringLiteral(".BMP")) ? bmpFile(picture, 24, false) : jpegFile(picture);
        QCOMPARE(load(write(name, bytes)).size(), QSize(30, 20));
    }

    void exifOrientationTurnsPhotoUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("redCorner");
        QTest::addColumn<int>("greenCorner");
        // Stored 96 x 64, red top-left and green top-right; corners as in cornerOf().
        QTest::newRow("1 upright") << 1 << QSize(96, 64) << 0 << 1;
        QTest::newRow("2 mirrored") << 2 << QSize(96, 64) << 1 << 0;
        QTest::newRow("3 upside down") << 3 << QSize(96, 64) << 3 << 2;
        QTest::newRow("4 flipped") << 4 << QSize(96, 64) << 2 << 3;
        QTest::newRow("5 transposed") << 5 << QSize(64, 96) << 0 << 2;
        QTest::newRow("6 turned left, phone portrait") << 6 << QSize(64, 96) << 1 << 3;
        QTest::newRow("7 transversed") << 7 << QSize(64, 96) << 3 << 1;
        QTest::newRow("8 turned right") << 8 << QSize(64, 96) << 2 << 0;
    }

    void exifOrientationTurnsPhotoUpright()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, size);
        QFETCH(int, redCorner);
        QFETCH(int, greenCorner);
        const QByteArray jpeg =
            withExifOrientation(jpegFile(cornerMarkers(QSize(96, 64))), orientation);
        const QString path = write(QStringLiteral("exif.jpg"), jpeg);

        const QImage loaded = load(path);
        QCOMPARE(loaded.size(), size);
        QCOMPARE(cornerOf(loaded, qRgb(255, 0, 0)), redCorner);
        QCOMPARE(cornerOf(loaded, qRgb(0, 255, 0)), greenCorner);
        // Every pixel lands where Qt's own reader puts it.
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QCOMPARE(maxDistance(loaded, reader.read()), 0);
    }

    void turnedPhotoOfManyStripsLandsEveryPixelWhereQtPutsIt_data()
    {
        QTest::addColumn<int>("orientation");
        for (int orientation = 2; orientation <= 8; ++orientation) {
            QTest::addRow("orientation %d", orientation) << orientation;
        }
    }

    void turnedPhotoOfManyStripsLandsEveryPixelWhereQtPutsIt()
    {
        // Many more stored rows than the decoder moves into place at a time,
        // so every buffer they pass through is filled again and again.
        QFETCH(int, orientation);
        const QString path =
            write(QStringLiteral("tall.jpg"),
                  withExifOrientation(jpegFile(photoLike(QSize(301, 1100))), orientation));
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QCOMPARE(maxDistance(load(path), reader.read()), 0);
    }

    void oversizedHeaderIsRefusedBeforeAllocating_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QImage small = photoLike(QSize(16, 16));
        const QByteArray jpeg = jpegFile(small);
        QTest::newRow("JPEG claiming 30000 x 30000") << withJpegSize(jpeg, QSize(30000, 30000));
        QTest::newRow("JPEG claiming 65535 x 65535") << withJpegSize(jpeg, QSize(65535, 65535));
        QTest::newRow("JPEG claiming 11000 x 11000") << withJpegSize(jpeg, QSize(11000, 11000));
        QTest::newRow("progressive JPEG claiming 30000 x 30000")
            << withJpegSize(jpegFile(small, 90, true), QSize(30000, 30000));

        QByteArray bmp = bmpFile(small, 24, false);
        qToLittleEndian<qint32>(30000, bmp.data() + 18);
        qToLittleEndian<qint32>(30000, bmp.data() + 22);
        QTest::newRow("BMP claiming 30000 x 30000") << bmp;
        QImage indexed = palettePattern(QSize(16, 16), kPrimaries);
        QByteArray gif = gifFile({indexed}, -1);
        qToLittleEndian<quint16>(30000, gif.data() + 6);
        qToLittleEndian<quint16>(30000, gif.data() + 8);
        QTest::newRow("GIF claiming 30000 x 30000") << gif;
    }

    void oversizedHeaderIsRefusedBeforeAllocating()
    {
        QFETCH(QByteArray, bytes);
        const QString path = write(QStringLiteral("claims.jpg"), bytes);
        ProcessMemory::resetPeakResident();
        const qint64 before = ProcessMemory::statusKb("VmHWM");
        QVERIFY(refused(path));
        // Refused before the claimed size is allocated, let alone filled.
        QVERIFY2(ProcessMemory::statusKb("VmHWM") - before < 64 * 1024,
                 qPrintable(QStringLiteral("peak grew by %1 kB")
                                .arg(ProcessMemory::statusKb("VmHWM") - before)));
    }

    void hundredMegapixelPictureOpens()
    {
        // A small JPEG whose header claims 10000 x 10000: libjpeg fills in what
        // is missing, so this exercises the full-size path without a huge file.
        const QByteArray bytes =
            withJpegSize(jpegFile(photoLike(QSize(64, 64))), QSize(10000, 10000));
        const QImage loaded = load(write(QStringLiteral("huge.jpg"), bytes));
        QCOMPARE(loaded.size(), QSize(10000, 10000));
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QImage picture = photoLike(QSize(64, 48));
        const QByteArray jpeg = jpegFile(picture);
        const QByteArray bmp = bmpFile(picture, 24, false);
        const QByteArray gif = gifFile({palettePattern(QSize(64, 48), kPrimaries)}, -1);
        QByteArray random(4096, '\0');
        QRandomGenerator generator(20110810);
        for (char& byte : random) {
            byte = char(generator.bounded(256));
        }
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("random bytes") << random;
        QTest::newRow("JPEG signature then random bytes") << QByteArray("\xff\xd8\xff", 3) + random;
        QTest::newRow("JPEG cut inside its header") << jpeg.left(100);
        QTest::newRow("BMP cut inside its header") << bmp.left(30);
        QTest::newRow("BMP cut inside its pixels") << bmp.left(bmp.size() / 2);
        // Qt reads a header of any size but the Windows ones in the old layout.
        QByteArray oddHeader = os2BmpFile(picture);
        qToLittleEndian<quint32>(255, oddHeader.data() + 14);
        QTest::newRow("BMP with an odd header size, cut inside its pixels")
            << oddHeader.left(oddHeader.size() / 2);
        // Rows of 29184 bits per pixel, 2 046 820 371 wide and 1 572 865 high: more bytes
        // than any integer holds, though the picture Qt sees is small.
        QTest::newRow("BMP whose rows overflow any size") << QByteArray::fromBase64(
            "Qk1mAAAAAABAAAAAAAAwAAQAEwAAegEAGAAAAAByAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
            "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
            "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAIAAAAAAcAA=");
        QTest::newRow("GIF cut inside its colours") << gif.left(300);
        QByteArray badLzw = gif;
        // Codes beyond anything yet in the table, right after the first clear code.
        const qsizetype data = gif.indexOf(char(0x2c)) + 10 + 2;
        for (qsizetype i = data + 2; i < data + 40; ++i) {
            badLzw[i] = char(0xff);
        }
        QTest::newRow("GIF with corrupt LZW codes") << badLzw;
        QTest::newRow("progressive JPEG repeating a scan 2000 times")
            << withRepeatedScan(jpegFile(picture, 90, true), 2000);
    }

    void badFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(refused(write(QStringLiteral("bad.jpg"), bytes)));
    }

    void missingFilesAndDirectoriesAreRefused()
    {
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.jpg")));
        QVERIFY(refused(QDir(m_dir.path()).filePath(QStringLiteral("folder.jpg"))));
        QVERIFY(refused(QDir(m_dir.path()).filePath(QStringLiteral("absent.jpg"))));
    }

    void truncatedJpegOpensWithGreyBottom()
    {
        // Kept, as image viewers and Qt do: what arrived is shown, the rest is grey.
        const QImage source = photoLike(QSize(320, 240));
        const QByteArray jpeg = jpegFile(source);
        const QImage loaded =
            load(write(QStringLiteral("cut.jpg"), jpeg.left(jpeg.size() * 6 / 10)));
        QCOMPARE(loaded.size(), source.size());
        const QImage intact = QImage::fromData(jpeg);
        QCOMPARE(maxDistance(loaded.copy(0, 0, 320, 16), intact.copy(0, 0, 320, 16)), 0);
        QVERIFY(channelDistance(loaded.pixel(160, 236), qRgb(128, 128, 128)) <= 2);
    }

    void corruptJpegDataOpensAtItsSize()
    {
        // libjpeg resynchronises after bad entropy data; the picture keeps its size.
        const QImage source = photoLike(QSize(320, 240));
        QByteArray jpeg = jpegFile(source);
        for (qsizetype i = jpeg.size() / 2; i < jpeg.size() / 2 + 60; ++i) {
            jpeg[i] = char(0x5a);
        }
        const QImage loaded = load(write(QStringLiteral("corrupt.jpg"), jpeg));
        QCOMPARE(loaded.size(), source.size());
        const QImage intact = QImage::fromData(jpegFile(source));
        QCOMPARE(maxDistance(loaded.copy(0, 0, 320, 16), intact.copy(0, 0, 320, 16)), 0);
        QVERIFY(maxDistance(loaded, intact) > 0);
    }

    void loaderGoesOnAfterBadFiles()
    {
        QtPictureLoader loader;
        QVERIFY(!loader.load(write(QStringLiteral("bad.gif"), "GIF89a")));
        const QString good = write(QStringLiteral("good.jpg"), jpegFile(photoLike(QSize(8, 6))));
        QCOMPARE(loader.load(good).value_or(QImage()).size(), QSize(8, 6));
    }
};

QTEST_GUILESS_MAIN(PictureLoaderTest)
#include "PictureLoaderTest.moc"
