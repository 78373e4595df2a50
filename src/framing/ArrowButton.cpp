// Kestrova — identity photo maker.
#include "ArrowButton.h"

ArrowButton::ArrowButton(const QString& text, short direction, QWidget* parent)
    : QPushButton(text, parent), m_direction(direction)
{}

void ArrowButton::mousePressEvent(QMouseEvent* event)
{
    // QPushButton only reacts to the left button; the nudge takes any. A
    // double click's second press comes through here too.
    emit nudgePressed(m_direction);
    QPushButton::mousePressEvent(event);
}

void ArrowButton::mouseReleaseEvent(QMouseEvent* event)
{
    emit nudgeReleased();
    QPushButton::mouseReleaseEvent(event);
}
