// Kestrova — identity photo maker.
#pragma once

#include "FrameNudge.h"
#include "PhotoPlacement.h"
#include "ScaledPhoto.h"
#include "WorkAreaScene.h"
#include "platform/FaceFinder.h"
#include "platform/MappedImage.h"
#include "platform/Twips.h"

#include <QImage>
#include <QFutureWatcher>
#include <QObject>
#include <QPoint>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class PendingPicture;
class PhotoLoad;
class PictureLoader;
class PhotoPyramid;
class QTimer;

/// The framing model: the photo and its placement in the work area, the crop
/// frame, the nudge and the drag in progress, and the capture they make. It
/// offers the user's operations, each applying one of the placement rules,
/// and tells its views what changed; it knows no widget.
///
/// A photo is shown as soon as the part of it in view is decoded; the rest
/// and its reductions follow on other threads. Meanwhile an operation that
/// needs more of the photo, and every one after it, waits (isWaiting()) and
/// then runs in turn, exactly as it would have with the photo complete.
class FramingSession final : public QObject
{
    Q_OBJECT

public:
    /// A session for a work area whose client area is clientPixels large; the
    /// capture starts filled with captureBack until the first refresh.
    FramingSession(PictureLoader& pictures, FaceFinder& faces, TwipsScale tpp, QSize clientPixels,
                   QColor captureBack, QObject* parent = nullptr);
    ~FramingSession() override;

    [[nodiscard]] const PhotoGeometry& photoGeometry() const { return m_photo; }
    [[nodiscard]] FramePosition framePosition() const { return m_frame; }
    [[nodiscard]] short nudgeDirection() const { return m_nudgeDirection; }
    [[nodiscard]] bool isNudging() const;
    [[nodiscard]] QPoint dragAnchor() const { return m_dragAnchor; }
    [[nodiscard]] const ScaledPhoto& photo() const { return m_picture; }
    /// The picture a save writes: the frame's interior at the last refresh.
    [[nodiscard]] const QImage& capture() const { return m_capture; }

    /// What the work area shows; views paint it and the capture renders from it.
    [[nodiscard]] const WorkAreaScene& scene() const { return m_scene; }
    /// The photo's place and size as its control holds them, in work-area pixels.
    [[nodiscard]] QRect photoControlRect() const;
    /// The crop frame's block in work-area pixels.
    [[nodiscard]] QRect frameRect() const;

    void setColors(QColor back, QColor frame);
    /// Where to ask how many device pixels the work area's screen has per
    /// logical one, so the photo is drawn sharp there as well.
    void setDeviceScale(std::function<qreal()> deviceScale);

    /// Loads a picture at its natural size; false (the previous picture shown
    /// at its natural size) when the name is empty or the file is refused by
    /// its header, and false with no picture when its pixels cannot be decoded.
    /// Returns once the part in view is in; a photo still loading is first completed.
    bool open(const QString& fileName);
    /// Told of the file the user is about to open, maps in the memory its
    /// photo will need meanwhile, for the open that follows to take; nothing
    /// while a photo is shown, whose memory the next one takes over. An
    /// empty name, or another open, lets what was prepared go.
    void prepareFor(const QString& fileName);
    /// Whether the open photo is still being decoded.
    [[nodiscard]] bool isLoadingPhoto() const { return m_load != nullptr; }
    /// Whether operations are waiting for the rest of the photo.
    [[nodiscard]] bool isWaiting() const { return !m_waiting.empty(); }
    /// Runs action once every operation asked for so far has run: at once
    /// unless some are waiting for the photo.
    void whenSettled(std::function<void()> action);
    /// One zoom step (kZoomInFactor or kZoomOutFactor), then a refresh.
    void zoom(float factor);
    /// Frames the head of the largest face by the ID-photo rule, then refreshes. The search
    /// runs on another thread; until it ends every operation that would move the photo or the
    /// frame is ignored. No face, or no usable model: nothing changes, and faceNotFramed says why.
    void autoFrame();
    /// The whole photo at the largest size that fits the work area, at its top-left corner,
    /// then a refresh.
    void showWholePhoto();
    /// Whether a face search started by autoFrame is still running.
    [[nodiscard]] bool isSearchingFace() const { return m_searchingFace; }
    /// What the last finished face search came to.
    [[nodiscard]] const FaceSearch& lastFaceSearch() const { return m_lastFaceSearch; }

