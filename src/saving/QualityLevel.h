// Kestrova — identity photo maker.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// The level shown for a rejected quality; the save dialog refuses to save under it.
inline constexpr char16_t kErrorLevel[] = u"错误";

/// Every level, as the level box lists them: best first, the error level last.
[[nodiscard]] QStringList levelNames();

/// The level the quality box's text calls for, or nothing when the level stays as it is.
[[nodiscard]] std::optional<QString> levelForQuality(const QString& qualityText);
