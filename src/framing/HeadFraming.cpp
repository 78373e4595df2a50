// Kestrova — identity photo maker.
#include "HeadFraming.h"

#include "CaptureGeometry.h"
#include "platform/Rounding.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

/// One direction of the placement: everything in pixels except the frame,
/// which moves in nudge steps of twips.
struct Axis
{
    double point = 0.0;      // the face point on the shown photo
    double target = 0.0;     // where it belongs in the capture
    int photoExtent = 0;     // the shown photo's size
    int clientExtent = 0;    // the work area's client size
    float frameBound = 0.0f; // the frame's last position, its snap position
    float frameCentred = 0.0f;
};

struct AxisPlacement
{
    int photo = 0;
    float frame = 0.0f;
};

/// The frame's position in nudge steps nearest to centring it in the client area.
float centredFrame(float clientTwips, float frameTwips)
{
    return float(roundHalfEven((clientTwips - frameTwips) / 2.0f / kNudgeStepTwips)) *
           kNudgeStepTwips;
}

/// The photo positions the drag clamp can leave the photo at, nearest to ideal: anywhere
/// that leaves no gap when the photo is at least as large as the client area, otherwise
/// against one edge or the other.
int clampedPhoto(double ideal, int photoExtent, int clientExtent)
{
    const int farEdge = clientExtent - photoExtent;
    if (photoExtent >= clientExtent) {
        return int(std::clamp(roundHalfEven(ideal), double(farEdge), 0.0));
    }
    return std::abs(ideal - farEdge) < std::abs(ideal) ? farEdge : 0;
}

/// The placement along one axis that brings the point closest to its target; among equally
/// close ones the frame nearest the middle of the work area, so the user can nudge either way.
/// The frame's snap position is left out: its capture reaches past the client area, where a
/// clamped photo may end, and would add a stripe of back colour to the saved picture.
template <typename CaptureStart>
AxisPlacement placeAxis(const Axis& axis, CaptureStart captureStart)
{
    AxisPlacement best;
    double bestError = std::numeric_limits<double>::infinity();
    float bestDistance = std::numeric_limits<float>::infinity();
    for (float frame = 0.0f; frame < axis.frameBound; frame += kNudgeStepTwips) {
        const int start = captureStart(frame);
        // The point shows at start + target in the work area when the photo's left is there.
        const int photo =
            clampedPhoto(start + axis.target - axis.point, axis.photoExtent, axis.clientExtent);
        const double error = std::abs(photo + axis.point - start - axis.target);
        const float distance = std::abs(frame - axis.frameCentred);
        if (error < bestError || (error == bestError && distance < bestDistance)) {
            best = AxisPlacement{photo, frame};
            bestError = error;
            bestDistance = distance;
        }
    }
    return best;
}

bool finite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

std::optional<HeadPlacement> HeadFraming::place(QSize naturalPixels, QPointF eyeMidpoint,
                                                QPointF chin, TwipsScale tpp, QSizeF clientTwips,
                                                const HeadStandard& standard)
{
    // A point may lie a little outside the photo, as a chin cut off by its bottom edge does.
    if (naturalPixels.isEmpty() || !finite(eyeMidpoint) || !finite(chin) ||
        chin.y() <= eyeMidpoint.y()) {
        return std::nullopt;
    }
    const double scale = (standard.chinY - standard.eyeMidpointY) / (chin.y() - eyeMidpoint.y());
    const double width = std::max(1.0, roundHalfEven(naturalPixels.width() * scale));
    const double height = std::max(1.0, roundHalfEven(naturalPixels.height() * scale));
    if (width * tpp.x > kMaxZoomedTwips || height * tpp.y > kMaxZoomedTwips) {
        return std::nullopt;
    }
    // The shown size is rounded to whole pixels, so each direction keeps its own exact scale.
    const double scaleX = width / naturalPixels.width();
    const double scaleY = height / naturalPixels.height();

    const Axis horizontal{eyeMidpoint.x() * scaleX,
                          standard.eyeMidpointX,
                          int(width),
                          tpp.toPixelsX(clientTwips.width()),
                          kFrameRightSnap,
                          centredFrame(float(clientTwips.width()), kFrameWidthTwips)};
    const Axis vertical{eyeMidpoint.y() * scaleY,
                        standard.eyeMidpointY,
                        int(height),
                        tpp.toPixelsY(clientTwips.height()),
                        kFrameBottomSnap,
                        centredFrame(float(clientTwips.height()), kFrameHeightTwips)};
    const AxisPlacement x = placeAxis(horizontal, [tpp](float frame) {
        return captureSourceRect(FramePosition{frame, 0.0f}, tpp).left();
    });
    const AxisPlacement y = placeAxis(vertical, [tpp](float frame) {
        return captureSourceRect(FramePosition{0.0f, frame}, tpp).top();
    });

    HeadPlacement placement;
    placement.photo = PhotoGeometry{tpp.toTwipsX(x.photo), tpp.toTwipsY(y.photo),
                                    tpp.toTwipsX(width), tpp.toTwipsY(height), true};
    placement.frame = FramePosition{x.frame, y.frame};
    return placement;
}

std::optional<PhotoGeometry> HeadFraming::wholePhoto(QSize naturalPixels, TwipsScale tpp,
                                                     QSizeF clientTwips)
{
    if (naturalPixels.isEmpty()) {
        return std::nullopt;
    }
    const int clientWidth = tpp.toPixelsX(clientTwips.width());
    const int clientHeight = tpp.toPixelsY(clientTwips.height());
    const double scale = std::min(double(clientWidth) / naturalPixels.width(),
                                  double(clientHeight) / naturalPixels.height());
    // The side that limits the scale fills the client exactly; the other is rounded, and a
    // sliver of a photo still shows one pixel.
    const double width =
        std::clamp(roundHalfEven(naturalPixels.width() * scale), 1.0, double(clientWidth));
    const double height =
        std::clamp(roundHalfEven(naturalPixels.height() * scale), 1.0, double(clientHeight));
    return PhotoGeometry{0.0f, 0.0f, tpp.toTwipsX(width), tpp.toTwipsY(height), true};
}
