// Kestrova — identity photo maker.
#include "QualityValue.h"

#include "platform/Rounding.h"

#include <QLocale>
#include <QString>

#include <cmath>

std::optional<int> qualityValue(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double number = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    const double value = roundHalfEven(number * kQualityPerNumber);
    if (value < 0.0 || value > double(kMaxQualityValue)) {
        return std::nullopt;
    }
    return int(value);
}
