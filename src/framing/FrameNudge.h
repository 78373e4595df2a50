// Kestrova — identity photo maker.
#pragma once

/// Directions the arrow buttons set; any other value moves nothing.
enum NudgeDirectionValue : short
{
    kNudgeNone = 0,
    kNudgeLeft = 1,
    kNudgeRight = 2,
    kNudgeUp = 3,
    kNudgeDown = 4,
};

/// The crop frame's fixed size and bounds, in twips.
inline constexpr float kFrameWidthTwips = 1830.0f;
inline constexpr float kFrameHeightTwips = 2730.0f;
inline constexpr float kNudgeStepTwips = 15.0f;
inline constexpr float kFrameRightBound = 3600.0f;
inline constexpr float kFrameRightSnap = 1800.0f;
inline constexpr float kFrameBottomBound = 5400.0f;
inline constexpr float kFrameBottomSnap = 2700.0f;

struct FramePosition
{
    float left = 0.0f;
    float top = 0.0f;

    friend bool operator==(const FramePosition&, const FramePosition&) = default;
};

/// One timer tick of frame nudging.
class FrameNudge
{
public:
    /// Moves the frame one step; returns false when it hit an edge and the timer must stop.
    [[nodiscard]] static bool step(FramePosition& frame, short direction);
};
