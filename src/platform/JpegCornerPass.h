// Kestrova — identity photo maker.
#pragma once

#include <QRgb>
#include <QSize>
#include <QtGlobal>

#include <atomic>
#include <thread>

class DecodeListener;
class QIODevice;

/// Decodes the top-left corner of an upright JPEG on a thread of its own,
/// beside the decode of the whole picture, so the part a view shows first is
/// in long before the rows it lies in: libjpeg-turbo then transforms and
/// converts only the corner's columns. The whole decode writes every other
/// pixel of those rows, never the corner's, so each pixel has one writer.
class JpegCornerPass
{
public:
    struct Target
    {
        QRgb* origin = nullptr; // the picture's top-left pixel
        qsizetype stride = 0;   // pixels from one row to the next
        QSize whole;            // the picture's size, which the file must have
        QSize corner;           // the columns and rows to decode
    };

    /// Starts decoding target.corner of the file device reads, from its start,
    /// at most maxBytes of it. Tells listener aheadDone() once the corner is in.
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

    /// Columns decoded past the corner, so that the corner's own last columns
    /// are upsampled from their real neighbours, as in the whole decode, not
    /// from copies of the edge: the widest MCU and then some.
    static constexpr int kMarginColumns = 32;

private:
    void run(std::stop_token stop, QIODevice& device, qint64 maxBytes, Target target,
             DecodeListener& listener);

    std::atomic<bool> m_done = false;
    // Last, so it starts once the rest exists, and is joined first.
    std::jthread m_thread;
};
