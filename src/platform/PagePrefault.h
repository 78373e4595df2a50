// Kestrova — identity photo maker.
#pragma once

#include <QtGlobal>

#include <thread>
#include <vector>

/// Has the kernel map a large buffer's pages in on a thread of its own, front
/// to back, ahead of whoever fills it: a fresh 100-megapixel picture is
/// 100 000 pages, and a decoder that stops at each of them for the kernel
/// loses about a third of its speed. The pages' contents are never touched,
/// so the filling may go on at the same time. Does nothing where the kernel
/// cannot do it or no thread can be had.
class PagePrefault
{
public:
    struct Area
    {
        void* data = nullptr;
        qsizetype bytes = 0;
    };

    PagePrefault(void* data, qsizetype bytes);
    /// Each of areas in turn, on the one thread.
    explicit PagePrefault(const std::vector<Area>& areas);
    /// Stops where it is and waits for the thread.
    ~PagePrefault();
    PagePrefault(const PagePrefault&) = delete;
    PagePrefault& operator=(const PagePrefault&) = delete;

    /// Returns once every page is mapped in, or the kernel could not do it.
    void wait();

private:
    std::jthread m_thread;
};
