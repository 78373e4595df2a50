// Kestrova — identity photo maker.
#pragma once

#include "platform/FaceFinder.h"

#include <QObject>

struct Form1Controls;
class FramingSession;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class QWidget;

/// The work area's two framing actions as the window offers them: its context
/// menu, opened from wherever the pointer or the focus is in the work area,
/// and the short notice that tells why 自动取景 framed nothing.
class FramingActions final : public QObject
{
    Q_OBJECT

public:
    /// Serves the menu and the notice among ui's controls, the actions running on session.
    FramingActions(const Form1Controls& ui, FramingSession& session, QObject* parent);

    /// Tells in the notice why the face search left the framing as it was.
    void faceNotFramed(FaceSearch::Outcome outcome);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMenu(QPoint globalPos);
    void showNotice(const QString& text);

    const FramingSession& m_session;
    QWidget* m_workArea;
    QMenu* m_menu;
    QAction* m_autoFrame;
    QAction* m_wholePhoto;
    QLabel* m_notice;
    QTimer* m_noticeTimer;
};
