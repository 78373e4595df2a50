// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

/// Renders part of a picture as it looks stretched over a display size:
/// shrinking, each pixel is the average of the source area under it (so fine
/// detail turns into its mean colour instead of aliasing); enlarging, it is
/// interpolated between the nearest source pixels (so edges stay smooth).
class AreaScaler
{
public:
    /// The pixels of region, a rectangle within (0, 0, displaySize), in the
    /// source's format; the source is Format_RGB32 or Format_ARGB32_Premultiplied.
    [[nodiscard]] static QImage render(const QImage& source, QSize displaySize,
                                       const QRect& region);
};
