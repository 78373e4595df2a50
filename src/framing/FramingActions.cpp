// Kestrova — identity photo maker.
#include "FramingActions.h"

#include "Form1Controls.h"
#include "FramingSession.h"
#include "WorkArea.h"
#include "platform/Captions.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace {

// The notice's gap above the work area's lower edge, in pixels.
constexpr int kNoticeGap = 12;

const char* notFramedCaption(FaceSearch::Outcome outcome)
{
    switch (outcome) {
    case FaceSearch::Outcome::ModelUnavailable:
        return "Form1.NoFaceModel";
    case FaceSearch::Outcome::Failed:
        return "Form1.FaceSearchFailed";
    default:
        return "Form1.NoFace";
    }
}

} // namespace

FramingActions::FramingActions(const Form1Controls& ui, FramingSession& session, QObject* parent)
    : QObject(parent), m_session(session), m_workArea(ui.workArea), m_menu(ui.workAreaMenu),
      m_autoFrame(ui.autoFrameAction), m_wholePhoto(ui.wholePhotoAction), m_notice(ui.notice),
      m_noticeTimer(ui.noticeTimer)
{
    // The context menu comes from wherever the pointer or the focus is in the work area.
    for (QWidget* watched :
         {ui.image1, static_cast<QWidget*>(ui.workArea), ui.workArea->client()}) {
        watched->installEventFilter(this);
    }
    connect(m_autoFrame, &QAction::triggered, &session, &FramingSession::autoFrame);
    connect(m_wholePhoto, &QAction::triggered, &session, &FramingSession::showWholePhoto);
}

void FramingActions::faceNotFramed(FaceSearch::Outcome outcome)
{
    showNotice(Captions::text(notFramedCaption(outcome)));
}

bool FramingActions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FramingActions::showMenu(QPoint globalPos)
{
    const bool usable = !m_session.photo().isNull() && !m_session.isSearchingFace();
    m_autoFrame->setEnabled(usable);
    m_wholePhoto->setEnabled(usable);
    m_menu->popup(globalPos);
}

void FramingActions::showNotice(const QString& text)
{
    m_notice->setText(text);
    m_notice->adjustSize();
    const QRect area = m_workArea->geometry();
    m_notice->move(area.center().x() - m_notice->width() / 2,
                   area.bottom() - kNoticeGap - m_notice->height());
    m_notice->raise();
    m_notice->show();
    m_noticeTimer->start();
}
