// Kestrova — identity photo maker.
#pragma once

#include <QtGlobal>

#include <thread>

/// Has the kernel map a large buffer's pages in on a thread of its own, front
/// to back, ahead of whoever fills it: a fresh 100-megapixel picture is
/// 100 000 pages, and a decoder that stops at each of them for the kernel
/// loses about a third of its speed. The pages' contents are never touched,
/// so the filling may go on at the same time. Does nothing where the kernel
/// cannot do it or no thread can be had.
class PagePrefault
{
public:
    PagePrefault(void* data, qsizetype bytes);
    /// Stops where it is and waits for the thread.
    ~PagePrefault();
    PagePrefault(const PagePrefault&) = delete;
    PagePrefault& operator=(const PagePrefault&) = delete;

private:
    std::jthread m_thread;
};
