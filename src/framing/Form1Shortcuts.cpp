// Kestrova — identity photo maker.
#include "Form1Shortcuts.h"

#include "FramingSession.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QWheelEvent>
#include <QWidget>

namespace {

QString firstLocalFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty()) {
        return {};
    }
    return mime->urls().constFirst().toLocalFile();
}

} // namespace

Form1Shortcuts::Form1Shortcuts(QWidget& window, QList<QWidget*> wheelTargets,
                               FramingSession& session, std::function<void()> open,
                               std::function<void()> save)
    : QObject(&window), m_window(window), m_wheelTargets(std::move(wheelTargets)),
      m_session(session), m_open(std::move(open)), m_save(std::move(save))
{
    window.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

bool Form1Shortcuts::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target->window() == &m_window && m_window.isActiveWindow()) {
            return key(*static_cast<QKeyEvent*>(event));
        }
        return false;
    }
    case QEvent::Wheel:
        if (m_wheelTargets.contains(watched)) {
            wheel(*static_cast<QWheelEvent*>(event));
            return true;
        }
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return watched == &m_window && drop(*static_cast<QDropEvent*>(event), event->type());
    case QEvent::DragLeave:
        // Dragged on past the window: whatever was made ready for it goes.
        if (watched == &m_window) {
            m_session.prepareFor({});
        }
        return false;
    case QEvent::ActivationChange:
        // A key released while another window has the focus never arrives;
        // stop a nudge the keyboard started rather than let it run to the edge.
        if (watched == &m_window && !m_window.isActiveWindow() && m_keyNudging) {
            m_keyNudging = false;
            m_session.stopNudge();
        }
        return false;
    default:
        return false;
    }
}

bool Form1Shortcuts::key(const QKeyEvent& event)
{
    const KeyCommand command = keyCommand(event.key(), event.modifiers());
    if (command == KeyCommand::None) {
        return false;
    }
    // Holding a key repeats it; the nudge timer already repeats the step, so
    // only the first press and the final release count.
    if (event.isAutoRepeat()) {
        return true;
    }
    const bool press = event.type() == QEvent::KeyPress;
    if (command == KeyCommand::Nudge) {
        m_keyNudging = press;
        if (press) {
            m_session.startNudge(nudgeDirectionOfKey(event.key()));
        } else {
            m_session.stopNudge();
        }
        return true;
    }
    if (!press) {
        return true;
    }
    switch (command) {
    case KeyCommand::ZoomIn:
        m_session.zoom(kZoomInFactor);
        break;
    case KeyCommand::ZoomOut:
        m_session.zoom(kZoomOutFactor);
        break;
    case KeyCommand::AutoFrame:
        m_session.autoFrame();
        break;
    case KeyCommand::WholePhoto:
        m_session.showWholePhoto();
        break;
    case KeyCommand::Open:
        m_open();
        break;
    case KeyCommand::Save:
        m_save();
        break;
    default:
        break;
    }
    return true;
}

void Form1Shortcuts::wheel(const QWheelEvent& event)
{
    const int steps = m_wheelSteps.add(event.angleDelta().y());
    for (int i = 0; i < std::abs(steps); ++i) {
        m_session.zoom(steps > 0 ? kZoomInFactor : kZoomOutFactor);
    }
}

bool Form1Shortcuts::drop(QDropEvent& event, QEvent::Type stage)
{
    const QString fileName = firstLocalFile(event.mimeData());
    // The photo being searched for a face stays until the search is over.
    if (fileName.isEmpty() || m_session.isSearchingFace()) {
        return false;
    }
    event.acceptProposedAction();
    if (stage == QEvent::DragEnter) {
        // The drop comes a moment later, as Return does in the open dialog.
        m_session.prepareFor(fileName);
    } else if (stage == QEvent::Drop) {
        m_session.open(fileName);
    }
    return true;
}
