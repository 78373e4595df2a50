// Kestrova — identity photo maker.
// Opening a photo, against libjpeg-turbo's own djpeg on the same file in the
// same run: the first paint against djpeg decoding just the 240 x 360 corner
// it shows, the whole photo ready against djpeg's whole decode, with cold and
// warm memory as DjpegReference makes them.
//
// Also the peak memory of opening the same large photo three times over in
// the real main window, which must not grow with each open.
#include "ButtonPress.h"
#include "DjpegReference.h"
#include "OpenPhotos.h"
#include "ProcessMemory.h"
#include "Spread.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "framing/FramingSession.h"
#include "framing/WorkAreaScene.h"
#include "platform/PictureLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using OpenPhotos::PhotoFile;

const QSize kClient(240, 360);
const QColor kBack(242, 255, 229);
constexpr int kKbPerMb = 1024;

// What the window does from Return in the open dialog: the photo on screen
// (its corner decoded and painted at natural size), then the whole photo and
// its levels ready, so a zoom no longer waits.
void BM_Open(benchmark::State& state, const PhotoFile& file, OpenPhotos::Opening opening)
{
    const QString path = OpenPhotos::pathOf(file);
    const bool again = opening == OpenPhotos::Opening::Again;
    DjpegReference djpeg(file, opening);
    Spread firstPaint;
    Spread fullReady;
    QtPictureLoader loader;
    FakeFaceFinder faces;
    std::optional<FramingSession> session;
    QImage screen(kClient, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        // The previous photo goes with its session, or with the open in the same one.
        if (!again || !session) {
            session.reset();
            session.emplace(loader, faces, TwipsScale{}, kClient, kBack);
            // The photo opened again from the first timed open on.
            if (again && !session->open(path)) {
                state.SkipWithError("the photo did not open");
                break;
            }
            while (session->isLoadingPhoto()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
        if (!djpeg.runBeforeOpen(path)) {
            state.SkipWithError("djpeg could not be run");
            break;
        }
        if (opening == OpenPhotos::Opening::Chosen) {
            // Highlighted in the dialog, as the window tells the session.
            session->prepareFor(path);
            std::this_thread::sleep_for(std::chrono::milliseconds(OpenPhotos::kChoosingMs));
        }
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
        if (session->photo().naturalSize() != file.shownSize()) {
            state.SkipWithError("the photo did not open whole");
            break;
        }
        firstPaint.add(double(painted) / 1e9);
        fullReady.add(double(ready) / 1e9);
    }
    if (!firstPaint.values.empty()) {
        djpeg.report(state, firstPaint, fullReady);
    }
}

// The same photo opened three times in the real main window with the real
// loader: each open's peak resident memory.
void BM_PeakMemoryReopen(benchmark::State& state, const PhotoFile& file)
{
    const QString path = OpenPhotos::pathOf(file);
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
        if (form.session().photo().naturalSize() != file.shownSize()) {
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
    OpenPhotos::registerOpenings("BM_Open", BM_Open);
    const bool quick = OpenPhotos::shortRun();
    for (const PhotoFile& file : OpenPhotos::kFiles) {
        const bool large = file.size.width() * file.size.height() >= 48'000'000;
        const bool wanted = quick ? &file == &OpenPhotos::kFiles[0] : large && !file.progressive;
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
