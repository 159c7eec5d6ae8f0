#pragma once
// Waiting on a wake-up handle of the serial layer (platform::WakeHandle::NativeHandle) from a
// test that plays the user-interface thread.

#include <chrono>
#include <cstdint>

// True when `handle` became readable (POSIX) or signalled (Windows) within `timeout`.
bool WaitSignalled(std::intptr_t handle, std::chrono::milliseconds timeout);
