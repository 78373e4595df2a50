// Kestrova — identity photo maker.
#include "PhotoPyramid.h"

#include <algorithm>
#include <chrono>

namespace {

// Below this a level is cheap to average over whole, however small it is shown.
constexpr int kSmallestLevelSide = 256;

constexpr quint32 kEvenBytes = 0x00ff00ffu;

/// The rounded average of four pixels, two channels at a time: four 8-bit
/// values and the rounding add up to ten bits, so the lanes never spill.
inline quint32 average4(quint32 a, quint32 b, quint32 c, quint32 d)
{
    constexpr quint32 kHalf = 0x00020002u;
    const quint32 even =
        (a & kEvenBytes) + (b & kEvenBytes) + (c & kEvenBytes) + (d & kEvenBytes) + kHalf;
    const quint32 odd = ((a >> 8) & kEvenBytes) + ((b >> 8) & kEvenBytes) +
                        ((c >> 8) & kEvenBytes) + ((d >> 8) & kEvenBytes) + kHalf;
    return ((even >> 2) & kEvenBytes) | (((odd >> 2) & kEvenBytes) << 8);
}

} // namespace

PhotoPyramid::PhotoPyramid(QImage picture)
{
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    // In place where Qt can, so the full-size picture is never copied.
    m_picture = std::move(picture).convertToFormat(format);
    m_sizes.push_back(m_picture.size());
    while (!m_picture.isNull() && m_sizes.back().width() > 1 && m_sizes.back().height() > 1 &&
           std::max(m_sizes.back().width(), m_sizes.back().height()) > kSmallestLevelSide) {
        m_sizes.push_back(
            QSize((m_sizes.back().width() + 1) / 2, (m_sizes.back().height() + 1) / 2));
    }
    const int halvings = levelCount() - 1;
    m_halvings = std::async(std::launch::async, [source = &m_picture, halvings] {
                     std::vector<QImage> levels;
                     for (int i = 0; i < halvings; ++i) {
                         levels.push_back(halved(i == 0 ? *source : levels.back()));
                     }
                     return levels;
                 }).share();
}

PhotoPyramid::~PhotoPyramid()
{
    m_halvings.wait();
}

const QImage& PhotoPyramid::level(int index) const
{
    if (index == 0) {
        return m_picture;
    }
    return m_halvings.get()[std::size_t(index - 1)];
}

bool PhotoPyramid::halvingsReady() const
{
    return m_halvings.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

int PhotoPyramid::levelFor(QSize displaySize) const
{
    int index = 0;
    while (index + 1 < levelCount() &&
           m_sizes[std::size_t(index + 1)].width() >= displaySize.width() &&
           m_sizes[std::size_t(index + 1)].height() >= displaySize.height()) {
        ++index;
    }
    return index;
}

QImage PhotoPyramid::halved(const QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    QImage result((width + 1) / 2, (height + 1) / 2, image.format());
    if (result.isNull()) {
        return result;
    }
    const int lastX = width - 1;
    for (int y = 0; y < result.height(); ++y) {
        const auto* top = reinterpret_cast<const quint32*>(image.constScanLine(2 * y));
        const auto* bottom =
            reinterpret_cast<const quint32*>(image.constScanLine(std::min(2 * y + 1, height - 1)));
        auto* out = reinterpret_cast<quint32*>(result.scanLine(y));
        const int pairs = width / 2;
        for (int x = 0; x < pairs; ++x) {
            out[x] = average4(top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]);
        }
        if (pairs < result.width()) {
            out[pairs] = average4(top[lastX], top[lastX], bottom[lastX], bottom[lastX]);
        }
    }
    return result;
}
