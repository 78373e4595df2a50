// Kestrova — identity photo maker.
// Colour profiles: opening a 24-megapixel JPEG with a Display P3 profile
// against the same JPEG without one, side by side; and the conversion to
// sRGB of 24 and 48 megapixels by littleCMS, by Qt's QColorSpace and by
// the program's tables read off littleCMS.
#include "ProfiledPictures.h"
#include "TestPictures.h"
#include "platform/ColourProfile.h"
#include "platform/PictureLoader.h"

#include <QColorSpace>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <lcms2.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

const QSize k24Megapixels(6000, 4000);
const QSize k48Megapixels(8000, 6000);

enum Engine
{
    kLittleCms,
    kQColorSpace,
    kTables
};

QTemporaryDir& pictureDir()
{
    static QTemporaryDir dir;
    return dir;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_Open24MegapixelWithAndWithoutProfile(benchmark::State& state)
{
    const QByteArray plain = TestPictures::jpegFile(TestPictures::photoLike(k24Megapixels), 90);
    const QDir dir(pictureDir().path());
    const QString plainPath = TestPictures::writeFile(dir, QStringLiteral("plain.jpg"), plain);
    const QString profiledPath = TestPictures::writeFile(
        dir, QStringLiteral("p3.jpg"),
        ProfiledPictures::withIccProfile(plain, ProfiledPictures::displayP3Profile()));
    // Turn about, so both see the same load on the machine.
    std::vector<double> plainSeconds;
    std::vector<double> profiledSeconds;
    for (auto _ : state) {
        for (const QString& path : {plainPath, profiledPath}) {
            QElapsedTimer timer;
            timer.start();
            QtPictureLoader loader;
            benchmark::DoNotOptimize(loader.load(path));
            (path == plainPath ? plainSeconds : profiledSeconds)
                .push_back(double(timer.nsecsElapsed()) / 1e9);
        }
    }
    state.counters["plain_ms"] = median(plainSeconds) * 1e3;
    state.counters["profiled_ms"] = median(profiledSeconds) * 1e3;
    state.counters["ratio"] = median(profiledSeconds) / median(plainSeconds);
}

/// Converts with littleCMS on bands of rows, one per core.
void convertWithLittleCms(QImage& image, const QByteArray& icc)
{
    cmsHPROFILE source = cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(source, TYPE_BGRA_8, srgb, TYPE_BGRA_8,
                                                 INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int rows = image.height();
    const int width = image.width();
    auto band = [&](int index) {
        const int first = rows * index / threads;
        const int end = rows * (index + 1) / threads;
        cmsDoTransformLineStride(transform, bits + first * stride, bits + first * stride,
                                 cmsUInt32Number(width), cmsUInt32Number(end - first),
                                 cmsUInt32Number(stride), cmsUInt32Number(stride), 0, 0);
    };
    {
        std::vector<std::jthread> helpers;
        for (int index = 0; index + 1 < threads; ++index) {
            helpers.emplace_back(band, index);
        }
        band(threads - 1);
    }
    cmsDeleteTransform(transform);
    cmsCloseProfile(srgb);
    cmsCloseProfile(source);
}

void BM_ConvertToSrgb(benchmark::State& state)
{
    const auto engine = Engine(state.range(0));
    const QSize size = state.range(1) == 24 ? k24Megapixels : k48Megapixels;
    const QImage picture = TestPictures::photoLike(size).convertToFormat(QImage::Format_RGB32);
    const QByteArray icc = ProfiledPictures::displayP3Profile();
    for (auto _ : state) {
        state.PauseTiming();
        QImage image = picture.copy();
        state.ResumeTiming();
        switch (engine) {
        case kLittleCms:
            convertWithLittleCms(image, icc);
            break;
        case kQColorSpace:
            image.setColorSpace(QColorSpace::fromIccProfile(icc));
            image.convertToColorSpace(QColorSpace::SRgb);
            break;
        case kTables:
            ColourProfile::fromIcc(icc)->convertToSrgb(image);
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(engine == kLittleCms     ? "littleCMS cmsDoTransform"
                   : engine == kQColorSpace ? "QColorSpace"
                                            : "tables read off littleCMS");
}

/// Reading a profile and making its tables, paid once per opened picture.
void BM_ReadProfile(benchmark::State& state)
{
    const QByteArray icc = ProfiledPictures::displayP3Profile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ColourProfile::fromIcc(icc));
    }
}

} // namespace

BENCHMARK(BM_ReadProfile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open24MegapixelWithAndWithoutProfile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);
BENCHMARK(BM_ConvertToSrgb)
    ->ArgsProduct({{kLittleCms, kQColorSpace, kTables}, {24, 48}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
