// Kestrova — identity photo maker.
// Framing the head on phone-sized photos: finding the face once the model is loaded, the
// first use with the model load, showing the whole photo with the repaint it causes, and the
// memory of a 48-megapixel photo open with the model loaded.
#include "ProcessMemory.h"
#include "TestPictures.h"
#include "TestPortraits.h"
#include "framing/HeadFraming.h"
#include "framing/PhotoPyramid.h"
#include "framing/ScaledPhoto.h"
#include "framing/WorkAreaScene.h"
#include "platform/DlibFaceFinder.h"
#include "platform/PictureLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QSize k12Megapixels(4000, 3000);
const QSize k24Megapixels(6000, 4000);
const QSize k48Megapixels(8000, 6000);
const QSize kClient(240, 360);
const QSizeF kClientTwips(3600, 5400);
const QColor kBack(242, 255, 229);
const TwipsScale kTpp;
// The portrait takes three fifths of the photo's height, as a phone photo for an ID photo does.
constexpr double kPortraitHeight = 0.6;

QSize megapixelSize(int megapixels)
{
    return megapixels == 12 ? k12Megapixels : megapixels == 24 ? k24Megapixels : k48Megapixels;
}

/// A photo-like picture with a real portrait in its middle; null when the portrait's package
/// is not installed.
QImage portraitPhoto(QSize size)
{
    const QImage portrait = TestPortraits::load(TestPortraits::all().at(0));
    if (portrait.isNull()) {
        return QImage();
    }
    const double scale = kPortraitHeight * size.height() / portrait.height();
    const QPointF topLeft((size.width() - portrait.width() * scale) / 2,
                          (size.height() - portrait.height() * scale) / 2);
    return TestPortraits::placedIn(size, portrait, scale, topLeft);
}

/// Why the benchmark cannot run, or empty.
QString missingFiles()
{
    if (!QFileInfo::exists(QString::fromLatin1(kFaceLandmarkModelPath))) {
        return QStringLiteral("no face landmark model: scripts/install-deps.sh installs "
                              "libdlib-data");
    }
    if (!QFileInfo::exists(TestPortraits::all().at(0).path)) {
        return QStringLiteral("no portrait: scripts/install-deps.sh --test installs %1")
            .arg(TestPortraits::all().at(0).package);
    }
    return QString();
}

/// Finds the face and places the head: everything the framing action computes.
bool frameHead(FaceFinder& finder, const PhotoPyramid& pyramid)
{
    const FaceSearch search = finder.find(pyramid);
    if (!search.face) {
        return false;
    }
    const std::optional<HeadPlacement> placement = HeadFraming::place(
        pyramid.naturalSize(), search.face->eyeMidpoint(), search.face->chin, kTpp, kClientTwips);
    benchmark::DoNotOptimize(placement);
    return placement.has_value();
}

void BM_Memory48MegapixelWithModel(benchmark::State& state)
{
    if (const QString missing = missingFiles(); !missing.isEmpty()) {
        state.SkipWithError(qPrintable(missing));
        return;
    }
    QTemporaryDir dir;
    const QString path =
        TestPictures::writeFile(QDir(dir.path()), QStringLiteral("portrait.jpg"),
                                TestPictures::jpegFile(portraitPhoto(k48Megapixels), 90));
    for (auto _ : state) {
        state.PauseTiming();
        ProcessMemory::resetPeakResident();
        state.ResumeTiming();
        QtPictureLoader loader;
        ScaledPhoto photo(loader.load(path).value_or(QImage()));
        const std::unique_ptr<FaceFinder> finder = makeDlibFaceFinder();
        if (!frameHead(*finder, *photo.pyramid())) {
            state.SkipWithError("no face found");
            return;
        }
        state.PauseTiming();
        state.counters["resident_MB"] = double(ProcessMemory::statusKb("VmRSS")) / 1024.0;
        state.counters["peak_MB"] = double(ProcessMemory::statusKb("VmHWM")) / 1024.0;
        state.ResumeTiming();
    }
}

void BM_FirstUseWithModelLoad(benchmark::State& state)
{
    if (const QString missing = missingFiles(); !missing.isEmpty()) {
        state.SkipWithError(qPrintable(missing));
        return;
    }
    const ScaledPhoto photo(portraitPhoto(k12Megapixels));
    std::vector<double> seconds;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<FaceFinder> finder = makeDlibFaceFinder();
        if (!frameHead(*finder, *photo.pyramid())) {
            state.SkipWithError("no face found");
            return;
        }
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        // Freeing the model is not part of the first use.
        state.PauseTiming();
        finder.reset();
        state.ResumeTiming();
    }
    state.counters["slowest_ms"] = *std::max_element(seconds.begin(), seconds.end()) * 1e3;
}

void BM_FindFace(benchmark::State& state)
{
    if (const QString missing = missingFiles(); !missing.isEmpty()) {
        state.SkipWithError(qPrintable(missing));
        return;
    }
    const ScaledPhoto photo(portraitPhoto(megapixelSize(int(state.range(0)))));
    const std::unique_ptr<FaceFinder> finder = makeDlibFaceFinder();
    if (finder->prepare()) {
        state.SkipWithError("the face landmark model cannot be loaded");
        return;
    }
    for (auto _ : state) {
        if (!frameHead(*finder, *photo.pyramid())) {
            state.SkipWithError("no face found");
            return;
        }
    }
}

void BM_WholePhoto48Megapixel(benchmark::State& state)
{
    ScaledPhoto photo(TestPictures::photoLike(k48Megapixels));
    WorkAreaScene scene;
    scene.setBackColor(kBack);
    scene.setPhoto(&photo);
    QImage screen(kClient, QImage::Format_RGB32);
    for (auto _ : state) {
        // From the natural size, as right after opening: nothing of the new size is cached.
        state.PauseTiming();
        photo.setDisplaySize(photo.naturalSize());
        state.ResumeTiming();
        const std::optional<PhotoGeometry> whole =
            HeadFraming::wholePhoto(photo.naturalSize(), kTpp, kClientTwips);
        const QRect shown = kTpp.toPixels(whole->left, whole->top, whole->width, whole->height);
        photo.setDisplaySize(shown.size());
        scene.setPhotoRect(shown);
        QPainter painter(&screen);
        scene.paint(painter, screen.rect());
    }
}

} // namespace

// First, while the process holds nothing else.
BENCHMARK(BM_Memory48MegapixelWithModel)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FirstUseWithModelLoad)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindFace)
    ->ArgName("megapixels")
    ->Arg(12)
    ->Arg(24)
    ->Arg(48)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WholePhoto48Megapixel)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
