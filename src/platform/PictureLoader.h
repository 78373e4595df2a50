// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QString>

#include <optional>

/// The most pixels a picture may have; 108-megapixel phone photos still fit.
inline constexpr qint64 kMaxPicturePixels = 120'000'000;

/// Loads BMP, JPEG and GIF pictures.
class PictureLoader
{
public:
    virtual ~PictureLoader() = default;
    /// The picture in the file, upright; nothing when it cannot be loaded.
    [[nodiscard]] virtual std::optional<QImage> load(const QString& path) = 0;
};

/// Recognises the format by the file's content, whatever its name says, and
/// refuses a picture whose header claims more than kMaxPicturePixels before
/// anything of that size is allocated.
class QtPictureLoader final : public PictureLoader
{
public:
    [[nodiscard]] std::optional<QImage> load(const QString& path) override;

private:
    [[nodiscard]] static QImage read(const QString& path);
};
