// Kestrova — identity photo maker.
#pragma once

#include "FrameNudge.h"
#include "platform/Twips.h"

#include <QRect>
#include <QSize>

/// The capture's size in pixels, whatever the display's scaling.
inline constexpr QSize kCaptureSize(120, 180);

/// The work-area pixels the capture copies for a frame position: the frame's
/// interior. The frame's 122 x 182 block is copied to (-1, -1) of the
/// 120 x 180 destination, so its outline falls outside and destination pixel
/// (i, j) is work-area pixel (x + 1 + i, y + 1 + j).
[[nodiscard]] QRect captureSourceRect(FramePosition frame, TwipsScale tpp);
