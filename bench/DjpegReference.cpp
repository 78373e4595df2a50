// Kestrova — identity photo maker.
#include "DjpegReference.h"

#include "OpenPhotos.h"

#include <QElapsedTimer>
#include <QFile>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// The work area, which a first paint fills.
const QSize kCorner(240, 360);

/// Long enough for this machine's hypervisor to take freed memory back.
std::chrono::milliseconds coldPause()
{
    return OpenPhotos::shortRun() ? std::chrono::milliseconds(0) : std::chrono::milliseconds(4000);
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

} // namespace

void DjpegReference::pauseUnlessWarm() const
{
    if (m_paused) {
        std::this_thread::sleep_for(coldPause());
    }
}

DjpegReference::DjpegReference(const OpenPhotos::PhotoFile& file, OpenPhotos::Opening opening)
    : m_corner(OpenPhotos::storedCorner(file, kCorner)),
      m_paused(opening != OpenPhotos::Opening::Warm)
{}

bool DjpegReference::runBeforeOpen(const QString& path)
{
    pauseUnlessWarm();
    m_whole.add(djpegSeconds(path, nullptr));
    pauseUnlessWarm();
    m_cornerTimes.add(djpegSeconds(path, m_corner.c_str()));
    pauseUnlessWarm();
    return m_whole.values.back() >= 0 && m_cornerTimes.values.back() >= 0;
}

void DjpegReference::report(benchmark::State& state, const Spread& firstPaint,
                            const Spread& fullReady) const
{
    const double wholeMedian = m_whole.median();
    const double cornerMedian = m_cornerTimes.median();
    state.counters["first_paint_ms"] = firstPaint.median() * 1e3;
    state.counters["full_ready_ms"] = fullReady.median() * 1e3;
    state.counters["full_min_ms"] = fullReady.min() * 1e3;
    state.counters["full_max_ms"] = fullReady.max() * 1e3;
    state.counters["djpeg_ms"] = wholeMedian * 1e3;
    state.counters["crop_ms"] = cornerMedian * 1e3;
    state.counters["first_vs_crop"] = firstPaint.median() / cornerMedian;
    state.counters["full_vs_djpeg"] = fullReady.median() / wholeMedian;
}
