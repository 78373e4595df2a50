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
/// beside the decoding on a spare core.
class RegionWorker
{
public:
    /// Starts the thread; throws std::system_error when none can be had.
    explicit RegionWorker(std::function<void(const QRect&)> work);
    /// Stops and waits for the thread, whatever is left undone.
    ~RegionWorker();
    RegionWorker(const RegionWorker&) = delete;
    RegionWorker& operator=(const RegionWorker&) = delete;

    /// Hands a region over; returns at once.
    void add(const QRect& region);
    /// Returns once every region handed over is done.
    void finish();

private:
    void run(std::stop_token stop);

    std::function<void(const QRect&)> m_work;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::vector<QRect> m_pending;
    bool m_idle = true;
    std::jthread m_thread;
};
