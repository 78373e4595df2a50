// Kestrova — identity photo maker.
#pragma once

#include <QPushButton>

/// A button of the arrow pad: any mouse button held on it nudges the frame
/// in its direction until that button is let go.
class ArrowButton final : public QPushButton
{
    Q_OBJECT

public:
    ArrowButton(const QString& text, short direction, QWidget* parent = nullptr);

    [[nodiscard]] short direction() const { return m_direction; }

signals:
    void nudgePressed(short direction);
    void nudgeReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    short m_direction;
};
