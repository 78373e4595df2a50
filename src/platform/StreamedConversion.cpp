// Kestrova — identity photo maker.
#include "StreamedConversion.h"

#include "ColourProfile.h"
#include "DecodeListener.h"

#include <QImage>

StreamedConversion::StreamedConversion(const ColourProfile& profile, QImage& image,
                                       DecodeListener* downstream)
    : m_profile(profile), m_downstream(downstream), m_bits(image.bits()),
      m_stride(image.bytesPerLine()), m_worker([this](const QRect& region) { convert(region); })
{}

void StreamedConversion::regionDone(void* conversion, QRect region)
{
    static_cast<StreamedConversion*>(conversion)->m_worker.add(region);
}

void StreamedConversion::convert(const QRect& region)
{
    for (int y = region.top(); y <= region.bottom(); ++y) {
        m_profile.convertPixels(reinterpret_cast<QRgb*>(m_bits + y * m_stride) + region.left(),
                                region.width());
    }
    if (m_downstream != nullptr) {
        m_downstream->regionDone(region);
    }
}
