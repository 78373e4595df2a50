// Kestrova — identity photo maker.
#include "Module1.h"

#include "JpegEncoder.h"
#include "platform/AppError.h"

#include <QByteArray>
#include <QImage>
#include <QSaveFile>
#include <QString>

#include <new>

namespace {

// The file appears under its name only once it is complete: a failed write
// leaves neither a partial file nor a damaged earlier one.
int writeWhole(const QByteArray& bytes, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return kSaveWin32Error;
    }
    return kSaveOk;
}

int writeJpeg(const QImage& picture, const QString& path, int quality)
{
    try {
        const EncodedJpeg encoded = encodeJpeg(picture, quality);
        if (encoded.status != kSaveOk) {
            return encoded.status;
        }
        return writeWhole(encoded.bytes, path);
    } catch (const std::bad_alloc&) {
        return kSaveOutOfMemory;
    }
}

} // namespace

namespace Module1 {

void saveJpeg(const QImage& picture, const QString& path, int quality)
{
    const int status = writeJpeg(picture, path, quality);
    if (status != kSaveOk) {
        throw AppError(kSaveErrorNumber, saveErrorText(status));
    }
}

QString saveErrorText(int status)
{
    return QStringLiteral("保存图像失败。 GDI+ Error:") + QString::number(status);
}

} // namespace Module1
