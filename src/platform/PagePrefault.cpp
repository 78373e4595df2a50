// Kestrova — identity photo maker.
#include "PagePrefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace {

// Mapped per call: far ahead of a decoder after the first one, yet a stop
// request is heard within a millisecond or so.
constexpr std::uintptr_t kChunkBytes = 4 * 1024 * 1024;
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
