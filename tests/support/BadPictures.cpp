// Kestrova — identity photo maker.
#include "BadPictures.h"

#include "TestPictures.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtEndian>

#include <array>
#include <limits>

namespace BadPictures {

namespace {

using TestPictures::bmpFile;
using TestPictures::gifFile;
using TestPictures::jpegFile;
using TestPictures::palettePattern;
using TestPictures::photoLike;

const QList<QRgb> kColours{qRgb(0, 0, 0),     qRgb(255, 255, 255), qRgb(200, 30, 30),
                           qRgb(30, 200, 30), qRgb(30, 30, 200),   qRgb(240, 220, 40)};

constexpr QSize kJpegSize(160, 120);
constexpr QSize kBmpSize(64, 48);
constexpr QSize kGifSize(64, 48);

// Fields of a BMP's file and info headers.
constexpr qsizetype kBmpDataOffset = 10;
constexpr qsizetype kBmpWidth = 18;
constexpr qsizetype kBmpHeight = 22;
constexpr qsizetype kBmpBitCount = 28;
constexpr qsizetype kBmpCompression = 30;
constexpr qsizetype kBmpColoursUsed = 46;
constexpr qsizetype kBmpHeadersEnd = 54;
constexpr quint32 kBmpRle8 = 1;
constexpr quint32 kBmpRle4 = 2;

// A GIF's logical screen size, and where its colour table ends.
constexpr qsizetype kGifScreenWidth = 6;
constexpr qsizetype kGifScreenHeight = 8;
constexpr qsizetype kGifColourTableEnd = 13 + 256 * 3;

constexpr uchar kSof0 = 0xc0;
constexpr uchar kDht = 0xc4;
constexpr uchar kSos = 0xda;

QByteArray randomBytes(quint32 seed, qsizetype size)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = char(generator.bounded(256));
    }
    return bytes;
}

/// Where the first segment with this marker starts (its 0xff), or -1.
qsizetype jpegSegment(const QByteArray& jpeg, uchar marker)
{
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xff) {
        if (uchar(jpeg[at + 1]) == marker) {
            return at;
        }
        if (uchar(jpeg[at + 1]) == kSos) {
            return -1;
        }
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return -1;
}

// A DHT segment: marker, length, class and id, sixteen counts, then the symbols.
constexpr qsizetype kDhtCounts = 5;
constexpr int kDhtCountFields = 16;

int dhtSymbolCount(const QByteArray& jpeg, qsizetype dht)
{
    int total = 0;
    for (int i = 0; i < kDhtCountFields; ++i) {
        total += uchar(jpeg[dht + kDhtCounts + i]);
    }
    return total;
}

/// Counts adding up to far more symbols than a table may hold.
QByteArray withOverfullDhtCounts(QByteArray jpeg)
{
    const qsizetype dht = jpegSegment(jpeg, kDht);
    for (int i = 0; i < kDhtCountFields; ++i) {
        jpeg[dht + kDhtCounts + i] = char(0xff);
    }
    return jpeg;
}

/// The same number of symbols, all given one-bit codes, of which there are only two.
QByteArray withImpossibleDhtCodes(QByteArray jpeg)
{
    const qsizetype dht = jpegSegment(jpeg, kDht);
    const int total = dhtSymbolCount(jpeg, dht);
    jpeg[dht + kDhtCounts] = char(total);
    for (int i = 1; i < kDhtCountFields; ++i) {
        jpeg[dht + kDhtCounts + i] = 0;
    }
    return jpeg;
}

/// DC symbols give a bit count, 0 to 15 at most; these are far beyond it.
QByteArray withDcSymbolsOutOfRange(QByteArray jpeg)
{
    const qsizetype dht = jpegSegment(jpeg, kDht);
    const int total = dhtSymbolCount(jpeg, dht);
    for (int i = 0; i < total; ++i) {
        jpeg[dht + kDhtCounts + kDhtCountFields + i] = char(0xee);
    }
    return jpeg;
}

