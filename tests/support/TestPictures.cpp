// Kestrova — identity photo maker.
#include "TestPictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace TestPictures {

namespace {

quint32 hash(quint32 x, quint32 y)
{
    quint32 h = x * 73856093u ^ y * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

/// GIF's variable-width codes, least significant bit first.
class BitWriter
{
public:
    void write(int code, int width)
    {
        m_bits |= quint32(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_count > 0) {
            m_bytes.append(char(m_bits & 0xff));
        }
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_bits = 0;
    int m_count = 0;
};

// Literal codes only, with a clear code before the table would outgrow nine
// bits: valid LZW that any decoder reads, without writing a compressor.
QByteArray lzwLiterals(const QImage& frame)
{
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kLiteralsPerClear = 250;
    BitWriter bits;
    int sinceClear = kLiteralsPerClear;
    for (int y = 0; y < frame.height(); ++y) {
        const uchar* row = frame.constScanLine(y);
        for (int x = 0; x < frame.width(); ++x) {
            if (sinceClear == kLiteralsPerClear) {
                bits.write(kClear, 9);
                sinceClear = 0;
            }
            bits.write(row[x], 9);
            ++sinceClear;
        }
    }
    bits.write(kEnd, 9);
    return bits.finish();
}

} // namespace

QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = std::max(1, size.width());
    const int h = std::max(1, size.height());
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int shade = int(96 + 64 * std::sin(y * 6.2831853 / h));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(hash(quint32(x), quint32(y)) & 31) - 16;
            const bool line = (x % 97) < 2 || (y % 89) < 2;
            const int r = std::clamp(x * 255 / w + grain, 0, 255);
            const int g = std::clamp(y * 255 / h + grain, 0, 255);
            const int b = line ? 20 : std::clamp(shade + grain, 0, 255);
            row[x] = qRgb(r, g, b);
        }
    }
    return image;
}

QImage palettePattern(QSize size, const QList<QRgb>& palette)
{
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable(palette);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            row[x] = uchar(hash(quint32(x), quint32(y)) % quint32(palette.size()));
        }
    }
    return image;
}

QByteArray bmpFile(const QImage& image, int bitsPerPixel, bool topDown)
{
    const int width = image.width();
    const int height = image.height();
    const int paletteSize = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
    const int rowBytes = ((width * bitsPerPixel + 31) / 32) * 4;
    const int dataOffset = 14 + 40 + paletteSize * 4;

    QByteArray out;
    out.append("BM");
    appendLe32(out, dataOffset + qint64(rowBytes) * height);
    appendLe32(out, 0);
    appendLe32(out, dataOffset);
    appendLe32(out, 40);
    appendLe32(out, width);
    appendLe32(out, topDown ? -height : height);
    appendLe16(out, 1);
    appendLe16(out, bitsPerPixel);
    appendLe32(out, 0); // BI_RGB: 16 bits are 5-5-5, 32 bits leave the top byte unused
    appendLe32(out, qint64(rowBytes) * height);
    appendLe32(out, 2835);
    appendLe32(out, 2835);
    appendLe32(out, paletteSize);
    appendLe32(out, 0);
    for (int i = 0; i < paletteSize; ++i) {
        const QRgb c = i < image.colorCount() ? image.color(i) : 0;
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const QRgb c = image.pixel(x, y);
            switch (bitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const int index = image.pixelIndex(x, y);
                const int bit = x * bitsPerPixel;
                const int shift = 8 - bitsPerPixel - bit % 8;
                row[bit / 8] = char(uchar(row[bit / 8]) | (index << shift));
                break;
            }
            case 16: {
                const int v = (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3);
                row[x * 2] = char(v & 0xff);
                row[x * 2 + 1] = char(v >> 8);
                break;
            }
            default: {
                const int bytes = bitsPerPixel / 8;
                row[x * bytes] = char(qBlue(c));
                row[x * bytes + 1] = char(qGreen(c));
                row[x * bytes + 2] = char(qRed(c));
                break;
            }
            }
        }
        out.append(row);
    }
    return out;
}

QByteArray os2BmpFile(const QImage& image)
{
    constexpr int kBits = 24;
    constexpr int kCoreHeaderBytes = 12;
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = ((width * kBits + 31) / 32) * 4;
    const int dataOffset = 14 + kCoreHeaderBytes;

    QByteArray out;
    out.append("BM");
    appendLe32(out, dataOffset + qint64(rowBytes) * height);
    appendLe32(out, 0);
    appendLe32(out, dataOffset);
    appendLe32(out, kCoreHeaderBytes);
    appendLe16(out, width);
    appendLe16(out, height);
    appendLe16(out, 1);
    appendLe16(out, kBits);
    return out + bottomUpBgrRows(image);
}

QByteArray gifFile(const QList<QImage>& frames, int transparentIndex)
{
    const QImage& first = frames.first();
    QByteArray out("GIF89a");
    appendLe16(out, first.width());
    appendLe16(out, first.height());
    out.append(char(0xf7)); // a global table of 256 colours
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < first.colorCount() ? first.color(i) : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (frames.size() > 1) {
        out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    }
    for (const QImage& frame : frames) {
        out.append("\x21\xf9\x04", 3);
        out.append(char(transparentIndex >= 0 ? 0x09 : 0x08)); // restore to background
        appendLe16(out, 10);
        out.append(char(transparentIndex >= 0 ? transparentIndex : 0));
        out.append(char(0));
        out.append(char(0x2c));
        appendLe16(out, 0);
        appendLe16(out, 0);
        appendLe16(out, frame.width());
        appendLe16(out, frame.height());
        out.append(char(0));
        out.append(char(8));
        const QByteArray data = lzwLiterals(frame);
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3b));
    return out;
}

