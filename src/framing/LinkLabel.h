// Kestrova — identity photo maker.
#pragma once

#include <QLabel>

/// The credit link: a label that lights up (underlined, in the link colour)
/// as soon as the pointer moves over it, and reports a left click. It stays
/// lit until its window turns it off, which the main window does only when
/// the pointer reaches the window's own surface.
class LinkLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    void setHighlighted(bool highlighted);

signals:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
