// Kestrova — identity photo maker.
#pragma once

#include "FaceFinder.h"

#include <QString>

#include <memory>

/// Where Debian's libdlib-data installs dlib's 68-point face landmark model.
inline constexpr char kFaceLandmarkModelPath[] =
    "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";

/// The face finder over dlib: its HOG frontal-face detector on a reduced level of the photo,
/// then its 68-point landmark model where the face is, at a level fine enough for placing the
/// head to a fraction of a capture pixel. The model (about 100 MB) is read on first use.
/// Only this function's source file sees dlib, whose headers are costly to compile.
[[nodiscard]] std::unique_ptr<FaceFinder>
makeDlibFaceFinder(const QString& modelPath = QString::fromLatin1(kFaceLandmarkModelPath));