QByteArray jpegFile(const QImage& image, int quality, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

namespace {

/// A JPEG written by libjpeg itself: configure sets what differs from its
/// defaults, fillRow(y, row) gives each row's samples.
template <typename Configure, typename FillRow>
QByteArray libjpegFile(QSize size, int components, J_COLOR_SPACE space, Configure configure,
                       FillRow fillRow)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    configure(info);
    jpeg_start_compress(&info, TRUE);
    QByteArray row(size.width() * components, '\0');
    while (info.next_scanline < info.image_height) {
        fillRow(int(info.next_scanline), reinterpret_cast<uchar*>(row.data()));
        JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row.data())};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(length));
    std::free(buffer);
    return bytes;
}

} // namespace

QByteArray cmykJpegFile(QSize size, uchar c, uchar m, uchar y, uchar k, bool ycck)
{
    return libjpegFile(
        size, 4, JCS_CMYK,
        [ycck](jpeg_compress_struct& info) {
            jpeg_set_colorspace(&info, ycck ? JCS_YCCK : JCS_CMYK);
            jpeg_set_quality(&info, 95, TRUE);
        },
        [&](int, uchar* row) {
            for (int x = 0; x < size.width(); ++x) {
                uchar* pixel = row + x * 4;
                pixel[0] = uchar(255 - c);
                pixel[1] = uchar(255 - m);
                pixel[2] = uchar(255 - y);
                pixel[3] = uchar(255 - k);
            }
        });
}

QByteArray sampledJpegFile(const QImage& image, QSize lumaSampling, int restartRows)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return libjpegFile(
        rgb.size(), 3, JCS_RGB,
        [&](jpeg_compress_struct& info) {
            jpeg_set_quality(&info, 90, TRUE);
            info.comp_info[0].h_samp_factor = lumaSampling.width();
            info.comp_info[0].v_samp_factor = lumaSampling.height();
            info.restart_in_rows = restartRows;
        },
        [&](int y, uchar* row) { std::copy_n(rgb.constScanLine(y), rgb.width() * 3, row); });
}

QByteArray pngFile(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray withExifOrientation(QByteArray jpeg, int orientation)
{
    QByteArray tiff("II*\0", 4);
    appendLe32(tiff, 8); // the first directory follows the header
    appendLe16(tiff, 1);
    appendLe16(tiff, 0x0112);
    appendLe16(tiff, 3); // SHORT
    appendLe32(tiff, 1);
    appendLe16(tiff, orientation);
    appendLe16(tiff, 0);
    appendLe32(tiff, 0);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xff\xe1", 2);
    segment.append(char((payload.size() + 2) >> 8));
    segment.append(char((payload.size() + 2) & 0xff));
    segment.append(payload);
    return jpeg.insert(2, segment);
}

QByteArray withJpegSize(QByteArray jpeg, QSize claimed)
{
    qsizetype at = 2;
    while (at + 4 < jpeg.size()) {
        const auto marker = uchar(jpeg[at + 1]);
        const int length = uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]);
        if (marker == 0xc0 || marker == 0xc2) {
            jpeg[at + 5] = char(claimed.height() >> 8);
            jpeg[at + 6] = char(claimed.height() & 0xff);
            jpeg[at + 7] = char(claimed.width() >> 8);
            jpeg[at + 8] = char(claimed.width() & 0xff);
            return jpeg;
        }
        at += 2 + length;
    }
    return jpeg;
}

QString writeLargeJpeg(const QDir& dir, const QString& name, QSize claimed)
{
    return writeFile(dir, name, withJpegSize(jpegFile(photoLike(QSize(64, 64))), claimed));
}

QByteArray withRepeatedScan(QByteArray jpeg, int times)
{
    // The last scan runs from its SOS marker to the EOI at the end.
    const qsizetype start = jpeg.lastIndexOf(QByteArray("\xff\xda", 2));
    const qsizetype end = jpeg.size() - 2;
    const QByteArray scan = jpeg.mid(start, end - start);
    QByteArray repeats;
    for (int i = 0; i < times; ++i) {
        repeats.append(scan);
    }
    return jpeg.insert(end, repeats);
}

QString writeFile(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return path;
}

QImage coordinatePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, coordinate(x, y));
        }
    }
    return image;
}

QRgb coordinate(int x, int y)
{
    return qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256);
}

void appendLe16(QByteArray& out, quint32 value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void appendLe32(QByteArray& out, qint64 value)
{
    appendLe16(out, quint32(value & 0xffff));
    appendLe16(out, quint32((value >> 16) & 0xffff));
}

QByteArray bottomUpBgrRows(const QImage& image)
{
    const int rowBytes = ((image.width() * 24 + 31) / 32) * 4;
    QByteArray out;
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            row[x * 3] = char(qBlue(c));
            row[x * 3 + 1] = char(qGreen(c));
            row[x * 3 + 2] = char(qRed(c));
        }
        out.append(row);
    }
    return out;
}

} // namespace TestPictures
