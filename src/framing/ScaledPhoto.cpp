// Kestrova — identity photo maker.
#include "ScaledPhoto.h"

#include <QPainter>

ScaledPhoto::ScaledPhoto(QImage picture)
    : m_picture(std::move(picture)), m_displaySize(m_picture.size()), m_scaled(m_picture)
{}

void ScaledPhoto::setDisplaySize(QSize size)
{
    if (size == m_displaySize) {
        return;
    }
    m_displaySize = size;
    if (m_picture.isNull() || size.isEmpty()) {
        m_scaled = QImage();
    } else if (size == m_picture.size()) {
        m_scaled = m_picture;
    } else {
        m_scaled = m_picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

void ScaledPhoto::draw(QPainter& painter, QPoint topLeft, const QRect& clip) const
{
    if (m_scaled.isNull()) {
        return;
    }
    const QRect target = QRect(topLeft, m_scaled.size()).intersected(clip);
    if (target.isEmpty()) {
        return;
    }
    painter.drawImage(target.topLeft(), m_scaled, target.translated(-topLeft));
}
