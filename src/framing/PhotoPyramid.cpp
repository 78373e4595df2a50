// Kestrova — identity photo maker.
#include "PhotoPyramid.h"

#include "platform/RowBands.h"

#include <algorithm>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Below this a level is cheap to average over whole, however small it is shown.
constexpr int kSmallestLevelSide = 256;
// A halving smaller than this is over before a second thread would start.
constexpr qint64 kPixelsPerThread = 1'000'000;
constexpr qint64 kMaxThreads = 4;

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

/// Averages the pairs of pixels along top and bottom into out.
void averagePairs(const quint32* top, const quint32* bottom, quint32* out, int pairs)
{
    int x = 0;
#ifdef __SSE2__
    // Four results at a time, each channel widened to 16 bits: the same sums
    // and rounding as average4.
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(2);
    for (; x + 4 <= pairs; x += 4) {
        const __m128i top0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + 2 * x));
        const __m128i top1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + 2 * x + 4));
        const __m128i bottom0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + 2 * x));
        const __m128i bottom1 =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + 2 * x + 4));
        // Column sums of source pixels 0-1, 2-3, 4-5 and 6-7.
        const __m128i columns01 =
            _mm_add_epi16(_mm_unpacklo_epi8(top0, zero), _mm_unpacklo_epi8(bottom0, zero));
        const __m128i columns23 =
            _mm_add_epi16(_mm_unpackhi_epi8(top0, zero), _mm_unpackhi_epi8(bottom0, zero));
        const __m128i columns45 =
            _mm_add_epi16(_mm_unpacklo_epi8(top1, zero), _mm_unpacklo_epi8(bottom1, zero));
        const __m128i columns67 =
            _mm_add_epi16(_mm_unpackhi_epi8(top1, zero), _mm_unpackhi_epi8(bottom1, zero));
        // Each result adds the sums of its two neighbouring columns.
        const __m128i results01 = _mm_add_epi16(_mm_unpacklo_epi64(columns01, columns23),
                                                _mm_unpackhi_epi64(columns01, columns23));
        const __m128i results23 = _mm_add_epi16(_mm_unpacklo_epi64(columns45, columns67),
                                                _mm_unpackhi_epi64(columns45, columns67));
        const __m128i rounded01 = _mm_srli_epi16(_mm_add_epi16(results01, half), 2);
        const __m128i rounded23 = _mm_srli_epi16(_mm_add_epi16(results23, half), 2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_packus_epi16(rounded01, rounded23));
    }
#endif
    for (; x < pairs; ++x) {
        out[x] = average4(top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]);
    }
}

/// A halving's pixels as plain memory, so bands of it can be made on several
/// threads without any of them touching the images themselves.
struct Halving
{
    const uchar* source = nullptr;
    qsizetype sourceStride = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    uchar* result = nullptr;
    qsizetype resultStride = 0;
    int resultWidth = 0;
};

Halving halvingOf(const QImage& source, QImage& result)
{
    return Halving{source.constBits(), source.bytesPerLine(), source.width(), source.height(),
                   result.bits(),      result.bytesPerLine(), result.width()};
}

/// Makes the result's pixels in the given rows and columns.
void halveRegion(const Halving& job, int firstRow, int endRow, int firstColumn, int endColumn)
{
    const int pairs = job.sourceWidth / 2;
    const int pairEnd = std::min(endColumn, pairs);
    const int lastX = job.sourceWidth - 1;
    for (int y = firstRow; y < endRow; ++y) {
        const auto* top = reinterpret_cast<const quint32*>(job.source + 2 * y * job.sourceStride);
        const auto* bottom = reinterpret_cast<const quint32*>(
            job.source + std::min(2 * y + 1, job.sourceHeight - 1) * job.sourceStride);
        auto* out = reinterpret_cast<quint32*>(job.result + y * job.resultStride);
        if (pairEnd > firstColumn) {
            averagePairs(top + 2 * firstColumn, bottom + 2 * firstColumn, out + firstColumn,
                         pairEnd - firstColumn);
        }
        if (pairs < job.resultWidth && endColumn == job.resultWidth) {
            out[pairs] = average4(top[lastX], top[lastX], bottom[lastX], bottom[lastX]);
        }
    }
}

/// Where pixels of a level from begin up to end lead to in the next: those
/// whose every source pixel lies in that range.
std::pair<int, int> halvedRange(int begin, int end, int size)
{
    return {(begin + 1) / 2, end == size ? (size + 1) / 2 : end / 2};
}

} // namespace

PhotoPyramid::PhotoPyramid(QImage picture)
{
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    // In place where Qt can, so the full-size picture is never copied.
    m_levels.push_back(std::move(picture).convertToFormat(format));
    while (!m_levels.back().isNull() && hasHalving(m_levels.back().size())) {
        QImage next = halved(m_levels.back());
        if (next.isNull()) {
            // Out of memory: the levels made so far still show every size,
            // only more slowly far below them.
            break;
        }
        m_levels.push_back(std::move(next));
    }
}

PhotoPyramid::PhotoPyramid(QImage picture, std::vector<QImage> reductions)
{
    m_levels.reserve(reductions.size() + 1);
    m_levels.push_back(std::move(picture));
    for (QImage& level : reductions) {
        m_levels.push_back(std::move(level));
    }
}

bool PhotoPyramid::hasHalving(QSize level)
{
    return level.width() > 1 && level.height() > 1 &&
           std::max(level.width(), level.height()) > kSmallestLevelSide;
}

QSize PhotoPyramid::halvedSize(QSize level)
{
    return QSize((level.width() + 1) / 2, (level.height() + 1) / 2);
}

std::vector<QSize> PhotoPyramid::levelSizes(QSize picture)
{
    std::vector<QSize> sizes{picture};
    while (hasHalving(sizes.back())) {
        sizes.push_back(halvedSize(sizes.back()));
    }
    return sizes;
}

QRect PhotoPyramid::halvedRegion(const QRect& region, QSize level)
{
    const auto [left, right] = halvedRange(region.left(), region.right() + 1, level.width());
    const auto [top, bottom] = halvedRange(region.top(), region.bottom() + 1, level.height());
    if (right <= left || bottom <= top) {
        return {};
    }
    return QRect(left, top, right - left, bottom - top);
}

void PhotoPyramid::halveInto(const QImage& source, QImage& result, const QRect& region)
{
    halveRegion(halvingOf(source, result), region.top(), region.bottom() + 1, region.left(),
                region.right() + 1);
}

int PhotoPyramid::levelFor(QSize displaySize) const
{
    int index = 0;
    while (index + 1 < levelCount() && level(index + 1).width() >= displaySize.width() &&
           level(index + 1).height() >= displaySize.height()) {
        ++index;
    }
    return index;
}

QImage PhotoPyramid::halved(const QImage& image)
{
    QImage result(halvedSize(image.size()), image.format());
    if (result.isNull()) {
        return result;
    }
    const Halving job = halvingOf(image, result);
    // Every band is joined before the result is handed on.
    inRowBands(result.height(), qint64(result.width()) * result.height(), kPixelsPerThread,
               kMaxThreads,
               [&job](int first, int end) { halveRegion(job, first, end, 0, job.resultWidth); });
    return result;
}
