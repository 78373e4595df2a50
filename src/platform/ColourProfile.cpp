// Kestrova — identity photo maker.
#include "ColourProfile.h"

#include "RowBands.h"
#include "SrgbTables.h"

#include <QImage>
#include <QList>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <lcms2.h>

namespace {

// For the matrix-and-curves profiles of cameras and phones every intent is
// the same; for table-based ones perceptual keeps the detail of colours the
// screen cannot show, as photo viewers do.
constexpr cmsUInt32Number kIntent = INTENT_PERCEPTUAL;
// QRgb as bytes in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr cmsUInt32Number kRgb32Format = TYPE_BGRA_8;
#else
constexpr cmsUInt32Number kRgb32Format = TYPE_ARGB_8;
#endif
// A band of fewer pixels is over before a second thread would start.
constexpr qint64 kPixelsPerThread = 1'000'000;
constexpr qint64 kMaxThreads = 8;
// The tables stand in for littleCMS only where they agree with it this well.
constexpr int kTableTolerance = 1;
constexpr int kCheckLevels = 8;
constexpr int kLevels = 256;
constexpr qsizetype kIccHeaderBytes = 128;

struct ProfileCloser
{
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter
{
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

Profile srgbProfile()
{
    return Profile(cmsCreate_sRGBProfile());
}

/// sRGB's primaries and white with no transfer curve: the space the tables'
/// matrix leads into.
Profile linearSrgbProfile()
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    if (linear == nullptr) {
        return Profile();
    }
    cmsToneCurve* const curves[3] = {linear, linear, linear};
    Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(linear);
    return profile;
}

bool usableAsSource(cmsHPROFILE profile)
{
    switch (cmsGetDeviceClass(profile)) {
    case cmsSigInputClass:
    case cmsSigDisplayClass:
    case cmsSigOutputClass:
    case cmsSigColorSpaceClass:
        return true;
    default:
        return false;
    }
}

int maxDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

using EncodeTable = decltype(SrgbTables::encoded);

/// Linear sRGB at every step to 8-bit sRGB, by littleCMS; the same for
/// every profile, so made once.
const std::optional<EncodeTable>& encodeTable()
{
    static const std::optional<EncodeTable> table = []() -> std::optional<EncodeTable> {
        const Profile linear = linearSrgbProfile();
        const Profile srgb = srgbProfile();
        if (!linear || !srgb) {
            return std::nullopt;
        }
        const Transform encode(cmsCreateTransform(linear.get(), TYPE_RGB_FLT, srgb.get(),
                                                  TYPE_RGB_8, kIntent, cmsFLAGS_NOCACHE));
        if (!encode) {
            return std::nullopt;
        }
        constexpr int kSteps = SrgbTables::kLinearSteps;
        std::vector<float> steps(3 * (kSteps + 1));
        for (int step = 0; step <= kSteps; ++step) {
            std::fill_n(steps.begin() + 3 * step, 3, float(double(step) / kSteps));
        }
        std::vector<uchar> encoded(steps.size());
        cmsDoTransform(encode.get(), steps.data(), encoded.data(), kSteps + 1);
        EncodeTable result{};
        for (int step = 0; step <= kSteps; ++step) {
            result[step] = encoded[3 * step];
        }
        return result;
    }();
    return table;
}

/// Reads the conversion off littleCMS itself: black, then each channel alone
/// at every level, into linear sRGB; and linear sRGB at every step back to
/// 8 bits. Nothing when the profile is not a matrix-and-curves one, which
/// shows as the tables disagreeing with littleCMS's own conversion.
std::unique_ptr<SrgbTables> tabulate(cmsHPROFILE source, cmsHPROFILE srgb)
{
    const Profile linear = linearSrgbProfile();
    if (!linear) {
        return nullptr;
    }
    const Transform toLinear(cmsCreateTransform(source, TYPE_RGB_8, linear.get(), TYPE_RGB_FLT,
                                                kIntent, cmsFLAGS_NOCACHE));
    const Transform reference(
        cmsCreateTransform(source, TYPE_RGB_8, srgb, TYPE_RGB_8, kIntent, cmsFLAGS_NOCACHE));
    const std::optional<EncodeTable>& encode = encodeTable();
    if (!toLinear || !reference || !encode) {
        return nullptr;
    }

    constexpr int kSamples = 1 + 3 * kLevels;
    std::vector<uchar> levels(3 * kSamples, 0);
    for (int channel = 0; channel < 3; ++channel) {
        for (int level = 0; level < kLevels; ++level) {
            levels[3 * (1 + channel * kLevels + level) + channel] = uchar(level);
        }
    }
    std::vector<float> light(3 * kSamples);
    cmsDoTransform(toLinear.get(), levels.data(), light.data(), kSamples);
    auto sample = [&light](int index, int out) { return double(light[3 * index + out]); };

    auto tables = std::make_unique<SrgbTables>();
    constexpr double kSteps = SrgbTables::kLinearSteps;
    for (int channel = 0; channel < 3; ++channel) {
        // The channel's direction in linear sRGB is its full-scale value less
        // black; each level's linear light is how far along it that level lies.
        const int full = 1 + channel * kLevels + (kLevels - 1);
        std::array<double, 3> direction{};
        double length2 = 0.0;
        for (int out = 0; out < 3; ++out) {
            direction[out] = sample(full, out) - sample(0, out);
            length2 += direction[out] * direction[out];
        }
        if (!(length2 > 1e-12) || !std::isfinite(length2)) {
            return nullptr;
        }
        for (int level = 0; level < kLevels; ++level) {
            double along = 0.0;
            for (int out = 0; out < 3; ++out) {
                along +=
                    (sample(1 + channel * kLevels + level, out) - sample(0, out)) * direction[out];
            }
            tables->linear[channel][level] = float(along / length2);
        }
        for (int out = 0; out < 3; ++out) {
            tables->matrix[out][channel] = float(direction[out] * kSteps);
        }
    }
    for (int out = 0; out < 3; ++out) {
        tables->offset[out] = float(sample(0, out) * kSteps);
    }

    tables->encoded = *encode;

    // A grid of colours through both: a table-based profile, or curves that
    // mix the channels, cannot pass.
    std::vector<uchar> grid;
    for (int r = 0; r < kCheckLevels; ++r) {
        for (int g = 0; g < kCheckLevels; ++g) {
            for (int b = 0; b < kCheckLevels; ++b) {
                for (int level : {r, g, b}) {
                    grid.push_back(uchar(level * (kLevels - 1) / (kCheckLevels - 1)));
                }
            }
        }
    }
    const int colours = int(grid.size() / 3);
    std::vector<uchar> expected(grid.size());
    cmsDoTransform(reference.get(), grid.data(), expected.data(), cmsUInt32Number(colours));
    for (int i = 0; i < colours; ++i) {
        const QRgb converted = tables->convert(qRgb(grid[3 * i], grid[3 * i + 1], grid[3 * i + 2]));
        const QRgb wanted = qRgb(expected[3 * i], expected[3 * i + 1], expected[3 * i + 2]);
        if (maxDifference(converted, wanted) > kTableTolerance) {
            return nullptr;
        }
    }
    return tables;
}

/// Each grey level's sRGB colour.
using GreyTable = std::array<QRgb, kLevels>;

std::unique_ptr<GreyTable> greyTable(cmsHPROFILE source, cmsHPROFILE srgb)
{
    const Transform toSrgb(
        cmsCreateTransform(source, TYPE_GRAY_8, srgb, TYPE_RGB_8, kIntent, cmsFLAGS_NOCACHE));
    if (!toSrgb) {
        return nullptr;
    }
    std::array<uchar, kLevels> levels{};
    for (int level = 0; level < kLevels; ++level) {
        levels[level] = uchar(level);
    }
    std::array<uchar, 3 * kLevels> colours{};
    cmsDoTransform(toSrgb.get(), levels.data(), colours.data(), kLevels);
    auto table = std::make_unique<GreyTable>();
    for (int level = 0; level < kLevels; ++level) {
        (*table)[level] = qRgb(colours[3 * level], colours[3 * level + 1], colours[3 * level + 2]);
    }
    return table;
}

} // namespace

/// One of three ways to sRGB: tables for matrix-and-curves profiles, a grey
/// table for grey ones, littleCMS itself for any other.
struct ColourProfile::Conversion
{
    std::unique_ptr<SrgbTables> tables;
    std::unique_ptr<GreyTable> grey;
    Transform engine;

