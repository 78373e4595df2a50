// Kestrova — identity photo maker.
#pragma once

#include "FrameNudge.h"

#include <Qt>

#include <array>

/// One arrow of the button pad: the direction it nudges the frame, the key
/// that does the same, and its button.
struct NudgeArrow
{
    short direction;
    Qt::Key key;
    const char* buttonName;
    const char* captionKey;
};

/// The one table of arrows; the buttons and the keyboard are both made from it.
inline constexpr std::array<NudgeArrow, 4> kNudgeArrows{{
    {kNudgeLeft, Qt::Key_Left, "Command2", "Form1.Command2"},
    {kNudgeDown, Qt::Key_Down, "Command3", "Form1.Command3"},
    {kNudgeUp, Qt::Key_Up, "Command4", "Form1.Command4"},
    {kNudgeRight, Qt::Key_Right, "Command5", "Form1.Command5"},
}};
