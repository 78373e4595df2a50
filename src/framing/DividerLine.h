// Kestrova — identity photo maker.
#pragma once

#include <QColor>
#include <QWidget>

/// A one-pixel horizontal or vertical divider; it takes no mouse input, so
/// the pointer over it counts as being over the window's own surface.
class DividerLine : public QWidget
{
    Q_OBJECT

public:
    DividerLine(QPoint from, QPoint to, QWidget* parent = nullptr);

    void setColor(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};
