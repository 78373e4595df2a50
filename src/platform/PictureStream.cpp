// Kestrova — identity photo maker.
#include "PictureStream.h"

#include <utility>

PictureStream::PictureStream(Decode decode, QRect wantedFirst, RegionDone onRegion,
                             std::function<void()> onFinished)
    : m_onRegion(std::move(onRegion)), m_onFinished(std::move(onFinished)),
      m_wantedFirst(wantedFirst), m_worker([this, decode = std::move(decode)] { run(decode); })
{}

PictureStream::~PictureStream()
{
    m_stop = true;
}

void PictureStream::run(const Decode& decode)
{
    std::optional<QImage> result = decode(this);
    {
        const std::lock_guard lock(m_mutex);
        // A picture not shown while it was decoded is ready all at once.
        m_picture = result ? *result : QImage();
        m_ready = m_picture.rect();
        m_finished = true;
    }
    m_changed.notify_all();
    if (m_onFinished) {
        m_onFinished();
    }
}

void PictureStream::waitFor(const QRect& region)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this, &region] { return holds(region) || m_offered != nullptr; });
        if (holds(region)) {
            return;
        }
        AheadWork* work = std::exchange(m_offered, nullptr);
        if (work->claim()) {
            lock.unlock();
            work->run();
            lock.lock();
        }
    }
}

bool PictureStream::holds(const QRect& region) const
{
    if (m_finished) {
        return true;
    }
    if (m_picture.isNull()) {
        return false;
    }
    const QRect wanted = region.intersected(m_picture.rect());
    return wanted.isEmpty() || m_ready.contains(wanted) || m_ahead.contains(wanted);
}

void PictureStream::waitUntilFinished()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_finished; });
}

bool PictureStream::isFinished() const
{
    const std::lock_guard lock(m_mutex);
    return m_finished;
}

QRect PictureStream::readyRegion() const
{
    const std::lock_guard lock(m_mutex);
    return m_ready;
}

QImage PictureStream::picture() const
{
    const std::lock_guard lock(m_mutex);
    return m_picture;
}

void PictureStream::started(const QImage& picture)
{
    {
        const std::lock_guard lock(m_mutex);
        m_picture = picture;
        m_ready = QRect();
        m_ahead = QRect();
    }
    m_changed.notify_all();
}

void PictureStream::regionDone(const QRect& region)
{
    QImage picture;
    {
        const std::lock_guard lock(m_mutex);
        m_ready = m_ready.united(region);
        picture = m_picture;
    }
    m_changed.notify_all();
    if (m_onRegion) {
        m_onRegion(picture, region);
    }
}

bool PictureStream::stopRequested() const
{
    return m_stop;
}

QRect PictureStream::wantedFirst() const
{
    return m_wantedFirst;
}

void PictureStream::aheadDone(const QRect& region)
{
    {
        const std::lock_guard lock(m_mutex);
        m_ahead = region;
    }
    m_changed.notify_all();
}

bool PictureStream::offerAhead(AheadWork& work)
{
    {
        const std::lock_guard lock(m_mutex);
        m_offered = &work;
    }
    m_changed.notify_all();
    return true;
}

void PictureStream::withdrawAhead()
{
    const std::lock_guard lock(m_mutex);
    m_offered = nullptr;
}
