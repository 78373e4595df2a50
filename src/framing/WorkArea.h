// Kestrova — identity photo maker.
#pragma once

#include "WorkAreaScene.h"

#include <QFrame>

/// The work area: a flat box with a one-pixel border whose client area shows
/// the scene and holds the photo and frame controls, clipping them.
class WorkArea : public QFrame
{
    Q_OBJECT

public:
    WorkArea(QSize clientSize, QWidget* parent = nullptr);

    [[nodiscard]] WorkAreaScene& scene() { return m_scene; }
    [[nodiscard]] const WorkAreaScene& scene() const { return m_scene; }
    /// The client area, parent of the photo and the frame.
    [[nodiscard]] QWidget* client() const { return m_client; }
    [[nodiscard]] QSize clientSize() const;

    void setBackColor(QColor color);

private:
    WorkAreaScene m_scene;
    QWidget* m_client;
};
