#pragma once
// Thread priorities, best-effort: a priority the system refuses leaves the thread as it is.

#include <cstdint>

#include "serial/ser_types.h"

namespace ser::platform {

// The system's identity of a thread, usable from other threads.
using ThreadId = std::int64_t;

ThreadId CurrentThreadId() noexcept;
void ApplyThreadPriority(ThreadId thread, TThreadPriority priority) noexcept;

}  // namespace ser::platform
