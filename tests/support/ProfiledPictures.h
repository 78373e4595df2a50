// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>
#include <QImage>

/// ICC colour profiles made with littleCMS, and pictures that carry them.
namespace ProfiledPictures {

/// The primaries and white point of an RGB space, as CIE xy.
struct Primaries
{
    double red[2];
    double green[2];
    double blue[2];
    double white[2];
};

/// Display P3, as phones record: P3 primaries, D65 white, sRGB's curve.
inline constexpr Primaries kDisplayP3{
    {0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, {0.3127, 0.3290}};
/// Adobe RGB (1998), as cameras record: a pure power curve of 563/256.
inline constexpr Primaries kAdobeRgb{
    {0.640, 0.330}, {0.210, 0.710}, {0.150, 0.060}, {0.3127, 0.3290}};
inline constexpr Primaries kSrgb{{0.640, 0.330}, {0.300, 0.600}, {0.150, 0.060}, {0.3127, 0.3290}};
inline constexpr double kAdobeGamma = 563.0 / 256.0;

[[nodiscard]] QByteArray displayP3Profile();
[[nodiscard]] QByteArray adobeRgbProfile();
/// A grey profile whose curve is a pure power of gamma.
[[nodiscard]] QByteArray greyProfile(double gamma);
/// A Lab profile: a valid profile, but of no space a picture is stored in.
[[nodiscard]] QByteArray labProfile();

/// The JPEG with the profile in APP2 markers after SOI, chunkBytes of it per
/// marker; dropChunk (1-based) leaves one marker of the chain out.
[[nodiscard]] QByteArray withIccProfile(const QByteArray& jpeg, const QByteArray& icc,
                                        int chunkBytes = 65519, int dropChunk = 0);

/// A 24-bit BMP with a version 5 header whose colour space field is csType
/// ('MBED' embedded, 'LINK' linked, 'sRGB'), with data appended after the
/// pixels and pointed at by the header (profileOffsetShift moves that pointer).
[[nodiscard]] QByteArray bmpV5File(const QImage& image, quint32 csType, const QByteArray& data,
                                   qint64 profileOffsetShift = 0);
inline constexpr quint32 kEmbedded = 0x4D424544;
inline constexpr quint32 kLinked = 0x4C494E4B;

} // namespace ProfiledPictures
