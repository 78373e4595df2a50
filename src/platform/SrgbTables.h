// Kestrova — identity photo maker.
#pragma once

#include <QRgb>

#include <array>
#include <cstdint>

/// A conversion of 8-bit RGB into sRGB reduced to tables and one matrix: each
/// channel's value to its linear light, a 3 x 3 matrix (and black offset) into
/// linear sRGB, then linear sRGB back to 8 bits. That is the whole of any
/// conversion from a matrix-and-curves profile, the kind nearly every camera
/// and phone embeds, and it runs several times faster per pixel than a
/// general colour engine.
struct SrgbTables
{
    /// Steps of linear light the output table holds: fine enough that the
    /// darkest sRGB levels, 0.0003 apart, are all told apart.
    static constexpr int kLinearSteps = 16384;

    std::array<std::array<float, 256>, 3> linear{};
    /// Output channel by input channel, scaled to kLinearSteps.
    std::array<std::array<float, 3>, 3> matrix{};
    std::array<float, 3> offset{};
    std::array<std::int32_t, kLinearSteps + 1> encoded{};

    /// Converts count pixels in place, keeping the top byte (alpha) as it is.
    void apply(QRgb* pixels, qsizetype count) const;
    /// The sRGB of one pixel, its top byte kept.
    [[nodiscard]] QRgb convert(QRgb pixel) const;
};
