// Kestrova — identity photo maker.
#pragma once

#include "platform/Twips.h"

#include <QPoint>
#include <QPointF>
#include <QSizeF>

/// The photo's place in the work area, in twips, as the image control holds it.
struct PhotoGeometry
{
    float left = 0.0f;
    float top = 0.0f;
    float width = 4200.0f;
    float height = 5400.0f;
    /// Off: the photo shows its picture at natural size. On: scaled to width x height.
    bool stretch = false;

    friend bool operator==(const PhotoGeometry&, const PhotoGeometry&) = default;
};

/// Zoom factors of the two zoom buttons: the size is multiplied by 1 - factor.
inline constexpr float kZoomInFactor = -0.1f;
inline constexpr float kZoomOutFactor = 0.1f;

/// The largest side, in twips, a zoom step makes the photo: its size in pixels
/// stays far inside int at any display resolution, and a 1-pixel picture still
/// fills thousands of screens.
inline constexpr float kMaxZoomedTwips = 100'000'000.0f;

/// The rules for placing the photo: open, zoom and drag.
class PhotoPlacement
{
public:
    /// Before a picture is loaded: stretch off (so a picture already shown
    /// returns to its natural size), then back to the top-left corner.
    static void resetForOpen(PhotoGeometry& photo, QSize naturalPixels, TwipsScale tpp);
    /// A freshly loaded picture takes its natural size in twips.
    static void takeNaturalSize(PhotoGeometry& photo, QSize pixels, TwipsScale tpp);
    /// One zoom step; single precision throughout, so steps compound exactly as the control's
    /// values do. A step that would grow a side past kMaxZoomedTwips keeps the size.
    static void zoom(PhotoGeometry& photo, float factor);
    /// The drag anchor for a press at a pointer position in twips relative to the photo.
    [[nodiscard]] static QPoint dragAnchor(QPointF pointerTwips);
    /// The photo's new top-left after one drag move, clamped against the work area's client size.
    [[nodiscard]] static QPointF dragStep(const PhotoGeometry& photo, QPointF pointerTwips,
                                          QPoint anchor, TwipsScale tpp, QSizeF clientTwips);
};
