// Kestrova — identity photo maker.
#include "FramingSession.h"

#include "CaptureGeometry.h"
#include "HeadFraming.h"
#include "PhotoLoad.h"
#include "PhotoPyramid.h"
#include "platform/PictureLoader.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <system_error>

namespace {

constexpr int kTimer1IntervalMs = 50;
// Beyond the work area, decoded before a new photo is first shown on a dense
// screen: the tiles of its scaled copy reach up to this far past what they show.
constexpr int kFirstViewMargin = 64;

QRectF twipsRect(const PhotoGeometry& photo)
{
    return QRectF(photo.left, photo.top, photo.width, photo.height);
}

} // namespace

template <typename Action> void FramingSession::whenReady(bool needsWholePhoto, Action&& action)
{
    if (m_waiting.empty() && (!needsWholePhoto || !m_load)) {
        action();
        return;
    }
    waitWith(std::forward<Action>(action));
}

FramingSession::FramingSession(PictureLoader& pictures, FaceFinder& faces, TwipsScale tpp,
                               QSize clientPixels, QColor captureBack, QObject* parent)
    : QObject(parent), m_pictures(pictures), m_faces(faces), m_tpp(tpp),
      m_clientPixels(clientPixels), m_timer1(new QTimer(this)),
      m_capture(kCaptureSize, QImage::Format_RGB32)
{
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTimer1IntervalMs);
    connect(m_timer1, &QTimer::timeout, this, &FramingSession::nudgeTick);
    connect(&m_search, &QFutureWatcher<FaceSearch>::finished, this,
            &FramingSession::faceSearchDone);
    m_capture.fill(captureBack);
    m_scene.setPhoto(&m_picture);
    applyPhotoGeometry();
    applyFramePosition();
}

FramingSession::~FramingSession()
{
    // The search reads the finder, which its owner destroys after this session.
    m_search.waitForFinished();
    // A decode still running writes into the photo.
    m_load.reset();
}

bool FramingSession::isNudging() const
{
    return m_timer1->isActive();
}

QRect FramingSession::photoControlRect() const
{
    return m_tpp.toPixels(twipsRect(m_photo));
}

QRect FramingSession::frameRect() const
{
    return m_tpp.toPixels(QRectF(m_frame.left, m_frame.top, kFrameWidthTwips, kFrameHeightTwips));
}

void FramingSession::setColors(QColor back, QColor frame)
{
    m_scene.setBackColor(back);
    m_scene.setFrameColor(frame);
    emit photoChanged();
}

void FramingSession::setDeviceScale(std::function<qreal()> deviceScale)
{
    m_deviceScale = std::move(deviceScale);
    applyPhotoGeometry();
}

bool FramingSession::open(const QString& fileName)
{
    // Handed over to the new photo's pictures, or let go with this.
    std::unique_ptr<PreparedPictures> prepared = std::move(m_prepared);
    if (fileName.isEmpty()) {
        return false;
    }
    // Whatever was asked of the photo loading so far is done to it first.
    if (m_load) {
        completeLoading();
    }
    // The old picture goes back to its natural size first, so a file that
    // cannot be read leaves it shown unzoomed at the corner.
    PhotoPlacement::resetForOpen(m_photo, m_picture.naturalSize(), m_tpp);
    applyPhotoGeometry();
    std::optional<PendingPicture> pending = m_pictures.open(fileName);
    if (!pending) {
        return false;
    }
    // The file is accepted: let the shown photo go before the new one takes
    // its memory, so opening a large photo again never needs room for two.
    // Only for a file that shows whatever it decodes: a BMP or GIF whose data
    // turns out broken would otherwise leave the user with no photo at all.
    if (pending->showsWhatItDecodes()) {
        m_oldPhotoMemory.emplace();
        if (prepared) {
            prepared->handOver();
        }
        m_screenPicture = ScaledPhoto();
        m_picture = ScaledPhoto();
        applyPhotoGeometry();
    }
    // A picture made another way takes none of it.
    prepared.reset();
    const bool shown = showFirstView(*pending);
    if (!m_load) {
        m_oldPhotoMemory.reset();
    }
    if (!shown) {
        return false;
    }
    PhotoPlacement::takeNaturalSize(m_photo, m_picture.naturalSize(), m_tpp);
    applyPhotoGeometry();
    return true;
}

