// Kestrova — identity photo maker.
#pragma once

#include "InputShortcuts.h"

#include <QList>
#include <QObject>

#include <functional>

class QDropEvent;
class QKeyEvent;
class QWheelEvent;
class QWidget;

/// The window behaviour the shortcuts reach; each is what a button or the
/// open dialog already does.
struct ShortcutActions
{
    std::function<void(short direction)> startNudge;
    std::function<void()> stopNudge;
    std::function<void(float factor)> zoom;
    std::function<void()> open;
    std::function<void()> save;
    std::function<void(const QString& fileName)> openFile;
};

/// Second ways to the main window's behaviour: keys while the window is
/// active, the wheel over the work area, and a picture file dropped on the
/// window. It watches the whole application, so keys are seen before
/// whichever control has the focus takes them.
class Form1Shortcuts final : public QObject
{
public:
    Form1Shortcuts(QWidget& window, QList<QWidget*> wheelTargets, ShortcutActions actions);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool key(const QKeyEvent& event);
    void wheel(const QWheelEvent& event);
    bool drop(QDropEvent& event, bool dropped);

    QWidget& m_window;
    QList<QWidget*> m_wheelTargets;
    ShortcutActions m_actions;
    WheelSteps m_wheelSteps;
    bool m_keyNudging = false;
};
