// Kestrova — identity photo maker.
#include "CaptureGeometry.h"

QRect captureSourceRect(FramePosition frame, TwipsScale tpp)
{
    const int x = tpp.toPixelsX(frame.left);
    const int y = tpp.toPixelsY(frame.top);
    return QRect(QPoint(x + 1, y + 1), kCaptureSize);
}
