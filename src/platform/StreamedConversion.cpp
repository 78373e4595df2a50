// Kestrova — identity photo maker.
#include "StreamedConversion.h"

#include "ColourProfile.h"

#include <QImage>

StreamedConversion::StreamedConversion(const ColourProfile& profile, QImage& image)
    : m_profile(profile), m_bits(image.bits()), m_stride(image.bytesPerLine()),
      m_worker([this](std::stop_token stop) { run(stop); })
{}

StreamedConversion::~StreamedConversion()
{
    m_worker.request_stop();
    m_wake.notify_all();
}

void StreamedConversion::regionDone(void* conversion, QRect region)
{
    auto* self = static_cast<StreamedConversion*>(conversion);
    {
        const std::lock_guard lock(self->m_mutex);
        self->m_pending.push_back(region);
    }
    self->m_wake.notify_all();
}

void StreamedConversion::finish()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_pending.empty() && m_idle; });
}

void StreamedConversion::run(std::stop_token stop)
{
    std::vector<QRect> regions;
    while (true) {
        {
            std::unique_lock lock(m_mutex);
            m_idle = true;
            // Tells finish() when all is done.
            m_wake.notify_all();
            if (!m_wake.wait(lock, stop, [this] { return !m_pending.empty(); })) {
                return;
            }
            regions.swap(m_pending);
            m_idle = false;
        }
        for (const QRect& region : regions) {
            for (int y = region.top(); y <= region.bottom(); ++y) {
                m_profile.convertPixels(
                    reinterpret_cast<QRgb*>(m_bits + y * m_stride) + region.left(), region.width());
            }
        }
        regions.clear();
    }
}
