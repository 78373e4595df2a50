// Kestrova — identity photo maker.
// Any file content through the real open path: a picture within the size cap,
// or the one "invalid picture" error, and never an allocation the cap forbids
// (scripts/fuzz.sh runs this with a malloc limit just above the cap's). The
// same file decoded while watched, with the corner in view wanted first (and
// so maybe decoded ahead from a second reader), gives the very same picture.
#include "platform/PictureLoader.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QString& inputPath()
{
    static QString path;
    return path;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_picture_loader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The JPEG and GIF readers are plugins, found through the application.
    static auto app = std::make_unique<QGuiApplication>(*argc, *argv);
    // The loader only reads from a path; in memory where the system offers it.
    const QString dir =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    inputPath() = dir + QStringLiteral("/kestrova-fuzz-%1").arg(QCoreApplication::applicationPid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        QFile file(inputPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
            fail("cannot write the input file");
        }
    }
    QtPictureLoader loader;
    // A refusal is an answer; anything thrown out of the loader ends the run.
    const std::optional<QImage> image = loader.load(inputPath());
    if (image) {
        if (image->isNull() || image->width() <= 0 || image->height() <= 0) {
            fail("a loaded picture is empty");
        }
        if (qint64(image->width()) * image->height() > kMaxPicturePixels) {
            fail("a loaded picture is over the size cap");
        }
    }
    if (std::optional<PendingPicture> pending = loader.open(inputPath())) {
        // A corner far smaller than the work area, so that the fuzzer's small
        // pictures are wide enough for it to be decoded ahead, by this thread
        // while it waits for the corner, as the window's does.
        const QRect corner(0, 0, 24, 36);
        const std::unique_ptr<PictureStream> stream =
            pending->stream(corner, PictureStream::RegionDone{}, std::function<void()>{});
        stream->waitFor(corner);
        stream->waitUntilFinished();
        if (stream->picture() != image.value_or(QImage())) {
            fail("a picture decoded while watched differs");
        }
    }
    return 0;
}
