// Kestrova — identity photo maker.
#pragma once

#include <QImage>

#include <cstddef>
#include <functional>
#include <unordered_map>

class QPainter;
class QPoint;
class QRect;

/// Square tiles of a photo scaled to one display size, each made the first time
/// part of it is drawn and kept while it is among the most recently drawn; so a
/// view costs only the tiles under it, and a drag or refresh copies pixels
/// already scaled.
class TileCache
{
public:
    /// Makes the tile covering area, a tile-sized square of the display in pixels
    /// (the part of it inside the display, at the display's edges).
    using TileMaker = std::function<QImage(const QRect& area)>;

    // Small enough that a drag uncovering a new column of tiles costs little,
    // large enough that the work area needs only a few dozen of them.
    static constexpr int kTileSize = 64;
    // Several screens' worth, so dragging back and forth does not rescale, yet
    // a long drag over a huge zoomed photo cannot pile up tiles.
    static constexpr std::size_t kMaxTiles = 256;

    /// Draws area (display pixels) with the display's top-left at topLeft, making the
    /// tiles under it that are missing; past kMaxTiles, the least recently drawn half goes.
    void draw(QPainter& painter, QPoint topLeft, const QRect& area, const TileMaker& make);
    /// Drops every tile, once they were scaled for a display size no longer shown.
    void clear() { m_tiles.clear(); }

private:
    struct Tile
    {
        QImage image;
        quint64 lastUse = 0;
    };

    [[nodiscard]] const QImage& tile(int column, int row, const TileMaker& make);
    void dropOldTiles();

    std::unordered_map<quint64, Tile> m_tiles;
    quint64 m_useClock = 0;
};