void FramingSession::prepareFor(const QString& fileName)
{
    m_prepared.reset();
    if (fileName.isEmpty() || !m_picture.isNull() || m_load) {
        return;
    }
    const std::optional<PendingPicture> pending = m_pictures.open(fileName);
    if (pending && !pending->mappedSize().isEmpty()) {
        m_prepared =
            std::make_unique<PreparedPictures>(PhotoPyramid::levelSizes(pending->mappedSize()));
    }
}

bool FramingSession::showFirstView(PendingPicture& pending)
{
    // Drawn one to one, the work area needs just its own part; scaled for a
    // dense screen, its tiles reach a little beyond.
    const int margin = deviceScale() == 1.0 ? 0 : kFirstViewMargin;
    const QRect inView = QRect(QPoint(0, 0), m_clientPixels).adjusted(0, 0, margin, margin);
    try {
        m_load = std::make_unique<PhotoLoad>(pending, inView);
    } catch (const std::system_error&) {
        // No thread to decode on: the whole picture, here and now.
        std::optional<QImage> picture = pending.decode();
        if (!picture) {
            return false;
        }
        showPhoto(ScaledPhoto(std::move(*picture)));
        return true;
    }
    // Its own queued word, dropped with it should it be completed sooner.
    connect(m_load.get(), &PhotoLoad::finished, m_load.get(), [this] { completeLoading(); });
    const QImage shown = m_load->waitFor(inView);
    if (shown.isNull()) {
        m_load.reset();
        return false;
    }
    if (m_load->isFinished()) {
        // A picture smaller than the view, or one not shown while decoded.
        completeLoading();
    } else {
        // The picture alone for now; its levels come with the rest of it.
        showPhoto(ScaledPhoto(std::make_shared<const PhotoPyramid>(shown, std::vector<QImage>{})));
    }
    return true;
}

void FramingSession::showPhoto(ScaledPhoto photo)
{
    m_picture = std::move(photo);
    m_screenPicture = m_picture;
    applyPhotoGeometry();
}

void FramingSession::completeLoading()
{
    const std::unique_ptr<PhotoLoad> load = std::move(m_load);
    showPhoto(ScaledPhoto(load->finish()));
    // Its pictures are made: what they did not take of the old photo's memory goes.
    m_oldPhotoMemory.reset();
    runWaiting();
}

void FramingSession::waitWith(std::function<void()> action)
{
    m_waiting.push_back(std::move(action));
    if (m_waiting.size() == 1) {
        emit waitingChanged(true);
    }
}

void FramingSession::whenSettled(std::function<void()> action)
{
    whenReady(false, std::move(action));
}

void FramingSession::runWaiting()
{
    if (m_waiting.empty()) {
        return;
    }
    // An action may open another photo; those after it then wait for that one.
    while (!m_waiting.empty() && !m_load) {
        const std::function<void()> action = std::move(m_waiting.front());
        m_waiting.pop_front();
        action();
    }
    if (m_waiting.empty()) {
        emit waitingChanged(false);
    }
}

void FramingSession::zoom(float factor)
{
    whenReady(true, [this, factor] { zoomNow(factor); });
}

void FramingSession::zoomNow(float factor)
{
    if (m_searchingFace) {
        return;
    }
    PhotoPlacement::zoom(m_photo, factor);
    applyPhotoGeometry();
    render();
}

void FramingSession::pressOnPhoto(QPointF pointer)
{
    whenReady(false, [this, pointer] {
        if (!m_searchingFace) {
            m_dragAnchor = PhotoPlacement::dragAnchor(m_tpp.toTwips(pointer));
        }
    });
}

void FramingSession::dragTo(QPointF pointer)
{
    // A drag may uncover any part of the photo.
    whenReady(true, [this, pointer] { dragNow(pointer); });
}

void FramingSession::dragNow(QPointF pointer)
{
    if (m_searchingFace) {
        return;
    }
    const QPointF topLeft = PhotoPlacement::dragStep(m_photo, m_tpp.toTwips(pointer), m_dragAnchor,
                                                     m_tpp, clientTwips());
    m_photo.left = float(topLeft.x());
    m_photo.top = float(topLeft.y());
    applyPhotoGeometry();
    render();
}

void FramingSession::startNudge(short direction)
{
    whenReady(false, [this, direction] {
        if (!m_searchingFace) {
            m_nudgeDirection = direction;
            m_timer1->start();
        }
    });
}

