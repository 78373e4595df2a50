// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

/// The loaded picture, shown at a display size in pixels. Scaling is smooth
/// and done once per display size; drawing only copies.
class ScaledPhoto
{
public:
    ScaledPhoto() = default;
    explicit ScaledPhoto(QImage picture);

    [[nodiscard]] bool isNull() const { return m_picture.isNull(); }
    /// The picture's own size in pixels.
    [[nodiscard]] QSize naturalSize() const { return m_picture.size(); }

    /// Sets the size the photo is shown at; called once per open or zoom step.
    void setDisplaySize(QSize size);
    [[nodiscard]] QSize displaySize() const { return m_displaySize; }

    /// Draws the photo, shown with its top-left at topLeft, within clip (target coordinates).
    void draw(QPainter& painter, QPoint topLeft, const QRect& clip) const;

private:
    QImage m_picture;
    QSize m_displaySize;
    QImage m_scaled;
};
