// Kestrova — identity photo maker.
#include "ControlColors.h"

#include <QPalette>
#include <QWidget>

namespace ControlColors {

void setWindowBackColor(QWidget* window, QColor color)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, color);
    window->setPalette(palette);
}

void setTextColor(QWidget* widget, QColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

void setBackColor(QWidget* widget, QColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Button, color);
    widget->setPalette(palette);
}

} // namespace ControlColors
