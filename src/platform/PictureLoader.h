// Kestrova — identity photo maker.
#pragma once

#include "PictureStream.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

/// The most pixels a picture may have; 108-megapixel phone photos still fit.
inline constexpr qint64 kMaxPicturePixels = 120'000'000;

/// A file whose header has been accepted, its pixels not yet decoded: the
/// caller can let go of a previous picture before this one takes memory.
class PendingPicture
{
public:
    PendingPicture(PictureStream::Decode decode, bool showsWhatItDecodes, QSize mappedSize = {})
        : m_decode(std::move(decode)), m_showsWhatItDecodes(showsWhatItDecodes),
          m_mappedSize(mappedSize)
    {}
    /// The picture, upright; nothing when its pixels cannot be decoded.
    [[nodiscard]] std::optional<QImage> decode() { return m_decode(nullptr); }
    /// Starts decoding the picture on a thread of its own (see PictureStream).
    [[nodiscard]] std::unique_ptr<PictureStream> stream(QRect wantedFirst,
                                                        PictureStream::RegionDone onRegion,
                                                        std::function<void()> onFinished) const
    {
        return std::make_unique<PictureStream>(m_decode, wantedFirst, std::move(onRegion),
                                               std::move(onFinished));
    }
    /// Whether damage past the header still gives a picture of what could be
    /// read, as libjpeg fills in what it cannot. Only then is letting go of a
    /// shown photo before the decode sound: Qt's BMP and GIF readers give
    /// nothing for broken pixel data, which would cost the user that photo.
    [[nodiscard]] bool showsWhatItDecodes() const { return m_showsWhatItDecodes; }
    /// The size of the mapped picture (see mappedImage()) the decode writes
    /// into, upright; empty when it makes its picture another way.
    [[nodiscard]] QSize mappedSize() const { return m_mappedSize; }

private:
    PictureStream::Decode m_decode;
    bool m_showsWhatItDecodes = false;
    QSize m_mappedSize;
};

/// Loads BMP, JPEG and GIF pictures.
class PictureLoader
{
public:
    virtual ~PictureLoader() = default;
    /// Checks the file's format, header and size without allocating anything of
    /// the picture's size; nothing when it is not a picture the program opens.
    [[nodiscard]] virtual std::optional<PendingPicture> open(const QString& path) = 0;
    /// The picture in the file, upright; nothing when it cannot be loaded.
    [[nodiscard]] std::optional<QImage> load(const QString& path)
    {
        std::optional<PendingPicture> pending = open(path);
        return pending ? pending->decode() : std::nullopt;
    }
};

/// Recognises the format by the file's content, whatever its name says, and
/// refuses a picture whose header claims more than kMaxPicturePixels before
/// anything of that size is allocated.
class QtPictureLoader final : public PictureLoader
{
public:
    [[nodiscard]] std::optional<PendingPicture> open(const QString& path) override;
};
