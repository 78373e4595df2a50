// Kestrova — identity photo maker.
#pragma once

#include "FrameNudge.h"
#include "PhotoPlacement.h"
#include "platform/Twips.h"

#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <optional>

/// Where a photo standard puts the head in the 120 x 180 capture, in capture
/// pixels from its top-left corner, pixel (i, j) covering [i, i + 1) x [j, j + 1):
/// x = 60 is the exact middle of the width. Face upright, scale and position only.
struct HeadStandard
{
    double eyeMidpointX = 0.0;
    double eyeMidpointY = 0.0;
    double chinY = 0.0;
};

/// Chinese exam and ID photos: eyes to chin 57 pixels puts a typical adult's
/// head, crown to chin, at about two thirds of the height, the crown about a
/// tenth below the top edge.
inline constexpr HeadStandard kChineseIdHead{60.0, 81.0, 138.0};

/// The photo's and the frame's placement for a framed head.
struct HeadPlacement
{
    PhotoGeometry photo;
    FramePosition frame;
};

/// The one-step framings: a head placed by a standard, and the whole photo.
class HeadFraming
{
public:
    /// Scales the photo so the eyes-to-chin height matches the standard and places photo and
    /// frame so the eyes' midpoint lands where the standard wants it; where the photo's edges
    /// forbid that, the reachable placement closest to it at the same scale. The points are in
    /// the photo's own pixels, in the same convention as the standard's. None for an empty
    /// picture, points that are not finite, a chin not below the eyes, or a photo that would
    /// have to grow past kMaxZoomedTwips.
    [[nodiscard]] static std::optional<HeadPlacement>
    place(QSize naturalPixels, QPointF eyeMidpoint, QPointF chin, TwipsScale tpp,
          QSizeF clientTwips, const HeadStandard& standard = kChineseIdHead);

    /// The whole photo at the largest size that fits the client area, aspect kept, at its
    /// top-left corner; none for an empty picture.
    [[nodiscard]] static std::optional<PhotoGeometry>
    wholePhoto(QSize naturalPixels, TwipsScale tpp, QSizeF clientTwips);
};