void FramingSession::stopNudge()
{
    whenReady(false, [this] { m_timer1->stop(); });
}

void FramingSession::nudgeTick()
{
    // The frame stays within the work area, whose part of the photo is in.
    whenReady(false, [this] { nudgeTickNow(); });
}

void FramingSession::nudgeTickNow()
{
    if (!FrameNudge::step(m_frame, m_nudgeDirection)) {
        m_timer1->stop();
    }
    applyFramePosition();
    render();
}

void FramingSession::autoFrame()
{
    whenReady(true, [this] { autoFrameNow(); });
}

void FramingSession::autoFrameNow()
{
    if (m_searchingFace || m_picture.isNull()) {
        return;
    }
    // The frame is about to be placed; a nudge running meanwhile would move it on.
    m_timer1->stop();
    m_searchingFace = true;
    m_searchedPhoto = m_picture.pyramid();
    emit faceSearchChanged(true);
    FaceFinder* faces = &m_faces;
    m_search.setFuture(
        QtConcurrent::run([faces, photo = m_searchedPhoto] { return faces->find(*photo); }));
}

void FramingSession::faceSearchDone()
{
    m_lastFaceSearch = m_search.result();
    m_searchingFace = false;
    const std::shared_ptr<const PhotoPyramid> searched = std::move(m_searchedPhoto);
    emit faceSearchChanged(false);
    // Opening is refused while a search runs, but should a new picture get in, a face found
    // on the old one says nothing about it.
    if (searched != m_picture.pyramid()) {
        return;
    }
    std::optional<HeadPlacement> placement;
    if (m_lastFaceSearch.face) {
        const FaceLandmarks& face = *m_lastFaceSearch.face;
        placement = HeadFraming::place(m_picture.naturalSize(), face.eyeMidpoint(), face.chin,
                                       m_tpp, clientTwips());
    }
    if (placement) {
        placeNow(placement->photo, placement->frame);
        return;
    }
    // A face too small to frame within the largest zoom counts as none.
    emit faceNotFramed(m_lastFaceSearch.outcome == FaceSearch::Outcome::Found
                           ? FaceSearch::Outcome::NoFace
                           : m_lastFaceSearch.outcome);
}

void FramingSession::showWholePhoto()
{
    whenReady(true, [this] { showWholePhotoNow(); });
}

void FramingSession::showWholePhotoNow()
{
    if (m_searchingFace || m_picture.isNull()) {
        return;
    }
    if (const std::optional<PhotoGeometry> whole =
            HeadFraming::wholePhoto(m_picture.naturalSize(), m_tpp, clientTwips())) {
        placeNow(*whole, m_frame);
    }
}

void FramingSession::place(const PhotoGeometry& photo, FramePosition frame)
{
    whenReady(true, [this, photo, frame] { placeNow(photo, frame); });
}

void FramingSession::placeNow(const PhotoGeometry& photo, FramePosition frame)
{
    m_photo = photo;
    m_frame = frame;
    applyPhotoGeometry();
    applyFramePosition();
    render();
}

void FramingSession::refreshPreview()
{
    whenReady(false, [this] { render(); });
}

void FramingSession::render()
{
    m_capture = m_scene.render(captureSourceRect(m_frame, m_tpp));
    emit captureChanged();
}

qreal FramingSession::deviceScale() const
{
    return m_deviceScale ? m_deviceScale() : 1.0;
}

QSizeF FramingSession::clientTwips() const
{
    return m_tpp.toTwips(QSizeF(m_clientPixels));
}

void FramingSession::applyPhotoGeometry()
{
    const QRect pixels = photoControlRect();
    m_picture.setDisplaySize(m_photo.stretch ? pixels.size() : m_picture.naturalSize());
    const qreal deviceScale = this->deviceScale();
    if (deviceScale != 1.0 && !m_picture.isNull()) {
        const QSize shown = m_picture.displaySize();
        m_screenPicture.setDisplaySize(
            QSize(qRound(shown.width() * deviceScale), qRound(shown.height() * deviceScale)));
        m_scene.setScreenPhoto(&m_screenPicture, deviceScale);
    } else {
        m_scene.setScreenPhoto(nullptr, 1.0);
    }
    m_scene.setPhotoRect(QRect(pixels.topLeft(), m_picture.displaySize()));
    emit photoChanged();
}

void FramingSession::applyFramePosition()
{
    m_scene.setFrameRect(frameRect());
    emit frameChanged();
}
