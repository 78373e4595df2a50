// Kestrova — identity photo maker.
#include "TileCache.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

quint64 tileKey(int column, int row)
{
    return quint64(quint32(column)) << 32 | quint32(row);
}

} // namespace

void TileCache::draw(QPainter& painter, QPoint topLeft, const QRect& area, const TileMaker& make)
{
    for (int row = area.top() / kTileSize; row <= area.bottom() / kTileSize; ++row) {
        for (int column = area.left() / kTileSize; column <= area.right() / kTileSize; ++column) {
            const QImage& image = tile(column, row, make);
            const QRect tileRect(QPoint(column * kTileSize, row * kTileSize), image.size());
            const QRect part = tileRect.intersected(area);
            painter.drawImage(part.topLeft() + topLeft, image,
                              part.translated(-tileRect.topLeft()));
        }
    }
    // Only once the whole view is drawn, so none of its own tiles goes.
    dropOldTiles();
}

const QImage& TileCache::tile(int column, int row, const TileMaker& make)
{
    Tile& entry = m_tiles[tileKey(column, row)];
    entry.lastUse = ++m_useClock;
    if (entry.image.isNull()) {
        entry.image = make(QRect(column * kTileSize, row * kTileSize, kTileSize, kTileSize));
    }
    return entry.image;
}

void TileCache::dropOldTiles()
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
