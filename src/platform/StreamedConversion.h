// Kestrova — identity photo maker.
#pragma once

#include <QRect>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class ColourProfile;
class QImage;

/// Converts a picture to sRGB on a thread of its own while the picture is
/// still being decoded, each region as soon as the decoder has finished it,
/// so on a machine with a spare core the conversion costs almost no time.
class StreamedConversion
{
public:
    /// The profile and the picture must outlive the conversion.
    StreamedConversion(const ColourProfile& profile, QImage& image);
    /// Stops and waits for the thread, whatever is left unconverted.
    ~StreamedConversion();
    StreamedConversion(const StreamedConversion&) = delete;
    StreamedConversion& operator=(const StreamedConversion&) = delete;

    /// Called on the decoding thread: the pixels in region are final.
    /// A plain function, so libjpeg's callers can hold it as plain data.
    static void regionDone(void* conversion, QRect region);
    /// Returns once every region handed over is converted.
    void finish();

private:
    void run(std::stop_token stop);

    const ColourProfile& m_profile;
    uchar* m_bits;
    qsizetype m_stride;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::vector<QRect> m_pending;
    bool m_idle = true;
    std::jthread m_worker;
};
