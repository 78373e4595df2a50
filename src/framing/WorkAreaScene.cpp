// Kestrova — identity photo maker.
#include "WorkAreaScene.h"

#include "ScaledPhoto.h"

#include <QPainter>

namespace {

QRect scaled(const QRect& rect, qreal scale)
{
    return QRect(
        QPoint(qRound(rect.left() * scale), qRound(rect.top() * scale)),
        QPoint(qRound((rect.right() + 1) * scale) - 1, qRound((rect.bottom() + 1) * scale) - 1));
}

} // namespace

void WorkAreaScene::paint(QPainter& painter, const QRect& area, qreal deviceScale) const
{
    painter.fillRect(area, m_back);
    if (m_screenPhoto && deviceScale == m_screenScale && m_screenScale != 1.0 &&
        !m_screenPhoto->isNull()) {
        // Drawn in device pixels, so a high-density screen shows the photo at
        // its own resolution instead of the logical rendering enlarged.
        const QRect deviceRect = scaled(m_photoRect, m_screenScale);
        painter.save();
        painter.scale(1.0 / m_screenScale, 1.0 / m_screenScale);
        m_screenPhoto->draw(painter, deviceRect.topLeft(),
                            scaled(area, m_screenScale).intersected(deviceRect));
        painter.restore();
    } else if (m_photo && !m_photo->isNull()) {
        m_photo->draw(painter, m_photoRect.topLeft(), area.intersected(m_photoRect));
    }
    if (!m_frameRect.isEmpty() && m_frameRect.intersects(area)) {
        // A one-pixel outline along the outermost pixels of the frame's block,
        // filled rather than stroked so it is one logical pixel at any density.
        const QRect& f = m_frameRect;
        painter.save();
        painter.setClipRect(area);
        painter.fillRect(QRect(f.left(), f.top(), f.width(), 1), m_frameColor);
        painter.fillRect(QRect(f.left(), f.bottom(), f.width(), 1), m_frameColor);
        painter.fillRect(QRect(f.left(), f.top(), 1, f.height()), m_frameColor);
        painter.fillRect(QRect(f.right(), f.top(), 1, f.height()), m_frameColor);
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
