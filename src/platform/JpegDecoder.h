// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QImageIOHandler>

class DecodeListener;
class QIODevice;

/// Decodes JPEG data with libjpeg-turbo straight into the image's own memory,
/// turning it upright while the rows are written, so a large photo never
/// exists twice. The file is read as the decode goes, never held whole.
class JpegDecoder
{
public:
    /// The picture as Format_RGB32, turned by transformation; null when libjpeg
    /// fails before the first rows or the picture has more than maxPixels
    /// pixels. A fatal error after them leaves the rest grey, as a truncated
    /// file does. A listener is shown the picture while it is decoded.
    /// Reads at most maxBytes from device, from where it stands; a device that
    /// ends early or fails to read is taken as a truncated file. Given ahead,
    /// a second reader of the same file at its start, the part the listener
    /// wants first may be decoded from it beside the rest, and come sooner:
    /// on the thread the listener has waiting for it, if it takes the offer.
    [[nodiscard]] static QImage decode(QIODevice& device, qint64 maxBytes,
                                       QImageIOHandler::Transformations transformation,
                                       qint64 maxPixels, DecodeListener* listener = nullptr,
                                       QIODevice* ahead = nullptr);
};
