// Kestrova — identity photo maker.
#pragma once

#include <QColor>

class QWidget;

/// The program's colour scheme, shared by both windows.
namespace ControlColors {

inline const QColor kWindowBack(219, 255, 184);
inline const QColor kBoxBack(242, 255, 229);
inline const QColor kLabelText(72, 204, 66);
inline const QColor kEntryText(0, 192, 0);
inline const QColor kLinkHover(255, 0, 0);
inline const QColor kDivider(0, 192, 0);

/// A window's own back colour, which its transparent labels show through.
void setWindowBackColor(QWidget* window, QColor color);
/// A control's text colour, whatever kind of control draws it.
void setTextColor(QWidget* widget, QColor color);
/// An entry's or drop-down's back colour; a drop-down that is not editable
/// paints its face with the button colour.
void setBackColor(QWidget* widget, QColor color);

} // namespace ControlColors
