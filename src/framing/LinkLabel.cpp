// Kestrova — identity photo maker.
#include "LinkLabel.h"

#include "platform/ControlColors.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::setHighlighted(bool highlighted)
{
    QFont underlined = font();
    underlined.setUnderline(highlighted);
    setFont(underlined);
    ControlColors::setTextColor(this, highlighted ? ControlColors::kLinkHover
                                                  : ControlColors::kLabelText);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    setHighlighted(true);
    QLabel::mouseMoveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a left-button release still over the label.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}