/// A DHT claiming to hold nothing, so its tables are read as stray bytes.
QByteArray withEmptyDhtLength(QByteArray jpeg)
{
    const qsizetype dht = jpegSegment(jpeg, kDht);
    jpeg[dht + 2] = 0;
    jpeg[dht + 3] = 2;
    return jpeg;
}

QByteArray withSofComponents(QByteArray jpeg, int components)
{
    const qsizetype sof = jpegSegment(jpeg, kSof0);
    jpeg[sof + 9] = char(components);
    return jpeg;
}

/// Halfway through the first scan's entropy data, which runs to the next marker: inside
/// it a 0xff byte is always followed by a zero or a restart number.
qsizetype middleOfFirstScan(const QByteArray& jpeg)
{
    const qsizetype sos = jpeg.indexOf(QByteArray("\xff\xda", 2));
    qsizetype end = sos + 2;
    while (end + 1 < jpeg.size() &&
           !(uchar(jpeg[end]) == 0xff && uchar(jpeg[end + 1]) != 0 &&
             (uchar(jpeg[end + 1]) < 0xd0 || uchar(jpeg[end + 1]) > 0xd7))) {
        ++end;
    }
    return sos + (end - sos) / 2;
}

QByteArray firstSosAndAfter(const QByteArray& jpeg)
{
    return jpeg.mid(jpeg.indexOf(QByteArray("\xff\xda", 2)));
}

QByteArray withLe32(QByteArray bytes, qsizetype at, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + at);
    return bytes;
}

QByteArray withLe16(QByteArray bytes, qsizetype at, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes.data() + at);
    return bytes;
}

QByteArray withBmpSize(QByteArray bmp, qint32 width, qint32 height)
{
    bmp = withLe32(bmp, kBmpWidth, quint32(width));
    return withLe32(bmp, kBmpHeight, quint32(height));
}

QByteArray rleBmp(qint32 width, qint32 height, quint32 compression, const QByteArray& codes)
{
    const int bits = compression == kBmpRle4 ? 4 : 8;
    QImage palette = palettePattern(QSize(2, 2), kColours);
    QByteArray bmp = bmpFile(palette, bits, false);
    const qsizetype dataOffset = qFromLittleEndian<quint32>(bmp.constData() + kBmpDataOffset);
    for (qsizetype at = kBmpHeadersEnd, index = 0; at + 4 <= dataOffset; at += 4, ++index) {
        const QRgb colour = runLengthColour(int(index));
        bmp[at] = char(qBlue(colour));
        bmp[at + 1] = char(qGreen(colour));
        bmp[at + 2] = char(qRed(colour));
    }
    bmp.truncate(dataOffset);
    bmp.append(codes);
    bmp = withLe32(bmp, 2, quint32(bmp.size()));
    bmp = withLe32(bmp, kBmpCompression, compression);
    bmp = withLe32(bmp, 34, quint32(codes.size()));
    return withBmpSize(bmp, width, height);
}

QByteArray repeated(const QByteArray& unit, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i) {
        out.append(unit);
    }
    return out;
}

/// Where the GIF's first image descriptor (0x2c) starts.
qsizetype gifDescriptor(const QByteArray& gif)
{
    return gif.indexOf(char(0x2c), kGifColourTableEnd);
}

// Fields after the descriptor's 0x2c.
constexpr qsizetype kGifFrameLeft = 1;
constexpr qsizetype kGifFrameWidth = 5;
constexpr qsizetype kGifFrameHeight = 7;
constexpr qsizetype kGifLzwSize = 10;
constexpr qsizetype kGifFirstBlock = 11;

QByteArray withGifLzwSize(QByteArray gif, int codeSize)
{
    gif[gifDescriptor(gif) + kGifLzwSize] = char(codeSize);
    return gif;
}

