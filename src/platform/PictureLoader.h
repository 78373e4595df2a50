// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QString>

/// Error number raised for a file that is not a picture the program can open.
inline constexpr int kInvalidPictureErrorNumber = 481;

/// Loads BMP, JPEG and GIF pictures.
class PictureLoader
{
public:
    virtual ~PictureLoader() = default;
    /// The picture in the file, upright; raises AppError when it cannot be loaded.
    [[nodiscard]] virtual QImage load(const QString& path) = 0;
};

class QtPictureLoader final : public PictureLoader
{
public:
    [[nodiscard]] QImage load(const QString& path) override;
};
