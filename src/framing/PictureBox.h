// Kestrova — identity photo maker.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>

/// A flat picture box with a one-pixel border whose client area keeps a
/// picture: the preview of the capture. The picture is retained, so
/// the box repaints itself from it whenever it is uncovered.
class PictureBox : public QFrame
{
    Q_OBJECT

public:
    /// A box holding a picture of pictureSize pixels; its own geometry is set by its owner.
    PictureBox(const QString& name, QSize pictureSize, QWidget* parent = nullptr);

    void setBackColor(QColor color);
    [[nodiscard]] QColor backColor() const { return m_back; }

    /// The client area's pixels: the back colour until a picture is set.
    [[nodiscard]] const QImage& picture() const { return m_picture; }
    /// Replaces the pixels; the picture must be of the box's picture size.
    void setPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_back;
    QImage m_picture;
    bool m_hasPicture = false;
};