QByteArray withGifCodes(QByteArray gif, const QByteArray& codes)
{
    // Past the first sub-block's length byte and the clear code that opens it.
    const qsizetype start = gifDescriptor(gif) + kGifFirstBlock + 3;
    gif.replace(start, codes.size(), codes);
    return gif;
}

QByteArray withGifFrameSize(QByteArray gif, int width, int height)
{
    const qsizetype at = gifDescriptor(gif);
    gif = withLe16(gif, at + kGifFrameWidth, quint16(width));
    return withLe16(gif, at + kGifFrameHeight, quint16(height));
}

QByteArray withGifScreenSize(QByteArray gif, int width, int height)
{
    gif = withLe16(gif, kGifScreenWidth, quint16(width));
    return withLe16(gif, kGifScreenHeight, quint16(height));
}

class Builder
{
public:
    void refused(const QString& name, const QByteArray& bytes)
    {
        m_entries << Entry{name, bytes, Outcome::Refused, {}, false};
    }
    void opens(const QString& name, const QByteArray& bytes, QSize size)
    {
        m_entries << Entry{name, bytes, Outcome::Opens, size, false};
    }
    void undecodable(const QString& name, const QByteArray& bytes)
    {
        m_entries << Entry{name, bytes, Outcome::Undecodable, {}, false};
    }
    void either(const QString& name, const QByteArray& bytes)
    {
        m_entries << Entry{name, bytes, Outcome::Either, {}, false};
    }
    void directory(const QString& name)
    {
        m_entries << Entry{name, {}, Outcome::Refused, {}, true};
    }
    QList<Entry> entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};

void addGoodFiles(Builder& b)
{
    const QImage photo = photoLike(QSize(90, 130));
    const QImage indexed = palettePattern(QSize(70, 50), kColours);
    b.opens(QStringLiteral("good baseline.jpg"), jpegFile(photo), QSize(90, 130));
    b.opens(QStringLiteral("good progressive.jpg"), jpegFile(photo, 85, true), QSize(90, 130));
    b.opens(QStringLiteral("good 24-bit.bmp"), bmpFile(photo, 24, false), QSize(90, 130));
    b.opens(QStringLiteral("good top-down 8-bit.bmp"), bmpFile(indexed, 8, true), QSize(70, 50));
    b.opens(QStringLiteral("good.gif"), gifFile({indexed}, -1), QSize(70, 50));
    b.opens(QStringLiteral("UPPER CASE.JPG"), jpegFile(photoLike(QSize(33, 44))), QSize(33, 44));
    b.opens(QStringLiteral("证件照.jpg"), jpegFile(photoLike(QSize(41, 61))), QSize(41, 61));
    b.opens(QStringLiteral("旧 照片.BMP"), bmpFile(photo, 24, true), QSize(90, 130));
    b.opens(QStringLiteral("动图 1.GIF"), gifFile({indexed, indexed}, 0), QSize(70, 50));
}

void addNotPictures(Builder& b)
{
    const QByteArray png = TestPictures::pngFile(photoLike(QSize(20, 20)));
    const QByteArray text("Kestrova test corpus: this is a text file, not a picture.\n");
    for (const char* extension : {"jpg", "bmp", "gif"}) {
        const QString ext = QString::fromLatin1(extension);
        b.refused(QStringLiteral("png named.%1").arg(ext), png);
        b.refused(QStringLiteral("text named.%1").arg(ext), text);
        b.refused(QStringLiteral("zero bytes.%1").arg(ext), QByteArray());
    }
    b.refused(QStringLiteral("text starting BM.bmp"), QByteArray("BMW 320i, 1998\n"));
    b.refused(QStringLiteral("text starting GIF89a.gif"), QByteArray("GIF89a is a format\n"));
    b.refused(QStringLiteral("坏 文件.jpg"), text);
    b.directory(QStringLiteral("x.jpg"));
    b.directory(QStringLiteral("文件夹.BMP"));
}

