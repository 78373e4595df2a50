// Kestrova — identity photo maker.
#include "DlibFaceFinder.h"

#include "framing/PhotoPyramid.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRect>

#include <dlib/array2d.h>
#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/image_processing/shape_predictor.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <fstream>
#include <mutex>
#include <new>

namespace {

// The detector's smallest face is about 80 pixels across, so at this longer side it finds a
// face a tenth of the photo's longer side, in a fraction of the time the whole photo takes.
constexpr int kDetectionSide = 800;
// The landmarks come out in whole pixels of the level they are found on. From this box width
// on, the eyes-to-chin height spans at least some 125 pixels of that level (it is 0.7 to 0.9
// of the box's width), so one of them is under half a pixel of the 120 x 180 capture, where
// that height is 57 pixels.
constexpr double kLandmarkBoxWidth = 180.0;
// The landmark model samples pixels around the face's outline, somewhat beyond its box.
constexpr double kCropMargin = 0.5;

constexpr unsigned long kLandmarkCount = 68;
constexpr unsigned long kFirstLeftEyePoint = 36;
constexpr unsigned long kFirstRightEyePoint = 42;
constexpr unsigned long kEyePointCount = 6;
constexpr unsigned long kChinPoint = 8;

int longerSide(QSize size)
{
    return std::max(size.width(), size.height());
}

void toGray(const QImage& image, dlib::array2d<unsigned char>& pixels)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    pixels.set_size(gray.height(), gray.width());
    for (int y = 0; y < gray.height(); ++y) {
        std::memcpy(&pixels[y][0], gray.constScanLine(y), std::size_t(gray.width()));
    }
}

/// A dlib pixel index (whose pixel covers [i, i + 1)) at a level, in the photo's own pixels;
/// each level halves the one before exactly, pixel for pixel pair.
QPointF onPhoto(const dlib::point& point, QPoint levelOrigin, int level)
{
    const double scale = std::ldexp(1.0, level);
    return QPointF((double(point.x()) + levelOrigin.x() + 0.5) * scale,
                   (double(point.y()) + levelOrigin.y() + 0.5) * scale);
}

QPointF meanOf(const dlib::full_object_detection& shape, unsigned long first, QPoint origin,
               int level)
{
    QPointF sum;
    for (unsigned long i = first; i < first + kEyePointCount; ++i) {
        sum += onPhoto(shape.part(i), origin, level);
    }
    return sum / double(kEyePointCount);
}

class DlibFaceFinder final : public FaceFinder
{
public:
    explicit DlibFaceFinder(QString modelPath) : m_modelPath(std::move(modelPath)) {}

    std::optional<QString> prepare() override
    {
        const std::lock_guard lock(m_mutex);
        return loadOnce();
    }

    FaceSearch find(const PhotoPyramid& photo) override
    {
        const std::lock_guard lock(m_mutex);
        if (const std::optional<QString> problem = loadOnce()) {
            return FaceSearch{FaceSearch::Outcome::ModelUnavailable, std::nullopt, *problem};
        }
        // Nothing dlib or the allocator throws may reach the caller, which may be a Qt slot.
        try {
            std::optional<QRectF> box = largestFace(photo);
            if (!box) {
                return FaceSearch{};
            }
            return FaceSearch{FaceSearch::Outcome::Found, landmarks(photo, *box), QString()};
        } catch (const std::exception& error) {
            return FaceSearch{FaceSearch::Outcome::Failed, std::nullopt,
                              QString::fromLocal8Bit(error.what())};
        }
    }

private:
    std::optional<QString> loadOnce()
    {
        if (m_loaded) {
            return std::nullopt;
        }
        const QFileInfo file(m_modelPath);
        if (!file.isFile()) {
            return QStringLiteral("The face landmark model %1 is missing.").arg(m_modelPath);
        }
        std::ifstream in(QFile::encodeName(file.absoluteFilePath()).toStdString(),
                         std::ios::binary);
        if (!in) {
            return QStringLiteral("The face landmark model %1 cannot be read.").arg(m_modelPath);
        }
        try {
            dlib::shape_predictor predictor;
            dlib::deserialize(predictor, in);
            // A model of other points would have the eyes and chin at other numbers, or none.
            if (predictor.num_parts() != kLandmarkCount) {
                return QStringLiteral("%1 is not a 68-point face landmark model.").arg(m_modelPath);
            }
            m_detector = dlib::get_frontal_face_detector();
            m_predictor = std::move(predictor);
        } catch (const std::exception& error) {
            return QStringLiteral("The face landmark model %1 cannot be read: %2")
                .arg(m_modelPath, QString::fromLocal8Bit(error.what()));
        }
        m_loaded = true;
        return std::nullopt;
    }

