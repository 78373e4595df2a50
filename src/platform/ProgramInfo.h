// Kestrova — identity photo maker.
#pragma once

#include <QString>

/// The program's title, shown as every window and message box caption.
inline constexpr char kProgramTitle[] = "Kestrova";

[[nodiscard]] QString programTitle();

/// The folder the executable runs from, exactly as the platform reports it.
[[nodiscard]] QString programDirectory();
