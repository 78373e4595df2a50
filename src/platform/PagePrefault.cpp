// Kestrova — identity photo maker.
#include "PagePrefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace {

// Mapped per call. Each call holds the address space's lock for reading, and
// any thread that maps memory meanwhile (libjpeg's buffers, a thread's stack)
// waits for it to end: on this kind of virtual machine a 4 MB call made such
// a map wait 0.7-1.2 ms on average while 48 MB were mapped in, a 256 KB call
// 0.05-0.5 ms, for the same 13-14 ms in all. A stop request is heard at once.
constexpr std::uintptr_t kChunkBytes = 256 * 1024;
// Below this the faults cost less than starting a thread.
constexpr qsizetype kMinBytes = 16 * 1024 * 1024;

void prefault(std::stop_token stop, std::uintptr_t begin, std::uintptr_t end)
{
#ifdef MADV_POPULATE_WRITE
    for (std::uintptr_t at = begin; at < end && !stop.stop_requested(); at += kChunkBytes) {
        const std::uintptr_t length = std::min(kChunkBytes, end - at);
        // Fails on kernels before 5.14; the writer then takes its faults itself.
        if (madvise(reinterpret_cast<void*>(at), length, MADV_POPULATE_WRITE) != 0) {
            return;
        }
    }
#else
    (void)stop;
    (void)begin;
    (void)end;
#endif
}

} // namespace

PagePrefault::PagePrefault(void* data, qsizetype bytes)
{
    if (bytes < kMinBytes) {
        return;
    }
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    // Whole pages only: the partial ones at either end the writer faults itself.
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(bytes)) / page * page;
    if (end <= first) {
        return;
    }
    try {
        m_thread = std::jthread(prefault, first, end);
    } catch (const std::system_error&) {
        // No thread: the writer takes its faults itself.
    }
}

PagePrefault::~PagePrefault() = default;