    /// The largest face's box, in the photo's own pixels.
    std::optional<QRectF> largestFace(const PhotoPyramid& photo)
    {
        // The smallest level still at least as large as the detection size, brought to it.
        int level = 0;
        while (level + 1 < photo.levelCount() &&
               longerSide(photo.level(level + 1).size()) >= kDetectionSide) {
            ++level;
        }
        const QImage& source = photo.level(level);
        const QImage scaled = source.scaled(QSize(kDetectionSide, kDetectionSide),
                                            Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (scaled.isNull()) {
            throw std::bad_alloc();
        }
        dlib::array2d<unsigned char> pixels;
        toGray(scaled, pixels);

        const std::vector<dlib::rectangle> faces = m_detector(pixels);
        if (faces.empty()) {
            return std::nullopt;
        }
        const dlib::rectangle largest = *std::max_element(
            faces.begin(), faces.end(),
            [](const dlib::rectangle& a, const dlib::rectangle& b) { return a.area() < b.area(); });
        const double scaleX = std::ldexp(1.0, level) * source.width() / scaled.width();
        const double scaleY = std::ldexp(1.0, level) * source.height() / scaled.height();
        return QRectF(double(largest.left()) * scaleX, double(largest.top()) * scaleY,
                      double(largest.width()) * scaleX, double(largest.height()) * scaleY);
    }

    /// The landmarks of the face in box, found on the smallest level that keeps them fine.
    FaceLandmarks landmarks(const PhotoPyramid& photo, const QRectF& box)
    {
        int level = 0;
        while (level + 1 < photo.levelCount() &&
               box.width() / std::ldexp(1.0, level + 1) >= kLandmarkBoxWidth) {
            ++level;
        }
        const QImage& source = photo.level(level);
        const double scale = std::ldexp(1.0, -level);
        const QRectF onLevel(box.x() * scale, box.y() * scale, box.width() * scale,
                             box.height() * scale);
        // Only the pixels around the face are converted, however large the level.
        const QRect crop =
            onLevel
                .adjusted(-kCropMargin * onLevel.width(), -kCropMargin * onLevel.height(),
                          kCropMargin * onLevel.width(), kCropMargin * onLevel.height())
                .toAlignedRect()
                .intersected(source.rect());
        dlib::array2d<unsigned char> pixels;
        toGray(source.copy(crop), pixels);

        const QPointF topLeft = onLevel.topLeft() - crop.topLeft();
        const dlib::rectangle faceRect(std::lround(topLeft.x()), std::lround(topLeft.y()),
                                       std::lround(topLeft.x() + onLevel.width()) - 1,
                                       std::lround(topLeft.y() + onLevel.height()) - 1);
        const dlib::full_object_detection shape = m_predictor(pixels, faceRect);

        FaceLandmarks face;
        face.leftEye = meanOf(shape, kFirstLeftEyePoint, crop.topLeft(), level);
        face.rightEye = meanOf(shape, kFirstRightEyePoint, crop.topLeft(), level);
        face.chin = onPhoto(shape.part(kChinPoint), crop.topLeft(), level);
        face.box = box;
        return face;
    }

    const QString m_modelPath;
    std::mutex m_mutex;
    bool m_loaded = false;
    dlib::frontal_face_detector m_detector;
    dlib::shape_predictor m_predictor;
};

} // namespace

std::unique_ptr<FaceFinder> makeDlibFaceFinder(const QString& modelPath)
{
    return std::make_unique<DlibFaceFinder>(modelPath);
}
