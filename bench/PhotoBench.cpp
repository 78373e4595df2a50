// Kestrova — identity photo maker.
// The photo engine's costs on real-sized photos (opening is OpenBench's): one
// zoom step, a preview refresh, a drag step, and the memory a big photo takes.
#include "TestPictures.h"
#include "ProcessMemory.h"
#include "framing/ScaledPhoto.h"
#include "framing/WorkAreaScene.h"
#include "platform/PictureLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QSize k24Megapixels(6000, 4000);
const QSize k48Megapixels(8000, 6000);
const QSize k100Megapixels(12000, 8400);
const QSize kClient(240, 360);
const QRect kCapture(60, 90, 120, 180);
const QColor kBack(242, 255, 229);
constexpr double kZoomOut = 0.9;
constexpr int kBytesPerMb = 1024 * 1024;

QTemporaryDir& pictureDir()
{
    static QTemporaryDir dir;
    return dir;
}

/// A photo-like JPEG of the size, written once per run.
QString jpegOf(QSize size)
{
    static std::map<qint64, QString> written;
    const qint64 key = qint64(size.width()) << 32 | size.height();
    auto it = written.find(key);
    if (it == written.end()) {
        const QString name = QStringLiteral("photo-%1x%2.jpg").arg(size.width()).arg(size.height());
        const QByteArray bytes = TestPictures::jpegFile(TestPictures::photoLike(size), 90);
        it = written.emplace(key, TestPictures::writeFile(QDir(pictureDir().path()), name, bytes))
                 .first;
    }
    return it->second;
}

/// The largest size of the photo's shape that fits the work area.
QSize fitted(QSize natural)
{
    return natural.scaled(kClient, Qt::KeepAspectRatio);
}

/// What the main window does after a zoom or drag: place the photo, refresh
/// the preview, and then the work area repaints in full.
struct WorkAreaStub
{
    explicit WorkAreaStub(ScaledPhoto& photo) : photo(photo), screen(kClient, QImage::Format_RGB32)
    {
        scene.setBackColor(kBack);
        scene.setPhoto(&photo);
        scene.setFrameRect(kCapture);
    }

    void show(QSize size, QPoint topLeft)
    {
        photo.setDisplaySize(size);
        scene.setPhotoRect(QRect(topLeft, photo.displaySize()));
    }

    QImage refreshPreview() const { return scene.render(kCapture); }

    void paint()
    {
        QPainter painter(&screen);
        scene.paint(painter, screen.rect());
    }

    ScaledPhoto& photo;
    WorkAreaScene scene;
    QImage screen;
};

/// Centres the photo on the work area, as a photo larger than it is dragged to.
QPoint centred(QSize size)
{
    return QPoint((kClient.width() - size.width()) / 2, (kClient.height() - size.height()) / 2);
}

void BM_PeakMemory48MegapixelOpenAndZoomed(benchmark::State& state)
{
    const QString path = jpegOf(k48Megapixels);
    for (auto _ : state) {
        state.PauseTiming();
        ProcessMemory::resetPeakResident();
        state.ResumeTiming();
        QtPictureLoader loader;
        ScaledPhoto photo(loader.load(path).value_or(QImage()));
        WorkAreaStub area(photo);
        QSize size = photo.naturalSize();
        for (int step = 0; step < 12; ++step) {
            size = (QSizeF(size) * kZoomOut).toSize();
            area.show(size, centred(size));
            benchmark::DoNotOptimize(area.refreshPreview());
            area.paint();
        }
        state.PauseTiming();
        state.counters["peak_MB"] = double(ProcessMemory::statusKb("VmHWM")) / 1024.0;
        state.counters["resident_MB"] = double(ProcessMemory::statusKb("VmRSS")) / 1024.0;
        state.ResumeTiming();
    }
}

QSize megapixelSize(int megapixels)
{
    return megapixels == 24 ? k24Megapixels : megapixels == 48 ? k48Megapixels : k100Megapixels;
}

void BM_ZoomStep(benchmark::State& state)
{
    QImage picture = TestPictures::photoLike(megapixelSize(int(state.range(0))));
    ScaledPhoto photo(std::move(picture));
    WorkAreaStub area(photo);
    // Every step from the natural size down to well below fitting the work area.
    std::vector<QSize> sizes;
    for (QSizeF size = photo.naturalSize(); size.width() > fitted(photo.naturalSize()).width() / 2;
         size *= kZoomOut) {
        sizes.push_back(size.toSize());
    }
    // One pass straight after opening, with no tile scaled yet: its slowest
    // step is what zooming out at once costs.
    double firstPassWorst = 0.0;
    for (const QSize size : sizes) {
        QElapsedTimer timer;
        timer.start();
        area.show(size, centred(size));
        benchmark::DoNotOptimize(area.refreshPreview());
        area.paint();
        firstPassWorst = std::max(firstPassWorst, double(timer.nsecsElapsed()) / 1e6);
    }
    std::size_t step = 0;
    for (auto _ : state) {
        const QSize size = sizes[step];
        step = (step + 1) % sizes.size();
        area.show(size, centred(size));
        benchmark::DoNotOptimize(area.refreshPreview());
        area.paint();
    }
    state.counters["steps"] = double(sizes.size());
    state.counters["first_pass_worst_ms"] = firstPassWorst;
}

void BM_RefreshPreview48Megapixel(benchmark::State& state)
{
    ScaledPhoto photo(TestPictures::photoLike(k48Megapixels));
    WorkAreaStub area(photo);
    const bool fit = state.range(0) != 0;
    const QSize size = fit ? fitted(photo.naturalSize()) : photo.naturalSize();
    area.show(size, centred(size));
    area.paint();
    for (auto _ : state) {
        benchmark::DoNotOptimize(area.refreshPreview());
    }
}

void BM_DragStep48Megapixel(benchmark::State& state)
{
    ScaledPhoto photo(TestPictures::photoLike(k48Megapixels));
    WorkAreaStub area(photo);
    // 0: natural size; 1: fitted to the work area; 2: zoomed out six steps,
    // dragged steadily one way so new tiles keep coming into view.
    const int mode = int(state.range(0));
    QSize size = photo.naturalSize();
    if (mode == 1) {
        size = fitted(size);
    } else if (mode == 2) {
        size = (QSizeF(size) * std::pow(kZoomOut, 6)).toSize();
    }
    QPoint topLeft = mode == 1 ? centred(size) : QPoint(0, 0);
    area.show(size, topLeft);
    area.paint();
    int direction = -3;
    for (auto _ : state) {
        topLeft.rx() += direction;
        if (mode == 1 && std::abs(topLeft.x() - centred(size).x()) > 30) {
            direction = -direction;
        }
        if (mode != 1 && -topLeft.x() + kClient.width() >= size.width()) {
            topLeft.setX(0);
        }
        area.show(size, topLeft);
        benchmark::DoNotOptimize(area.refreshPreview());
        area.paint();
    }
}

} // namespace

BENCHMARK(BM_PeakMemory48MegapixelOpenAndZoomed)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ZoomStep)
    ->ArgName("megapixels")
    ->Arg(24)
    ->Arg(48)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RefreshPreview48Megapixel)
    ->ArgName("fitted")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_DragStep48Megapixel)
    ->ArgName("mode")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

BENCHMARK_MAIN();
