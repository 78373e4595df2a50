// Kestrova — identity photo maker.
#include "WorkArea.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

class SceneView final : public QWidget
{
public:
    SceneView(const WorkAreaScene& scene, QWidget* parent) : QWidget(parent), m_scene(scene)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        m_scene.paint(painter, event->rect(), devicePixelRatioF());
    }

private:
    const WorkAreaScene& m_scene;
};

} // namespace

WorkArea::WorkArea(const WorkAreaScene& scene, QSize clientSize, QWidget* parent)
    : QFrame(parent), m_client(new SceneView(scene, this))
{
    setObjectName(QStringLiteral("Picture1(0)"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFixedSize(clientSize + QSize(2, 2));
    setAttribute(Qt::WA_NoMousePropagation);
    m_client->setObjectName(QStringLiteral("Picture1(0).client"));
    m_client->setGeometry(QRect(QPoint(1, 1), clientSize));
    m_client->setAttribute(Qt::WA_NoMousePropagation);
}

QSize WorkArea::clientSize() const
{
    return m_client->size();
}
