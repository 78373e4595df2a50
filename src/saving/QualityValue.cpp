// Kestrova — identity photo maker.
#include "QualityValue.h"

#include "platform/Rounding.h"

#include <QLocale>
#include <QString>

#include <cmath>

namespace {

// The box holds a 1-10 scale; the encoder's scale is ten times finer.
constexpr double kQualityScale = 10.0;

} // namespace

std::optional<int> qualityValue(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double number = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    const double value = roundHalfEven(number * kQualityScale);
    if (value < 0.0 || value > double(kMaxQualityValue)) {
        return std::nullopt;
    }
    return int(value);
}
