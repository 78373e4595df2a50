// Kestrova — identity photo maker.
#pragma once

#include <QString>

#include <optional>

/// The level shown for a rejected quality; the save dialog refuses to save under it.
inline constexpr char16_t kErrorLevel[] = u"错误";

/// The level the quality box's text calls for, or nothing when the level stays as it is.
[[nodiscard]] std::optional<QString> levelForQuality(const QString& qualityText);
