// Kestrova — identity photo maker.
#include "Twips.h"

#include "Rounding.h"

TwipsScale TwipsScale::fromDpi(double dpiX, double dpiY)
{
    return TwipsScale{float(kTwipsPerInch / dpiX), float(kTwipsPerInch / dpiY)};
}

int TwipsScale::toPixelsX(double twips) const
{
    return int(roundHalfEven(twips / x));
}

int TwipsScale::toPixelsY(double twips) const
{
    return int(roundHalfEven(twips / y));
}

QRect TwipsScale::toPixels(double left, double top, double width, double height) const
{
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}