void addRandomBytes(Builder& b)
{
    constexpr std::array<quint32, 3> kSeeds{20110810u, 7u, 424242u};
    for (const quint32 seed : kSeeds) {
        for (const qsizetype size : {qsizetype(1), qsizetype(100), qsizetype(65536)}) {
            b.refused(QStringLiteral("random %1 bytes seed %2.jpg").arg(size).arg(seed),
                      randomBytes(seed, size));
        }
        const QByteArray noise = randomBytes(seed, 4096);
        b.either(QStringLiteral("JPEG signature then random seed %1.jpg").arg(seed),
                 QByteArray("\xff\xd8\xff\xe0", 4) + noise);
        b.either(QStringLiteral("BMP signature then random seed %1.bmp").arg(seed), "BM" + noise);
        b.either(QStringLiteral("GIF signature then random seed %1.gif").arg(seed),
                 "GIF89a" + noise);
    }
}

void addJpegDamage(Builder& b)
{
    const QImage photo = photoLike(kJpegSize);
    for (const bool progressive : {false, true}) {
        const QByteArray jpeg = jpegFile(photo, 90, progressive);
        const QString kind = progressive ? QStringLiteral("progressive") : QStringLiteral("JPEG");
        const qsizetype sos = jpeg.indexOf(QByteArray("\xff\xda", 2));
        b.refused(QStringLiteral("%1 signature only.jpg").arg(kind), jpeg.left(2));
        b.refused(QStringLiteral("%1 cut inside the frame header.jpg").arg(kind),
                  jpeg.left(jpegSegment(jpeg, progressive ? 0xc2 : kSof0) + 6));
        b.refused(QStringLiteral("%1 headers only.jpg").arg(kind), jpeg.left(sos));
        // What arrived of a cut-off photo is shown, the rest grey.
        b.opens(QStringLiteral("%1 cut after the scan header.jpg").arg(kind),
                jpeg.left(sos + 14 + (progressive ? 0 : 2)), kJpegSize);
        b.opens(QStringLiteral("%1 cut mid-scan.jpg").arg(kind), jpeg.left(middleOfFirstScan(jpeg)),
                kJpegSize);
        if (progressive) {
            // The scans before it are whole; whether they are shown is the decoder's choice.
            const qsizetype laterTable = jpeg.indexOf(QByteArray("\xff\xc4", 2), sos);
            b.either(QStringLiteral("progressive cut inside a later Huffman table.jpg"),
                     jpeg.left(laterTable + 10));
        }
        b.opens(QStringLiteral("%1 one byte short.jpg").arg(kind), jpeg.left(jpeg.size() - 1),
                kJpegSize);
        b.refused(QStringLiteral("%1 Huffman counts overfull.jpg").arg(kind),
                  withOverfullDhtCounts(jpeg));
        b.undecodable(QStringLiteral("%1 Huffman codes impossible.jpg").arg(kind),
                      withImpossibleDhtCodes(jpeg));
        b.undecodable(QStringLiteral("%1 Huffman DC symbols out of range.jpg").arg(kind),
                      withDcSymbolsOutOfRange(jpeg));
        b.either(QStringLiteral("%1 Huffman segment empty.jpg").arg(kind),
                 withEmptyDhtLength(jpeg));
    }
    const QByteArray jpeg = jpegFile(photo);
    b.refused(QStringLiteral("JPEG frame of 0 components.jpg"), withSofComponents(jpeg, 0));
    b.refused(QStringLiteral("JPEG frame of 255 components.jpg"), withSofComponents(jpeg, 255));
    b.refused(QStringLiteral("JPEG claiming 0 x 0.jpg"),
              TestPictures::withJpegSize(jpeg, QSize(0, 0)));
    b.refused(QStringLiteral("JPEG without its headers.jpg"),
              QByteArray("\xff\xd8", 2) + firstSosAndAfter(jpeg));
}

