// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>

class QImage;

/// What an encoding produced: the JPEG bytes, or a non-zero save status.
struct EncodedJpeg
{
    QByteArray bytes;
    int status = 0;
};

/// Encodes a picture as a baseline JFIF JPEG, YCbCr 4:2:0 with Huffman tables fitted to
/// the picture; quality is on libjpeg's 0-100 scale and clamped the way libjpeg clamps it.
[[nodiscard]] EncodedJpeg encodeJpeg(const QImage& picture, int quality);
