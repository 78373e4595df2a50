// Kestrova — identity photo maker.
#include "Form1.h"

#include "BannerMessage.h"
#include "CaptureGeometry.h"
#include "Form1Shortcuts.h"
#include "PictureBox.h"
#include "WorkArea.h"
#include "platform/AppError.h"
#include "platform/Captions.h"
#include "platform/Clock.h"
#include "platform/ControlColors.h"
#include "platform/MessageBox.h"
#include "platform/OpenFileDialog.h"
#include "platform/PictureLoader.h"
#include "platform/ProgramInfo.h"
#include "platform/UrlOpener.h"
#include "saving/Form2.h"
#include "saving/SavedSizes.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

namespace {

constexpr int kTimer1IntervalMs = 50;

// Which arrow button sets which nudge direction, by button number.
constexpr short arrowDirection(int commandNumber)
{
    switch (commandNumber) {
    case 2:
        return kNudgeLeft;
    case 5:
        return kNudgeRight;
    case 4:
        return kNudgeUp;
    case 3:
        return kNudgeDown;
    default:
        return kNudgeNone;
    }
}

bool isClick(const QEvent* event, const QWidget* widget)
{
    if (event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton &&
           widget->rect().contains(mouse->position().toPoint());
}

} // namespace

using namespace ControlColors;

Form1::Form1(Services& services, QWidget* parent) : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(QStringLiteral(":/kestrova/icon.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(Form1Controls::clientSize(m_services.tpp));
    setMouseTracking(true);
    setAutoFillBackground(true);
    buildControls();
    load();
    new Form1Shortcuts(*this, {m_ui.image1, m_ui.workArea->client()},
                       ShortcutActions{
                           [this](short direction) { arrowMouseDown(direction); },
                           [this] { arrowMouseUp(); },
                           [this](float factor) { zoomImage(factor); },
                           [this] { command8Click(); },
                           [this] { command9Click(); },
                           [this](const QString& fileName) { openPicture(fileName); },
                       });
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    m_ui = Form1Controls::build(*this, m_services.tpp);

    // Event routing: each control's events go to its handler below.
    m_ui.image2->installEventFilter(this);
    m_ui.image1->installEventFilter(this);
    m_ui.previewBox->installEventFilter(this);
    m_ui.labels[2]->installEventFilter(this);
    for (std::size_t i = 0; i < m_ui.commands.size(); ++i) {
        if (arrowDirection(int(i) + 1) != kNudgeNone) {
            m_ui.commands[i]->installEventFilter(this);
        }
    }
    connect(m_ui.commands[0], &QPushButton::clicked, this, &Form1::refreshPreview);
    connect(m_ui.commands[5], &QPushButton::clicked, this, [this] { zoomImage(kZoomInFactor); });
    connect(m_ui.commands[6], &QPushButton::clicked, this, [this] { zoomImage(kZoomOutFactor); });
    connect(m_ui.commands[7], &QPushButton::clicked, this, &Form1::command8Click);
    connect(m_ui.commands[8], &QPushButton::clicked, this, &Form1::command9Click);

    m_ui.timer1->setInterval(kTimer1IntervalMs);
    connect(m_ui.timer1, &QTimer::timeout, this, &Form1::timer1Tick);

    m_ui.workArea->scene().setFrameColor(QApplication::palette().color(QPalette::WindowText));
    m_ui.workArea->scene().setPhoto(&m_picture);
    applyPhotoGeometry();
    applyFramePosition();
}

void Form1::load()
{
    setWindowBackColor(this, kWindowBack);
    for (QLabel* label : m_ui.labels) {
        setTextColor(label, kLabelText);
    }
    m_ui.workArea->setBackColor(kBoxBack);
    m_ui.previewBox->setBackColor(kBoxBack);

    OpenDialogSettings settings;
    settings.filterIndex = 100;
    settings.cancelError = true;
    settings.filter = Captions::text("Form1.CmnDialog1.Filter");
    settings.dialogTitle = Captions::text("Form1.CmnDialog1.DialogTitle");
    settings.initDir = QDir::rootPath();
    settings.flags = 4097;
    m_services.openDialog.setSettings(settings);
}

QImage Form1::capturePicture() const
{
    return m_ui.captureBuffer->picture();
}

QString Form1::previewToolTip() const
{
    return SavedSizes::of(capturePicture()).toolTip();
}

QPointF Form1::toTwips(QPointF pixels) const
{
    return QPointF(m_services.tpp.toTwipsX(pixels.x()), m_services.tpp.toTwipsY(pixels.y()));
}

void Form1::applyPhotoGeometry()
{
    const QRect pixels =
        m_services.tpp.toPixels(m_photo.left, m_photo.top, m_photo.width, m_photo.height);
    m_picture.setDisplaySize(m_photo.stretch ? pixels.size() : m_picture.naturalSize());
    const qreal deviceScale = m_ui.workArea->client()->devicePixelRatioF();
    if (deviceScale != 1.0 && !m_picture.isNull()) {
        const QSize shown = m_picture.displaySize();
        m_screenPicture.setDisplaySize(
            QSize(qRound(shown.width() * deviceScale), qRound(shown.height() * deviceScale)));
        m_ui.workArea->scene().setScreenPhoto(&m_screenPicture, deviceScale);
    } else {
        m_ui.workArea->scene().setScreenPhoto(nullptr, 1.0);
    }
    m_ui.image1->setGeometry(pixels);
    m_ui.workArea->scene().setPhotoRect(QRect(pixels.topLeft(), m_picture.displaySize()));
    m_ui.workArea->client()->update();
}

void Form1::applyFramePosition()
{
    const QRect pixels =
        m_services.tpp.toPixels(m_frame.left, m_frame.top, kFrameWidthTwips, kFrameHeightTwips);
    m_ui.shape1->setGeometry(pixels);
    m_ui.workArea->scene().setFrameRect(pixels);
    m_ui.workArea->client()->update();
}

void Form1::refreshPreview()
{
    // Both destinations get the same pixels, so one rendering serves both.
    const QImage capture =
        m_ui.workArea->scene().render(captureSourceRect(m_frame, m_services.tpp));
    m_ui.captureBuffer->setPicture(capture);
    m_ui.previewBox->setPicture(capture);
}

void Form1::command8Click()
{
    // Only the open catches errors: a cancelled dialog or a file that cannot
    // be loaded ends it silently, leaving whatever was done so far.
    try {
        openPicture(m_services.openDialog.showOpen());
    } catch (const AppError&) {
    }
}

void Form1::openPicture(const QString& fileName)
{
    // A dropped file goes through here too, with the same silent failure.
    if (fileName.isEmpty()) {
        return;
    }
    try {
        PhotoPlacement::resetForOpen(m_photo, m_picture.naturalSize(), m_services.tpp);
        applyPhotoGeometry();
        m_picture = ScaledPhoto(m_services.pictures.load(fileName));
        m_screenPicture = m_picture;
        PhotoPlacement::takeNaturalSize(m_photo, m_picture.naturalSize(), m_services.tpp);
        applyPhotoGeometry();
    } catch (const AppError&) {
    }
}

void Form1::zoomImage(float factor)
{
    PhotoPlacement::zoom(m_photo, factor);
    applyPhotoGeometry();
    refreshPreview();
}

void Form1::command9Click()
{
    Form2 dialog(m_services, [this] { return capturePicture(); });
    dialog.exec();
}

void Form1::image1MouseDown(const QMouseEvent& event)
{
    const QPoint anchor = PhotoPlacement::dragAnchor(toTwips(event.position()));
    m_dragAnchorX = anchor.x();
    m_dragAnchorY = anchor.y();
}

void Form1::image1MouseMove(const QMouseEvent& event)
{
    if (event.buttons() != Qt::LeftButton) {
        return;
    }
    const QSize client = m_ui.workArea->clientSize();
    const QSizeF clientTwips(m_services.tpp.toTwipsX(client.width()),
                             m_services.tpp.toTwipsY(client.height()));
    const QPointF topLeft = PhotoPlacement::dragStep(m_photo, toTwips(event.position()),
                                                     dragAnchor(), m_services.tpp, clientTwips);
    m_photo.left = float(topLeft.x());
    m_photo.top = float(topLeft.y());
    applyPhotoGeometry();
    refreshPreview();
}

void Form1::arrowMouseDown(short direction)
{
    m_nudgeDirection = direction;
    m_ui.timer1->start();
}

void Form1::arrowMouseUp()
{
    m_ui.timer1->stop();
}

void Form1::timer1Tick()
{
    if (!FrameNudge::step(m_frame, m_nudgeDirection)) {
        m_ui.timer1->stop();
    }
    applyFramePosition();
    refreshPreview();
}

void Form1::label3MouseMove()
{
    QLabel* link = m_ui.labels[2];
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    setTextColor(link, kLinkHover);
}

void Form1::form1MouseMove()
{
    QLabel* link = m_ui.labels[2];
    setTextColor(link, kLabelText);
    QFont font = link->font();
    font.setUnderline(false);
    link->setFont(font);
}

void Form1::label3Click()
{
    m_services.urls.open(QUrl(QString::fromLatin1(kHomePageUrl)));
}

void Form1::image2Click()
{
    m_services.messages.show(programTitle(),
                             bannerMessage(m_services.programDir, m_services.clock.now()));
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    // Controls keep their own mouse moves, so only the bare window surface
    // (and the dividers, which take no mouse input) arrives here.
    form1MouseMove();
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (watched == m_ui.image1) {
        if (press) {
            image1MouseDown(*static_cast<QMouseEvent*>(event));
        } else if (type == QEvent::MouseMove) {
            image1MouseMove(*static_cast<QMouseEvent*>(event));
        }
    } else if (watched == m_ui.labels[2]) {
        if (type == QEvent::MouseMove) {
            label3MouseMove();
        } else if (isClick(event, m_ui.labels[2])) {
            label3Click();
        }
    } else if (watched == m_ui.previewBox && type == QEvent::ToolTip) {
        // Encoding ten times takes a few milliseconds: only when the user asks.
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), previewToolTip(), m_ui.previewBox);
        return true;
    } else if (watched == m_ui.image2) {
        if (isClick(event, m_ui.image2)) {
            image2Click();
        }
    } else if (auto* button = qobject_cast<QPushButton*>(watched)) {
        const auto index =
            std::find(m_ui.commands.begin(), m_ui.commands.end(), button) - m_ui.commands.begin();
        const short direction = arrowDirection(int(index) + 1);
        if (direction != kNudgeNone && press) {
            arrowMouseDown(direction);
        } else if (direction != kNudgeNone && type == QEvent::MouseButtonRelease) {
            arrowMouseUp();
        }
    }
    return QWidget::eventFilter(watched, event);
}
