// Kestrova — identity photo maker.
#include "saving/JpegEncoder.h"
#include "saving/Module1.h"

#include "PortraitPicture.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The size cjpeg gives for the same pixels with Huffman optimisation, or -1
// when cjpeg cannot be run.
qint64 cjpegSize(const QImage& picture, int quality, const QTemporaryDir& dir)
{
    const QString ppm = dir.filePath(QStringLiteral("picture.ppm"));
    const QString jpeg = dir.filePath(QStringLiteral("cjpeg.jpg"));
    if (!picture.convertToFormat(QImage::Format_RGB888).save(ppm, "PPM")) {
        return -1;
    }
    QProcess cjpeg;
    cjpeg.start(QStringLiteral("cjpeg"),
                {QStringLiteral("-quality"), QString::number(quality), QStringLiteral("-optimize"),
                 QStringLiteral("-outfile"), jpeg, ppm});
    if (!cjpeg.waitForFinished() || cjpeg.exitCode() != 0) {
        return -1;
    }
    return QFileInfo(jpeg).size();
}

qint64 savedSize(const QImage& picture, int quality, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("saved.jpg"));
    if (Module1::saveJpeg(picture, path, quality)) {
        return -1;
    }
    return QFileInfo(path).size();
}

void BM_SaveJpeg(benchmark::State& state)
{
    const QImage picture = portraitPicture();
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("08-10-2011_090503.jpg"));
    const int quality = int(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Module1::saveJpeg(picture, path, quality));
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_SaveJpeg)->Arg(10)->Arg(50)->Arg(80)->Arg(90)->Arg(100)->Unit(benchmark::kMillisecond);

// The encoding alone, to tell its share from the file write's (which waits for the disk).
void BM_EncodeJpeg(benchmark::State& state)
{
    const QImage picture = portraitPicture();
    const int quality = int(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeJpeg(picture, quality));
    }
}
BENCHMARK(BM_EncodeJpeg)
    ->Arg(10)
    ->Arg(50)
    ->Arg(80)
    ->Arg(90)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);

// Not a timing: the file sizes beside cjpeg's for the same pixels.
void BM_SizeAgainstCjpeg(benchmark::State& state)
{
    const QImage picture = portraitPicture();
    const QTemporaryDir dir;
    const int quality = int(state.range(0));
    qint64 ours = 0;
    qint64 theirs = 0;
    for (auto _ : state) {
        ours = savedSize(picture, quality, dir);
        theirs = cjpegSize(picture, quality, dir);
    }
    if (theirs < 0) {
        state.SkipWithError("cjpeg could not be run");
        return;
    }
    state.counters["bytes"] = double(ours);
    state.counters["cjpeg_bytes"] = double(theirs);
    state.counters["ratio"] = double(ours) / double(theirs);
}
BENCHMARK(BM_SizeAgainstCjpeg)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(10)
    ->Arg(50)
    ->Arg(80)
    ->Arg(90)
    ->Arg(100)
    ->Iterations(1);

// Every quality of the scale, reporting the one where ours is largest beside cjpeg's.
void BM_LargestSizeRatioAgainstCjpeg(benchmark::State& state)
{
    const QImage picture = portraitPicture();
    const QTemporaryDir dir;
    double worst = 0.0;
    int worstQuality = -1;
    for (auto _ : state) {
        for (int quality = 0; quality <= 100; ++quality) {
            const qint64 theirs = cjpegSize(picture, quality, dir);
            if (theirs < 0) {
                state.SkipWithError("cjpeg could not be run");
                return;
            }
            const double ratio = double(savedSize(picture, quality, dir)) / double(theirs);
            if (ratio > worst) {
                worst = ratio;
                worstQuality = quality;
            }
        }
    }
    state.counters["largest_ratio"] = worst;
    state.counters["at_quality"] = worstQuality;
}
BENCHMARK(BM_LargestSizeRatioAgainstCjpeg)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