void addBmpDamage(Builder& b)
{
    const QByteArray bmp = bmpFile(photoLike(kBmpSize), 24, false);
    const QByteArray indexed = bmpFile(palettePattern(kBmpSize, kColours), 8, false);
    b.refused(QStringLiteral("BMP signature only.bmp"), bmp.left(2));
    b.refused(QStringLiteral("BMP file header only.bmp"), bmp.left(14));
    b.refused(QStringLiteral("BMP headers only.bmp"), bmp.left(kBmpHeadersEnd));
    b.refused(QStringLiteral("BMP cut mid-data.bmp"), bmp.left(bmp.size() / 2));
    b.refused(QStringLiteral("BMP one byte short.bmp"), bmp.left(bmp.size() - 1));
    b.refused(QStringLiteral("8-bit BMP cut inside its palette.bmp"), indexed.left(300));
    b.refused(QStringLiteral("8-bit BMP one byte short.bmp"), indexed.left(indexed.size() - 1));

    b.refused(QStringLiteral("BMP pixels past the end.bmp"),
              withLe32(bmp, kBmpDataOffset, quint32(bmp.size() + 100)));
    b.refused(QStringLiteral("BMP pixel offset negative.bmp"),
              withLe32(bmp, kBmpDataOffset, 0x80000000u));
    b.refused(QStringLiteral("BMP pixel offset huge.bmp"),
              withLe32(bmp, kBmpDataOffset, 0xfffffff0u));
    b.either(QStringLiteral("BMP pixel offset inside the header.bmp"),
             withLe32(bmp, kBmpDataOffset, 4));

    b.refused(QStringLiteral("8-bit BMP of 300 colours.bmp"),
              withLe32(indexed, kBmpColoursUsed, 300));
    b.refused(QStringLiteral("8-bit BMP of 2^31 colours.bmp"),
              withLe32(indexed, kBmpColoursUsed, 0x80000000u));
    b.refused(QStringLiteral("8-bit BMP of 2^32-1 colours.bmp"),
              withLe32(indexed, kBmpColoursUsed, 0xffffffffu));
    b.either(QStringLiteral("BMP of 0 bits per pixel.bmp"), withLe16(bmp, kBmpBitCount, 0));
    b.either(QStringLiteral("BMP of 7 bits per pixel.bmp"), withLe16(bmp, kBmpBitCount, 7));
    b.either(QStringLiteral("BMP of 64 bits per pixel.bmp"), withLe16(bmp, kBmpBitCount, 64));
    b.either(QStringLiteral("BMP of unknown compression.bmp"),
             withLe32(bmp, kBmpCompression, 0x7fffffffu));

    constexpr qint32 kMin = std::numeric_limits<qint32>::min();
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    b.refused(QStringLiteral("BMP of width 0.bmp"), withBmpSize(bmp, 0, kBmpSize.height()));
    b.refused(QStringLiteral("BMP of height 0.bmp"), withBmpSize(bmp, kBmpSize.width(), 0));
    b.refused(QStringLiteral("BMP of negative width.bmp"),
              withBmpSize(bmp, -kBmpSize.width(), kBmpSize.height()));
    b.refused(QStringLiteral("BMP of width -2^31.bmp"), withBmpSize(bmp, kMin, kBmpSize.height()));
    b.refused(QStringLiteral("BMP of height -2^31.bmp"), withBmpSize(bmp, kBmpSize.width(), kMin));
    b.refused(QStringLiteral("BMP of -2^31 x -2^31.bmp"), withBmpSize(bmp, kMin, kMin));
    b.refused(QStringLiteral("BMP of 100000 x 100000.bmp"), withBmpSize(bmp, 100000, 100000));
    b.refused(QStringLiteral("BMP of 2^31-1 x 2^31-1.bmp"), withBmpSize(bmp, kMax, kMax));
    // Rows of width x bits overflow 32-bit arithmetic, while the pixel count stays small.
    b.refused(QStringLiteral("BMP row of 2^26 32-bit pixels.bmp"),
              withLe16(withBmpSize(bmp, 1 << 26, 1), kBmpBitCount, 32));
    b.refused(QStringLiteral("BMP row of 2^27+1 24-bit pixels.bmp"),
              withBmpSize(bmp, (1 << 27) + 1, 1));
    b.refused(QStringLiteral("BMP row of 2^29+1 32-bit pixels.bmp"),
              withLe16(withBmpSize(bmp, (1 << 29) + 1, 1), kBmpBitCount, 32));
    b.refused(QStringLiteral("BMP of 1 x 2^31-1.bmp"), withBmpSize(bmp, 1, kMax));
}

