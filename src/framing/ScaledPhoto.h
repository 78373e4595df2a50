// Kestrova — identity photo maker.
#pragma once

#include "TileCache.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>

class PhotoPyramid;
class QPainter;

/// The loaded picture, shown at a display size in pixels. Only what is drawn
/// gets scaled, in tiles kept until the display size changes, each one
/// averaged from the reduction level nearest above the display size; so a
/// zoom step costs the same for any picture size, and a drag or refresh only
/// copies pixels already scaled.
class ScaledPhoto
{
public:
    ScaledPhoto() = default;
    explicit ScaledPhoto(QImage picture);
    /// Shows a pyramid made already; null shows nothing.
    explicit ScaledPhoto(std::shared_ptr<const PhotoPyramid> pyramid);

    [[nodiscard]] bool isNull() const { return m_pyramid == nullptr; }
    /// The picture's own size in pixels.
    [[nodiscard]] QSize naturalSize() const { return m_naturalSize; }
    /// The picture and its reductions, shared: a search over them on another thread keeps
    /// them alive even if a new picture replaces this one meanwhile. Null without a picture.
    [[nodiscard]] std::shared_ptr<const PhotoPyramid> pyramid() const { return m_pyramid; }

    /// Sets the size the photo is shown at; the same size again changes nothing.
    void setDisplaySize(QSize size);
    [[nodiscard]] QSize displaySize() const { return m_displaySize; }

    /// Draws the photo, shown with its top-left at topLeft, within clip (target coordinates).
    void draw(QPainter& painter, QPoint topLeft, const QRect& clip) const;

private:
    std::shared_ptr<const PhotoPyramid> m_pyramid;
    QSize m_naturalSize;
    QSize m_displaySize;
    int m_level = 0;
    // Tiles are made while drawing, which does not change what the photo looks like.
    mutable TileCache m_tiles;
};
