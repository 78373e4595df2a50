// Kestrova — identity photo maker.
#pragma once

#include <QRect>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/// Works through regions of a picture on a thread of its own, in the order
/// they are handed over, so work on what a decoder has finished goes on
/// beside the decoding on a spare core. The work must not throw.
class RegionWorker
{
public:
    /// Regions handed over and not yet taken up; a decoder further ahead
    /// than this waits. Room for them is made at the start, so handing one
    /// over never needs memory.
    static constexpr std::size_t kMaxPending = 256;

    /// Starts the thread; throws std::system_error when none can be had, and
    /// std::bad_alloc when there is no memory for the regions' room.
    explicit RegionWorker(std::function<void(const QRect&)> work);
    /// Stops and waits for the thread, whatever is left undone.
    ~RegionWorker();
    RegionWorker(const RegionWorker&) = delete;
    RegionWorker& operator=(const RegionWorker&) = delete;

    /// Hands a region over; returns at once unless kMaxPending are waiting.
    void add(const QRect& region);
    /// Returns once every region handed over is done.
    void finish();

private:
    void run(std::stop_token stop);

    std::function<void(const QRect&)> m_work;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::vector<QRect> m_pending;
    // Swapped with m_pending by the thread, so both keep the room made for them.
    std::vector<QRect> m_taken;
    bool m_idle = true;
    std::jthread m_thread;
};
