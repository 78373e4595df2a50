// Kestrova — identity photo maker.
#pragma once

#include <QString>

/// The program's caption texts, kept with its other assets. Keys are
/// "<window>.<control>", e.g. "Form1.Command8".
class Captions
{
public:
    /// The caption for a key; raises AppError if the program was built without it.
    [[nodiscard]] static QString text(const char* key);
};