void addBombs(Builder& b)
{
    const QByteArray jpeg = jpegFile(photoLike(QSize(16, 16)));
    const QByteArray progressive = jpegFile(photoLike(QSize(16, 16)), 90, true);
    b.refused(QStringLiteral("JPEG claiming 60000 x 60000.jpg"),
              TestPictures::withJpegSize(jpeg, QSize(60000, 60000)));
    b.refused(QStringLiteral("progressive claiming 60000 x 60000.jpg"),
              TestPictures::withJpegSize(progressive, QSize(60000, 60000)));
    b.refused(QStringLiteral("JPEG claiming 65535 x 1900.jpg"),
              TestPictures::withJpegSize(jpeg, QSize(65535, 1900)));
    b.refused(QStringLiteral("JPEG claiming 11000 x 11000.jpg"),
              TestPictures::withJpegSize(jpeg, QSize(11000, 11000)));
    // Within the cap a small file's claim is believed; libjpeg fills in the rest.
    b.opens(QStringLiteral("JPEG claiming 3000 x 4000.jpg"),
            TestPictures::withJpegSize(jpeg, QSize(3000, 4000)), QSize(3000, 4000));

    const QByteArray endOfBitmap("\x00\x01", 2);
    // Runs of 255 pixels, and jumps of 255 x 255, each in four bytes.
    const QByteArray runs = repeated(QByteArray("\xff\x03", 2), 2000) + endOfBitmap;
    const QByteArray jumps = repeated(QByteArray("\x00\x02\xff\xff", 4), 2000) + endOfBitmap;
    b.refused(QStringLiteral("RLE8 BMP claiming 60000 x 60000.bmp"),
              rleBmp(60000, 60000, kBmpRle8, runs));
    b.refused(QStringLiteral("RLE8 BMP claiming 100000 x 100000.bmp"),
              rleBmp(100000, 100000, kBmpRle8, jumps));
    b.refused(QStringLiteral("RLE4 BMP claiming 60000 x 60000.bmp"),
              rleBmp(60000, 60000, kBmpRle4, runs));
    b.refused(QStringLiteral("RLE8 BMP claiming 2^31-1 x 1.bmp"),
              rleBmp(std::numeric_limits<qint32>::max(), 1, kBmpRle8, runs));
    b.either(QStringLiteral("RLE8 BMP claiming 3000 x 4000.bmp"),
             rleBmp(3000, 4000, kBmpRle8, endOfBitmap));
    b.either(QStringLiteral("RLE8 BMP with runs past its rows.bmp"),
             rleBmp(40, 30, kBmpRle8, runs));
    b.either(QStringLiteral("RLE8 BMP with jumps past its end.bmp"),
             rleBmp(40, 30, kBmpRle8, jumps));
    b.either(QStringLiteral("RLE4 BMP with runs past its rows.bmp"),
             rleBmp(40, 30, kBmpRle4, runs));
    b.either(QStringLiteral("RLE8 BMP with an absolute run past the end.bmp"),
             rleBmp(40, 30, kBmpRle8, QByteArray("\x00\xff\x01\x02", 4)));

    const QByteArray gif = gifFile({palettePattern(kGifSize, kColours)}, -1);
    b.refused(QStringLiteral("GIF screen 65535 x 65535.gif"), withGifScreenSize(gif, 65535, 65535));
    b.either(QStringLiteral("GIF frame 65535 x 65535.gif"), withGifFrameSize(gif, 65535, 65535));
    b.refused(QStringLiteral("GIF screen and frame 65535 x 65535.gif"),
              withGifFrameSize(withGifScreenSize(gif, 65535, 65535), 65535, 65535));
    b.either(QStringLiteral("GIF screen 3000 x 4000.gif"), withGifScreenSize(gif, 3000, 4000));
    b.either(QStringLiteral("GIF screen 0 x 0.gif"), withGifScreenSize(gif, 0, 0));
    QByteArray farFrame = gif;
    farFrame = withLe16(farFrame, gifDescriptor(gif) + kGifFrameLeft, 65000);
    farFrame = withLe16(farFrame, gifDescriptor(gif) + kGifFrameLeft + 2, 65000);
    b.either(QStringLiteral("GIF frame placed at 65000, 65000.gif"), farFrame);
}

