// Kestrova — identity photo maker.
#pragma once

#include <QByteArrayView>
#include <QRgb>

#include <memory>
#include <optional>

class QImage;

/// An ICC colour profile a picture carries, read with littleCMS, and the
/// conversion of that picture's pixels to sRGB, the colours the screen, the
/// preview and the saved JPEG all assume.
class ColourProfile
{
public:
    /// The largest profile read; real ones are a few kilobytes, large
    /// table-based ones a few megabytes.
    static constexpr qsizetype kMaxProfileBytes = 16 * 1024 * 1024;

    /// The profile, or nothing when the bytes are not a profile a picture can
    /// be converted from (broken, too large, or not for RGB or grey pictures).
    [[nodiscard]] static std::optional<ColourProfile> fromIcc(QByteArrayView icc);

    ColourProfile(ColourProfile&&) noexcept;
    ColourProfile& operator=(ColourProfile&&) noexcept;
    ~ColourProfile();

    /// Converts the picture to sRGB in place, on all cores; returns false,
    /// leaving it as it was, when the profile does not fit the picture (a grey
    /// profile on a colour picture).
    bool convertToSrgb(QImage& image) const;

    /// Whether the picture must be seen whole before it can be converted: a
    /// grey profile fits only a picture that is grey throughout.
    [[nodiscard]] bool needsWholePicture() const;
    /// Converts RGB32 pixels in place, their top byte kept; safe on several
    /// threads at once.
    void convertPixels(QRgb* pixels, qsizetype count) const;

private:
    struct Conversion;
    explicit ColourProfile(std::unique_ptr<Conversion> conversion);

    std::unique_ptr<Conversion> m_conversion;
};

/// Converts the picture to sRGB when icc holds a profile that fits it, and
/// otherwise leaves it exactly as it is; returns whether it converted.
bool convertToSrgb(QImage& image, QByteArrayView icc);
