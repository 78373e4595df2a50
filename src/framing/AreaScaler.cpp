// Kestrova — identity photo maker.
#include "AreaScaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Weights are 14-bit fixed point, so a channel times its weight, summed over
// all taps, stays well inside 32 bits.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
// The horizontal pass keeps 8 fractional bits per channel for the vertical one.
constexpr int kHorizontalShift = kWeightBits - 8;
constexpr int kVerticalShift = kWeightBits + 8;
constexpr int kChannels = 4;

/// For each output index along one axis: the first source index and the
/// weights of the source pixels from there on.
struct Taps
{
    int stride = 0;
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> weights; // stride per output index

    [[nodiscard]] const int* weightsOf(int i) const { return &weights[std::size_t(i) * stride]; }
};

Taps tapsFor(int sourceLength, int displayLength, int from, int length)
{
    const double scale = double(sourceLength) / displayLength;
    Taps taps;
    taps.stride = scale >= 1.0 ? int(std::ceil(scale)) + 1 : 2;
    taps.first.resize(std::size_t(length));
    taps.count.resize(std::size_t(length));
    taps.weights.assign(std::size_t(length) * taps.stride, 0);
    std::vector<double> exact(std::size_t(taps.stride));
    for (int i = 0; i < length; ++i) {
        const int out = from + i;
        int first = 0;
        int count = 0;
        if (scale >= 1.0) {
            // The share of each source pixel in the span this output pixel covers.
            const double left = out * scale;
            const double right = std::min((out + 1) * scale, double(sourceLength));
            first = std::min(int(left), sourceLength - 1);
            const int last = std::clamp(int(std::ceil(right)) - 1, first, sourceLength - 1);
            count = last - first + 1;
            for (int k = 0; k < count; ++k) {
                const double overlap =
                    std::min(double(first + k + 1), right) - std::max(double(first + k), left);
                exact[std::size_t(k)] = std::max(overlap, 0.0);
            }
        } else {
            // Linear between the two source pixels whose centres enclose this one's.
            const double centre = std::clamp((out + 0.5) * scale - 0.5, 0.0, sourceLength - 1.0);
            first = std::min(int(centre), sourceLength - 1);
            const double fraction = centre - first;
            count = first + 1 < sourceLength ? 2 : 1;
            exact[0] = 1.0 - fraction;
            exact[1] = fraction;
            if (count == 1) {
                exact[0] = 1.0;
            }
        }
        double total = 0.0;
        for (int k = 0; k < count; ++k) {
            total += exact[std::size_t(k)];
        }
        int* weights = &taps.weights[std::size_t(i) * taps.stride];
        int sum = 0;
        int largest = 0;
        for (int k = 0; k < count; ++k) {
            weights[k] = int(std::lround(exact[std::size_t(k)] / total * kWeightOne));
            sum += weights[k];
            largest = weights[k] > weights[largest] ? k : largest;
        }
        // Rounding must not brighten or darken: the weights add up to exactly one.
        weights[largest] += kWeightOne - sum;
        taps.first[std::size_t(i)] = first;
        taps.count[std::size_t(i)] = count;
    }
    return taps;
}

} // namespace

QImage AreaScaler::render(const QImage& source, QSize displaySize, const QRect& region)
{
    const QRect area = region.intersected(QRect(QPoint(0, 0), displaySize));
    if (source.isNull() || area.isEmpty()) {
        return {};
    }
    QImage result(area.size(), source.format());
    if (result.isNull()) {
        return result;
    }
    const Taps across = tapsFor(source.width(), displaySize.width(), area.x(), area.width());
    const Taps down = tapsFor(source.height(), displaySize.height(), area.y(), area.height());

    const int firstRow = down.first.front();
    const int lastRow = down.first.back() + down.count.back() - 1;
    const int width = area.width();
    const std::size_t rowValues = std::size_t(width) * kChannels;

    // Horizontal pass over just the source rows this region needs.
    std::vector<quint16> rows(std::size_t(lastRow - firstRow + 1) * rowValues);
    for (int y = firstRow; y <= lastRow; ++y) {
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(y));
        quint16* out = &rows[std::size_t(y - firstRow) * rowValues];
        for (int x = 0; x < width; ++x) {
            const quint32* pixel = in + across.first[std::size_t(x)];
            const int* weight = across.weightsOf(x);
            quint32 c0 = 0;
            quint32 c1 = 0;
            quint32 c2 = 0;
            quint32 c3 = 0;
            for (int k = 0; k < across.count[std::size_t(x)]; ++k) {
                const quint32 p = pixel[k];
                const auto w = quint32(weight[k]);
                c0 += (p & 0xff) * w;
                c1 += ((p >> 8) & 0xff) * w;
                c2 += ((p >> 16) & 0xff) * w;
                c3 += (p >> 24) * w;
            }
            constexpr quint32 kHalf = 1u << (kHorizontalShift - 1);
            out[0] = quint16((c0 + kHalf) >> kHorizontalShift);
            out[1] = quint16((c1 + kHalf) >> kHorizontalShift);
            out[2] = quint16((c2 + kHalf) >> kHorizontalShift);
            out[3] = quint16((c3 + kHalf) >> kHorizontalShift);
            out += kChannels;
        }
    }

    // Vertical pass, a whole row at a time so the inner loop is a plain
    // multiply-add the compiler can vectorise.
    std::vector<quint32> sums(rowValues);
    for (int y = 0; y < area.height(); ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        const int* weight = down.weightsOf(y);
        for (int k = 0; k < down.count[std::size_t(y)]; ++k) {
            const quint16* in =
                &rows[std::size_t(down.first[std::size_t(y)] + k - firstRow) * rowValues];
            const auto w = quint32(weight[k]);
            for (std::size_t i = 0; i < rowValues; ++i) {
                sums[i] += in[i] * w;
            }
        }
        auto* out = reinterpret_cast<quint32*>(result.scanLine(y));
        constexpr quint32 kHalf = 1u << (kVerticalShift - 1);
        for (int x = 0; x < width; ++x) {
            const quint32* s = &sums[std::size_t(x) * kChannels];
            out[x] = ((s[0] + kHalf) >> kVerticalShift) |
                     (((s[1] + kHalf) >> kVerticalShift) << 8) |
                     (((s[2] + kHalf) >> kVerticalShift) << 16) |
                     (((s[3] + kHalf) >> kVerticalShift) << 24);
        }
    }
    return result;
}
