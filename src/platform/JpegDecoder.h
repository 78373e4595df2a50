// Kestrova — identity photo maker.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QImageIOHandler>

class DecodeListener;

/// Decodes JPEG data with libjpeg-turbo straight into the image's own memory,
/// turning it upright while the rows are written, so a large photo never
/// exists twice.
class JpegDecoder
{
public:
    /// The picture as Format_RGB32, turned by transformation; null when libjpeg
    /// fails before the first rows or the picture has more than maxPixels
    /// pixels. A fatal error after them leaves the rest grey, as a truncated
    /// file does. A listener is shown the picture while it is decoded.
    [[nodiscard]] static QImage decode(QByteArrayView data,
                                       QImageIOHandler::Transformations transformation,
                                       qint64 maxPixels, DecodeListener* listener = nullptr);
};
