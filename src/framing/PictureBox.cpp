// Kestrova — identity photo maker.
#include "PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(const QString& name, QSize pictureSize, QWidget* parent)
    : QFrame(parent), m_picture(pictureSize, QImage::Format_RGB32)
{
    setObjectName(name);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_NoMousePropagation);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackColor(palette().color(QPalette::Window));
}

void PictureBox::setBackColor(QColor color)
{
    m_back = color;
    if (!m_hasPicture) {
        m_picture.fill(color);
    }
    update();
}

void PictureBox::setPicture(const QImage& picture)
{
    Q_ASSERT(picture.size() == m_picture.size());
    m_picture = picture;
    m_hasPicture = true;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), m_back);
    painter.drawImage(contentsRect().topLeft(), m_picture);
    painter.end();
    QFrame::paintEvent(event);
}
