// Kestrova — identity photo maker.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;
class ScaledPhoto;

/// What the work area shows, in its client pixel coordinates: the back
/// colour, the photo at its place and the crop frame's outline above it.
/// The screen and the capture both render from here, so a capture never
/// contains anything but the program's own pixels. Outside the client area
/// the rendering simply goes on: the photo where it extends there, the back
/// colour elsewhere.
class WorkAreaScene
{
public:
    void setBackColor(QColor color) { m_back = color; }
    void setFrameColor(QColor color) { m_frameColor = color; }
    void setPhoto(const ScaledPhoto* photo) { m_photo = photo; }
    /// The same photo shown at scale times the display size, for screens with
    /// more device pixels than logical ones; null when the screen needs none.
    void setScreenPhoto(const ScaledPhoto* photo, qreal scale)
    {
        m_screenPhoto = photo;
        m_screenScale = scale;
    }
    /// The photo's shown rectangle; its size is the photo's display size.
    void setPhotoRect(const QRect& rect) { m_photoRect = rect; }
    void setFrameRect(const QRect& rect) { m_frameRect = rect; }

    [[nodiscard]] QColor backColor() const { return m_back; }
    [[nodiscard]] QRect photoRect() const { return m_photoRect; }

    /// Paints the part of the scene inside area, with the painter's origin at the
    /// scene's origin; on a screen of deviceScale device pixels per logical
    /// pixel the photo is drawn from the screen photo, one to one in device pixels.
    void paint(QPainter& painter, const QRect& area, qreal deviceScale = 1.0) const;
    /// Renders an area of the scene into a new image of the area's size.
    [[nodiscard]] QImage render(const QRect& area) const;

private:
    QColor m_back = Qt::white;
    QColor m_frameColor = Qt::black;
    const ScaledPhoto* m_photo = nullptr;
    const ScaledPhoto* m_screenPhoto = nullptr;
    qreal m_screenScale = 1.0;
    QRect m_photoRect;
    QRect m_frameRect;
};
