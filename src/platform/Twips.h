// Kestrova — identity photo maker.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

/// Twips per inch; positions and sizes are held in twips (1/1440 inch).
inline constexpr float kTwipsPerInch = 1440.0f;

/// The display's twips-per-pixel factors (15 on a 96-dpi display).
struct TwipsScale
{
    float x = 15.0f;
    float y = 15.0f;

    /// Factors for a display of the given logical dots per inch.
    [[nodiscard]] static TwipsScale fromDpi(double dpiX, double dpiY);

    /// Pixel count for a horizontal twips value, rounded half to even; kept within
    /// +/-16777215 (Qt's largest widget size), and 0 for a value that is not a number.
    [[nodiscard]] int toPixelsX(double twips) const;
    /// Pixel count for a vertical twips value, rounded half to even, kept in range as toPixelsX.
    [[nodiscard]] int toPixelsY(double twips) const;
    /// A twips rectangle (left, top, width, height) in pixels.
    [[nodiscard]] QRect toPixels(double left, double top, double width, double height) const;
    /// A twips rectangle in pixels, each of its four values rounded as above.
    [[nodiscard]] QRect toPixels(const QRectF& twips) const;
    [[nodiscard]] QPoint toPixels(QPointF twips) const;
    [[nodiscard]] QSize toPixels(QSizeF twips) const;
    /// A pixel size in twips.
    [[nodiscard]] float toTwipsX(double pixels) const { return float(pixels * x); }
    [[nodiscard]] float toTwipsY(double pixels) const { return float(pixels * y); }
    [[nodiscard]] QPointF toTwips(QPointF pixels) const
    {
        return QPointF(toTwipsX(pixels.x()), toTwipsY(pixels.y()));
    }
    [[nodiscard]] QSizeF toTwips(QSizeF pixels) const
    {
        return QSizeF(toTwipsX(pixels.width()), toTwipsY(pixels.height()));
    }
};
