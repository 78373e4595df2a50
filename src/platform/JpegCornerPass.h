// Kestrova — identity photo maker.
#pragma once

#include <QRect>
#include <QRgb>
#include <QSize>
#include <QtGlobal>

#include <atomic>
#include <thread>

class DecodeListener;
class QIODevice;

/// Decodes the part of a JPEG a view shows first (its corner) on a thread of
/// its own, beside the decode of the whole picture, so that part is in long
/// before the rows it lies in: libjpeg-turbo then transforms and converts
/// only the corner's columns, and only skims the rows stored above it. The
/// whole decode writes every other pixel, never the corner's, so each pixel
/// has one writer.
class JpegCornerPass
{
public:
    /// Where the corner goes: stored pixel (x, y) at origin + x * dx + y * dy.
    struct Target
    {
        QRgb* origin = nullptr;
        qsizetype dx = 1;
        qsizetype dy = 0;
        QSize whole;  // the stored picture's size, which the file must have
        QRect stored; // the corner in stored pixels
        QRect shown;  // the corner in the picture as shown, told when done
    };

    /// Starts decoding target.stored of the file device reads, from its start,
    /// at most maxBytes of it. Tells listener aheadDone(target.shown) once in.
    /// Throws std::system_error when no thread can be had.
    JpegCornerPass(QIODevice& device, qint64 maxBytes, const Target& target,
                   DecodeListener& listener);
    /// Stops the pass where it is and waits for it.
    ~JpegCornerPass();
    JpegCornerPass(const JpegCornerPass&) = delete;
    JpegCornerPass& operator=(const JpegCornerPass&) = delete;

    /// Waits for the pass; true when every pixel of the corner holds what the
    /// whole decode gives it. False when the file could not be read the same
    /// way, which leaves the corner for the caller to fill.
    [[nodiscard]] bool finish();

    /// Columns decoded past either side of the corner, so that its own edge
    /// columns are upsampled from their real neighbours, as in the whole
    /// decode, not from copies of the edge: the widest MCU.
    static constexpr int kMarginColumns = 32;

private:
    void run(std::stop_token stop, QIODevice& device, qint64 maxBytes, Target target,
             DecodeListener& listener);

    std::atomic<bool> m_done = false;
    // Last, so it starts once the rest exists, and is joined first.
    std::jthread m_thread;
};
