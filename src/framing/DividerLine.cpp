// Kestrova — identity photo maker.
#include "DividerLine.h"

#include <QPainter>

DividerLine::DividerLine(QPoint from, QPoint to, QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int left = std::min(from.x(), to.x());
    const int top = std::min(from.y(), to.y());
    setGeometry(left, top, std::max(1, std::abs(to.x() - from.x())),
                std::max(1, std::abs(to.y() - from.y())));
}

void DividerLine::setColor(QColor color)
{
    m_color = color;
    update();
}

void DividerLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}
