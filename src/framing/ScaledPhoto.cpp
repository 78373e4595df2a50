// Kestrova — identity photo maker.
#include "ScaledPhoto.h"

#include "AreaScaler.h"
#include "PhotoPyramid.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

// Small enough that a drag uncovering a new column of tiles costs little,
// large enough that the work area needs only a few dozen of them.
constexpr int kTileSize = 64;
// Several screens' worth, so dragging back and forth does not rescale, yet
// a long drag over a huge zoomed photo cannot pile up tiles.
constexpr std::size_t kMaxTiles = 256;

quint64 tileKey(int column, int row)
{
    return quint64(quint32(column)) << 32 | quint32(row);
}

} // namespace

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
    for (int row = local.top() / kTileSize; row <= local.bottom() / kTileSize; ++row) {
        for (int column = local.left() / kTileSize; column <= local.right() / kTileSize; ++column) {
            const QImage& image = tile(column, row);
            const QRect tileRect(QPoint(column * kTileSize, row * kTileSize), image.size());
            const QRect part = tileRect.intersected(local);
            painter.drawImage(part.topLeft() + topLeft, image,
                              part.translated(-tileRect.topLeft()));
        }
    }
    dropOldTiles();
}

const QImage& ScaledPhoto::tile(int column, int row) const
{
    Tile& entry = m_tiles[tileKey(column, row)];
    entry.lastUse = ++m_useClock;
    if (entry.image.isNull()) {
        const QRect area(column * kTileSize, row * kTileSize, kTileSize, kTileSize);
        entry.image = AreaScaler::render(m_pyramid->level(m_level), m_displaySize, area);
        ++m_scaledTiles;
    }
    return entry.image;
}

void ScaledPhoto::dropOldTiles() const
{
    if (m_tiles.size() <= kMaxTiles) {
        return;
    }
    // Keep the most recently drawn half: at least the screen just painted.
    std::vector<quint64> uses;
    uses.reserve(m_tiles.size());
    for (const auto& [key, entry] : m_tiles) {
        uses.push_back(entry.lastUse);
    }
    auto middle = uses.begin() + std::ptrdiff_t(uses.size() / 2);
    std::nth_element(uses.begin(), middle, uses.end());
    const quint64 oldestKept = *middle;
    std::erase_if(m_tiles,
                  [oldestKept](const auto& item) { return item.second.lastUse < oldestKept; });
}
