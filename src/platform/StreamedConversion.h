// Kestrova — identity photo maker.
#pragma once

#include "RegionWorker.h"

#include <QRect>

class ColourProfile;
class DecodeListener;
class QImage;

/// Converts a picture to sRGB on a thread of its own while the picture is
/// still being decoded, each region as soon as the decoder has finished it,
/// so on a machine with a spare core the conversion costs almost no time.
class StreamedConversion
{
public:
    /// The profile and the picture must outlive the conversion; each region
    /// converted is then told to downstream, when there is one, in the order given.
    StreamedConversion(const ColourProfile& profile, QImage& image,
                       DecodeListener* downstream = nullptr);

    /// Called on the decoding thread: the pixels in region are final.
    /// A plain function, so libjpeg's callers can hold it as plain data.
    static void regionDone(void* conversion, QRect region);
    /// Returns once every region handed over is converted.
    void finish() { m_worker.finish(); }

private:
    void convert(const QRect& region);

    const ColourProfile& m_profile;
    DecodeListener* m_downstream;
    uchar* m_bits;
    qsizetype m_stride;
    // Last, so the thread starts once everything it uses exists.
    RegionWorker m_worker;
};
