// Kestrova — identity photo maker.
#include "Twips.h"

#include "Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// Zooming in step after step, or a position that is not a number, can ask for
// any pixel count; beyond int the conversion is undefined, and no widget can
// be larger than QWIDGETSIZE_MAX pixels anyway.
constexpr double kMaxPixels = 16'777'215.0;

int clampedPixels(double pixels)
{
    if (std::isnan(pixels)) {
        return 0;
    }
    return int(std::clamp(pixels, -kMaxPixels, kMaxPixels));
}

} // namespace

TwipsScale TwipsScale::fromDpi(double dpiX, double dpiY)
{
    return TwipsScale{float(kTwipsPerInch / dpiX), float(kTwipsPerInch / dpiY)};
}

int TwipsScale::toPixelsX(double twips) const
{
    return clampedPixels(roundHalfEven(twips / x));
}

int TwipsScale::toPixelsY(double twips) const
{
    return clampedPixels(roundHalfEven(twips / y));
}

QRect TwipsScale::toPixels(double left, double top, double width, double height) const
{
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

QRect TwipsScale::toPixels(const QRectF& twips) const
{
    return toPixels(twips.x(), twips.y(), twips.width(), twips.height());
}

QPoint TwipsScale::toPixels(QPointF twips) const
{
    return QPoint(toPixelsX(twips.x()), toPixelsY(twips.y()));
}

QSize TwipsScale::toPixels(QSizeF twips) const
{
    return QSize(toPixelsX(twips.width()), toPixelsY(twips.height()));
}
