// Kestrova — identity photo maker.
#pragma once

/// Memory running out on demand. FailingAllocations.cpp replaces the
/// program's operator new and delete; a test program that lists it among its
/// sources can make allocations fail, on any thread, as when the system has no
/// memory left to give.
namespace FailingAllocations {

/// From now on the given number of allocations succeed and every one after
/// them fails, until stop(); fail(0) fails the very next.
void fail(int allowed);
/// Allocations succeed again.
void stop();
/// Whether an allocation failed since the last fail().
[[nodiscard]] bool anyFailed();

} // namespace FailingAllocations