void addGifDamage(Builder& b)
{
    const QByteArray gif = gifFile({palettePattern(kGifSize, kColours)}, -1);
    const qsizetype descriptor = gifDescriptor(gif);
    b.refused(QStringLiteral("GIF signature only.gif"), gif.left(6));
    b.refused(QStringLiteral("GIF cut inside the screen.gif"), gif.left(10));
    b.refused(QStringLiteral("GIF colours only.gif"), gif.left(kGifColourTableEnd));
    b.refused(QStringLiteral("GIF cut inside the frame header.gif"), gif.left(descriptor + 5));
    b.either(QStringLiteral("GIF cut before the picture data.gif"),
             gif.left(descriptor + kGifLzwSize + 1));
    b.either(QStringLiteral("GIF cut mid-data.gif"), gif.left(gif.size() / 2));
    b.either(QStringLiteral("GIF cut in its last data block.gif"), gif.left(gif.size() - 3));
    // Only the trailer is missing; the picture itself is whole.
    b.opens(QStringLiteral("GIF one byte short.gif"), gif.left(gif.size() - 1), kGifSize);
    for (const int codeSize : {0, 1, 2, 11, 12, 13, 255}) {
        b.either(QStringLiteral("GIF LZW code size %1.gif").arg(codeSize),
                 withGifLzwSize(gif, codeSize));
    }
    b.either(QStringLiteral("GIF LZW codes all ones.gif"),
             withGifCodes(gif, QByteArray(40, char(0xff))));
    b.either(QStringLiteral("GIF LZW codes random.gif"), withGifCodes(gif, randomBytes(99, 200)));
    b.either(QStringLiteral("GIF LZW codes all zero.gif"), withGifCodes(gif, QByteArray(200, 0)));
    QByteArray shortBlocks = gif;
    shortBlocks[descriptor + kGifFirstBlock] = char(1);
    b.either(QStringLiteral("GIF data blocks misnumbered.gif"), shortBlocks);
    QByteArray noBlocks = gif;
    noBlocks[descriptor + kGifFirstBlock] = char(0);
    b.either(QStringLiteral("GIF data block of 0 bytes.gif"), noBlocks);
}

} // namespace

QList<Entry> corpus()
{
    Builder builder;
    addGoodFiles(builder);
    addNotPictures(builder);
    addRandomBytes(builder);
    addJpegDamage(builder);
    addBmpDamage(builder);
    addBombs(builder);
    addGifDamage(builder);
    return builder.entries();
}

QByteArray runLengthBmp(QSize claimed, bool fourBit, const QByteArray& codes)
{
    return rleBmp(claimed.width(), claimed.height(), fourBit ? kBmpRle4 : kBmpRle8, codes);
}

QRgb runLengthColour(int index)
{
    return qRgb(index, 255 - index, (index * 7 + 64) % 256);
}

QString create(const QDir& dir, const Entry& entry)
{
    if (entry.directory) {
        dir.mkpath(entry.name);
        return dir.filePath(entry.name);
    }
    return TestPictures::writeFile(dir, entry.name, entry.bytes);
}

} // namespace BadPictures
