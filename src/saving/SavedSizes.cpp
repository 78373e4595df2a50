// Kestrova — identity photo maker.
#include "SavedSizes.h"

#include "JpegEncoder.h"
#include "QualityValue.h"
#include "SaveStatus.h"

#include <QImage>
#include <QLocale>

std::optional<qsizetype> savedSize(const QImage& picture, int quality)
{
    // The file is exactly the encoder's bytes, so encoding in memory gives
    // its size without writing anything.
    const EncodedJpeg encoded = encodeJpeg(picture, quality);
    if (encoded.status != kSaveOk) {
        return std::nullopt;
    }
    return encoded.bytes.size();
}

SavedSizes SavedSizes::of(const QImage& picture)
{
    SavedSizes sizes;
    for (int number = 1; number <= int(sizes.bytes.size()); ++number) {
        const std::optional<qsizetype> size = savedSize(picture, number * kQualityPerNumber);
        if (!size) {
            return SavedSizes{};
        }
        sizes.bytes[number - 1] = *size;
    }
    return sizes;
}

std::optional<int> SavedSizes::bestUnderLimit() const
{
    std::optional<int> best;
    for (int number = 1; number <= int(bytes.size()); ++number) {
        if (bytes[number - 1] > 0 && bytes[number - 1] < kSmallPhotoLimitBytes) {
            best = number;
        }
    }
    return best;
}

QString sizeText(qsizetype bytes)
{
    const QLocale locale = QLocale::system();
    return QStringLiteral("%1 字节（%2 KB）")
        .arg(locale.toString(bytes), locale.toString(double(bytes) / 1024.0, 'f', 1));
}

QString SavedSizes::toolTip() const
{
    if (bytes[0] == 0) {
        return QString();
    }
    const std::optional<int> best = bestUnderLimit();
    QString text = QStringLiteral("按各品质保存的文件大小：");
    for (int number = 1; number <= int(bytes.size()); ++number) {
        text += QStringLiteral("\n品质 %1：%2").arg(number).arg(sizeText(bytes[number - 1]));
        if (best == number) {
            text += QStringLiteral("  ← 20 KB 以下的最高品质");
        }
    }
    if (!best) {
        text += QStringLiteral("\n没有品质能让文件小于 20 KB。");
    }
    return text;
}
