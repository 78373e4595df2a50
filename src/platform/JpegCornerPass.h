// Kestrova — identity photo maker.
#pragma once

#include "DecodeListener.h"

#include <QRect>
#include <QRgb>
#include <QSize>
#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

class QIODevice;

/// Decodes the part of a JPEG a view shows first (its corner) beside the
/// decode of the whole picture, so that part is in long before the rows it
/// lies in: libjpeg-turbo then transforms and converts only the corner's
/// columns, and only skims the rows stored above it. The whole decode writes
/// every other pixel, never the corner's, so each pixel has one writer.
///
/// The pass runs on the thread waiting to show the corner where the listener
/// has one (offerAhead()), on a thread of its own otherwise: while the whole
/// decode keeps a core busy, a new thread may wait milliseconds to start.
class JpegCornerPass final : public AheadWork
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

    /// Offers to decode target.stored of the file device reads, from its
    /// start, at most maxBytes of it, to listener, or starts decoding it.
    /// Tells listener aheadDone(target.shown) once in. Throws
    /// std::system_error when a thread is needed and none can be had.
    JpegCornerPass(QIODevice& device, qint64 maxBytes, const Target& target,
                   DecodeListener& listener);
    /// Stops the pass where it is and waits for it.
    ~JpegCornerPass();
    JpegCornerPass(const JpegCornerPass&) = delete;
    JpegCornerPass& operator=(const JpegCornerPass&) = delete;

    /// Waits for the pass; true when every pixel of the corner holds what the
    /// whole decode gives it. False when the file could not be read the same
    /// way, or no one took up the offer, which leaves the corner for the
    /// caller to fill.
    [[nodiscard]] bool finish();

    [[nodiscard]] bool claim() override;
    void run() override;

    /// Columns decoded past either side of the corner, so that its own edge
    /// columns are upsampled from their real neighbours, as in the whole
    /// decode, not from copies of the edge: the widest MCU.
    static constexpr int kMarginColumns = 32;

private:
    enum class Stage
    {
        Offered,
        Running,
        Over,
    };

    QIODevice& m_device;
    const qint64 m_maxBytes;
    const Target m_target;
    DecodeListener& m_listener;
    std::stop_source m_stop;
    std::mutex m_mutex;
    std::condition_variable m_over;
    Stage m_stage = Stage::Offered;
    bool m_done = false;
    // Last, so it starts once the rest exists, and is joined first.
    std::jthread m_thread;
};
