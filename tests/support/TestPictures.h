// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

class QDir;

/// Picture files made on the spot, so no test depends on files from elsewhere.
namespace TestPictures {

/// A photo-like picture: smooth gradients, sharp lines and fine grain, the same every time.
[[nodiscard]] QImage photoLike(QSize size);
/// Every pixel tells where it came from: red = x % 256, green = y % 256,
/// blue = the 256-pixel block.
[[nodiscard]] QImage coordinatePicture(int width, int height);
/// The colour coordinatePicture gives the pixel at (x, y).
[[nodiscard]] QRgb coordinate(int x, int y);
/// A picture of blocks in the palette's colours, different along every row and column.
[[nodiscard]] QImage palettePattern(QSize size, const QList<QRgb>& palette);

/// A BMP file written by hand, at 1, 4, 8 (palette images), 16, 24 or 32 bits.
[[nodiscard]] QByteArray bmpFile(const QImage& image, int bitsPerPixel, bool topDown);
/// A 24-bit BMP with the 12-byte OS/2 1.x header, rows stored bottom-up.
[[nodiscard]] QByteArray os2BmpFile(const QImage& image);
/// A GIF of Format_Indexed8 frames sharing the first frame's colours;
/// transparentIndex < 0 means no transparent colour.
[[nodiscard]] QByteArray gifFile(const QList<QImage>& frames, int transparentIndex);
[[nodiscard]] QByteArray jpegFile(const QImage& image, int quality = 90, bool progressive = false);
/// A JPEG whose luminance is sampled lumaSampling times as densely as its
/// colour (2 x 2 is 4:2:0, 1 x 1 is 4:4:4), with a restart marker every
/// restartRows rows of MCUs when not 0.
[[nodiscard]] QByteArray sampledJpegFile(const QImage& image, QSize lumaSampling,
                                         int restartRows = 0);
/// A four-channel JPEG as Adobe writes it: every value stored inverted.
[[nodiscard]] QByteArray cmykJpegFile(QSize size, uchar c, uchar m, uchar y, uchar k, bool ycck);
[[nodiscard]] QByteArray pngFile(const QImage& image);

/// The JPEG with an EXIF block carrying the orientation tag inserted after SOI.
[[nodiscard]] QByteArray withExifOrientation(QByteArray jpeg, int orientation);
/// The JPEG with its frame header claiming another size; its data stays as it was.
[[nodiscard]] QByteArray withJpegSize(QByteArray jpeg, QSize claimed);
/// Writes a small JPEG into dir whose header claims the given size: libjpeg
/// fills in the rest, so a decode takes all the memory of a photo that large
/// without a large file to write. Its path.
[[nodiscard]] QString writeLargeJpeg(const QDir& dir, const QString& name, QSize claimed);
/// The JPEG with its last scan repeated, as a file crafted to keep a decoder busy.
[[nodiscard]] QByteArray withRepeatedScan(QByteArray jpeg, int times);

/// Little-endian fields, as BMP headers and ICC tags other than the profile's own hold them.
void appendLe16(QByteArray& out, quint32 value);
void appendLe32(QByteArray& out, qint64 value);

/// The pixels as an uncompressed 24-bit BMP stores them: bottom row first,
/// blue-green-red, each row padded to four bytes.
[[nodiscard]] QByteArray bottomUpBgrRows(const QImage& image);

/// Writes bytes to dir/name and returns the full path.
QString writeFile(const QDir& dir, const QString& name, const QByteArray& bytes);

} // namespace TestPictures
