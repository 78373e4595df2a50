// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>

class PendingPicture;
class PhotoPyramid;
class PictureStream;
class PyramidBuilder;

/// A photo being decoded on a thread of its own, which can be shown as soon as
/// the part in view is in, its reduction levels made beside the decode.
class PhotoLoad final : public QObject
{
    Q_OBJECT

public:
    /// Starts decoding, wanting the region in view first; throws
    /// std::system_error when no thread can be had.
    PhotoLoad(const PendingPicture& pending, QRect inView, QObject* parent = nullptr);
    /// Stops a decode still running and waits for its threads.
    ~PhotoLoad() override;

    /// Returns once every pixel of region is in, or the decode is over: the
    /// picture as far as it is decoded, null when the decode gave none.
    [[nodiscard]] QImage waitFor(const QRect& region);
    [[nodiscard]] bool isFinished() const;
    /// Waits for the decode and the levels: the whole photo, or null when
    /// it could not be decoded. The last call to make.
    [[nodiscard]] std::shared_ptr<const PhotoPyramid> finish();

signals:
    /// The decode is over; delivered on the thread this object lives in.
    void finished();

private:
    std::unique_ptr<PyramidBuilder> m_builder;
    // After the builder, so it stops feeding the builder before that goes.
    std::unique_ptr<PictureStream> m_stream;
};
