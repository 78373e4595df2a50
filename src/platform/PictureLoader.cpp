// Kestrova — identity photo maker.
#include "PictureLoader.h"

#include "AppError.h"

#include <QImageReader>

QImage QtPictureLoader::load(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        throw AppError(kInvalidPictureErrorNumber, QStringLiteral("图片无效。"));
    }
    return image;
}
