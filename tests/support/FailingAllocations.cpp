// Kestrova — identity photo maker.
#include "FailingAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations left before they fail; negative while none is to fail.
std::atomic<long> g_allowed{-1};
std::atomic<bool> g_failed{false};

void* allocate(std::size_t bytes) noexcept
{
    long allowed = g_allowed.load();
    while (allowed >= 0) {
        if (allowed == 0) {
            g_failed = true;
            return nullptr;
        }
        if (g_allowed.compare_exchange_weak(allowed, allowed - 1)) {
            break;
        }
    }
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* allocateOrThrow(std::size_t bytes)
{
    if (void* memory = allocate(bytes)) {
        return memory;
    }
    throw std::bad_alloc();
}

} // namespace

namespace FailingAllocations {

void fail(int allowed)
{
    g_failed = false;
    g_allowed = allowed;
}

void stop()
{
    g_allowed = -1;
}

bool anyFailed()
{
    return g_failed;
}

} // namespace FailingAllocations

// Every plain form replaced together, so that whatever one allocates another frees.
void* operator new(std::size_t bytes)
{
    return allocateOrThrow(bytes);
}

void* operator new[](std::size_t bytes)
{
    return allocateOrThrow(bytes);
}

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    return allocate(bytes);
}

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept
{
    return allocate(bytes);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
