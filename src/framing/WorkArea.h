// Kestrova — identity photo maker.
#pragma once

#include "WorkAreaScene.h"

#include <QFrame>

/// The work area: a flat box with a one-pixel border whose client area shows
/// a scene and holds the photo and frame controls, clipping them.
class WorkArea : public QFrame
{
    Q_OBJECT

public:
    /// A work area showing scene, which must outlive it.
    WorkArea(const WorkAreaScene& scene, QSize clientSize, QWidget* parent = nullptr);

    /// The client area, parent of the photo and the frame.
    [[nodiscard]] QWidget* client() const { return m_client; }
    [[nodiscard]] QSize clientSize() const;

private:
    QWidget* m_client;
};
