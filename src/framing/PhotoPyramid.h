// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QSize>

#include <future>
#include <vector>

/// A picture and its successive halvings, so that any display size can be
/// rendered from a level no more than twice as large as it. The halvings are
/// made on another thread as soon as the picture arrives: the picture itself
/// can be shown at once, and zooming needs the first halving only once the
/// display size is below half the natural size, seven zoom steps later.
class PhotoPyramid
{
public:
    /// Takes the picture over, as Format_RGB32 or, when it has transparency,
    /// Format_ARGB32_Premultiplied, so averages of transparent pixels stay right.
    explicit PhotoPyramid(QImage picture);
    ~PhotoPyramid();
    PhotoPyramid(const PhotoPyramid&) = delete;
    PhotoPyramid& operator=(const PhotoPyramid&) = delete;

    [[nodiscard]] QSize naturalSize() const { return m_picture.size(); }
    [[nodiscard]] int levelCount() const { return int(m_sizes.size()); }
    /// Level 0 is the picture; a smaller one may wait for the halvings to be done.
    [[nodiscard]] const QImage& level(int index) const;
    /// Whether level() answers at once for every level.
    [[nodiscard]] bool halvingsReady() const;
    /// The smallest level at least as large as displaySize in both directions.
    [[nodiscard]] int levelFor(QSize displaySize) const;

    /// Each pixel of the result is the average of the 2 x 2 block beneath it;
    /// an odd last column or row is averaged with itself.
    [[nodiscard]] static QImage halved(const QImage& image);

private:
    QImage m_picture;
    std::vector<QSize> m_sizes;
    // Declared last so it is waited for before the picture it reads goes away.
    mutable std::shared_future<std::vector<QImage>> m_halvings;
};
