// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QSize>

#include <vector>

/// A picture and its successive halvings, built once when the picture is
/// opened, so that any display size can be rendered from a level no more
/// than twice as large as it.
class PhotoPyramid
{
public:
    /// Takes the picture over, as Format_RGB32 or, when it has transparency,
    /// Format_ARGB32_Premultiplied, so averages of transparent pixels stay right.
    explicit PhotoPyramid(QImage picture);

    [[nodiscard]] QSize naturalSize() const { return m_levels.front().size(); }
    [[nodiscard]] int levelCount() const { return int(m_levels.size()); }
    [[nodiscard]] const QImage& level(int index) const { return m_levels[std::size_t(index)]; }
    /// The smallest level at least as large as displaySize in both directions.
    [[nodiscard]] int levelFor(QSize displaySize) const;

    /// Each pixel of the result is the average of the 2 x 2 block beneath it;
    /// an odd last column or row is averaged with itself.
    [[nodiscard]] static QImage halved(const QImage& image);

private:
    std::vector<QImage> m_levels;
};
