// Kestrova — identity photo maker.
#include "ScaledPhoto.h"

#include "AreaScaler.h"
#include "PhotoPyramid.h"

#include <QPainter>

ScaledPhoto::ScaledPhoto(QImage picture)
    : ScaledPhoto(picture.isNull() ? nullptr
                                   : std::make_shared<const PhotoPyramid>(std::move(picture)))
{}

ScaledPhoto::ScaledPhoto(std::shared_ptr<const PhotoPyramid> pyramid)
    : m_pyramid(std::move(pyramid))
{
    if (m_pyramid) {
        m_naturalSize = m_pyramid->naturalSize();
        m_displaySize = m_naturalSize;
    }
}

void ScaledPhoto::setDisplaySize(QSize size)
{
    if (size == m_displaySize) {
        return;
    }
    m_displaySize = size;
    m_tiles.clear();
    m_level = m_pyramid ? m_pyramid->levelFor(size) : 0;
}

void ScaledPhoto::draw(QPainter& painter, QPoint topLeft, const QRect& clip) const
{
    if (!m_pyramid || m_displaySize.isEmpty()) {
        return;
    }
    const QRect shown = QRect(topLeft, m_displaySize).intersected(clip);
    if (shown.isEmpty()) {
        return;
    }
    const QImage& level = m_pyramid->level(m_level);
    const QRect local = shown.translated(-topLeft);
    if (level.size() == m_displaySize) {
        painter.drawImage(shown.topLeft(), level, local);
        return;
    }
    m_tiles.draw(painter, topLeft, local, [this, &level](const QRect& area) {
        return AreaScaler::render(level, m_displaySize, area);
    });
}
