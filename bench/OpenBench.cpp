// Kestrova — identity photo maker.
// Opening a photo, against libjpeg-turbo's own djpeg on the same file in the
// same run: the first paint against djpeg decoding just the 240 x 360 corner
// it shows, the whole photo ready against djpeg's whole decode.
//
// Two kinds of memory. Warm: each open follows the previous photo's release
// at once, so it gets pages the process has just given back. Cold: a pause
// comes before every timed run, as a user makes between opens; a virtual
// machine hands freed memory back to its host within seconds, and pages must
// then be fetched and cleared again. Both djpeg runs get the same pause.
//
// Also the peak memory of opening the same large photo three times over in
// the real main window, which must not grow with each open.
#include "ButtonPress.h"
#include "ProcessMemory.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "framing/Form1.h"
#include "framing/FramingSession.h"
#include "framing/WorkAreaScene.h"
#include "platform/PictureLoader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

extern char** environ;

namespace {

const QSize kClient(240, 360);
const QColor kBack(242, 255, 229);
constexpr int kQuality = 90;
constexpr int kKbPerMb = 1024;

/// Set by `scripts/bench.sh --short`: one quick pass that only proves the benchmarks run.
bool shortRun()
{
    return qEnvironmentVariableIsSet("KESTROVA_BENCH_SHORT");
}

/// Long enough for this machine's hypervisor to take freed memory back.
std::chrono::milliseconds coldPause()
{
    return shortRun() ? std::chrono::milliseconds(0) : std::chrono::milliseconds(4000);
}

struct PhotoFile
{
    const char* name;
    QSize size;
    bool progressive;
};

// The progressive one is shaped like a camera's: 24 MP, written in scans.
const PhotoFile kFiles[] = {
    {"12MP", QSize(4000, 3000), false},
    {"24MP", QSize(6000, 4000), false},
    {"48MP", QSize(8000, 6000), false},
    {"100MP", QSize(12000, 8400), false},
    {"24MP_progressive", QSize(6000, 4000), true},
};

QTemporaryDir& pictureDir()
{
    static QTemporaryDir dir;
    return dir;
}

/// A photo-like JPEG, written once per run.
QString pathOf(const PhotoFile& file)
{
    static std::map<QString, QString> written;
    const QString name = QString::fromLatin1(file.name) + QStringLiteral(".jpg");
    auto it = written.find(name);
    if (it == written.end()) {
        const QByteArray bytes =
            TestPictures::jpegFile(TestPictures::photoLike(file.size), kQuality, file.progressive);
        it = written.emplace(name, TestPictures::writeFile(QDir(pictureDir().path()), name, bytes))
                 .first;
    }
    return it->second;
}

/// Seconds djpeg takes to run with the extra arguments, or -1 if it cannot be run.
double djpegSeconds(const QString& path, const char* crop)
{
    const QByteArray file = QFile::encodeName(path);
    std::vector<const char*> argv{"/usr/bin/djpeg", "-outfile", "/dev/null"};
    if (crop != nullptr) {
        argv.push_back("-crop");
        argv.push_back(crop);
    }
    argv.push_back(file.constData());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv.data()), environ) !=
        0) {
        return -1.0;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1.0;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

struct Spread
{
    std::vector<double> values;

    void add(double value) { values.push_back(value); }
    [[nodiscard]] double median()
    {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    [[nodiscard]] double min() const { return *std::min_element(values.begin(), values.end()); }
    [[nodiscard]] double max() const { return *std::max_element(values.begin(), values.end()); }
};

// What the window does from Return in the open dialog: the photo on screen
// (its corner decoded and painted at natural size), then the whole photo and
// its levels ready, so a zoom no longer waits.
void BM_Open(benchmark::State& state, const PhotoFile& file, bool cold)
{
    const QString path = pathOf(file);
    Spread djpeg;
    Spread crop;
    Spread firstPaint;
    Spread fullReady;
    QtPictureLoader loader;
    FakeFaceFinder faces;
    std::optional<FramingSession> session;
    QImage screen(kClient, QImage::Format_RGB32);
    auto pauseIfCold = [cold] {
        if (cold) {
            std::this_thread::sleep_for(coldPause());
        }
    };
    for (auto _ : state) {
        state.PauseTiming();
        session.reset();
        pauseIfCold();
        djpeg.add(djpegSeconds(path, nullptr));
        pauseIfCold();
        crop.add(djpegSeconds(path, "240x360+0+0"));
        pauseIfCold();
        if (djpeg.values.back() < 0 || crop.values.back() < 0) {
            state.SkipWithError("djpeg could not be run");
            break;
        }
        session.emplace(loader, faces, TwipsScale{}, kClient, kBack);
        state.ResumeTiming();

        QElapsedTimer timer;
        timer.start();
        if (!session->open(path)) {
            state.SkipWithError("the photo did not open");
            break;
        }
        QPainter painter(&screen);
        session->scene().paint(painter, screen.rect());
        painter.end();
        const qint64 painted = timer.nsecsElapsed();
        while (session->isLoadingPhoto()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const qint64 ready = timer.nsecsElapsed();
        if (session->photo().naturalSize() != file.size) {
            state.SkipWithError("the photo did not open whole");
            break;
        }
        firstPaint.add(double(painted) / 1e9);
        fullReady.add(double(ready) / 1e9);
    }
    if (firstPaint.values.empty()) {
        return;
    }
    const double djpegMedian = djpeg.median();
    const double cropMedian = crop.median();
    state.counters["first_paint_ms"] = firstPaint.median() * 1e3;
    state.counters["full_ready_ms"] = fullReady.median() * 1e3;
    state.counters["full_min_ms"] = fullReady.min() * 1e3;
    state.counters["full_max_ms"] = fullReady.max() * 1e3;
    state.counters["djpeg_ms"] = djpegMedian * 1e3;
    state.counters["crop_ms"] = cropMedian * 1e3;
    state.counters["first_vs_crop"] = firstPaint.median() / cropMedian;
    state.counters["full_vs_djpeg"] = fullReady.median() / djpegMedian;
}

// The same photo opened three times in the real main window with the real
// loader: each open's peak resident memory.
void BM_PeakMemoryReopen(benchmark::State& state, const PhotoFile& file)
{
    const QString path = pathOf(file);
    for (auto _ : state) {
        FakePlatform platform;
        QtPictureLoader loader;
        Services real = platform.withPictures(loader);
        Form1 form(real);
        form.show();
        QWidget* open = form.findChild<QWidget*>(QStringLiteral("Command8"));
        std::vector<double> peaks;
        for (int time = 0; time < 3; ++time) {
            platform.openDialog.answers = QStringList{path};
            ProcessMemory::resetPeakResident();
            pressAndRelease(open);
            while (form.session().isLoadingPhoto()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            peaks.push_back(double(ProcessMemory::statusKb("VmHWM")) / kKbPerMb);
        }
        if (form.session().photo().naturalSize() != file.size) {
            state.SkipWithError("the photo did not open");
            break;
        }
        state.counters["first_MB"] = peaks[0];
        state.counters["second_MB"] = peaks[1];
        state.counters["third_MB"] = peaks[2];
        state.counters["worst_vs_first"] = std::max(peaks[1], peaks[2]) / peaks[0];
    }
}

void registerAll()
{
    const bool quick = shortRun();
    for (const PhotoFile& file : kFiles) {
        // A quick pass opens only the smallest file, so CI stays quick.
        if (quick && file.size != kFiles[0].size) {
            continue;
        }
        for (const bool cold : {true, false}) {
            const std::string name =
                std::string("BM_Open/") + file.name + (cold ? "/cold" : "/warm");
            benchmark::RegisterBenchmark(name.c_str(), BM_Open, file, cold)
                ->Iterations(quick ? 1 : 5)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    for (const PhotoFile& file : kFiles) {
        const bool large = file.size.width() * file.size.height() >= 48'000'000;
        const bool wanted = quick ? &file == &kFiles[0] : large && !file.progressive;
        if (!wanted) {
            continue;
        }
        const std::string name = std::string("BM_PeakMemoryReopen/") + file.name;
        benchmark::RegisterBenchmark(name.c_str(), BM_PeakMemoryReopen, file)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
