// Kestrova — identity photo maker.
#pragma once

#include <QString>

#include <array>
#include <optional>

class QImage;

/// The largest file a typical online form accepts for an ID photo.
inline constexpr qsizetype kSmallPhotoLimitBytes = 20 * 1024;

/// The size in bytes of the file a save at a JPEG quality would write, or
/// nothing when the picture cannot be encoded.
[[nodiscard]] std::optional<qsizetype> savedSize(const QImage& picture, int quality);

/// Sizes for the quality box's numbers 1 to 10 (JPEG qualities 10 to 100).
struct SavedSizes
{
    std::array<qsizetype, 10> bytes{};

    /// Computes every size from the picture; all zero when it cannot be encoded.
    [[nodiscard]] static SavedSizes of(const QImage& picture);
    /// The highest number whose file stays under the small-photo limit, if any.
    [[nodiscard]] std::optional<int> bestUnderLimit() const;
    /// The list as the preview's tooltip shows it.
    [[nodiscard]] QString toolTip() const;
};

/// A size as the program shows it: exact bytes and kilobytes.
[[nodiscard]] QString sizeText(qsizetype bytes);
