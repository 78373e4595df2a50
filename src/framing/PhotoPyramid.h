// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <vector>

/// A picture and its successive halvings, so that any display size can be
/// rendered from a level no more than twice as large as it. All levels are
/// made when the picture arrives, on every core, so no zoom step after the
/// open ever waits for one: for a 100-megapixel photo that takes a small
/// fraction of its decoding time.
class PhotoPyramid
{
public:
    /// Takes the picture over, as Format_RGB32 or, when it has transparency,
    /// Format_ARGB32_Premultiplied, so averages of transparent pixels stay right.
    explicit PhotoPyramid(QImage picture);
    /// A picture with reductions made already, each the halving of the one
    /// before (see PyramidBuilder); without them, the picture alone.
    PhotoPyramid(QImage picture, std::vector<QImage> reductions);

    [[nodiscard]] QSize naturalSize() const { return m_levels.front().size(); }
    [[nodiscard]] int levelCount() const { return int(m_levels.size()); }
    /// Level 0 is the picture, each further one half the one before.
    [[nodiscard]] const QImage& level(int index) const { return m_levels[std::size_t(index)]; }
    /// The smallest level at least as large as displaySize in both directions.
    [[nodiscard]] int levelFor(QSize displaySize) const;

    /// Each pixel of the result is the rounded average of the 2 x 2 block
    /// beneath it; an odd last column or row is averaged with itself. Null
    /// when there is no memory for the result.
    [[nodiscard]] static QImage halved(const QImage& image);
    /// Whether a level of this size gets a halving below it.
    [[nodiscard]] static bool hasHalving(QSize level);
    [[nodiscard]] static QSize halvedSize(QSize level);
    /// The sizes of the levels of a picture of this size, its own first.
    [[nodiscard]] static std::vector<QSize> levelSizes(QSize picture);
    /// The part of a level's halving made only of pixels within region of the level.
    [[nodiscard]] static QRect halvedRegion(const QRect& region, QSize level);
    /// Makes the pixels of result, the halving of source, within region of the result.
    static void halveInto(const QImage& source, QImage& result, const QRect& region);

private:
    std::vector<QImage> m_levels;
};
