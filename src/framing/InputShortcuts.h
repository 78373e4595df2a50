// Kestrova — identity photo maker.
#pragma once

#include <Qt>

/// What a key does in the main window.
enum class KeyCommand
{
    None,
    /// An arrow key: nudges the frame while it is held.
    Nudge,
    ZoomIn,
    ZoomOut,
    Open,
    Save,
    /// Frames the head of the largest face.
    AutoFrame,
    /// Shows the whole photo.
    WholePhoto,
};

/// The command a key press (or release, for the arrows) stands for.
[[nodiscard]] KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers);

/// The nudge direction of an arrow key, 0 for any other key.
[[nodiscard]] short nudgeDirectionOfKey(int key);

/// Turns wheel deltas into whole zoom steps: one step per notch of 120
/// units, so high-resolution wheels that report small deltas add up to the
/// same steps as a notched wheel.
class WheelSteps
{
public:
    /// Adds a delta (positive away from the user) and returns the whole steps it completes.
    [[nodiscard]] int add(int delta);

private:
    int m_remainder = 0;
};
