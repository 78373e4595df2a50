// Kestrova — identity photo maker.
#include "WorkAreaScene.h"

#include "ScaledPhoto.h"

#include <QPainter>

void WorkAreaScene::paint(QPainter& painter, const QRect& area) const
{
    painter.fillRect(area, m_back);
    if (m_photo && !m_photo->isNull()) {
        m_photo->draw(painter, m_photoRect.topLeft(), area.intersected(m_photoRect));
    }
    if (!m_frameRect.isEmpty() && m_frameRect.intersects(area)) {
        // A one-pixel outline along the outermost pixels of the frame's block.
        painter.save();
        painter.setClipRect(area);
        painter.setPen(QPen(m_frameColor, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_frameRect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
}

QImage WorkAreaScene::render(const QRect& area) const
{
    QImage image(area.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    paint(painter, area);
    return image;
}
