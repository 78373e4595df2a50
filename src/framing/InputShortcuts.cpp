// Kestrova — identity photo maker.
#include "InputShortcuts.h"

#include "FrameNudge.h"

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
    switch (key) {
    case Qt::Key_Left:
        return KeyCommand::NudgeLeft;
    case Qt::Key_Right:
        return KeyCommand::NudgeRight;
    case Qt::Key_Up:
        return KeyCommand::NudgeUp;
    case Qt::Key_Down:
        return KeyCommand::NudgeDown;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return KeyCommand::ZoomIn;
    case Qt::Key_Minus:
        return KeyCommand::ZoomOut;
    default:
        return KeyCommand::None;
    }
}

short nudgeDirectionOf(KeyCommand command)
{
    switch (command) {
    case KeyCommand::NudgeLeft:
        return kNudgeLeft;
    case KeyCommand::NudgeRight:
        return kNudgeRight;
    case KeyCommand::NudgeUp:
        return kNudgeUp;
    case KeyCommand::NudgeDown:
        return kNudgeDown;
    default:
        return kNudgeNone;
    }
}

int WheelSteps::add(int delta)
{
    m_remainder += delta;
    const int steps = m_remainder / kWheelNotch;
    m_remainder -= steps * kWheelNotch;
    return steps;
}
