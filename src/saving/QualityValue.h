// Kestrova — identity photo maker.
#pragma once

#include <optional>

class QLocale;
class QString;

/// The quality box holds numbers on a 1-10 scale; the encoder's scale is this much finer.
inline constexpr int kQualityPerNumber = 10;

/// The largest quality value a save accepts.
inline constexpr int kMaxQualityValue = 255;

/// The JPEG quality for the quality box's text, read as a number in a locale: ten times
/// the number, rounded half to even; nothing when the text is not a number as a whole or
/// the value falls outside 0-255.
[[nodiscard]] std::optional<int> qualityValue(const QString& text, const QLocale& locale);
