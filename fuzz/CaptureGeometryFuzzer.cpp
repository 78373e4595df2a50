// Kestrova — identity photo maker.
// Any photo placement, however absurd (NaN, infinite, far beyond the screen),
// any frame position and display scale, through the same steps as the main
// window's refresh: the capture is always a defined 120 x 180 picture.
#include "framing/CaptureGeometry.h"
#include "framing/FrameNudge.h"
#include "framing/PhotoPlacement.h"
#include "framing/ScaledPhoto.h"
#include "framing/WorkAreaScene.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QImage>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// 96, 120, 144 and 192 dpi: the scales desktops really use.
constexpr std::array<float, 4> kTwipsPerPixel{15.0f, 12.0f, 10.0f, 7.5f};
constexpr int kMaxPictureSide = 48;

class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T> T take()
    {
        T value{};
        const size_t n = std::min(sizeof(T), m_size - m_offset);
        std::memcpy(&value, m_data + m_offset, n);
        m_offset += n;
        return value;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
};

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_capture_geometry: %s\n", what);
    std::abort();
}

QImage pictureOf(QSize size, quint32 seed)
{
    QImage picture(size, (seed & 1) ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            row[x] = seed * 2654435761u + quint32(x * 40503 + y * 9973);
        }
    }
    return picture;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in(data, size);
    PhotoGeometry photo;
    photo.left = in.take<float>();
    photo.top = in.take<float>();
    photo.width = in.take<float>();
    photo.height = in.take<float>();
    const auto flags = in.take<uint8_t>();
    photo.stretch = flags & 1;
    FramePosition frame;
    frame.left = in.take<float>();
    frame.top = in.take<float>();
    const float tppValue = kTwipsPerPixel[(flags >> 1) % kTwipsPerPixel.size()];
    const TwipsScale tpp{tppValue, tppValue};
    const QSize pictureSize(1 + in.take<uint8_t>() % kMaxPictureSide,
                            1 + in.take<uint8_t>() % kMaxPictureSide);

    ScaledPhoto scaled(pictureOf(pictureSize, in.take<quint32>()));
    // FramingSession::applyPhotoGeometry, applyFramePosition and refreshPreview, in that order.
    const QRect pixels = tpp.toPixels(photo.left, photo.top, photo.width, photo.height);
    scaled.setDisplaySize(photo.stretch ? pixels.size() : scaled.naturalSize());
    WorkAreaScene scene;
    scene.setBackColor(QColor(242, 255, 229));
    scene.setPhoto(&scaled);
    scene.setPhotoRect(QRect(pixels.topLeft(), scaled.displaySize()));
    scene.setFrameRect(tpp.toPixels(frame.left, frame.top, kFrameWidthTwips, kFrameHeightTwips));
    const QImage capture = scene.render(captureSourceRect(frame, tpp));

    if (capture.isNull() || capture.size() != kCaptureSize) {
        fail("the capture is not 120 x 180");
    }
    if (capture.format() != QImage::Format_RGB32) {
        fail("the capture is not an opaque picture");
    }
    // Where the photo is not, there is only the back colour and the frame's
    // outline; anything else is memory the rendering never wrote.
    const QRect source = captureSourceRect(frame, tpp);
    if (scaled.displaySize().isEmpty() || !scene.photoRect().intersects(source)) {
        const QRgb back = scene.backColor().rgb();
        const QRgb outline = QColor(Qt::black).rgb();
        for (int y = 0; y < capture.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(capture.constScanLine(y));
            for (int x = 0; x < capture.width(); ++x) {
                if (row[x] != back && row[x] != outline) {
                    fail("a pixel that is neither back colour nor outline");
                }
            }
        }
    }
    return 0;
}
