// Kestrova — identity photo maker.
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

/// Runs work(first, end) over bands of rows side by side, one band a core up
/// to maxThreads, the last on the calling thread, and returns once every band
/// is done. A band of fewer than pixelsPerThread pixels is over before a
/// second thread would start, so small pictures stay on one thread; with no
/// thread to be had, a band runs on the calling thread instead.
template <typename Work>
void inRowBands(int rows, qint64 pixels, qint64 pixelsPerThread, qint64 maxThreads,
                const Work& work)
{
    const qint64 threads = std::clamp<qint64>(
        std::min<qint64>(pixels / pixelsPerThread, qint64(std::thread::hardware_concurrency())), 1,
        maxThreads);
    auto bandStart = [rows, threads](qint64 band) { return int(rows * band / threads); };
    std::vector<std::jthread> helpers;
    for (qint64 band = 0; band + 1 < threads; ++band) {
        const int first = bandStart(band);
        const int end = bandStart(band + 1);
        try {
            helpers.emplace_back([&work, first, end] { work(first, end); });
        } catch (const std::system_error&) {
            work(first, end);
        }
    }
    work(bandStart(threads - 1), rows);
}
