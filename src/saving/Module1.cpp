// Kestrova — identity photo maker.
#include "Module1.h"

#include "AtomicOutputFile.h"
#include "JpegEncoder.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <new>

namespace {

int writeJpeg(const QImage& picture, OutputFile& file, int quality)
{
    try {
        const EncodedJpeg encoded = encodeJpeg(picture, quality);
        if (encoded.status != kSaveOk) {
            return encoded.status;
        }
        // The file appears under its name only once it is complete: a failed
        // write leaves neither a partial file nor a damaged earlier one.
        return writeWhole(file, encoded.bytes) ? kSaveOk : kSaveWin32Error;
    } catch (const std::bad_alloc&) {
        return kSaveOutOfMemory;
    }
}

} // namespace

namespace Module1 {

std::optional<AppError> saveJpeg(const QImage& picture, const QString& path, int quality)
{
    AtomicOutputFile file(path);
    return saveJpeg(picture, file, quality);
}

std::optional<AppError> saveJpeg(const QImage& picture, OutputFile& file, int quality)
{
    const int status = writeJpeg(picture, file, quality);
    if (status != kSaveOk) {
        return AppError(kSaveErrorNumber, saveErrorText(status));
    }
    return std::nullopt;
}

QString saveErrorText(int status)
{
    return QStringLiteral("保存图像失败。 GDI+ Error:") + QString::number(status);
}

} // namespace Module1
