// Kestrova — identity photo maker.
#pragma once

#include <QFont>

/// The font of every caption, box and dialog: a CJK font at the size the
/// windows' twips layout was drawn for, so each caption fits its box.
[[nodiscard]] QFont interfaceFont();
