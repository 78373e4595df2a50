// Kestrova — identity photo maker.
#include "PhotoLoad.h"

#include "PhotoPyramid.h"
#include "PyramidBuilder.h"
#include "platform/PictureLoader.h"

PhotoLoad::PhotoLoad(const PendingPicture& pending, QRect inView, QObject* parent)
    : QObject(parent), m_builder(std::make_unique<PyramidBuilder>())
{
    PyramidBuilder* levels = m_builder.get();
    m_stream = pending.stream(
        inView,
        [levels](const QImage& picture, const QRect& region) {
            levels->regionDone(picture, region);
        },
        // Emitted on the decoding thread, so queued to this object's own.
        [this] { emit finished(); });
}

PhotoLoad::~PhotoLoad()
{
    m_stream.reset();
}

QImage PhotoLoad::waitFor(const QRect& region)
{
    m_stream->waitFor(region);
    return m_stream->picture();
}

bool PhotoLoad::isFinished() const
{
    return !m_stream || m_stream->isFinished();
}

std::shared_ptr<const PhotoPyramid> PhotoLoad::finish()
{
    m_stream->waitUntilFinished();
    QImage picture = m_stream->picture();
    // Let go of the stream's hold, so a picture converted for its levels is converted in place.
    m_stream.reset();
    std::optional<std::vector<QImage>> reductions = m_builder->finish();
    if (picture.isNull()) {
        return nullptr;
    }
    // A picture not told region by region, such as a BMP, is halved here.
    return reductions
               ? std::make_shared<const PhotoPyramid>(std::move(picture), std::move(*reductions))
               : std::make_shared<const PhotoPyramid>(std::move(picture));
}
