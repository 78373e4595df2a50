// Kestrova — identity photo maker.
#include "InputShortcuts.h"

#include "NudgeArrows.h"

#include <algorithm>

namespace {

constexpr int kWheelNotch = 120;

} // namespace

KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers)
{
    // The keypad sends the same keys with KeypadModifier; Shift is needed for
    // "+" on most layouts. Neither changes the command.
    const Qt::KeyboardModifiers significant = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (significant == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_O:
            return KeyCommand::Open;
        case Qt::Key_S:
            return KeyCommand::Save;
        default:
            return KeyCommand::None;
        }
    }
    if (significant != Qt::NoModifier) {
        return KeyCommand::None;
    }
    if (nudgeDirectionOfKey(key) != kNudgeNone) {
        return KeyCommand::Nudge;
    }
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return KeyCommand::ZoomIn;
    case Qt::Key_Minus:
        return KeyCommand::ZoomOut;
    case Qt::Key_A:
        return KeyCommand::AutoFrame;
    case Qt::Key_F:
        return KeyCommand::WholePhoto;
    default:
        return KeyCommand::None;
    }
}

short nudgeDirectionOfKey(int key)
{
    const auto arrow = std::find_if(kNudgeArrows.begin(), kNudgeArrows.end(),
                                    [key](const NudgeArrow& a) { return a.key == key; });
    return arrow == kNudgeArrows.end() ? short(kNudgeNone) : arrow->direction;
}

int WheelSteps::add(int delta)
{
    m_remainder += delta;
    const int steps = m_remainder / kWheelNotch;
    m_remainder -= steps * kWheelNotch;
    return steps;
}
