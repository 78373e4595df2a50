// Kestrova — identity photo maker.
#include "PhotoPlacement.h"

#include "platform/Rounding.h"

namespace {

// A photo that has moved right of (or below) the edge snaps back to it; one
// that has moved so far left that a gap would open on the right snaps its
// right edge to the client edge instead. A photo narrower than the work area
// thus always snaps to one side or the other.
double clamp(double position, double clientExtent, float photoExtent)
{
    if (position >= 1.0) {
        return 0.0;
    }
    const double minimum = double(clientExtent) - double(photoExtent);
    if (minimum > position) {
        return roundHalfEven(minimum);
    }
    return position;
}

} // namespace

void PhotoPlacement::resetForOpen(PhotoGeometry& photo, QSize naturalPixels, TwipsScale tpp)
{
    photo.stretch = false;
    if (!naturalPixels.isEmpty()) {
        takeNaturalSize(photo, naturalPixels, tpp);
    }
    photo.left = 0.0f;
    photo.top = 0.0f;
}

void PhotoPlacement::takeNaturalSize(PhotoGeometry& photo, QSize pixels, TwipsScale tpp)
{
    photo.width = tpp.toTwipsX(pixels.width());
    photo.height = tpp.toTwipsY(pixels.height());
}

void PhotoPlacement::zoom(PhotoGeometry& photo, float factor)
{
    photo.stretch = true;
    photo.left = 0.0f;
    photo.top = 0.0f;
    const float width = photo.width;
    const float widthChange = width * factor;
    const float height = photo.height;
    const float heightChange = height * factor;
    // Beyond it the pixel sizes overflow and the photo vanishes from the work area.
    if (width - widthChange > kMaxZoomedTwips || height - heightChange > kMaxZoomedTwips) {
        return;
    }
    photo.width = width - widthChange;
    photo.height = height - heightChange;
}

QPoint PhotoPlacement::dragAnchor(QPointF pointerTwips)
{
    return QPoint(int(roundHalfEven(pointerTwips.x())), int(roundHalfEven(pointerTwips.y())));
}

QPointF PhotoPlacement::dragStep(const PhotoGeometry& photo, QPointF pointerTwips, QPoint anchor,
                                 TwipsScale tpp, QSizeF clientTwips)
{
    // The pointer's offset from the anchor is divided by the twips-per-pixel
    // factor, so the photo creeps after the pointer by a fraction of the
    // offset on each move rather than following it one to one.
    const double nx = roundHalfEven((pointerTwips.x() - anchor.x()) / double(tpp.x) + photo.left);
    const double ny = roundHalfEven((pointerTwips.y() - anchor.y()) / double(tpp.y) + photo.top);
    return QPointF(clamp(nx, clientTwips.width(), photo.width),
                   clamp(ny, clientTwips.height(), photo.height));
}
