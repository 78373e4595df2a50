// Kestrova — identity photo maker.
// Opening a photo in the real main window on a real X server, against
// libjpeg-turbo's own djpeg on the same file in the same run, with cold and
// warm memory as DjpegReference makes them.
//
// Each open starts with the press of 打开 (Command8); the open dialog answers
// with the photo's path at once, as Return in it would. From that press it times:
// - photo on screen: until the first paint of the work area that shows the
//   new photo has ended, Qt has flushed the window's backing store to the X
//   server after it, and a round trip to the server has come back, so the
//   server has drawn what was sent before. The work area is then read back
//   from the server and must hold the photo's top-left corner, or the
//   benchmark fails;
// - whole photo ready: until the photo and its levels are complete, so a
//   zoom no longer waits. The read-back (one to a few milliseconds) runs
//   within this span while the decode goes on on other threads; grab_ms
//   shows how long it took.
//
// Needs an X server: scripts/bench.sh runs it in a virtual one of its own.
#include "ButtonPress.h"
#include "DjpegReference.h"
#include "OpenPhotos.h"
#include "Spread.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "framing/Form1Controls.h"
#include "framing/FramingSession.h"
#include "platform/PictureLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

namespace {

using OpenPhotos::PhotoFile;

const QString kWorkAreaName = QStringLiteral("Picture1(0).client");
const QString kOpenButtonName = QStringLiteral("Command8");
// Far beyond any open: a window that never shows the photo fails instead of hanging.
constexpr int kPatienceMs = 60'000;

/// Runs the event loop until done() holds; false if the patience runs out first.
template <typename Done> bool waitUntil(Done done)
{
    bool expired = false;
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, [&expired] { expired = true; });
    patience.start(kPatienceMs);
    while (!done()) {
        if (expired) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

/// Notes the work area's paints, and whether one showed a photo of the size
/// opened. It sees each paint before it is drawn; once the event loop hands
/// control back, that paint has ended and Qt has flushed the window to the X
/// server, which it does in the same step as the painting.
class PaintWatch final : public QObject
{
public:
    PaintWatch(QWidget& workArea, const FramingSession& session, QSize photoSize)
        : QObject(&workArea), m_session(session), m_photoSize(photoSize)
    {
        workArea.installEventFilter(this);
    }

    [[nodiscard]] int paints() const { return m_paints; }
    [[nodiscard]] bool photoPainted() const { return m_photoPainted; }
    /// From now on, only a paint that follows counts.
    void rearm() { m_photoPainted = false; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++m_paints;
            // The photo is shown at once at its natural size, its corner decoded.
            m_photoPainted = m_photoPainted || m_session.photo().naturalSize() == m_photoSize;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const FramingSession& m_session;
    QSize m_photoSize;
    int m_paints = 0;
    bool m_photoPainted = false;
};

/// The real main window over the real picture loader, shown on the X server
/// at its top-left corner, its open dialog answering with one photo.
class OpenWindow
{
public:
    OpenWindow(const QString& path, QSize photoSize)
        : m_path(path), m_services(m_platform.withPictures(m_loader)), m_form(m_services)
    {
        m_workArea = m_form.findChild<QWidget*>(kWorkAreaName);
        m_open = m_form.findChild<QWidget*>(kOpenButtonName);
        if (m_workArea) {
            m_watch = new PaintWatch(*m_workArea, m_form.session(), photoSize);
        }
        // Wholly on the screen, so every pixel of it can be read back.
        m_form.move(0, 0);
        m_form.show();
    }

    /// Waits until the window is on the screen with its work area painted; false if it never is.
    [[nodiscard]] bool waitUntilShown()
    {
        if (!m_workArea || !m_open) {
            return false;
        }
        const bool shown = waitUntil([this] {
            return m_form.windowHandle() && m_form.windowHandle()->isExposed() &&
                   m_watch->paints() > 0;
        });
        QGuiApplication::sync();
        return shown;
    }

    /// Presses 打开; the dialog answers at once, or first runs choosing, as
    /// the user's time in it.
    void pressOpen(std::function<void(const OpenDialogRequest&)> choosing = {})
    {
        m_platform.openDialog.answers = QStringList{m_path};
        m_platform.openDialog.whileShown = std::move(choosing);
        m_watch->rearm();
        pressAndRelease(m_open);
    }

    /// Waits until a paint of the work area has shown the photo; false if none does.
    [[nodiscard]] bool waitUntilPhotoPainted() const
    {
        return waitUntil([this] { return m_watch->photoPainted(); });
    }

    /// The work area's pixels as the X server holds them.
    [[nodiscard]] QImage grabWorkArea() const
    {
        const QPoint origin = m_workArea->mapTo(&m_form, QPoint(0, 0));
        return m_form.screen()
            ->grabWindow(m_form.winId(), origin.x(), origin.y(), m_workArea->width(),
                         m_workArea->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    [[nodiscard]] const FramingSession& session() const { return m_form.session(); }

private:
    QString m_path;
    FakePlatform m_platform;
    QtPictureLoader m_loader;
    Services m_services;
    Form1 m_form;
    QWidget* m_workArea = nullptr;
    QWidget* m_open = nullptr;
    PaintWatch* m_watch = nullptr;
};

/// The photo's top-left corner of the given size as shown, decoded by Qt's
/// own JPEG reader: clipped when stored upright, turned whole otherwise.
QImage cornerOf(const QString& path, QSize size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QRect corner(QPoint(0, 0), size);
    if (reader.transformation() == QImageIOHandler::TransformationNone) {
        reader.setClipRect(corner);
        return reader.read().convertToFormat(QImage::Format_RGB32);
    }
    return reader.read().copy(corner).convertToFormat(QImage::Format_RGB32);
}

bool onOutline(const QRect& frame, int x, int y)
{
    const bool acrossFrame = x >= frame.left() && x <= frame.right();
    const bool alongFrame = y >= frame.top() && y <= frame.bottom();
    return (acrossFrame && (y == frame.top() || y == frame.bottom())) ||
           (alongFrame && (x == frame.left() || x == frame.right()));
}

/// Whether the grabbed work area shows exactly the corner, except where the
/// crop frame's outline is drawn over it. The program and Qt's reader both
/// decode with libjpeg's exact integer transform, so every level must match.
bool showsCorner(const QImage& grabbed, const QImage& corner, const QRect& frame)
{
    if (grabbed.size() != corner.size()) {
        return false;
    }
    for (int y = 0; y < corner.height(); ++y) {
        const auto* shown = reinterpret_cast<const QRgb*>(grabbed.constScanLine(y));
        const auto* wanted = reinterpret_cast<const QRgb*>(corner.constScanLine(y));
        for (int x = 0; x < corner.width(); ++x) {
            if (!onOutline(frame, x, y) && shown[x] != wanted[x]) {
                return false;
            }
        }
    }
    return true;
}

void BM_WindowOpen(benchmark::State& state, const PhotoFile& file, OpenPhotos::Opening opening)
{
    const bool again = opening == OpenPhotos::Opening::Again;
    const QString path = OpenPhotos::pathOf(file);
    const QImage corner = cornerOf(path, Form1Controls::workAreaClientSize(TwipsScale{}));
    if (corner.isNull()) {
        state.SkipWithError("Qt could not read the photo's corner");
        return;
    }
    DjpegReference djpeg(file, opening);
    Spread onScreen;
    Spread fullReady;
    Spread grab;
    std::optional<OpenWindow> window;
    for (auto _ : state) {
        state.PauseTiming();
        // The previous photo goes with its window, or with the open in the
        // same one; the window then waits on the screen through djpeg's runs
        // and pauses, as for a user.
        if (!again || !window) {
            window.reset();
            window.emplace(path, file.shownSize());
            if (!window->waitUntilShown()) {
                state.SkipWithError("the window never came on the screen");
                break;
            }
            if (again) {
                window->pressOpen();
                if (!waitUntil([&window, &file] {
                        return window->session().photo().naturalSize() == file.shownSize() &&
                               !window->session().isLoadingPhoto();
                    })) {
                    state.SkipWithError("the photo to open again never opened");
                    break;
                }
            }
        }
        if (!djpeg.runBeforeOpen(path)) {
            state.SkipWithError("djpeg could not be run");
            break;
        }
        QCoreApplication::processEvents();
        state.ResumeTiming();

        QElapsedTimer timer;
        timer.start();
        if (opening == OpenPhotos::Opening::Chosen) {
            // Timed from Return, after the photo was highlighted for a while.
            window->pressOpen([&state, &timer, &path](const OpenDialogRequest& request) {
                state.PauseTiming();
                request.highlighted(path);
                std::this_thread::sleep_for(std::chrono::milliseconds(OpenPhotos::kChoosingMs));
                state.ResumeTiming();
                timer.start();
            });
        } else {
            window->pressOpen();
        }
        if (!window->waitUntilPhotoPainted()) {
            state.SkipWithError("the work area never painted the photo");
            break;
        }
        QGuiApplication::sync();
        const qint64 shown = timer.nsecsElapsed();
        const QImage grabbed = window->grabWorkArea();
        const qint64 grabbedAt = timer.nsecsElapsed();
        if (!waitUntil([&window] { return !window->session().isLoadingPhoto(); })) {
            state.SkipWithError("the photo never finished loading");
            break;
        }
        const qint64 ready = timer.nsecsElapsed();
        if (!showsCorner(grabbed, corner, window->session().frameRect())) {
            state.SkipWithError("the X server did not show the photo's corner");
            break;
        }
        if (window->session().photo().naturalSize() != file.shownSize()) {
            state.SkipWithError("the photo did not open whole");
            break;
        }
        onScreen.add(double(shown) / 1e9);
        grab.add(double(grabbedAt - shown) / 1e9);
        fullReady.add(double(ready) / 1e9);
    }
    if (!onScreen.values.empty()) {
        djpeg.report(state, onScreen, fullReady);
        state.counters["grab_ms"] = grab.median() * 1e3;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("WindowOpenBench needs an X server: run it through scripts/bench.sh, "
                   "or set DISPLAY.\n",
                   stderr);
        return 1;
    }
    // The real window system, drawn one to one so the work area's pixels are the photo's.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    OpenPhotos::registerOpenings("BM_WindowOpen", BM_WindowOpen);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
