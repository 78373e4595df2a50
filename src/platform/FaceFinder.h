// Kestrova — identity photo maker.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

class PhotoPyramid;

/// The points of a face that place a head, in the photo's own pixels: pixel (i, j) covers
/// [i, i + 1) x [j, j + 1), so a point scales with the photo by a plain multiplication.
struct FaceLandmarks
{
    /// The centre of the eye nearer the photo's left edge (the person's right eye).
    QPointF leftEye;
    QPointF rightEye;
    /// The lowest point of the chin.
    QPointF chin;
    /// The box the detector found the face in.
    QRectF box;

    [[nodiscard]] QPointF eyeMidpoint() const { return (leftEye + rightEye) / 2.0; }
};

/// What a search for a face came to.
struct FaceSearch
{
    enum class Outcome
    {
        Found,
        NoFace,
        /// The landmark model file is missing, unreadable or not a landmark model.
        ModelUnavailable,
        /// The search itself failed, as for want of memory.
        Failed,
    };

    Outcome outcome = Outcome::NoFace;
    /// The largest face; set exactly when found.
    std::optional<FaceLandmarks> face;
    /// What went wrong, for ModelUnavailable and Failed.
    QString problem;
};

/// Finds the largest upright frontal face in a photo.
class FaceFinder
{
public:
    virtual ~FaceFinder() = default;

    /// Loads what the search needs, unless already loaded: a slow first step best taken off
    /// the user-interface thread. Empty when ready, otherwise why the model cannot be used.
    [[nodiscard]] virtual std::optional<QString> prepare() = 0;
    /// Searches the photo, preparing first when needed. Never throws; safe to call from any
    /// thread, calls from several threads take turns.
    [[nodiscard]] virtual FaceSearch find(const PhotoPyramid& photo) = 0;
};