    /// A press on the photo at a position in pixels relative to it sets the drag anchor.
    void pressOnPhoto(QPointF pointer);
    /// A move with the left button held drags the photo, then refreshes.
    void dragTo(QPointF pointer);
    /// Starts nudging the frame in a direction, one step per tick.
    void startNudge(short direction);
    void stopNudge();
    /// One nudge step; the nudge stops at an edge. Refreshes either way.
    void nudgeTick();
    /// Places photo and frame at once and refreshes, for operations that
    /// frame the photo by a rule of their own.
    void place(const PhotoGeometry& photo, FramePosition frame);
    /// Copies the frame's interior into the capture.
    void refreshPreview();

signals:
    /// The photo, its size or its place changed.
    void photoChanged();
    void frameChanged();
    void captureChanged();
    /// A face search started or ended.
    void faceSearchChanged(bool searching);
    /// Operations started or stopped waiting for the rest of the photo.
    void waitingChanged(bool waiting);
    /// autoFrame left everything as it was: no face, or the search could not be made.
    void faceNotFramed(FaceSearch::Outcome outcome);

private:
    /// Runs action now, or once the photo is complete when it needs pixels
    /// not yet decoded or others are waiting before it.
    /// Not a std::function: the drag, the nudge and the refresh run at once
    /// nearly always, and should not allocate to do so.
    template <typename Action> void whenReady(bool needsWholePhoto, Action&& action);
    void waitWith(std::function<void()> action);
    /// Shows the new photo once its part in view is in; false when it has none.
    bool showFirstView(PendingPicture& pending);
    void showPhoto(ScaledPhoto photo);
    void completeLoading();
    void runWaiting();
    void zoomNow(float factor);
    void dragNow(QPointF pointer);
    void placeNow(const PhotoGeometry& photo, FramePosition frame);
    void autoFrameNow();
    void showWholePhotoNow();
    void nudgeTickNow();
    void render();
    void applyPhotoGeometry();
    void applyFramePosition();
    void faceSearchDone();
    [[nodiscard]] QSizeF clientTwips() const;
    [[nodiscard]] qreal deviceScale() const;

    PictureLoader& m_pictures;
    FaceFinder& m_faces;
    TwipsScale m_tpp;
    QSize m_clientPixels;
    std::function<qreal()> m_deviceScale;
    QTimer* m_timer1;

    ScaledPhoto m_picture;
    // The same picture for a screen with more device than logical pixels.
    ScaledPhoto m_screenPicture;
    PhotoGeometry m_photo;
    FramePosition m_frame;
    short m_nudgeDirection = kNudgeNone;
    QPoint m_dragAnchor;
    WorkAreaScene m_scene;
    QImage m_capture;

    bool m_searchingFace = false;
    FaceSearch m_lastFaceSearch;
    // The picture being searched: the search keeps it alive, and its result only applies to it.
    std::shared_ptr<const PhotoPyramid> m_searchedPhoto;
    QFutureWatcher<FaceSearch> m_search;

    // While a photo that replaced another comes in, the old one's memory,
    // kept for its pictures to take.
    std::optional<MappedImageReuse> m_oldPhotoMemory;
    // Memory for the file the user is about to open, while none is shown.
    std::unique_ptr<PreparedPictures> m_prepared;
    // The photo still coming in.
    std::unique_ptr<PhotoLoad> m_load;
    std::deque<std::function<void()>> m_waiting;
};
