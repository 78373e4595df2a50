// Kestrova — identity photo maker.
#include "Form1.h"

#include "ArrowButton.h"
#include "BannerMessage.h"
#include "Form1Shortcuts.h"
#include "FramingActions.h"
#include "FramingSession.h"
#include "LinkLabel.h"
#include "PictureBox.h"
#include "WorkArea.h"
#include "platform/Clock.h"
#include "platform/ControlColors.h"
#include "platform/MessageBox.h"
#include "platform/OpenFileDialog.h"
#include "platform/ProgramInfo.h"
#include "platform/UrlOpener.h"
#include "saving/Form2.h"
#include "saving/SavedSizes.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>

namespace {

bool isClick(const QEvent* event, const QWidget* widget)
{
    if (event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton &&
           widget->rect().contains(mouse->position().toPoint());
}

bool isPress(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonPress ||
           event->type() == QEvent::MouseButtonDblClick;
}

} // namespace

using namespace ControlColors;

Form1::Form1(Services& services, QWidget* parent)
    : QWidget(parent), m_services(services),
      m_session(
          new FramingSession(services.pictures, services.faces, services.tpp,
                             Form1Controls::workAreaClientSize(services.tpp),
                             // The capture keeps the system's window colour, not the window's own.
                             QApplication::palette().color(QPalette::Window), this))
{
    setMouseTracking(true);
    setAutoFillBackground(true);
    m_ui = Form1Controls::build(*this, m_session->scene(), m_services.tpp);
    connectControls();
    load();
    new Form1Shortcuts(
        *this, {m_ui.image1, m_ui.workArea->client()}, *m_session, [this] { command8Click(); },
        [this] { command9Click(); });
}

Form1::~Form1()
{
    // The session waits for its search as it goes; the cursor is the application's.
    if (m_waitCursor) {
        QApplication::restoreOverrideCursor();
    }
}

void Form1::connectControls()
{
    for (QWidget* watched : {static_cast<QWidget*>(m_ui.image2), m_ui.image1,
                             static_cast<QWidget*>(m_ui.previewBox)}) {
        watched->installEventFilter(this);
    }
    connect(m_ui.label3, &LinkLabel::clicked, this,
            [this] { m_services.urls.open(QUrl(QString::fromLatin1(kHomePageUrl))); });
    FramingSession* session = m_session;
    for (ArrowButton* arrow : m_ui.arrows) {
        connect(arrow, &ArrowButton::nudgePressed, session, &FramingSession::startNudge);
        connect(arrow, &ArrowButton::nudgeReleased, session, &FramingSession::stopNudge);
    }
    connect(m_ui.command1, &QPushButton::clicked, session, &FramingSession::refreshPreview);
    connect(m_ui.command6, &QPushButton::clicked, session,
            [session] { session->zoom(kZoomInFactor); });
    connect(m_ui.command7, &QPushButton::clicked, session,
            [session] { session->zoom(kZoomOutFactor); });
    connect(m_ui.command8, &QPushButton::clicked, this, &Form1::command8Click);
    connect(m_ui.command9, &QPushButton::clicked, this, &Form1::command9Click);

    connect(session, &FramingSession::photoChanged, this, &Form1::showPhoto);
    connect(session, &FramingSession::frameChanged, this, &Form1::showFrame);
    connect(session, &FramingSession::captureChanged, m_ui.previewBox,
            [this] { m_ui.previewBox->setPicture(m_session->capture()); });
    connect(session, &FramingSession::faceSearchChanged, this, &Form1::showWaiting);
    connect(session, &FramingSession::waitingChanged, this, &Form1::showWaiting);
    auto* framing = new FramingActions(m_ui, *session, this);
    connect(session, &FramingSession::faceNotFramed, framing, &FramingActions::faceNotFramed);
    QWidget* client = m_ui.workArea->client();
    session->setDeviceScale([client] { return client->devicePixelRatioF(); });
    showFrame();
}

void Form1::load()
{
    setWindowBackColor(this, kWindowBack);
    for (QLabel* label :
         {m_ui.label1, m_ui.label2, static_cast<QLabel*>(m_ui.label3), m_ui.label4}) {
        setTextColor(label, kLabelText);
    }
    m_session->setColors(kBoxBack, QApplication::palette().color(QPalette::WindowText));
    m_ui.previewBox->setBackColor(kBoxBack);
    m_openRequest = Form1Controls::openRequest();
    m_openRequest.highlighted = [this](const QString& path) { m_session->prepareFor(path); };
}

void Form1::showPhoto()
{
    m_ui.image1->setGeometry(m_session->photoControlRect());
    m_ui.workArea->client()->update();
}

void Form1::showFrame()
{
    m_ui.shape1->setGeometry(m_session->frameRect());
    m_ui.workArea->client()->update();
}

void Form1::showWaiting()
{
    // A face search and operations waiting for the photo share one cursor.
    const bool waiting = m_session->isSearchingFace() || m_session->isWaiting();
    if (waiting == m_waitCursor) {
        return;
    }
    m_waitCursor = waiting;
    if (waiting) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void Form1::command8Click()
{
    // A cancelled dialog or a file that cannot be read ends the open
    // silently, leaving whatever was done so far. Asked for while operations
    // wait for the photo, the dialog comes after them.
    m_session->whenSettled([this] {
        // The photo being searched for a face stays until the search is over.
        if (m_session->isSearchingFace()) {
            return;
        }
        if (const std::optional<QString> fileName = m_services.openDialog.showOpen(m_openRequest)) {
            m_session->open(*fileName);
        } else {
            // Whatever was made ready for a file highlighted goes.
            m_session->prepareFor({});
        }
    });
}

void Form1::command9Click()
{
    // The capture saved is the one every operation asked for before makes.
    m_session->whenSettled([this] {
        // The capture is about to change.
        if (m_session->isSearchingFace()) {
            return;
        }
        Form2 dialog(m_services, [this] { return m_session->capture(); });
        dialog.exec();
    });
}

void Form1::showPreviewToolTip(const QHelpEvent& event)
{
    // Encoding ten times takes a few milliseconds: only when the user asks.
    QToolTip::showText(event.globalPos(), SavedSizes::of(m_session->capture()).toolTip(),
                       m_ui.previewBox);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    // Controls keep their own mouse moves, so only the bare window surface
    // (and the dividers, which take no mouse input) arrives here.
    m_ui.label3->setHighlighted(false);
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_ui.image1) {
        if (isPress(event)) {
            m_session->pressOnPhoto(static_cast<const QMouseEvent*>(event)->position());
        } else if (type == QEvent::MouseMove) {
            const auto* move = static_cast<const QMouseEvent*>(event);
            if (move->buttons() == Qt::LeftButton) {
                m_session->dragTo(move->position());
            }
        }
    } else if (watched == m_ui.previewBox && type == QEvent::ToolTip) {
        showPreviewToolTip(*static_cast<QHelpEvent*>(event));
        return true;
    } else if (watched == m_ui.image2 && isClick(event, m_ui.image2)) {
        m_services.messages.show(programTitle(),
                                 bannerMessage(m_services.programDir, m_services.clock.now()));
    }
    return QWidget::eventFilter(watched, event);
}
