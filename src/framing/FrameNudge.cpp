// Kestrova — identity photo maker.
#include "FrameNudge.h"

bool FrameNudge::step(FramePosition& frame, short direction)
{
    // The right test admits equality while the bottom test does not, and the
    // snap positions leave the frame's outline two pixels beyond the client
    // edge: that is where the frame has always stopped, and the capture reads
    // from there unchanged.
    switch (direction) {
    case kNudgeLeft:
        if (frame.left > 0.0f) {
            frame.left -= kNudgeStepTwips;
            return true;
        }
        frame.left = 0.0f;
        return false;
    case kNudgeRight: {
        const float right = frame.left + kFrameWidthTwips;
        if (right <= kFrameRightBound) {
            frame.left += kNudgeStepTwips;
            return true;
        }
        frame.left = kFrameRightSnap;
        return false;
    }
    case kNudgeUp:
        if (frame.top > 0.0f) {
            frame.top -= kNudgeStepTwips;
            return true;
        }
        frame.top = 0.0f;
        return false;
    case kNudgeDown: {
        const float bottom = frame.top + kFrameHeightTwips;
        if (bottom < kFrameBottomBound) {
            frame.top += kNudgeStepTwips;
            return true;
        }
        frame.top = kFrameBottomSnap;
        return false;
    }
    default:
        return true;
    }
}
