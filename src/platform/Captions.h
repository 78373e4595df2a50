// Kestrova — identity photo maker.
#pragma once

#include <QString>

#include <optional>

/// The program's caption texts, kept with its other assets. Keys are
/// "<window>.<control>", e.g. "Form1.Command8".
class Captions
{
public:
    /// The caption for a key, if the program was built with it.
    [[nodiscard]] static std::optional<QString> find(const char* key);
    /// The caption for a key; a program built without it stops at once.
    [[nodiscard]] static QString text(const char* key);
};
