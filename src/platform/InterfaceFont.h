// Kestrova — identity photo maker.
#pragma once

#include <QFont>

/// The font of every caption, box and dialog: a CJK font at the size the
/// windows' twips layout was drawn for, so each caption fits its box.
[[nodiscard]] QFont interfaceFont();
/// The interface font for a caption that is a symbol, such as ◎: the CJK
/// font draws geometric shapes at half the size of its other glyphs, so a face
/// that draws them to match the arrows comes first.
[[nodiscard]] QFont symbolFont();
