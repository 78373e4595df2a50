// Kestrova — identity photo maker.
#pragma once

#include "InputShortcuts.h"

#include <QEvent>
#include <QList>
#include <QObject>

#include <functional>

class FramingSession;
class QDropEvent;
class QKeyEvent;
class QWheelEvent;
class QWidget;

/// Second ways to the framing session's operations: keys while the window is
/// active, the wheel over the work area, and a picture file dropped on the
/// window. It watches the whole application, so keys are seen before
/// whichever control has the focus takes them.
class Form1Shortcuts final : public QObject
{
public:
    /// Shortcuts in window for session; open and save show the window's dialogs.
    Form1Shortcuts(QWidget& window, QList<QWidget*> wheelTargets, FramingSession& session,
                   std::function<void()> open, std::function<void()> save);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool key(const QKeyEvent& event);
    void wheel(const QWheelEvent& event);
    /// A picture file dragged in (made ready for), over, or dropped (opened).
    bool drop(QDropEvent& event, QEvent::Type stage);

    QWidget& m_window;
    QList<QWidget*> m_wheelTargets;
    FramingSession& m_session;
    std::function<void()> m_open;
    std::function<void()> m_save;
    WheelSteps m_wheelSteps;
    bool m_keyNudging = false;
};
