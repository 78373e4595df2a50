// Kestrova — identity photo maker.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

/// A left-button press and release in the middle of a control, sent straight
/// to it, as the benchmarks drive the real window without QTest's delays.
inline void pressAndRelease(QWidget* control)
{
    const QPointF centre(control->width() / 2.0, control->height() / 2.0);
    QMouseEvent down(QEvent::MouseButtonPress, centre, control->mapToGlobal(centre), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, centre, control->mapToGlobal(centre), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &up);
}