    void convert(QRgb* pixels, qsizetype count) const
    {
        if (tables) {
            tables->apply(pixels, count);
        } else if (grey) {
            for (qsizetype x = 0; x < count; ++x) {
                const QRgb pixel = pixels[x];
                pixels[x] = (pixel & 0xff000000u) | (qRed((*grey)[qRed(pixel)]) << 16) |
                            (qGreen((*grey)[qGreen(pixel)]) << 8) | qBlue((*grey)[qBlue(pixel)]);
            }
        } else {
            // The top byte of each pixel is left as it is.
            cmsDoTransform(engine.get(), pixels, pixels, cmsUInt32Number(count));
        }
    }
};

ColourProfile::ColourProfile(std::unique_ptr<Conversion> conversion)
    : m_conversion(std::move(conversion))
{}

ColourProfile::ColourProfile(ColourProfile&&) noexcept = default;
ColourProfile& ColourProfile::operator=(ColourProfile&&) noexcept = default;
ColourProfile::~ColourProfile() = default;

std::optional<ColourProfile> ColourProfile::fromIcc(QByteArrayView icc)
{
    if (icc.size() < kIccHeaderBytes || icc.size() > kMaxProfileBytes) {
        return std::nullopt;
    }
    // littleCMS reads a profile cut short as far as it goes; its own length
    // says whether it is whole. Bytes beyond that length are padding.
    const quint32 length = qFromBigEndian<quint32>(icc.data());
    if (length < kIccHeaderBytes || length > quint32(icc.size())) {
        return std::nullopt;
    }
    const Profile source(cmsOpenProfileFromMem(icc.data(), length));
    const Profile srgb = srgbProfile();
    if (!source || !srgb || !usableAsSource(source.get())) {
        return std::nullopt;
    }
    auto conversion = std::make_unique<Conversion>();
    switch (cmsGetColorSpace(source.get())) {
    case cmsSigRgbData:
        conversion->tables = tabulate(source.get(), srgb.get());
        if (!conversion->tables) {
            conversion->engine.reset(cmsCreateTransform(source.get(), kRgb32Format, srgb.get(),
                                                        kRgb32Format, kIntent, cmsFLAGS_NOCACHE));
            if (!conversion->engine) {
                return std::nullopt;
            }
        }
        break;
    case cmsSigGrayData:
        conversion->grey = greyTable(source.get(), srgb.get());
        if (!conversion->grey) {
            return std::nullopt;
        }
        break;
    default:
        return std::nullopt;
    }
    return ColourProfile(std::move(conversion));
}

bool ColourProfile::convertToSrgb(QImage& image) const
{
    if (image.isNull() || (m_conversion->grey && !image.isGrayscale())) {
        return false;
    }
    if (image.colorCount() > 0) {
        QList<QRgb> colours = image.colorTable();
        m_conversion->convert(colours.data(), colours.size());
        image.setColorTable(colours);
        return true;
    }
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    // Row addresses are worked out here: the threads never touch the QImage.
    uchar* const bits = image.bits();
    if (bits == nullptr) {
        return false;
    }
    const qsizetype stride = image.bytesPerLine();
    const int width = image.width();
    const Conversion& conversion = *m_conversion;
    inRowBands(image.height(), qint64(width) * image.height(), kPixelsPerThread, kMaxThreads,
               [&](int first, int end) {
                   for (int y = first; y < end; ++y) {
                       conversion.convert(reinterpret_cast<QRgb*>(bits + y * stride), width);
                   }
               });
    return true;
}

bool ColourProfile::needsWholePicture() const
{
    return m_conversion->grey != nullptr;
}

void ColourProfile::convertPixels(QRgb* pixels, qsizetype count) const
{
    m_conversion->convert(pixels, count);
}

bool convertToSrgb(QImage& image, QByteArrayView icc)
{
    if (icc.isEmpty()) {
        return false;
    }
    const std::optional<ColourProfile> profile = ColourProfile::fromIcc(icc);
    return profile && profile->convertToSrgb(image);
}
