// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

#include <cmath>

/// What the markers of a JPEG file say about how it was coded.
struct JpegLayout
{
    bool startsWithSoi = false;
    bool hasJfifHeader = false;
    int frameMarker = 0; ///< 0xC0 for baseline.
    int width = 0;
    int height = 0;
    QList<int> sampling; ///< Each component's sampling byte: 0x22 is 2 x 2.
    int quantisationTables = 0;
    QList<int> huffmanSymbolCounts; ///< Symbols in each Huffman table, in file order.
    bool endsWithEoi = false;
};

/// Reads the marker segments up to the first scan.
inline JpegLayout inspectJpeg(const QByteArray& bytes)
{
    JpegLayout layout;
    auto byteAt = [&bytes](qsizetype at) { return int(static_cast<unsigned char>(bytes.at(at))); };
    layout.startsWithSoi = bytes.size() >= 4 && byteAt(0) == 0xFF && byteAt(1) == 0xD8;
    layout.endsWithEoi =
        bytes.size() >= 4 && byteAt(bytes.size() - 2) == 0xFF && byteAt(bytes.size() - 1) == 0xD9;
    qsizetype at = 2;
    while (layout.startsWithSoi && at + 4 <= bytes.size() && byteAt(at) == 0xFF) {
        const int marker = byteAt(at + 1);
        const qsizetype length = byteAt(at + 2) * 256 + byteAt(at + 3);
        const qsizetype body = at + 4;
        if (body + length - 2 > bytes.size()) {
            break;
        }
        if (marker == 0xE0 && bytes.mid(body, 5) == QByteArray("JFIF\0", 5)) {
            layout.hasJfifHeader = true;
        } else if (marker >= 0xC0 && marker <= 0xC3) {
            layout.frameMarker = marker;
            layout.height = byteAt(body + 1) * 256 + byteAt(body + 2);
            layout.width = byteAt(body + 3) * 256 + byteAt(body + 4);
            const int components = byteAt(body + 5);
            for (int i = 0; i < components; ++i) {
                layout.sampling << byteAt(body + 6 + 3 * i + 1);
            }
        } else if (marker == 0xDB) {
            for (qsizetype t = body; t < body + length - 2;) {
                const bool wide = (byteAt(t) >> 4) != 0;
                ++layout.quantisationTables;
                t += 1 + (wide ? 128 : 64);
            }
        } else if (marker == 0xC4) {
            for (qsizetype t = body; t < body + length - 2;) {
                int symbols = 0;
                for (int i = 1; i <= 16; ++i) {
                    symbols += byteAt(t + i);
                }
                layout.huffmanSymbolCounts << symbols;
                t += 17 + symbols;
            }
        } else if (marker == 0xDA) {
            break;
        }
        at = body + length - 2;
    }
    return layout;
}

/// Peak signal-to-noise ratio of two same-sized pictures over their RGB channels, in dB.
inline double psnr(const QImage& first, const QImage& second)
{
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    double squares = 0.0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) {
                squares += double(d) * d;
            }
        }
    }
    const double mean = squares / (3.0 * a.width() * a.height());
    return mean == 0.0 ? INFINITY : 10.0 * std::log10(255.0 * 255.0 / mean);
}
