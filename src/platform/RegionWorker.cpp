// Kestrova — identity photo maker.
#include "RegionWorker.h"

RegionWorker::RegionWorker(std::function<void(const QRect&)> work) : m_work(std::move(work))
{
    m_pending.reserve(kMaxPending);
    m_taken.reserve(kMaxPending);
    m_thread = std::jthread([this](std::stop_token stop) { run(stop); });
}

RegionWorker::~RegionWorker()
{
    m_thread.request_stop();
    m_wake.notify_all();
}

void RegionWorker::add(const QRect& region)
{
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_pending.size() < kMaxPending; });
        m_pending.push_back(region);
    }
    m_wake.notify_all();
}

void RegionWorker::finish()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_pending.empty() && m_idle; });
}

void RegionWorker::run(std::stop_token stop)
{
    std::vector<QRect>& regions = m_taken;
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
        // Room again for a decoder waiting to hand one over.
        m_wake.notify_all();
        for (const QRect& region : regions) {
            m_work(region);
        }
        regions.clear();
    }
}
